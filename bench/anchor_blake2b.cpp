// libsodium's crypto_generichash and libb2: BLAKE2b-512, unkeyed, the only algorithm of ours
// either has.
#include <blake2.h>
#include <sodium.h>

#include "anchors.h"

namespace bench {
namespace {

class SodiumBlake2b final : public AnchorDigest {
  public:
    SodiumBlake2b() : AnchorDigest(64) { crypto_generichash_init(&state_, nullptr, 0, 64); }
    void Update(const void* data, uint32_t length) override {
        crypto_generichash_update(&state_, static_cast<const unsigned char*>(data), length);
    }
    void Final(uint8_t* digest) override {
        crypto_generichash_final(&state_, digest, 64);
        crypto_generichash_init(&state_, nullptr, 0, 64);
    }

  private:
    crypto_generichash_state state_;
};

class Libb2Blake2b final : public AnchorDigest {
  public:
    Libb2Blake2b() : AnchorDigest(64) { blake2b_init(&state_, 64); }
    void Update(const void* data, uint32_t length) override {
        blake2b_update(&state_, static_cast<const uint8_t*>(data), length);
    }
    void Final(uint8_t* digest) override {
        blake2b_final(&state_, digest, 64);
        blake2b_init(&state_, 64);
    }

  private:
    blake2b_state state_;
};

}  // namespace

// Chooses libsodium's fastest code for this processor (its hashing works without it too).
void InitSodium() {
    [[maybe_unused]] const int chosen = sodium_init();
}

std::unique_ptr<hashlib::DigestObject> CreateSodiumDigest(int algorithm_id) {
    if (algorithm_id != hashlib::AlgorithmBlake2b) {
        return nullptr;
    }
    return std::make_unique<SodiumBlake2b>();
}

std::unique_ptr<hashlib::DigestObject> CreateLibb2Digest(int algorithm_id) {
    if (algorithm_id != hashlib::AlgorithmBlake2b) {
        return nullptr;
    }
    return std::make_unique<Libb2Blake2b>();
}

}  // namespace bench
