// RHash with its own code only (its OpenSSL plug-in is switched off: OpenSSL is measured on its
// own), one context per algorithm or one context over several.
#include <rhash.h>

#include <algorithm>
#include <array>

#include "anchors.h"

namespace bench {
namespace {

// RHash's identifiers of the hashes it has, by Algorithm identifier.
struct Named {
    hashlib::AlgorithmId algorithm;
    unsigned id;
};
constexpr Named kIds[] = {
    {hashlib::AlgorithmMd5, RHASH_MD5},
    {hashlib::AlgorithmMd4, RHASH_MD4},
    {hashlib::AlgorithmSha1, RHASH_SHA1},
    {hashlib::AlgorithmSha256, RHASH_SHA256},
    {hashlib::AlgorithmSha384, RHASH_SHA384},
    {hashlib::AlgorithmSha512, RHASH_SHA512},
    {hashlib::AlgorithmRipemd160, RHASH_RIPEMD160},
    {hashlib::AlgorithmTiger, RHASH_TIGER},
    {hashlib::AlgorithmCrc32, RHASH_CRC32},
    {hashlib::AlgorithmEdonkey, RHASH_ED2K},
    {hashlib::AlgorithmSha3_256, RHASH_SHA3_256},
    {hashlib::AlgorithmSha3_512, RHASH_SHA3_512},
    {hashlib::AlgorithmBlake2b, RHASH_BLAKE2B},
};

// RHash's identifier for an algorithm, or 0 where it has no such hash.
unsigned RhashId(int algorithm_id) {
    for (const Named& named : kIds) {
        if (named.algorithm == algorithm_id) {
            return named.id;
        }
    }
    return 0;
}

class RhashDigest final : public AnchorDigest {
  public:
    // The first identifier's digest is the one Final writes.
    RhashDigest(const std::vector<unsigned>& ids, int32_t digest_size, bool reversed)
        : AnchorDigest(digest_size), ctx_(rhash_init_multi(ids.size(), ids.data())), reversed_(reversed) {}
    ~RhashDigest() override { rhash_free(ctx_); }
    RhashDigest(const RhashDigest&) = delete;
    RhashDigest& operator=(const RhashDigest&) = delete;

    void Update(const void* data, uint32_t length) override { rhash_update(ctx_, data, length); }
    void Final(uint8_t* digest) override {
        rhash_final(ctx_, digest);
        rhash_reset(ctx_);
        if (reversed_) {
            std::reverse(digest, digest + DigestSize());
        }
    }

  private:
    rhash ctx_;
    bool reversed_;  // RHash writes CRC-32 most significant byte first; our Final the other way
};

}  // namespace

void InitRhash() {
    rhash_set_openssl_mask(0);
    rhash_library_init();
}

std::unique_ptr<hashlib::DigestObject> CreateRhashDigest(int algorithm_id) {
    const unsigned id = RhashId(algorithm_id);
    if (id == 0) {
        return nullptr;
    }
    return std::make_unique<RhashDigest>(std::vector<unsigned>{id},
                                         hashlib::Algorithms[algorithm_id].DigestSize(),
                                         algorithm_id == hashlib::AlgorithmCrc32);
}

std::unique_ptr<hashlib::DigestObject> CreateRhashCombination(const std::vector<int>& algorithm_ids) {
    std::vector<unsigned> ids;
    for (const int algorithm_id : algorithm_ids) {
        const unsigned id = RhashId(algorithm_id);
        if (id == 0) {
            return nullptr;
        }
        ids.push_back(id);
    }
    if (ids.empty()) {
        return nullptr;
    }
    const int first = algorithm_ids.front();
    return std::make_unique<RhashDigest>(ids, hashlib::Algorithms[first].DigestSize(),
                                         first == hashlib::AlgorithmCrc32);
}

}  // namespace bench
