// Crypto++: every algorithm it has, plain and keyed. It has no eDonkey/eMule hash.
#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <crypto++/adler32.h>
#include <crypto++/blake2.h>
#include <crypto++/crc.h>
#include <crypto++/hmac.h>
#include <crypto++/md2.h>
#include <crypto++/md4.h>
#include <crypto++/md5.h>
#include <crypto++/panama.h>
#include <crypto++/ripemd.h>
#include <crypto++/sha.h>
#include <crypto++/sha3.h>
#include <crypto++/tiger.h>

#include "anchors.h"

namespace bench {
namespace {

// Crypto++'s Final restarts the hash, as ours does.
class CryptoppDigest final : public AnchorDigest {
  public:
    explicit CryptoppDigest(std::unique_ptr<CryptoPP::HashTransformation> hash)
        : AnchorDigest(int32_t(hash->DigestSize())), hash_(std::move(hash)) {}
    void Update(const void* data, uint32_t length) override {
        hash_->Update(static_cast<const CryptoPP::byte*>(data), length);
    }
    void Final(uint8_t* digest) override { hash_->Final(digest); }

  private:
    std::unique_ptr<CryptoPP::HashTransformation> hash_;
};

using Panama = CryptoPP::Weak::PanamaHash<CryptoPP::LittleEndian>;

template <typename Hash>
std::unique_ptr<hashlib::DigestObject> Make() {
    return std::make_unique<CryptoppDigest>(std::make_unique<Hash>());
}

template <typename Hash>
std::unique_ptr<hashlib::DigestObject> MakeHmac(const std::vector<uint8_t>& key) {
    return std::make_unique<CryptoppDigest>(std::make_unique<CryptoPP::HMAC<Hash>>(key.data(), key.size()));
}

}  // namespace

std::unique_ptr<hashlib::DigestObject> CreateCryptoppDigest(int algorithm_id) {
    switch (algorithm_id) {
        case hashlib::AlgorithmMd5:
            return Make<CryptoPP::Weak::MD5>();
        case hashlib::AlgorithmMd4:
            return Make<CryptoPP::Weak::MD4>();
        case hashlib::AlgorithmSha1:
            return Make<CryptoPP::SHA1>();
        case hashlib::AlgorithmSha256:
            return Make<CryptoPP::SHA256>();
        case hashlib::AlgorithmSha384:
            return Make<CryptoPP::SHA384>();
        case hashlib::AlgorithmSha512:
            return Make<CryptoPP::SHA512>();
        case hashlib::AlgorithmRipemd160:
            return Make<CryptoPP::RIPEMD160>();
        case hashlib::AlgorithmPanama:
            return Make<Panama>();
        case hashlib::AlgorithmTiger:
            return Make<CryptoPP::Tiger>();
        case hashlib::AlgorithmMd2:
            return Make<CryptoPP::Weak::MD2>();
        case hashlib::AlgorithmAdler32:
            return Make<CryptoPP::Adler32>();
        case hashlib::AlgorithmCrc32:
            return Make<CryptoPP::CRC32>();
        case hashlib::AlgorithmSha3_256:
            return Make<CryptoPP::SHA3_256>();
        case hashlib::AlgorithmSha3_512:
            return Make<CryptoPP::SHA3_512>();
        case hashlib::AlgorithmBlake2b:
            return Make<CryptoPP::BLAKE2b>();
    }
    return nullptr;
}

std::unique_ptr<hashlib::DigestObject> CreateCryptoppHmac(int algorithm_id, const std::vector<uint8_t>& key) {
    switch (algorithm_id) {
        case hashlib::AlgorithmMd5:
            return MakeHmac<CryptoPP::Weak::MD5>(key);
        case hashlib::AlgorithmMd4:
            return MakeHmac<CryptoPP::Weak::MD4>(key);
        case hashlib::AlgorithmSha1:
            return MakeHmac<CryptoPP::SHA1>(key);
        case hashlib::AlgorithmSha256:
            return MakeHmac<CryptoPP::SHA256>(key);
        case hashlib::AlgorithmSha384:
            return MakeHmac<CryptoPP::SHA384>(key);
        case hashlib::AlgorithmSha512:
            return MakeHmac<CryptoPP::SHA512>(key);
        case hashlib::AlgorithmRipemd160:
            return MakeHmac<CryptoPP::RIPEMD160>(key);
        case hashlib::AlgorithmPanama:
            return MakeHmac<Panama>(key);
        case hashlib::AlgorithmTiger:
            return MakeHmac<CryptoPP::Tiger>(key);
        case hashlib::AlgorithmSha3_256:
            return MakeHmac<CryptoPP::SHA3_256>(key);
        case hashlib::AlgorithmSha3_512:
            return MakeHmac<CryptoPP::SHA3_512>(key);
    }
    return nullptr;
}

}  // namespace bench
