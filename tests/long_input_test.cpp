// Inputs longer than 4 GiB through repeated Update, so the high words of the byte count must
// carry; checked against the independent implementation fed the same pieces.
#include <gtest/gtest.h>

#include <algorithm>

#include "oracle.h"
#include "test_support.h"

using namespace hashlib;

namespace {

class BeyondFourGiB : public testing::TestWithParam<int> {};

std::string NameOf(const testing::TestParamInfo<int>& info) {
    return AlgorithmTestName(info.param);
}

// Algorithms whose byte count has a high word that reaches the digest, less those the 5 GiB file
// test (huge_file_test.py: MD5, SHA-1, SHA-256, SHA-512, RIPEMD-160, Tiger, eDonkey) already
// takes beyond 4 GiB against independent implementations: each is hashed that far once per run.
std::vector<int> CountingAlgorithms() {
    const std::vector<int> beyond_in_the_file_test = {AlgorithmMd5,      AlgorithmSha1,  AlgorithmSha256,
                                                      AlgorithmSha512,   AlgorithmTiger, AlgorithmEdonkey,
                                                      AlgorithmRipemd160};
    std::vector<int> ids;
    for (int id = 0; id < AlgorithmCount; ++id) {
        const bool counting = id <= AlgorithmTiger || id == AlgorithmEdonkey;
        if (counting && std::find(beyond_in_the_file_test.begin(), beyond_in_the_file_test.end(), id) ==
                            beyond_in_the_file_test.end()) {
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

INSTANTIATE_TEST_SUITE_P(Counting, BeyondFourGiB, testing::ValuesIn(CountingAlgorithms()), NameOf);
