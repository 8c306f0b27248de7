// Every published vector in tests/vectors, through the digest object, the one-shot catalogue
// operation and the catalogue's Init/Update/Final, at every CPU level this machine runs.
#include <gtest/gtest.h>

#include "test_support.h"
#include "vector_file.h"

using namespace hashlib;

namespace {

// Feeds `repeat` copies of the message, grouping copies so long inputs go in large pieces.
void FeedRepeated(DigestObject& object, const HashVector& v) {
    std::string piece;
    uint64_t copies_per_piece = v.message.empty() ? 1 : std::max<uint64_t>(1, 65536 / v.message.size());
    copies_per_piece = std::min(copies_per_piece, v.repeat);
    for (uint64_t i = 0; i < copies_per_piece; ++i) {
        piece += v.message;
    }
    uint64_t left = v.repeat;
    while (left >= copies_per_piece && left > 0) {
        object.Update(piece.data(), uint32_t(piece.size()));
        left -= copies_per_piece;
    }
    for (; left > 0; --left) {
        object.Update(v.message.data(), uint32_t(v.message.size()));
    }
}

// One published digest through the digest object, the catalogue's one-shot operation and its
// Init/Update/Final.
void CheckVector(const HashVector& v) {
    if (v.keyed) {
        return;  // keyed vectors belong to the HMAC tests
    }
    SCOPED_TRACE(v.where);
    const int id = FindAlgorithmByCommandName(v.algorithm);
    ASSERT_GE(id, 0) << "unknown algorithm " << v.algorithm;
    auto object = CreateDigestObject(id);
    ASSERT_TRUE(object) << v.algorithm;
    FeedRepeated(*object, v);
    EXPECT_EQ(HexDigestOf(*object), v.digest);

    const HashDescriptor* entry = FindHashDescriptor(Algorithms[id].catalogue_code);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(object->DigestSize(), int32_t(entry->digest_size));
    if (v.repeat == 1) {
        std::vector<char> text(2 * entry->digest_size + 1);
        entry->calculate_hex(text.data(), v.message.data(), uint32_t(v.message.size()), 0);
        EXPECT_EQ(std::string(text.data()), v.digest) << "catalogue one-shot";

        std::vector<uint8_t> context(entry->context_size + 64);
        entry->init(context.data());
        entry->update(context.data(), v.message.data(), uint32_t(v.message.size()));
        std::vector<uint8_t> digest(entry->digest_size);
        entry->final(context.data(), digest.data());
        if (id != AlgorithmCrc32) {  // CRC-32's raw digest is least significant byte first
            EXPECT_EQ(ToHex(digest), v.digest) << "catalogue Init/Update/Final";
        }
    }
}

}  // namespace

TEST(Vectors, ParserReadsEveryForm) {
    const auto records = ParseVectorFile("inline",
                                         "# source\nalgorithm md5\n"
                                         "text \"a b\" = 00\n"
                                         "hex 00ff x3 = 01\n"
                                         "text \"\" key hex 0b0b = 02\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].message, "a b");
    EXPECT_EQ(records[1].message, std::string("\x00\xff", 2));
    EXPECT_EQ(records[1].repeat, 3u);
    EXPECT_TRUE(records[2].keyed);
    EXPECT_EQ(records[2].key, "\x0b\x0b");
    EXPECT_EQ(records[2].digest, "02");
}

TEST(Vectors, PublishedDigestsOfEveryAlgorithmAtEveryCpuLevel) {
    const auto vectors = LoadAllVectors();
    ASSERT_FALSE(vectors.empty());
    int checked = 0;
    for (CpuLevel level : CpuLevels()) {
        ScopedCpuLevel scoped(level);
        SCOPED_TRACE(CpuLevelName(level));
        for (const auto& v : vectors) {
            CheckVector(v);
            checked += v.keyed ? 0 : 1;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Vectors, EveryAlgorithmHasPublishedVectors) {
    const auto vectors = LoadAllVectors();
    for (int id = 0; id < AlgorithmCount; ++id) {
        const bool found = std::any_of(vectors.begin(), vectors.end(), [&](const HashVector& v) {
            return !v.keyed && v.algorithm == Algorithms[id].command_name;
        });
        EXPECT_TRUE(found) << Algorithms[id].display_name;
    }
}
