// Small helpers shared by the test programs.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "hashlib/cpu_dispatch.h"
#include "hashlib/hashlib.h"

// Lower-case hex of raw bytes, written here independently of the library's encoder.
std::string ToHex(const uint8_t* bytes, size_t count);
inline std::string ToHex(const std::vector<uint8_t>& bytes) {
    return ToHex(bytes.data(), bytes.size());
}

// Decodes hex digits (no separators); false on an odd length or a non-hex character.
bool ParseHex(const std::string& digits, std::string& bytes);

// HexDigest of an object as a std::string, checking the terminator is where it belongs.
std::string HexDigestOf(hashlib::DigestObject& object);

// A random generator with a fixed seed (ORVENDAL_SEED overrides it); tests name the seed in
// their failure messages so a failure can be replayed.
struct SeededRandom {
    SeededRandom();
    uint32_t seed;
    std::mt19937 engine;
    uint32_t Below(uint32_t bound) { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(engine); }
    std::vector<uint8_t> Bytes(size_t count);
};

// Every CPU level this machine runs, Portable first, for tests that repeat at each one.
inline std::vector<hashlib::CpuLevel> CpuLevels() {
    return hashlib::AvailableCpuLevels();
}

// A level's name as a test-name suffix (letters, digits and underscores only).
std::string CpuLevelSuffix(hashlib::CpuLevel level);
// An algorithm's command-line name as a test-name part ("sha3_256").
std::string AlgorithmTestName(int algorithm_id);

// Runs the library at `level` for the object's lifetime, then at the level before.
class ScopedCpuLevel {
  public:
    explicit ScopedCpuLevel(hashlib::CpuLevel level);
    ~ScopedCpuLevel();
    ScopedCpuLevel(const ScopedCpuLevel&) = delete;
    ScopedCpuLevel& operator=(const ScopedCpuLevel&) = delete;

  private:
    hashlib::CpuLevel before_;
};
