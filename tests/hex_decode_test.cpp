#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "test_support.h"

using hashlib::HexDecode;

namespace {

// Decodes `text` into a buffer prefilled with 0xEE; returns the result and the bytes written.
int32_t Decode(const std::string& text, std::string& bytes) {
    uint8_t out[16];
    std::memset(out, 0xEE, sizeof out);
    const int32_t result = HexDecode(out, text.data(), uint32_t(text.size()));
    bytes.assign(reinterpret_cast<const char*>(out), (text.size() + 1) / 2);
    return result;
}

}  // namespace

TEST(HexDecode, PairsGiveBytesInEitherCase) {
    std::string bytes;
    EXPECT_EQ(Decode("00ff7A", bytes), 3);
    EXPECT_EQ(bytes, std::string("\x00\xff\x7a", 3));
    EXPECT_EQ(Decode("aBcDeF", bytes), 3);
    EXPECT_EQ(bytes, "\xab\xcd\xef");
    EXPECT_EQ(Decode("", bytes), 0);
}

TEST(HexDecode, ALoneLastDigitFillsTheHighBits) {
    std::string bytes;
    EXPECT_EQ(Decode("AbC", bytes), 2);
    EXPECT_EQ(bytes, "\xab\xc0");
}

TEST(HexDecode, AnyNonDigitIsRefusedWhereverItStands) {
    std::string bytes;
    EXPECT_EQ(Decode("0x", bytes), -1);
    EXPECT_EQ(Decode("12 4", bytes), -1);
    EXPECT_EQ(bytes[0], '\x12') << "bytes before the bad pair stay written";
    EXPECT_EQ(Decode("12z", bytes), -1) << "a lone last character is checked too";
    // Every character code in both positions of a pair, so both tables are covered whole.
    for (int c = 0; c < 256; ++c) {
        const bool digit = std::isxdigit(c) != 0;
        const std::string high{char(c), '0'};
        const std::string low{'0', char(c)};
        EXPECT_EQ(Decode(high, bytes), digit ? 1 : -1) << "code " << c;
        EXPECT_EQ(Decode(low, bytes), digit ? 1 : -1) << "code " << c;
        if (digit) {
            const int value = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
            EXPECT_EQ(uint8_t(bytes[0]), value);
        }
    }
}
