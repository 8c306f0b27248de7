// Independent implementations measured beside ours: OpenSSL, Crypto++, RHash, zlib, libsodium
// and libb2. Each is wrapped as a DigestObject, so one measuring loop serves every
// implementation, and each writes its digest in the byte order our Final writes, so digests can
// be compared byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hashlib/hashlib.h"

namespace bench {

using DigestFactory = std::function<std::unique_ptr<hashlib::DigestObject>()>;

struct Anchor {
    std::string library;  // "OpenSSL", "Crypto++", "RHash", "zlib", "libsodium", "libb2"
    DigestFactory create;
};

// Loads OpenSSL's providers (MD4 and RIPEMD-160 live in the legacy one) and initialises RHash
// with its own code only, so that "RHash" never means OpenSSL again. Call once, first.
void InitAnchorLibraries();

// The anchors that implement an Algorithm identifier, in a fixed library order.
std::vector<Anchor> AnchorsFor(int algorithm_id);

// Keyed (HMAC) anchors for the keyable identifiers.
std::vector<Anchor> HmacAnchorsFor(int algorithm_id, const std::vector<uint8_t>& key);

// RHash's own multi-algorithm context over the given identifiers, fed once per block; null when
// RHash lacks one of them. Its Final writes the first algorithm's digest only.
std::unique_ptr<hashlib::DigestObject> CreateRhashCombination(const std::vector<int>& algorithm_ids);

// Per-library factories; each returns null when the library lacks the algorithm.
std::unique_ptr<hashlib::DigestObject> CreateOpensslDigest(int algorithm_id);
std::unique_ptr<hashlib::DigestObject> CreateOpensslHmac(int algorithm_id, const std::vector<uint8_t>& key);
std::unique_ptr<hashlib::DigestObject> CreateCryptoppDigest(int algorithm_id);
std::unique_ptr<hashlib::DigestObject> CreateCryptoppHmac(int algorithm_id, const std::vector<uint8_t>& key);
std::unique_ptr<hashlib::DigestObject> CreateRhashDigest(int algorithm_id);
std::unique_ptr<hashlib::DigestObject> CreateZlibDigest(int algorithm_id);
std::unique_ptr<hashlib::DigestObject> CreateSodiumDigest(int algorithm_id);  // BLAKE2b only
std::unique_ptr<hashlib::DigestObject> CreateLibb2Digest(int algorithm_id);   // BLAKE2b only
void InitOpenssl();
void InitRhash();
void InitSodium();

// Shared by the adapters: HexDigest is Final and the plain forward encoding, enough for messages.
class AnchorDigest : public hashlib::DigestObject {
  public:
    explicit AnchorDigest(int32_t digest_size) : digest_size_(digest_size) {}
    void HexDigest(char* text) override {
        uint8_t digest[64];
        Final(digest);
        hashlib::HexEncode(text, digest, uint32_t(digest_size_), 0);
    }
    int32_t DigestSize() const override { return digest_size_; }

  private:
    int32_t digest_size_;
};

}  // namespace bench
