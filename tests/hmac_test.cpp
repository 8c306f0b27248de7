// The HMAC engine through the catalogue and HmacObject: published vectors (RFC 2202, RFC 4231)
// and the RFC 2104 construction's own properties, for every keyable algorithm.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "engine/hmac_object.h"
#include "test_support.h"
#include "vector_file.h"

using namespace hashlib;

namespace {

std::vector<int> KeyableAlgorithms() {
    std::vector<int> ids;
    for (int id = 0; id < AlgorithmCount; ++id) {
        if (Algorithms[id].keyable) {
            ids.push_back(id);
        }
    }
    return ids;
}

std::string Hmac(int id, const std::string& key, const std::string& message) {
    auto object =
        engine::CreateHmacObject(id, reinterpret_cast<const uint8_t*>(key.data()), uint32_t(key.size()));
    EXPECT_TRUE(object) << Algorithms[id].display_name;
    if (!object) {
        return {};
    }
    object->Update(message.data(), uint32_t(message.size()));
    return HexDigestOf(*object);
}

std::string Plain(int id, const std::string& message) {
    auto object = CreateDigestObject(id);
    std::string digest(size_t(object->DigestSize()), '\0');
    object->Update(message.data(), uint32_t(message.size()));
    object->Final(reinterpret_cast<uint8_t*>(digest.data()));
    return digest;
}

}  // namespace

