// Adler-32's deferred modulo and CRC-32's aligned word reads, against plain references written
// here: Adler-32 reducing after every byte, CRC-32 shifting bit by bit without a table.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "test_support.h"

using namespace hashlib;

namespace {

constexpr uint32_t kAdlerModulus = 65521;

uint32_t ReferenceAdler32(uint32_t value, const uint8_t* data, size_t length) {
    uint32_t s1 = value & 0xffff, s2 = value >> 16;
    for (size_t i = 0; i < length; ++i) {
        s1 = (s1 + data[i]) % kAdlerModulus;
        s2 = (s2 + s1) % kAdlerModulus;
    }
    return s2 << 16 | s1;
}

uint32_t ReferenceCrc32(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

uint32_t Adler32Of(uint32_t start, const uint8_t* data, uint32_t length) {
    Adler32Context context{start};
    Adler32Update(&context, data, length);
    return context.value;
}

uint32_t BigEndianValue(const uint8_t* digest) {
    return uint32_t(digest[0]) << 24 | uint32_t(digest[1]) << 16 | uint32_t(digest[2]) << 8 | digest[3];
}

uint32_t LittleEndianValue(const uint8_t* digest) {
    return uint32_t(digest[3]) << 24 | uint32_t(digest[2]) << 16 | uint32_t(digest[1]) << 8 | digest[0];
}

// The checksum tests run at every CPU level this machine runs, so the vector code gets them too.
class AtCpuLevel : public testing::TestWithParam<CpuLevel> {
  protected:
    void SetUp() override { level_ = std::make_unique<ScopedCpuLevel>(GetParam()); }
    void TearDown() override { level_.reset(); }

  private:
    std::unique_ptr<ScopedCpuLevel> level_;
};

class Adler32 : public AtCpuLevel {};
class Crc32 : public AtCpuLevel {};

std::string LevelName(const testing::TestParamInfo<CpuLevel>& info) {
    return CpuLevelSuffix(info.param);
}

}  // namespace

// 0xFF bytes make the sums grow fastest, so they show an overflow between reductions first.
TEST_P(Adler32, DeferredModuloMatchesAReductionAfterEveryByte) {
    const std::vector<uint8_t> ones(6 * 5376 + 300, 0xFF);
    const uint32_t lengths[] = {5375,         5376,     5377,           2 * 5376 - 1, 2 * 5376,
                                2 * 5376 + 1, 3 * 5376, 5 * 5376 + 271, 6 * 5376,     uint32_t(ones.size())};
    for (uint32_t length : lengths) {
        SCOPED_TRACE("length " + std::to_string(length));
        const uint32_t expected = ReferenceAdler32(1, ones.data(), length);
        EXPECT_EQ(Adler32Of(1, ones.data(), length), expected);
        uint8_t digest[4];
        Adler32Calculate(digest, ones.data(), length);
        EXPECT_EQ(BigEndianValue(digest), expected) << "one-shot";

        // Both sums at their largest when a long call begins: the tightest case for 32 bits.
        const uint32_t top = (kAdlerModulus - 1) << 16 | (kAdlerModulus - 1);
        EXPECT_EQ(Adler32Of(top, ones.data(), length), ReferenceAdler32(top, ones.data(), length))
            << "from the largest sums";

        // A second call continues from reduced sums wherever the first one stopped.
        for (uint32_t first : {1u, 15u, 16u, 255u, 256u, 5375u}) {
            Adler32Context context;
            Adler32Init(&context);
            Adler32Update(&context, ones.data(), first);
            Adler32Update(&context, ones.data() + first, length - first);
            EXPECT_EQ(context.value, expected) << "split at " << first;
        }
    }
}

TEST_P(Adler32, RandomDataAndReset) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(20000);
    Adler32Context context;
    Adler32Init(&context);
    size_t done = 0;
    while (done < data.size()) {
        const uint32_t piece = std::min<uint32_t>(uint32_t(data.size() - done), random.Below(7000));
        Adler32Update(&context, data.data() + done, piece);
        done += piece;
        ASSERT_EQ(context.value, ReferenceAdler32(1, data.data(), done)) << "after " << done << " bytes";
    }
    uint8_t digest[4];
    Adler32Final(&context, digest);
    EXPECT_EQ(BigEndianValue(digest), ReferenceAdler32(1, data.data(), data.size()));
    EXPECT_EQ(context.value, 1u) << "Final resets the sums";
}

TEST_P(Crc32, AnyAlignmentAndAnySplitMatchOneAlignedCall) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(1100);
    alignas(16) uint8_t aligned[1100];
    alignas(16) uint8_t shifted[1100 + 8];
    std::memcpy(aligned, data.data(), data.size());

    for (uint32_t length :
         {0u, 1u, 2u, 3u, 4u, 5u, 7u, 15u, 16u, 17u, 19u, 255u, 256u, 257u, 259u, 300u, 512u, 1024u, 1100u}) {
        SCOPED_TRACE("length " + std::to_string(length));
        uint8_t digest[4];
        Crc32Calculate(digest, aligned, length);
        const uint32_t expected = LittleEndianValue(digest);
        ASSERT_EQ(expected, ReferenceCrc32(aligned, length)) << "aligned one-shot";

        for (size_t offset = 1; offset < 8; ++offset) {
            std::memcpy(shifted + offset, aligned, length);
            Crc32Calculate(digest, shifted + offset, length);
            EXPECT_EQ(LittleEndianValue(digest), expected) << "offset " << offset;

            Crc32Context context;
            Crc32Init(&context);
            uint32_t done = 0;
            while (done < length) {
                const uint32_t piece = std::min<uint32_t>(length - done, 1 + random.Below(40));
                Crc32Update(&context, shifted + offset + done, piece);
                done += piece;
            }
            Crc32Final(&context, digest);
            EXPECT_EQ(LittleEndianValue(digest), expected) << "offset " << offset << " in pieces";
            EXPECT_EQ(context.crc, 0xFFFFFFFFu) << "Final presets the register";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Every, Adler32, testing::ValuesIn(CpuLevels()), LevelName);
INSTANTIATE_TEST_SUITE_P(Every, Crc32, testing::ValuesIn(CpuLevels()), LevelName);
