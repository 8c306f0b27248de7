#include "test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

std::string ToHex(const uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

bool ParseHex(const std::string& digits, std::string& bytes) {
    auto value = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (digits.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = value(digits[i]), low = value(digits[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += char(high * 16 + low);
    }
    return true;
}

std::string HexDigestOf(hashlib::DigestObject& object) {
    const int32_t size = object.DigestSize();
    std::vector<char> text(2 * size + 2, '#');
    object.HexDigest(text.data());
    EXPECT_EQ(text[2 * size], '\0') << "terminator missing";
    EXPECT_EQ(text[2 * size + 1], '#') << "wrote past 2n + 1 characters";
    EXPECT_EQ(std::strlen(text.data()), size_t(2 * size));
    return std::string(text.data());
}

SeededRandom::SeededRandom() {
    const char* fixed = std::getenv("ORVENDAL_SEED");
    seed = fixed ? uint32_t(std::strtoul(fixed, nullptr, 10)) : 20261208u;
    engine.seed(seed);
}

std::vector<uint8_t> SeededRandom::Bytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) {
        b = uint8_t(engine());
    }
    return bytes;
}

namespace {

// Letters, digits and underscores only, as test names must be.
std::string TestNameFrom(std::string name) {
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

}  // namespace

std::string CpuLevelSuffix(hashlib::CpuLevel level) {
    return TestNameFrom(hashlib::CpuLevelName(level));
}

std::string AlgorithmTestName(int algorithm_id) {
    return TestNameFrom(hashlib::Algorithms[size_t(algorithm_id)].command_name);
}

ScopedCpuLevel::ScopedCpuLevel(hashlib::CpuLevel level) : before_(hashlib::ActiveCpuLevel()) {
    EXPECT_TRUE(hashlib::SetCpuLevel(level)) << hashlib::CpuLevelName(level);
}

ScopedCpuLevel::~ScopedCpuLevel() {
    hashlib::SetCpuLevel(before_);
}
