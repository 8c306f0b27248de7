// Properties every digest object must have, checked for every algorithm:
// the digest does not depend on how the input is split or where it lies in memory, Final
// leaves the object fresh, and the text has exactly 2 x DigestSize digits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <tuple>

#include "test_support.h"

using namespace hashlib;

namespace {

std::string OneCall(int id, const uint8_t* data, size_t length) {
    auto object = CreateDigestObject(id);
    object->Update(data, uint32_t(length));
    return HexDigestOf(*object);
}

// Lengths around every block size in use (16, 32, 64, 72, 128, 136) and their padding limits.
std::vector<size_t> BoundaryLengths() {
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 260; ++n) {
        lengths.push_back(n);
    }
    for (size_t n : {383, 384, 385, 511, 512, 513, 1000, 1023, 1024, 1025, 4095, 4096, 4097}) {
        lengths.push_back(n);
    }
    return lengths;
}

// Each algorithm at each CPU level this machine runs, so the fast paths get the same checks.
class EveryAlgorithm : public testing::TestWithParam<std::tuple<int, CpuLevel>> {
  protected:
    void SetUp() override { level_ = std::make_unique<ScopedCpuLevel>(std::get<1>(GetParam())); }
    void TearDown() override { level_.reset(); }
    int Id() const { return std::get<0>(GetParam()); }

  private:
    std::unique_ptr<ScopedCpuLevel> level_;
};

std::string NameOf(const testing::TestParamInfo<std::tuple<int, CpuLevel>>& info) {
    return AlgorithmTestName(std::get<0>(info.param)) + "_" + CpuLevelSuffix(std::get<1>(info.param));
}

}  // namespace

TEST(Algorithms, TableAgreesWithTheCatalogue) {
    for (int id = 0; id < AlgorithmCount; ++id) {
        const HashDescriptor* entry = FindHashDescriptor(Algorithms[id].catalogue_code);
        ASSERT_NE(entry, nullptr) << Algorithms[id].display_name;
        EXPECT_EQ(CreateDigestObject(id)->DigestSize(), Algorithms[id].DigestSize());
        EXPECT_EQ(entry->init, entry->init_again);
    }
    EXPECT_EQ(CreateDigestObject(-1), nullptr);
    EXPECT_EQ(CreateDigestObject(AlgorithmCount), nullptr);
    EXPECT_EQ(FindHashDescriptor(CatalogueSize), nullptr);
    EXPECT_EQ(FindHashDescriptor(0xffffffffu), nullptr);
    EXPECT_EQ(FindHashDescriptor(75), nullptr);  // a code this program does not use
}

TEST(Algorithms, NamesAndSumFileSpellingsFindTheirRow) {
    for (int id = 0; id < AlgorithmCount; ++id) {
        for (const char* name :
             {Algorithms[id].display_name, Algorithms[id].command_name, Algorithms[id].tag_name}) {
            EXPECT_EQ(FindAlgorithmByName(name), id) << name;
        }
        std::string upper = Algorithms[id].command_name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return char(std::toupper(c)); });
        EXPECT_EQ(FindAlgorithmByCommandName(upper), id) << upper;
    }
    const std::vector<std::pair<std::string, int>> spellings = {
        {"md-5", AlgorithmMd5},
        {"SHA-1", AlgorithmSha1},
        {"SHA-256", AlgorithmSha256},
        {"SHA-384", AlgorithmSha384},
        {"Sha-512", AlgorithmSha512},
        {"RMD160", AlgorithmRipemd160},
        {"RIPEMD-160", AlgorithmRipemd160},
        {"tiger192", AlgorithmTiger},
        {"ED2K", AlgorithmEdonkey},
        {"CRC-32", AlgorithmCrc32},
        {"ADLER-32", AlgorithmAdler32},
        {"EDONKEY/EMULE", AlgorithmEdonkey},
        {"sha3_256", AlgorithmSha3_256},
        {"SHA3_512", AlgorithmSha3_512},
        {"BLAKE2B-512", AlgorithmBlake2b},
        {"blake2b512", AlgorithmBlake2b},
    };
    for (const auto& [spelling, id] : spellings) {
        EXPECT_EQ(FindAlgorithmByName(spelling), id) << spelling;
        EXPECT_EQ(FindAlgorithmByCommandName(spelling), -1) << spelling;
    }
    for (const char* unknown : {"", "SHA-3", "MD5 ", "CRC", "all"}) {
        EXPECT_EQ(FindAlgorithmByName(unknown), -1) << unknown;
    }
}

