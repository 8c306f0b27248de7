// OpenSSL 3 through EVP: digests fetched once by name, HMAC through EVP_MAC.
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/provider.h>

#include <array>

#include "anchors.h"

namespace bench {
namespace {

// OpenSSL's names of the digests it has, by Algorithm identifier.
struct Named {
    hashlib::AlgorithmId algorithm;
    const char* name;
};
constexpr Named kNames[] = {
    {hashlib::AlgorithmMd5, "MD5"},
    {hashlib::AlgorithmMd4, "MD4"},
    {hashlib::AlgorithmSha1, "SHA1"},
    {hashlib::AlgorithmSha256, "SHA256"},
    {hashlib::AlgorithmSha384, "SHA384"},
    {hashlib::AlgorithmSha512, "SHA512"},
    {hashlib::AlgorithmRipemd160, "RIPEMD160"},
    {hashlib::AlgorithmMd2, "MD2"},
    {hashlib::AlgorithmSha3_256, "SHA3-256"},
    {hashlib::AlgorithmSha3_512, "SHA3-512"},
    {hashlib::AlgorithmBlake2b, "BLAKE2B-512"},
};

// OpenSSL's name for an algorithm, or null where it has no such digest.
const char* OpensslName(int algorithm_id) {
    for (const Named& named : kNames) {
        if (named.algorithm == algorithm_id) {
            return named.name;
        }
    }
    return nullptr;
}

std::array<EVP_MD*, hashlib::AlgorithmCount> fetched{};
EVP_MAC* hmac = nullptr;

const EVP_MD* Fetched(int algorithm_id) {
    if (algorithm_id < 0 || algorithm_id >= hashlib::AlgorithmCount) {
        return nullptr;
    }
    return fetched[algorithm_id];
}

class OpensslDigest final : public AnchorDigest {
  public:
    explicit OpensslDigest(const EVP_MD* md)
        : AnchorDigest(EVP_MD_get_size(md)), md_(md), ctx_(EVP_MD_CTX_new()) {
        EVP_DigestInit_ex2(ctx_, md_, nullptr);
    }
    ~OpensslDigest() override { EVP_MD_CTX_free(ctx_); }
    OpensslDigest(const OpensslDigest&) = delete;
    OpensslDigest& operator=(const OpensslDigest&) = delete;

    void Update(const void* data, uint32_t length) override { EVP_DigestUpdate(ctx_, data, length); }
    void Final(uint8_t* digest) override {
        unsigned int written = 0;
        EVP_DigestFinal_ex(ctx_, digest, &written);
        EVP_DigestInit_ex2(ctx_, md_, nullptr);
    }

  private:
    const EVP_MD* md_;
    EVP_MD_CTX* ctx_;
};

class OpensslHmac final : public AnchorDigest {
  public:
    OpensslHmac(const EVP_MD* md, const char* name, const std::vector<uint8_t>& key)
        : AnchorDigest(EVP_MD_get_size(md)), ctx_(EVP_MAC_CTX_new(hmac)) {
        OSSL_PARAM params[] = {
            OSSL_PARAM_construct_utf8_string("digest", const_cast<char*>(name), 0),
            OSSL_PARAM_construct_end(),
        };
        EVP_MAC_init(ctx_, key.data(), key.size(), params);
    }
    ~OpensslHmac() override { EVP_MAC_CTX_free(ctx_); }
    OpensslHmac(const OpensslHmac&) = delete;
    OpensslHmac& operator=(const OpensslHmac&) = delete;

    void Update(const void* data, uint32_t length) override {
        EVP_MAC_update(ctx_, static_cast<const unsigned char*>(data), length);
    }
    void Final(uint8_t* digest) override {
        size_t written = 0;
        EVP_MAC_final(ctx_, digest, &written, size_t(DigestSize()));
        // No key: the same key again, ready for the next message.
        EVP_MAC_init(ctx_, nullptr, 0, nullptr);
    }

  private:
    EVP_MAC_CTX* ctx_;
};

}  // namespace

void InitOpenssl() {
    OSSL_PROVIDER_load(nullptr, "default");
    OSSL_PROVIDER_load(nullptr, "legacy");
    for (const Named& named : kNames) {
        fetched[named.algorithm] = EVP_MD_fetch(nullptr, named.name, nullptr);
    }
    hmac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
}

std::unique_ptr<hashlib::DigestObject> CreateOpensslDigest(int algorithm_id) {
    const EVP_MD* md = Fetched(algorithm_id);
    if (md == nullptr) {
        return nullptr;
    }
    return std::make_unique<OpensslDigest>(md);
}

std::unique_ptr<hashlib::DigestObject> CreateOpensslHmac(int algorithm_id, const std::vector<uint8_t>& key) {
    const EVP_MD* md = Fetched(algorithm_id);
    if (md == nullptr || hmac == nullptr || !hashlib::Algorithms[algorithm_id].keyable) {
        return nullptr;
    }
    return std::make_unique<OpensslHmac>(md, OpensslName(algorithm_id), key);
}

}  // namespace bench
