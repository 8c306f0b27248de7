// orvendal-bench: throughput of every algorithm of the library, of HMAC and of one-pass
// combinations, beside the same measurements of OpenSSL, Crypto++, RHash, zlib, libsodium and
// libb2 taken in the same run, then the ratios between them. The data is 64 MiB of fixed pseudo-random bytes
// fed in 8192-byte updates, the block size of the file pass. Google Benchmark's flags apply
// (--benchmark_filter, --benchmark_repetitions, --benchmark_out=FILE --benchmark_out_format=json).
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "anchors.h"
#include "hashlib/hashlib.h"
#include "hashlib/hmac.h"
#include "ratio_table.h"

namespace bench {
namespace {

constexpr size_t kBufferSize = size_t(64) << 20;
constexpr uint32_t kBlockSize = 8192;
// Every implementation must agree with ours on this much of the buffer (a short last block),
// computed twice on one object so that Final's reset is checked too.
constexpr size_t kCheckSize = 1000003;

const std::vector<uint8_t>& Buffer() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(kBufferSize);
        std::mt19937_64 random(0x6f7276656e64616cULL);
        for (size_t i = 0; i < bytes.size(); i += 8) {
            const uint64_t word = random();
            std::memcpy(&bytes[i], &word, 8);
        }
        return bytes;
    }();
    return data;
}

// The file pass's block loop: each 8192-byte block to every object in turn, then the short last
// block, which is empty when the size is a multiple of the block.
void FeedBlocks(const std::vector<hashlib::DigestObject*>& objects, const uint8_t* data, size_t size) {
    size_t offset = 0;
    for (; size - offset >= kBlockSize; offset += kBlockSize) {
        for (hashlib::DigestObject* object : objects) {
            object->Update(data + offset, kBlockSize);
        }
    }
    for (hashlib::DigestObject* object : objects) {
        object->Update(data + offset, uint32_t(size - offset));
    }
}

void Measure(benchmark::State& state, const std::vector<DigestFactory>& factories) {
    std::vector<std::unique_ptr<hashlib::DigestObject>> owned;
    std::vector<hashlib::DigestObject*> objects;
    for (const DigestFactory& create : factories) {
        owned.push_back(create());
        objects.push_back(owned.back().get());
    }
    const uint8_t* data = Buffer().data();
    uint8_t digest[64];
    for (auto _ : state) {
        FeedBlocks(objects, data, kBufferSize);
        for (hashlib::DigestObject* object : objects) {
            object->Final(digest);
            benchmark::DoNotOptimize(digest[0]);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBufferSize));
}

std::string ToHex(const uint8_t* bytes, int32_t size) {
    std::string text(2 * size_t(size), '\0');
    hashlib::HexEncode(text.data(), bytes, uint32_t(size), 0);
    return text;
}

std::string CheckDigest(hashlib::DigestObject& object) {
    std::string digests[2];
    for (std::string& digest : digests) {
        uint8_t bytes[64];
        FeedBlocks({&object}, Buffer().data(), kCheckSize);
        object.Final(bytes);
        digest = ToHex(bytes, object.DigestSize());
    }
    return digests[0] == digests[1] ? digests[0] : "differs after Final";
}

// The library's keyed objects through its HMAC engine.
class OurHmac final : public hashlib::DigestObject {
  public:
    OurHmac(uint32_t code, const std::vector<uint8_t>& key) {
        hashlib::HmacInit(&context_, code, key.data(), uint32_t(key.size()));
    }
    ~OurHmac() override { hashlib::HmacWipe(&context_); }
    OurHmac(const OurHmac&) = delete;
    OurHmac& operator=(const OurHmac&) = delete;

    void Update(const void* data, uint32_t length) override { hashlib::HmacUpdate(&context_, data, length); }
    void Final(uint8_t* digest) override { hashlib::HmacFinal(&context_, digest); }
    void HexDigest(char* text) override { hashlib::HmacFinalHex(&context_, text, 0); }
    int32_t DigestSize() const override { return int32_t(hashlib::HmacDigestSize(&context_)); }

  private:
    hashlib::HmacContext context_;
};

