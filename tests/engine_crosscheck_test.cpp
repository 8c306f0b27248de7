// The engine and orvendal-cli against an independent implementation (Crypto++): every keyed
// binding over the key lengths around its block size, the driver over a file, and the command
// line program's output lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "engine/digest_calculator.h"
#include "engine/hmac_object.h"
#include "oracle.h"
#include "temp_dir.h"
#include "test_support.h"

using namespace hashlib;

namespace {

std::string HexOf(std::unique_ptr<OracleHash> oracle, const std::string& data) {
    oracle->Update(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    return ToHex(oracle->Final());
}

// The text the program shows: CRC-32's raw digest is least significant byte first and is
// printed the other way round.
std::string OracleHex(int id, const std::string& data) {
    auto oracle = CreateOracle(id);
    oracle->Update(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    std::vector<uint8_t> digest = oracle->Final();
    if (id == AlgorithmCrc32) {
        std::reverse(digest.begin(), digest.end());
    }
    return ToHex(digest);
}

std::string HmacOracle(int id, const std::string& key, const std::string& data) {
    return HexOf(CreateHmacOracle(id, reinterpret_cast<const uint8_t*>(key.data()), key.size()), data);
}

std::string Bytes(SeededRandom& random, size_t count) {
    const std::vector<uint8_t> bytes = random.Bytes(count);
    return std::string(bytes.begin(), bytes.end());
}

// Runs orvendal-cli with `arguments` (already quoted for the shell); its standard output lines.
std::vector<std::string> RunCli(const std::string& arguments, int& status) {
    FILE* pipe = popen((std::string("'") + ORVENDAL_CLI + "' " + arguments + " 2>/dev/null").c_str(), "r");
    std::vector<std::string> lines;
    char line[1024];
    while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
        lines.emplace_back(line);
        if (lines.back().ends_with('\n')) {
            lines.back().pop_back();
        }
    }
    status = pipe != nullptr ? pclose(pipe) : -1;
    return lines;
}

}  // namespace

TEST(EngineCrosscheck, EveryKeyedBindingAroundItsBlockSize) {
    SeededRandom random;
    SCOPED_TRACE("seed " + std::to_string(random.seed));
    for (int id = 0; id < AlgorithmCount; ++id) {
        if (!Algorithms[id].keyable) {
            continue;
        }
        SCOPED_TRACE(Algorithms[id].display_name);
        const HashDescriptor* entry = FindHashDescriptor(Algorithms[id].catalogue_code);
        ASSERT_NE(entry, nullptr);
        const uint32_t block = entry->block_size;
        for (uint32_t key_length : {0u, 1u, block - 1, block, block + 1, 2 * block}) {
            const std::string key = Bytes(random, key_length);
            auto object =
                engine::CreateHmacObject(id, reinterpret_cast<const uint8_t*>(key.data()), key_length);
            ASSERT_TRUE(object);
            EXPECT_EQ(object->DigestSize(), Algorithms[id].DigestSize());
            // Several messages in turn on one object: Final leaves it ready under the same key.
            for (size_t message_length : {size_t(0), size_t(block), size_t(3 * block + 5), size_t(1000)}) {
                const std::string message = Bytes(random, message_length);
                const size_t split = random.Below(uint32_t(message_length + 1));
                object->Update(message.data(), uint32_t(split));
                object->Update(message.data() + split, uint32_t(message_length - split));
                EXPECT_EQ(HexDigestOf(*object), HmacOracle(id, key, message))
                    << "key " << key_length << ", message " << message_length;
            }
        }
    }
}

TEST(EngineCrosscheck, CalculateOverAFile) {
    SeededRandom random;
    TempDir dir;
    const std::string content = Bytes(random, 5 * 8192 + 77);
    const std::string path = dir.Write("data", content);
    engine::Selection all;
    all.fill(1);
    for (bool parallel : {false, true}) {
        SCOPED_TRACE(parallel ? "parallel" : "serial");
        engine::DigestCalculator calculator;
        calculator.SetParallelFeeding(parallel);
        calculator.SetPieceBlocks(2);  // many pieces through the parallel ring
        std::vector<std::string> plain, keyed;
        ASSERT_EQ(calculator.Calculate(0, path, false, 0, "", all, plain), engine::ResultSuccess);
        ASSERT_EQ(calculator.Calculate(0, path, true, 1, "0102030405", all, keyed), engine::ResultSuccess);
        for (int id = 0; id < AlgorithmCount; ++id) {
            SCOPED_TRACE(Algorithms[id].display_name);
            EXPECT_EQ(plain[id], OracleHex(id, content));
            EXPECT_EQ(keyed[id],
                      Algorithms[id].keyable ? HmacOracle(id, "\x01\x02\x03\x04\x05", content) : "");
        }
    }
}

TEST(EngineCrosscheck, CliOutputLines) {
    SeededRandom random;
    TempDir dir;
    const std::string content = Bytes(random, 3 * 8192);
    const std::string path = dir.Write("random data", content);
    const std::string quoted = "'" + path + "'";

    struct Case {
        std::string arguments, label, data, key;
        bool keyed;
        std::vector<int> algorithms;
    };
    std::vector<int> all;  // -a all: the common algorithms
    for (int id = 0; id < CommonAlgorithmCount; ++id) {
        all.push_back(id);
    }
    const std::vector<int> added = {AlgorithmSha3_256, AlgorithmSha3_512, AlgorithmBlake2b};
    const std::vector<Case> cases = {
        {"-a all " + quoted, path, content, "", false, all},
        {"-a all --text 'The quick brown fox'", "-", "The quick brown fox", "", false, all},
        {"-a all -x '00 ff 7A'", "-", std::string("\x00\xff\x7a", 3), "", false, all},
        {"-a all -k 'a key' " + quoted, path, content, "a key", true, all},
        {"-a all --hmac-hex '0b 0b 0b' -t abc", "-", "abc", "\x0b\x0b\x0b", true, all},
        {"-a sha3-256,sha3-512,blake2b " + quoted, path, content, "", false, added},
        {"-a sha3-256,sha3-512 -k 'a key' " + quoted, path, content, "a key", true, added},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::vector<std::string> expected;
        for (int id : c.algorithms) {
            if (c.keyed && !Algorithms[id].keyable) {
                continue;
            }
            const std::string digest = c.keyed ? HmacOracle(id, c.key, c.data) : OracleHex(id, c.data);
            expected.push_back(std::string(c.keyed ? "HMAC-" : "") + Algorithms[id].tag_name + " (" +
                               c.label + ") = " + digest);
        }
        int status = -1;
        EXPECT_EQ(RunCli(c.arguments, status), expected);
        EXPECT_EQ(status, 0);
    }
}
