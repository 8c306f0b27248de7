// The eDonkey/eMule chunk rule at and around the 9728000-byte chunk boundaries, against MD4 from
// the independent implementation applied by the same rule. Inputs are fed as the file reader
// feeds them (8192-byte pieces), in one call, and one byte at a time across a boundary.
#include <gtest/gtest.h>

#include "oracle.h"
#include "test_support.h"

using namespace hashlib;

namespace {

constexpr uint32_t kChunk = 9728000;

std::string OracleDigest(const std::vector<uint8_t>& data, uint32_t length) {
    auto oracle = CreateOracle(AlgorithmEdonkey);
    oracle->Update(data.data(), length);
    return ToHex(oracle->Final());
}

std::string Finish(DigestObject& object) {
    uint8_t digest[16];
    object.Final(digest);
    return ToHex(digest, 16);
}

}  // namespace

TEST(Edonkey, ChunkBoundariesMatchTheOracle) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(2 * kChunk + 1);
    // One object for every length: Final must leave it fresh, also after several chunks.
    auto object = CreateDigestObject(AlgorithmEdonkey);
    for (uint32_t length : {0u, 1u, kChunk - 1, kChunk, kChunk + 1, 2 * kChunk, 2 * kChunk + 1, 1u}) {
        SCOPED_TRACE("length " + std::to_string(length));
        const std::string expected = OracleDigest(data, length);

        for (uint32_t done = 0; done < length; done += 8192) {
            object->Update(data.data() + done, std::min<uint32_t>(8192, length - done));
        }
        EXPECT_EQ(Finish(*object), expected) << "8192-byte pieces";

        object->Update(data.data(), length);
        EXPECT_EQ(Finish(*object), expected) << "one call";

        uint8_t digest[16];
        EdonkeyCalculate(digest, data.data(), length);
        EXPECT_EQ(ToHex(digest, 16), expected) << "one-shot";
    }
}

TEST(Edonkey, SingleBytesAcrossTheBoundary) {
    SeededRandom random;
    const std::vector<uint8_t> data = random.Bytes(kChunk + 2);
    for (uint32_t length : {kChunk, kChunk + 1, kChunk + 2}) {
        SCOPED_TRACE("length " + std::to_string(length));
        auto object = CreateDigestObject(AlgorithmEdonkey);
        const uint32_t lead = kChunk - 3;
        object->Update(data.data(), lead);
        for (uint32_t i = lead; i < length; ++i) {
            object->Update(&data[i], 1);
        }
        EXPECT_EQ(Finish(*object), OracleDigest(data, length));
    }
}