TEST(Hmac, PublishedVectors) {
    int checked = 0;
    for (const HashVector& v : LoadAllVectors()) {
        if (!v.keyed) {
            continue;
        }
        SCOPED_TRACE(v.where);
        const int id = FindAlgorithmByCommandName(v.algorithm);
        ASSERT_GE(id, 0);
        ASSERT_TRUE(Algorithms[id].keyable);
        const uint32_t code = Algorithms[id].catalogue_code;
        ASSERT_NE(FindHashDescriptor(code), nullptr);
        std::string message;
        for (uint64_t i = 0; i < v.repeat; ++i) {
            message += v.message;
        }
        // The engine on its own, fed in two pieces...
        HmacContext context;
        ASSERT_TRUE(HmacInit(&context, code, v.key.data(), uint32_t(v.key.size())));
        const size_t half = message.size() / 2;
        HmacUpdate(&context, message.data(), uint32_t(half));
        HmacUpdate(&context, message.data() + half, uint32_t(message.size() - half));
        std::vector<uint8_t> digest(HmacDigestSize(&context));
        ASSERT_TRUE(HmacFinal(&context, digest.data()));
        EXPECT_EQ(ToHex(digest), v.digest);
        // ...and again on the same context, which Final left ready for the same key.
        HmacUpdate(&context, message.data(), uint32_t(message.size()));
        std::vector<char> text(2 * digest.size() + 1);
        ASSERT_TRUE(HmacFinalHex(&context, text.data(), 0));
        EXPECT_EQ(std::string(text.data()), v.digest);
        // The object the driver uses.
        EXPECT_EQ(Hmac(id, v.key, message), v.digest);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// RFC 2104: a key longer than the block is replaced by its digest; a key of up to B bytes is
// used as it is, zero-padded to B.
TEST(Hmac, KeyLengthRulesForEveryKeyableAlgorithm) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    const std::string message = "the quick brown fox";
    for (int id : KeyableAlgorithms()) {
        SCOPED_TRACE(Algorithms[id].display_name);
        const uint32_t block = Algorithms[id].BlockSize();
        for (uint32_t length : {block + 1, 2 * block}) {
            const std::vector<uint8_t> bytes = random.Bytes(length);
            const std::string key(bytes.begin(), bytes.end());
            EXPECT_EQ(Hmac(id, key, message), Hmac(id, Plain(id, key), message)) << "key of " << length;
        }
        const std::vector<uint8_t> bytes = random.Bytes(block);
        const std::string key(bytes.begin(), bytes.end());
        EXPECT_NE(Hmac(id, key, message), Hmac(id, Plain(id, key), message))
            << "a key of B bytes is not hashed";
        EXPECT_EQ(Hmac(id, "k", message), Hmac(id, std::string("k\0\0", 3), message)) << "zero padding";
        EXPECT_NE(Hmac(id, "", message), Hmac(id, "k", message));
    }
}

TEST(Hmac, EmptyKeyGivesPurePadBlocks) {
    for (int id : KeyableAlgorithms()) {
        SCOPED_TRACE(Algorithms[id].display_name);
        HmacContext context;
        ASSERT_TRUE(HmacInit(&context, Algorithms[id].catalogue_code, nullptr, 0));
        const uint32_t block = Algorithms[id].BlockSize();
        for (uint32_t i = 0; i < block; ++i) {
            ASSERT_EQ(context.pads[i], 0x36) << i;
            ASSERT_EQ(context.pads[block + i], 0x5c) << i;
        }
    }
}

TEST(Hmac, RefusedCodesLeaveTheContextUntouched) {
    std::vector<uint32_t> refused = {CatalogueSize, CatalogueSize + 1, 0xFFFFFFFFu, 12};
    for (int id = 0; id < AlgorithmCount; ++id) {
        if (Algorithms[id].keyable) {
            continue;
        }
        // Never keyed by the driver; the engine itself refuses those with a block below 8 bytes.
        EXPECT_EQ(engine::CreateHmacObject(id, nullptr, 0), nullptr) << Algorithms[id].display_name;
        const HashDescriptor* entry = FindHashDescriptor(Algorithms[id].catalogue_code);
        if (entry != nullptr && entry->block_size < 8) {
            refused.push_back(Algorithms[id].catalogue_code);
        }
    }
    EXPECT_EQ(refused.size(), 7u) << "Adler-32, CRC-32 and eDonkey are refused";
    for (uint32_t code : refused) {
        SCOPED_TRACE("code " + std::to_string(code));
        HmacContext context;
        std::memset(static_cast<void*>(&context), 0xA5, sizeof context);
        context.code = code;
        std::vector<uint8_t> before(sizeof context);
        std::memcpy(before.data(), &context, sizeof context);
        uint8_t digest[64] = {};
        char text[129] = "unchanged";
        EXPECT_FALSE(HmacInit(&context, code, "key", 3));
        EXPECT_FALSE(HmacUpdate(&context, "abc", 3));
        EXPECT_FALSE(HmacFinal(&context, digest));
        EXPECT_FALSE(HmacFinalHex(&context, text, 0));
        EXPECT_EQ(HmacDigestSize(&context), 0u);
        EXPECT_EQ(std::memcmp(&context, before.data(), sizeof context), 0);
        EXPECT_STREQ(text, "unchanged");
    }
    HmacContext fresh;  // never bound
    EXPECT_FALSE(HmacUpdate(&fresh, "abc", 3));
    EXPECT_EQ(HmacDigestSize(&fresh), 0u);
}

TEST(Hmac, WipeUnbindsAndClearsTheKey) {
    const std::vector<int> ids = KeyableAlgorithms();
    ASSERT_FALSE(ids.empty());
    HmacContext context;
    ASSERT_TRUE(HmacInit(&context, Algorithms[ids.back()].catalogue_code, "secret", 6));
    HmacWipe(&context);
    EXPECT_EQ(HmacDigestSize(&context), 0u);
    EXPECT_TRUE(
        std::all_of(std::begin(context.pads), std::end(context.pads), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(std::begin(context.record), std::end(context.record), [](auto b) { return b == 0; }));
}

TEST(Hmac, TextIsTwoDigitsPerByteInEitherCase) {
    for (int id : KeyableAlgorithms()) {
        SCOPED_TRACE(Algorithms[id].display_name);
        HmacContext context;
        ASSERT_TRUE(HmacInit(&context, Algorithms[id].catalogue_code, "k", 1));
        const uint32_t size = HmacDigestSize(&context);
        EXPECT_EQ(size, uint32_t(Algorithms[id].DigestSize()));
        std::vector<uint8_t> digest(size);
        HmacFinal(&context, digest.data());
        std::vector<char> text(2 * size + 2, '#');
        HmacFinalHex(&context, text.data(), 1);
        EXPECT_EQ(text[2 * size + 1], '#') << "wrote past 2n + 1 characters";
        std::string upper = ToHex(digest);
        for (char& c : upper) {
            c = char(std::toupper(c));
        }
        EXPECT_EQ(std::string(text.data()), upper);
    }
}
