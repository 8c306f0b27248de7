// MD5 and RIPEMD-160 updated in one pass give exactly what each object's own Update gives, from
// any state either object is in: the same or different buffered bytes, any split of the input.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace hashlib;

namespace {

std::string Hex(DigestObject& object) {
    return HexDigestOf(object);
}

}  // namespace

TEST(UpdateTogether, OnlyPlainMd5AndRipemd160AreFedInOnePass) {
    auto md5 = CreateDigestObject(AlgorithmMd5);
    auto ripemd160 = CreateDigestObject(AlgorithmRipemd160);
    auto sha1 = CreateDigestObject(AlgorithmSha1);
    auto md4 = CreateDigestObject(AlgorithmMd4);
    EXPECT_TRUE(CanUpdateTogether(*md5, *ripemd160));
    EXPECT_TRUE(CanUpdateTogether(*ripemd160, *md5));
    EXPECT_FALSE(CanUpdateTogether(*md5, *sha1));
    EXPECT_FALSE(CanUpdateTogether(*md4, *ripemd160));
    EXPECT_FALSE(CanUpdateTogether(*md5, *md5));

    // Objects that are not such a pair are still both updated.
    auto alone_md5 = CreateDigestObject(AlgorithmMd5);
    auto alone_sha1 = CreateDigestObject(AlgorithmSha1);
    UpdateTogether(*md5, *sha1, "abc", 3);
    alone_md5->Update("abc", 3);
    alone_sha1->Update("abc", 3);
    EXPECT_EQ(Hex(*md5), Hex(*alone_md5));
    EXPECT_EQ(Hex(*sha1), Hex(*alone_sha1));
}

TEST(UpdateTogether, SameDigestsAsSeparateUpdatesFromAnyState) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::vector<uint8_t> data = random.Bytes(20000);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto md5 = CreateDigestObject(AlgorithmMd5);
        auto ripemd160 = CreateDigestObject(AlgorithmRipemd160);
        auto alone_md5 = CreateDigestObject(AlgorithmMd5);
        auto alone_ripemd160 = CreateDigestObject(AlgorithmRipemd160);
        // Different prefixes of the same or of different lengths: equal or unequal buffer fills,
        // and equal fills over different buffered bytes.
        const uint32_t md5_prefix = random.Below(130);
        const uint32_t ripemd160_prefix = round % 3 == 0 ? md5_prefix : random.Below(130);
        md5->Update(data.data() + 7, md5_prefix);
        alone_md5->Update(data.data() + 7, md5_prefix);
        ripemd160->Update(data.data() + 11, ripemd160_prefix);
        alone_ripemd160->Update(data.data() + 11, ripemd160_prefix);

        const size_t length = random.Below(uint32_t(data.size() - 200));
        size_t done = 0;
        while (done < length) {
            const size_t piece = std::min<size_t>(length - done, round % 2 ? 8192 : random.Below(700));
            const uint8_t* at = data.data() + 200 + done;
            if (random.Below(2) == 0) {
                UpdateTogether(*md5, *ripemd160, at, uint32_t(piece));
            } else {
                UpdateTogether(*ripemd160, *md5, at, uint32_t(piece));
            }
            alone_md5->Update(at, uint32_t(piece));
            alone_ripemd160->Update(at, uint32_t(piece));
            done += piece;
        }
        ASSERT_EQ(Hex(*md5), Hex(*alone_md5)) << "prefixes " << md5_prefix << ", " << ripemd160_prefix;
        ASSERT_EQ(Hex(*ripemd160), Hex(*alone_ripemd160))
            << "prefixes " << md5_prefix << ", " << ripemd160_prefix;
    }
}
