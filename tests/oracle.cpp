#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include "oracle.h"

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

#include <stdexcept>
#include <string>

#include "hashlib/hashlib.h"

namespace {

class CryptoppOracle : public OracleHash {
  public:
    explicit CryptoppOracle(std::unique_ptr<CryptoPP::HashTransformation> hash) : hash_(std::move(hash)) {}
    void Update(const uint8_t* data, size_t length) override { hash_->Update(data, length); }
    std::vector<uint8_t> Final() override {
        std::vector<uint8_t> digest(hash_->DigestSize());
        hash_->Final(digest.data());
        return digest;
    }

  private:
    std::unique_ptr<CryptoPP::HashTransformation> hash_;
};

// The eDonkey/eMule rule built from Crypto++'s MD4: 9728000-byte chunks; a chunk is closed only
// when a byte beyond it arrives; with more than one chunk, the MD4 of the chunk digests.
class EdonkeyOracle : public OracleHash {
  public:
    void Update(const uint8_t* data, size_t length) override {
        while (length > 0) {
            if (chunk_fill_ == kChunkSize) {
                CloseChunk();
            }
            const size_t take = std::min<size_t>(length, kChunkSize - chunk_fill_);
            chunk_.Update(data, take);
            chunk_fill_ += take;
            data += take;
            length -= take;
        }
    }
    std::vector<uint8_t> Final() override {
        std::vector<uint8_t> digest(16);
        chunk_.Final(digest.data());
        if (!chunk_digests_.empty()) {
            chunk_digests_.insert(chunk_digests_.end(), digest.begin(), digest.end());
            CryptoPP::Weak::MD4().CalculateDigest(digest.data(), chunk_digests_.data(),
                                                  chunk_digests_.size());
        }
        chunk_digests_.clear();
        chunk_fill_ = 0;
        return digest;
    }

  private:
    static constexpr size_t kChunkSize = 9728000;
    void CloseChunk() {
        uint8_t digest[16];
        chunk_.Final(digest);
        chunk_digests_.insert(chunk_digests_.end(), digest, digest + 16);
        chunk_fill_ = 0;
    }
    CryptoPP::Weak::MD4 chunk_;
    size_t chunk_fill_ = 0;
    std::vector<uint8_t> chunk_digests_;
};

template <typename Hash>
std::unique_ptr<OracleHash> Make() {
    return std::make_unique<CryptoppOracle>(std::make_unique<Hash>());
}

template <typename Hash>
std::unique_ptr<OracleHash> MakeHmac(const uint8_t* key, size_t key_length) {
    return std::make_unique<CryptoppOracle>(std::make_unique<CryptoPP::HMAC<Hash>>(key, key_length));
}

using Panama = CryptoPP::Weak::PanamaHash<CryptoPP::LittleEndian>;

// The table is a protected member; a derived class may read it.
struct TigerTable : CryptoPP::Tiger {
    static const CryptoPP::word64* Entries() { return table; }
};

}  // namespace

std::vector<uint64_t> OracleTigerSboxes() {
    return std::vector<uint64_t>(TigerTable::Entries(), TigerTable::Entries() + 4 * 256);
}

// Keyed by Algorithm identifier, so an oracle can never stand for another row; an algorithm
// without one ends the test that asks for it.
std::unique_ptr<OracleHash> CreateOracle(int algorithm_id) {
    using namespace hashlib;
    switch (AlgorithmId(algorithm_id)) {
        case AlgorithmMd5:
            return Make<CryptoPP::Weak::MD5>();
        case AlgorithmMd4:
            return Make<CryptoPP::Weak::MD4>();
        case AlgorithmSha1:
            return Make<CryptoPP::SHA1>();
        case AlgorithmSha256:
            return Make<CryptoPP::SHA256>();
        case AlgorithmSha384:
            return Make<CryptoPP::SHA384>();
        case AlgorithmSha512:
            return Make<CryptoPP::SHA512>();
        case AlgorithmRipemd160:
            return Make<CryptoPP::RIPEMD160>();
        case AlgorithmPanama:
            return Make<Panama>();
        case AlgorithmTiger:
            return Make<CryptoPP::Tiger>();
        case AlgorithmMd2:
            return Make<CryptoPP::Weak::MD2>();
        case AlgorithmAdler32:
            return Make<CryptoPP::Adler32>();
        case AlgorithmCrc32:
            return Make<CryptoPP::CRC32>();
        case AlgorithmEdonkey:
            return std::make_unique<EdonkeyOracle>();
        case AlgorithmSha3_256:
            return Make<CryptoPP::SHA3_256>();
        case AlgorithmSha3_512:
            return Make<CryptoPP::SHA3_512>();
        case AlgorithmBlake2b:
            return Make<CryptoPP::BLAKE2b>();  // unkeyed, 64-byte digest by default
        default:
            break;
    }
    throw std::invalid_argument("no oracle for algorithm " + std::to_string(algorithm_id));
}

std::unique_ptr<OracleHash> CreateHmacOracle(int algorithm_id, const uint8_t* key, size_t key_length) {
    using namespace hashlib;
    switch (AlgorithmId(algorithm_id)) {
        case AlgorithmMd5:
            return MakeHmac<CryptoPP::Weak::MD5>(key, key_length);
        case AlgorithmMd4:
            return MakeHmac<CryptoPP::Weak::MD4>(key, key_length);
        case AlgorithmSha1:
            return MakeHmac<CryptoPP::SHA1>(key, key_length);
        case AlgorithmSha256:
            return MakeHmac<CryptoPP::SHA256>(key, key_length);
        case AlgorithmSha384:
            return MakeHmac<CryptoPP::SHA384>(key, key_length);
        case AlgorithmSha512:
            return MakeHmac<CryptoPP::SHA512>(key, key_length);
        case AlgorithmRipemd160:
            return MakeHmac<CryptoPP::RIPEMD160>(key, key_length);
        case AlgorithmPanama:
            return MakeHmac<Panama>(key, key_length);
        case AlgorithmTiger:
            return MakeHmac<CryptoPP::Tiger>(key, key_length);
        case AlgorithmSha3_256:
            return MakeHmac<CryptoPP::SHA3_256>(key, key_length);
        case AlgorithmSha3_512:
            return MakeHmac<CryptoPP::SHA3_512>(key, key_length);
        default:
            break;
    }
    throw std::invalid_argument("no keyed oracle for algorithm " + std::to_string(algorithm_id));
}