// Registers "<row>/<library>" for ours and each anchor that agrees with ours on the check data; a
// disagreeing one would be measuring something else.
void RegisterRow(const std::string& row, DigestFactory ours, const std::vector<Anchor>& anchors) {
    std::vector<Anchor> implementations = {{kOurs, std::move(ours)}};
    implementations.insert(implementations.end(), anchors.begin(), anchors.end());
    std::string reference;
    for (const Anchor& implementation : implementations) {
        const std::string digest = CheckDigest(*implementation.create());
        if (reference.empty()) {
            reference = digest;
        } else if (digest != reference) {
            std::cerr << "orvendal-bench: " << row << "/" << implementation.library << " disagrees with "
                      << implementations.front().library << " on the check data (" << digest << " against "
                      << reference << "); not measured\n";
            continue;
        }
        benchmark::RegisterBenchmark(
            (row + "/" + implementation.library).c_str(),
            [create = implementation.create](benchmark::State& state) { Measure(state, {create}); })
            ->Unit(benchmark::kMillisecond);
    }
}

// A one-pass combination of the members of `wanted`: ours, and RHash's own multi-algorithm
// context when RHash has every member.
Combination RegisterCombination(const std::string& name, const std::vector<int>& wanted) {
    Combination combination{"OnePass:" + name, "", {}, 1.05};
    for (const int id : wanted) {
        const char* tag = hashlib::Algorithms[id].tag_name;
        combination.parts.push_back(tag);
        combination.title.append(combination.title.empty() ? "" : "+").append(tag);
    }
    std::vector<DigestFactory> ours;
    for (const int id : wanted) {
        ours.push_back([id] { return hashlib::CreateDigestObject(id); });
    }
    benchmark::RegisterBenchmark((combination.row + "/" + kOurs).c_str(), [ours](benchmark::State& state) {
        Measure(state, ours);
    })->Unit(benchmark::kMillisecond);
    if (CreateRhashCombination(wanted)) {
        benchmark::RegisterBenchmark((combination.row + "/RHash").c_str(), [wanted](benchmark::State& state) {
            Measure(state, {[wanted] { return CreateRhashCombination(wanted); }});
        })->Unit(benchmark::kMillisecond);
    }
    return combination;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    using namespace bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    InitAnchorLibraries();

    std::vector<RatioRow> rows;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        const hashlib::AlgorithmInfo& info = hashlib::Algorithms[id];
        RatioRow row{info.tag_name, info.display_name, 1.0, 0};
        if (id == hashlib::AlgorithmCrc32 || id == hashlib::AlgorithmAdler32) {
            // The checksums are held to zlib, which leaves room for their wide fast paths.
            row.target = 0;
            row.zlib_target = id == hashlib::AlgorithmCrc32 ? 4 : 3;
        }
        RegisterRow(
            row.row, [id] { return hashlib::CreateDigestObject(id); }, AnchorsFor(id));
        rows.push_back(row);
    }

    const std::vector<uint8_t> key = {'o', 'r', 'v', 'e', 'n', 'd', 'a', 'l', '-', 'b', 'e', 'n', 'c', 'h'};
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        const hashlib::AlgorithmInfo& info = hashlib::Algorithms[id];
        if (!info.keyable) {
            continue;
        }
        const std::string row = std::string("HMAC-") + info.tag_name;
        RegisterRow(
            row, [code = info.catalogue_code, key] { return std::make_unique<OurHmac>(code, key); },
            HmacAnchorsFor(id, key));
        rows.push_back({row, row, 0, 0});
    }

    // As "-a all" and the dialog with every row ticked.
    std::vector<int> everything;
    for (int id = 0; id < hashlib::CommonAlgorithmCount; ++id) {
        everything.push_back(id);
    }
    const std::vector<Combination> combinations = {
        RegisterCombination("default", {hashlib::AlgorithmMd5, hashlib::AlgorithmSha1,
                                        hashlib::AlgorithmRipemd160, hashlib::AlgorithmCrc32}),
        RegisterCombination("all", everything),
    };

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatioTable(std::cout, reporter.Throughputs(), rows, combinations);
    benchmark::Shutdown();
    return 0;
}
