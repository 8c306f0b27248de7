// Inputs longer than 4 GiB through repeated Update, so the high words of the byte count must
// carry; checked against the independent implementation fed the same pieces.
#include <gtest/gtest.h>

#include "oracle.h"
#include "test_support.h"

using namespace hashlib;

namespace {

class BeyondFourGiB : public testing::TestWithParam<int> {};

std::string NameOf(const testing::TestParamInfo<int>& info) { return Algorithms[info.param].command_name; }

// Algorithms whose byte count has a high word that reaches the digest.
std::vector<int> CountingAlgorithms() {
    std::vector<int> ids;
    for (int id : BuiltAlgorithms()) {
        if (id <= AlgorithmTiger || id == AlgorithmEdonkey) {
            ids.push_back(id);
        }
    }
    return ids;
}

}  // namespace

TEST_P(BeyondFourGiB, MatchesTheOracle) {
    const int id = GetParam();
    SeededRandom random;
    const std::vector<uint8_t> piece = random.Bytes(1 << 20);
    const uint64_t total = (uint64_t(1) << 32) + 12345;  // 4 GiB and an odd tail
    auto object = CreateDigestObject(id);
    auto oracle = CreateOracle(id);
    uint64_t done = 0;
    while (done < total) {
        const uint32_t length = uint32_t(std::min<uint64_t>(piece.size(), total - done));
        object->Update(piece.data(), length);
        oracle->Update(piece.data(), length);
        done += length;
    }
    std::vector<uint8_t> raw(object->DigestSize());
    object->Final(raw.data());
    EXPECT_EQ(ToHex(raw), ToHex(oracle->Final()));
}

INSTANTIATE_TEST_SUITE_P(Built, BeyondFourGiB, testing::ValuesIn(CountingAlgorithms()), NameOf);
