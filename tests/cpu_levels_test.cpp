// Every CPU level this machine runs against the portable code: random lengths up to several
// KB and a few long inputs, random split points and misaligned data, and the checksums
// continued from extreme states. The published vectors and the property tests also run at
// every level (vectors_test.cpp, properties_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "test_support.h"

using namespace hashlib;

namespace {

// The digest of `length` bytes at `data`, fed in pieces ending at the ascending `cuts`.
std::string DigestInPieces(int id, const uint8_t* data, size_t length, const std::vector<size_t>& cuts = {}) {
    auto object = CreateDigestObject(id);
    size_t done = 0;
    for (size_t cut : cuts) {
        object->Update(data + done, uint32_t(cut - done));
        done = cut;
    }
    object->Update(data + done, uint32_t(length - done));
    std::vector<uint8_t> digest(object->DigestSize());
    object->Final(digest.data());
    return ToHex(digest);
}

std::string PortableDigest(int id, const uint8_t* data, size_t length) {
    ScopedCpuLevel portable(CpuLevel::Portable);
    return DigestInPieces(id, data, length);
}

std::vector<CpuLevel> FastLevels() {
    std::vector<CpuLevel> levels = CpuLevels();
    levels.erase(levels.begin());  // Portable
    return levels;
}

class FastLevel : public testing::TestWithParam<std::tuple<CpuLevel, int>> {
  protected:
    CpuLevel Level() const { return std::get<0>(GetParam()); }
    int Id() const { return std::get<1>(GetParam()); }
};

std::string NameOf(const testing::TestParamInfo<std::tuple<CpuLevel, int>>& info) {
    return CpuLevelSuffix(std::get<0>(info.param)) + "_" + AlgorithmTestName(std::get<1>(info.param));
}

}  // namespace

TEST(CpuDispatch, PortableComesFirstAndEveryLevelCanBeChosen) {
    const std::vector<CpuLevel> levels = CpuLevels();
    ASSERT_FALSE(levels.empty());
    EXPECT_EQ(levels.front(), CpuLevel::Portable);
    const CpuLevel before = ActiveCpuLevel();
    for (CpuLevel level : levels) {
        EXPECT_TRUE(SetCpuLevel(level)) << CpuLevelName(level);
        EXPECT_EQ(ActiveCpuLevel(), level);
    }
    EXPECT_FALSE(SetCpuLevel(CpuLevel(int(levels.back()) + 1))) << "a level beyond this machine's";
    EXPECT_EQ(ActiveCpuLevel(), levels.back()) << "a refused level changes nothing";
    SetCpuLevel(before);
}

// Each listed level must switch at least one operation to other code; otherwise a fast path
// that is never chosen would go unnoticed, every comparison being portable against portable.
TEST(CpuDispatch, EveryListedLevelChangesTheCodeThatRuns) {
    const CpuLevel before = ActiveCpuLevel();
    std::vector<detail::Kernels> seen;
    for (CpuLevel level : CpuLevels()) {
        ASSERT_TRUE(SetCpuLevel(level));
        const detail::Kernels& kernels = detail::ActiveKernels();
        for (const detail::Kernels& other : seen) {
            EXPECT_FALSE(kernels.sha1_compress == other.sha1_compress &&
                         kernels.sha256_compress == other.sha256_compress &&
                         kernels.sha512_compress == other.sha512_compress &&
                         kernels.crc32_update == other.crc32_update &&
                         kernels.adler32_update == other.adler32_update &&
                         kernels.keccak_absorb == other.keccak_absorb &&
                         kernels.blake2b_compress == other.blake2b_compress)
                << CpuLevelName(level) << " runs the same code as a lower level";
        }
        seen.push_back(kernels);
    }
    SetCpuLevel(before);
}

#if HASHLIB_X86_64 && defined(__GNUC__)
// Checked against the compiler's own CPU detection, which is independent of ours: at the best
// level, every fast path whose instructions the CPU has must be the code that runs.
TEST(CpuDispatch, EachFastPathRunsWhereTheCpuHasItsInstructions) {
    __builtin_cpu_init();
    const bool sha = __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1");
    const bool pclmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool bmi1 = __builtin_cpu_supports("bmi");
    const bool bmi2 = __builtin_cpu_supports("bmi2");
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    const bool vpclmul = pclmul && avx2 && __builtin_cpu_supports("vpclmulqdq");
    const CpuLevel before = ActiveCpuLevel();
    ASSERT_TRUE(SetCpuLevel(CpuLevels().back()));
    const detail::Kernels& kernels = detail::ActiveKernels();
    EXPECT_EQ(kernels.sha1_compress == &detail::Sha1CompressShani, sha);
    EXPECT_EQ(kernels.sha256_compress == &detail::Sha256CompressShani, sha);
    EXPECT_EQ(kernels.crc32_update == &detail::Crc32UpdateClmul, pclmul && !vpclmul);
    EXPECT_EQ(kernels.crc32_update == &detail::Crc32UpdateVpclmul, vpclmul && !avx512);
    EXPECT_EQ(kernels.crc32_update == &detail::Crc32UpdateAvx512, vpclmul && avx512);
    EXPECT_EQ(kernels.adler32_update == &detail::Adler32UpdateAvx2, avx2);
    EXPECT_EQ(kernels.sha512_compress == &detail::Sha512CompressAvx2, avx2 && bmi2 && !avx512);
    EXPECT_EQ(kernels.sha512_compress == &detail::Sha512CompressAvx512, avx512 && bmi2);
    EXPECT_EQ(kernels.keccak_absorb == &detail::KeccakAbsorbAvx512, avx512);
    EXPECT_EQ(kernels.keccak_absorb == &detail::KeccakAbsorbBmi2, avx2 && bmi1 && bmi2 && !avx512);
    SetCpuLevel(before);
}
#endif

