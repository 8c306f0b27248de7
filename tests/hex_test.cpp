#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

using namespace hashlib;

TEST(HexEncode, ForwardReversedAndUpperCase) {
    const uint8_t bytes[] = {0x00, 0xab, 0x0f};
    char text[7];
    HexEncode(text, bytes, 3, 0);
    EXPECT_STREQ(text, "00ab0f");
    HexEncode(text, bytes, 3, 1);
    EXPECT_STREQ(text, "00AB0F");
    HexEncodeReversed(text, bytes, 3, 0);
    EXPECT_STREQ(text, "0fab00");
    HexEncodeReversed(text, bytes, 3, 7);  // any non-zero flag selects upper case
    EXPECT_STREQ(text, "0FAB00");
}

TEST(HexEncode, EveryByteValueAndEmptyInput) {
    uint8_t bytes[256];
    for (int i = 0; i < 256; ++i) {
        bytes[i] = uint8_t(i);
    }
    char text[513];
    HexEncode(text, bytes, 256, 0);
    EXPECT_EQ(std::string(text), ToHex(bytes, 256));
    HexEncode(text, bytes, 0, 0);
    EXPECT_STREQ(text, "");
}

TEST(HexEncode, InPlaceFromTheSecondHalfOfTheBuffer) {
    // FinalHex writes the digest at text + n and encodes it over itself.
    char text[2 * 16 + 1];
    const uint8_t digest[16] = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};
    std::memcpy(text + 16, digest, 16);
    HexEncode(text, reinterpret_cast<uint8_t*>(text + 16), 16, 0);
    EXPECT_STREQ(text, "d41d8cd98f00b204e9800998ecf8427e");
}
