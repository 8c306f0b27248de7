// What the shared vector and property tests cannot see of SHA-384/SHA-512: the two share one
// context type, so only the Init and Final used tell them apart, and the 128-bit byte count
// only shows its upper words after 2^64 bytes, far beyond any test input.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

using namespace hashlib;

namespace {

std::vector<uint8_t> Sha384Of(const std::string& message) {
    std::vector<uint8_t> digest(48);
    Sha384Calculate(digest.data(), message.data(), uint32_t(message.size()));
    return digest;
}

}  // namespace

TEST(Sha384, IsNotTruncatedSha512) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    uint8_t sha384[48];
    uint8_t sha512[64];
    Sha384Calculate(sha384, abc, 3);
    Sha512Calculate(sha512, abc, 3);
    EXPECT_NE(ToHex(sha384, 48), ToHex(sha512, 48));
}

TEST(Sha384, ContextStaysSha384ThroughEveryFinal) {
    Sha512Context context;
    Sha384Init(&context);
    for (const std::string message : {"abc", "", "message digest", ""}) {
        SCOPED_TRACE("\"" + message + "\"");
        Sha512Update(&context, message.data(), uint32_t(message.size()));
        uint8_t digest[64];
        std::memset(digest, 0xee, sizeof digest);
        Sha384Final(&context, digest);
        EXPECT_EQ(ToHex(digest, 48), ToHex(Sha384Of(message)));
        for (int i = 48; i < 64; ++i) {
            ASSERT_EQ(digest[i], 0xee) << "wrote past 48 bytes";
        }
    }
}

// A context whose count starts just below a word boundary must carry into the next word and
// pad with the full 128-bit bit length. The expected digest is built independently: a fresh
// context absorbs the same bytes and then an explicit padding block carrying the expected
// length, after which its chaining words are the digest.
TEST(Sha512, ByteCountCarriesThroughAllFourWords) {
    struct Case {
        uint32_t start[4];   // count before the message; a multiple of the block size
        uint32_t after[4];   // count after 133 more bytes
        uint64_t bits_high;  // the padded bit length, upper and lower 64 bits
        uint64_t bits_low;
    };
    const Case cases[] = {
        // 2^64 + 5 bytes
        {{0xffffff80, 0xffffffff, 0, 0}, {5, 0, 1, 0}, 8, 40},
        // 2^96 + 5
        {{0xffffff80, 0xffffffff, 0xffffffff, 0}, {5, 0, 0, 1}, uint64_t(1) << 35, 40},
        // 2^61 + 5: the shift moves bits from the lower into the upper 64 bits
        {{0xffffff80, 0x1fffffff, 0, 0}, {5, 0x20000000, 0, 0}, 1, 40},
        // 2^126 + 5: the shift drops the top bits (the length is taken modulo 2^128)
        {{0xffffff80, 0xffffffff, 0xffffffff, 0x3fffffff}, {5, 0, 0, 0x40000000}, 0, 40},
    };
    uint8_t message[133];
    for (size_t i = 0; i < sizeof message; ++i) {
        message[i] = uint8_t(i * 7 + 1);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count from " << std::hex << c.start[3] << ' ' << c.start[2] << ' '
                                        << c.start[1] << ' ' << c.start[0]);
        Sha512Context carried;
        Sha512Init(&carried);
        std::memcpy(carried.count, c.start, sizeof c.start);
        Sha512Update(&carried, message, 100);
        Sha512Update(&carried, message + 100, 33);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(carried.count[i], c.after[i]) << "count word " << i;
        }
        uint8_t digest[64];
        Sha512Final(&carried, digest);

        uint8_t padding[128 - 5] = {0x80};
        for (int i = 0; i < 8; ++i) {
            padding[sizeof padding - 16 + i] = uint8_t(c.bits_high >> (56 - 8 * i));
            padding[sizeof padding - 8 + i] = uint8_t(c.bits_low >> (56 - 8 * i));
        }
        Sha512Context reference;
        Sha512Init(&reference);
        Sha512Update(&reference, message, sizeof message);
        Sha512Update(&reference, padding, sizeof padding);
        uint8_t expected[64];
        for (int w = 0; w < 8; ++w) {
            for (int i = 0; i < 8; ++i) {
                expected[8 * w + i] = uint8_t(reference.state[w] >> (56 - 8 * i));
            }
        }
        EXPECT_EQ(ToHex(digest, 64), ToHex(expected, 64));
    }
}