TEST(CpuDispatch, EnvironmentValueCapsTheLevel) {
    EXPECT_EQ(RequestedCpuLevel(nullptr, CpuLevel::Avx2), CpuLevel::Avx2);
    EXPECT_EQ(RequestedCpuLevel("portable", CpuLevel::Avx2), CpuLevel::Portable);
    EXPECT_EQ(RequestedCpuLevel("PORTABLE", CpuLevel::Sse41), CpuLevel::Portable);
    EXPECT_EQ(RequestedCpuLevel("sse4.1", CpuLevel::Avx2), CpuLevel::Sse41);
    EXPECT_EQ(RequestedCpuLevel("avx2", CpuLevel::Sse41), CpuLevel::Sse41) << "never above the CPU";
    EXPECT_EQ(RequestedCpuLevel("avx512", CpuLevel::Avx2), CpuLevel::Avx2) << "never above the CPU";
    EXPECT_EQ(RequestedCpuLevel("AVX512", CpuLevel::Avx512), CpuLevel::Avx512);
    EXPECT_EQ(RequestedCpuLevel("avx2", CpuLevel::Avx512), CpuLevel::Avx2);
    EXPECT_EQ(RequestedCpuLevel("avx10", CpuLevel::Avx512), CpuLevel::Avx512) << "unknown names are ignored";
    EXPECT_EQ(RequestedCpuLevel("", CpuLevel::Sse41), CpuLevel::Sse41);
    EXPECT_EQ(RequestedCpuLevel("portable ", CpuLevel::Avx2), CpuLevel::Avx2);
}

TEST_P(FastLevel, MatchesPortableOverRandomLengthsSplitsAndAlignments) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(8192 + 64);
    ScopedCpuLevel level(Level());
    // Every length up to 300 crosses each fast path's minimum and first few steps; random ones
    // up to 8 KB the steady state and its tails.
    for (int round = 0; round < 500; ++round) {
        const size_t length = round <= 300 ? size_t(round) : random.Below(8193);
        const size_t offset = random.Below(64);
        const uint8_t* start = data.data() + offset;
        const std::string expected = PortableDigest(Id(), start, length);
        ASSERT_EQ(DigestInPieces(Id(), start, length), expected)
            << "length " << length << ", offset " << offset;

        std::vector<size_t> cuts;
        for (uint32_t n = random.Below(4); n != 0; --n) {
            cuts.push_back(random.Below(uint32_t(length + 1)));
        }
        std::sort(cuts.begin(), cuts.end());
        ASSERT_EQ(DigestInPieces(Id(), start, length, cuts), expected)
            << "length " << length << ", offset " << offset << ", " << cuts.size() << " cuts";
    }
}

TEST_P(FastLevel, MatchesPortableOverLongInputs) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes((1 << 20) + 64);
    ScopedCpuLevel level(Level());
    // Around the vector checksum's 64 KiB reduction blocks, and a megabyte in 8192-byte updates.
    for (size_t length : {65535, 65536, 65537, 3 * 65536 + 45, (1 << 20) + 7}) {
        const size_t offset = random.Below(64);
        const std::string expected = PortableDigest(Id(), data.data() + offset, length);
        EXPECT_EQ(DigestInPieces(Id(), data.data() + offset, length), expected) << "length " << length;
        std::vector<size_t> cuts;
        for (size_t cut = 8192; cut < length; cut += 8192) {
            cuts.push_back(cut);
        }
        EXPECT_EQ(DigestInPieces(Id(), data.data() + offset, length, cuts), expected)
            << "length " << length << " in 8192-byte updates";
    }
}

// 0xFF bytes from the largest reduced sums push the vector lanes to their limits; odd starting
// registers catch a CRC fold that drops the register carried in.
TEST(FastChecksums, ContinueFromAnyState) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> ones(4 * 65536 + 64, 0xFF);
    const std::vector<uint8_t> noise = random.Bytes(ones.size());
    for (CpuLevel level : FastLevels()) {
        SCOPED_TRACE(CpuLevelName(level));
        for (uint32_t length :
             {31u, 32u, 33u, 63u, 64u, 65u, 79u, 80u, 127u, 65535u, 65536u, 65537u, 4u * 65536u}) {
            SCOPED_TRACE("length " + std::to_string(length));
            for (const std::vector<uint8_t>* input : {&ones, &noise}) {
                for (uint32_t start : {1u, 65520u << 16 | 65520u, 65520u, 65520u << 16}) {
                    Adler32Context portable{start};
                    Adler32Context fast{start};
                    {
                        ScopedCpuLevel scoped(CpuLevel::Portable);
                        Adler32Update(&portable, input->data(), length);
                    }
                    {
                        ScopedCpuLevel scoped(level);
                        Adler32Update(&fast, input->data(), length);
                    }
                    EXPECT_EQ(fast.value, portable.value) << "Adler-32 from " << start;
                }
                for (uint32_t start : {0u, 0xFFFFFFFFu, random.Below(0xFFFFFFFFu), 0x80000001u}) {
                    Crc32Context portable{start};
                    Crc32Context fast{start};
                    {
                        ScopedCpuLevel scoped(CpuLevel::Portable);
                        Crc32Update(&portable, input->data() + 1, length);
                    }
                    {
                        ScopedCpuLevel scoped(level);
                        Crc32Update(&fast, input->data() + 1, length);
                    }
                    EXPECT_EQ(fast.crc, portable.crc) << "CRC-32 from " << start;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Every, FastLevel,
                         testing::Combine(testing::ValuesIn(FastLevels()), testing::Range(0, AlgorithmCount)),
                         NameOf);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastLevel);
