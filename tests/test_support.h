// Small helpers shared by the test programs.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "hashlib/hashlib.h"

// Lower-case hex of raw bytes, written here independently of the library's encoder.
std::string ToHex(const uint8_t* bytes, size_t count);
inline std::string ToHex(const std::vector<uint8_t>& bytes) { return ToHex(bytes.data(), bytes.size()); }

// Decodes hex digits (no separators); false on an odd length or a non-hex character.
bool ParseHex(const std::string& digits, std::string& bytes);

// HexDigest of an object as a std::string, checking the terminator is where it belongs.
std::string HexDigestOf(hashlib::DigestObject& object);

// The Algorithm identifier of a command-line name, or -1.
int AlgorithmByCommandName(const std::string& name);

// Identifiers whose objects the library builds.
std::vector<int> BuiltAlgorithms();

// A random generator with a fixed seed (ORVENDAL_SEED overrides it); tests name the seed in
// their failure messages so a failure can be replayed.
struct SeededRandom {
    SeededRandom();
    uint32_t seed;
    std::mt19937 engine;
    uint32_t Below(uint32_t bound) { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(engine); }
    std::vector<uint8_t> Bytes(size_t count);
};