TEST_P(EveryAlgorithm, AnySplitOfTheInputGivesTheSameDigest) {
    const int id = Id();
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(4097);
    for (size_t length : BoundaryLengths()) {
        SCOPED_TRACE("length " + std::to_string(length));
        const std::string expected = OneCall(id, data.data(), length);

        auto object = CreateDigestObject(id);
        for (size_t i = 0; i < length; ++i) {
            object->Update(&data[i], 1);
            object->Update(&data[i], 0);  // zero-length updates change nothing
        }
        ASSERT_EQ(HexDigestOf(*object), expected) << "byte at a time";

        // Two pieces at every split point for short inputs, at random points for longer ones.
        const size_t splits = length <= 260 ? length + 1 : 16;
        for (size_t s = 0; s < splits; ++s) {
            const size_t at = length <= 260 ? s : random.Below(uint32_t(length + 1));
            object->Update(data.data(), uint32_t(at));
            object->Update(data.data() + at, uint32_t(length - at));
            ASSERT_EQ(HexDigestOf(*object), expected) << "split at " << at;
        }

        // Random pieces.
        size_t done = 0;
        while (done < length) {
            const size_t piece = std::min<size_t>(length - done, random.Below(200));
            object->Update(data.data() + done, uint32_t(piece));
            done += piece;
        }
        ASSERT_EQ(HexDigestOf(*object), expected) << "random pieces";
    }
}

TEST_P(EveryAlgorithm, MisalignedInputGivesTheSameDigest) {
    const int id = Id();
    SeededRandom random;
    const std::vector<uint8_t> data = random.Bytes(1500);
    const std::string expected = OneCall(id, data.data(), data.size());
    std::vector<uint8_t> shifted(data.size() + 16);
    for (size_t offset = 1; offset < 16; ++offset) {
        std::memcpy(shifted.data() + offset, data.data(), data.size());
        EXPECT_EQ(OneCall(id, shifted.data() + offset, data.size()), expected) << "offset " << offset;
        auto object = CreateDigestObject(id);
        object->Update(shifted.data() + offset, 3);
        object->Update(shifted.data() + offset + 3, uint32_t(data.size() - 3));
        EXPECT_EQ(HexDigestOf(*object), expected) << "offset " << offset << " in two pieces";
    }
}

TEST_P(EveryAlgorithm, FinalLeavesTheObjectFresh) {
    const int id = Id();
    auto fresh = CreateDigestObject(id);
    const std::string empty = HexDigestOf(*fresh);
    EXPECT_EQ(empty.size(), size_t(2 * fresh->DigestSize()));
    EXPECT_EQ(HexDigestOf(*fresh), empty) << "HexDigest twice";

    const uint8_t abc[] = {'a', 'b', 'c'};
    const std::string abc_digest = OneCall(id, abc, 3);
    auto object = CreateDigestObject(id);
    std::vector<uint8_t> long_input(300, 0x5a);
    object->Update(long_input.data(), uint32_t(long_input.size()));
    std::vector<uint8_t> raw(object->DigestSize());
    object->Final(raw.data());
    EXPECT_EQ(HexDigestOf(*object), empty) << "after Final";
    object->Update(abc, 1);
    object->Update(abc, 0);
    object->Update(abc + 1, 2);
    EXPECT_EQ(HexDigestOf(*object), abc_digest) << "a, nothing, bc after reuse";
}

TEST_P(EveryAlgorithm, FinalWritesTheBytesHexDigestPrints) {
    const int id = Id();
    const uint8_t data[] = "123456789";
    auto object = CreateDigestObject(id);
    object->Update(data, 9);
    std::vector<uint8_t> raw(object->DigestSize());
    object->Final(raw.data());
    std::vector<uint8_t> printed_order = raw;
    if (id == AlgorithmCrc32) {  // stored least significant byte first, printed the other way round
        std::reverse(printed_order.begin(), printed_order.end());
    }
    EXPECT_EQ(ToHex(printed_order), OneCall(id, data, 9));

    const HashDescriptor* entry = FindHashDescriptor(Algorithms[id].catalogue_code);
    std::vector<uint8_t> one_shot(entry->digest_size);
    entry->calculate(one_shot.data(), data, 9);
    EXPECT_EQ(one_shot, raw);
    std::vector<char> upper(2 * entry->digest_size + 1);
    entry->calculate_hex(upper.data(), data, 9, 1);
    std::string lower(upper.data());
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(lower, OneCall(id, data, 9));
    EXPECT_NE(std::string(upper.data()), lower) << "upper-case flag ignored";
}

INSTANTIATE_TEST_SUITE_P(All, EveryAlgorithm,
                         testing::Combine(testing::Range(0, AlgorithmCount), testing::ValuesIn(CpuLevels())),
                         NameOf);
