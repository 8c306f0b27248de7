// Every built algorithm, at every CPU level, against an independent implementation over random
// lengths and split points. The seed is fixed and named in failures (ORVENDAL_SEED replays another).
#include <gtest/gtest.h>

#include <tuple>

#include "oracle.h"
#include "test_support.h"

using namespace hashlib;

namespace {

// Each algorithm at each CPU level this machine runs.
class AgainstOracle : public testing::TestWithParam<std::tuple<int, CpuLevel>> {};

std::string NameOf(const testing::TestParamInfo<std::tuple<int, CpuLevel>>& info) {
    return AlgorithmTestName(std::get<0>(info.param)) + "_" + CpuLevelSuffix(std::get<1>(info.param));
}

}  // namespace

TEST_P(AgainstOracle, RandomLengthsAndSplits) {
    const int id = std::get<0>(GetParam());
    ScopedCpuLevel level(std::get<1>(GetParam()));
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    for (int round = 0; round < 300; ++round) {
        const size_t length = random.Below(4097);
        const std::vector<uint8_t> data = random.Bytes(length);
        auto oracle = CreateOracle(id);
        oracle->Update(data.data(), data.size());
        const std::string expected = ToHex(oracle->Final());

        auto object = CreateDigestObject(id);
        size_t done = 0;
        while (done < length) {
            const size_t piece = std::min<size_t>(length - done, random.Below(300));
            object->Update(data.data() + done, uint32_t(piece));
            done += piece;
        }
        std::vector<uint8_t> raw(object->DigestSize());
        object->Final(raw.data());
        ASSERT_EQ(ToHex(raw), expected) << "round " << round << ", length " << length;
    }
}

INSTANTIATE_TEST_SUITE_P(Every, AgainstOracle,
                         testing::Combine(testing::Range(0, AlgorithmCount), testing::ValuesIn(CpuLevels())),
                         NameOf);
