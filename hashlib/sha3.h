// SHA3-256 and SHA3-512 (FIPS 202): the Keccak-f[1600] sponge with the SHA-3 domain bits. One
// context and one Update for both, as the rate is kept in the context; they differ in the rate
// (the bytes absorbed per permutation: 136 and 72, also their HMAC block) and in how much of the
// state Final emits. Each Final re-initialises the context for its own algorithm.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Sha3Context {
    uint64_t state[25];  // the 25 lanes, lane x + 5y; input bytes are XORed in little-endian
    uint32_t rate;       // bytes absorbed per permutation: 200 less twice the digest size
    uint32_t fill;       // bytes of the current block already XORed into the state, below rate
};

void Sha3_256Init(Sha3Context* context);
void Sha3_512Init(Sha3Context* context);
void Sha3Update(Sha3Context* context, const void* data, uint32_t length);
void Sha3_256Final(Sha3Context* context, uint8_t* digest);
void Sha3_512Final(Sha3Context* context, uint8_t* digest);
void Sha3_256Calculate(uint8_t* digest, const void* data, uint32_t length);
void Sha3_512Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Sha3_256DigestSize = 32;
constexpr uint32_t Sha3_512DigestSize = 64;
constexpr uint32_t Sha3_256BlockSize = 136;
constexpr uint32_t Sha3_512BlockSize = 72;

using Sha3_256Object =
    PlainDigestObject<Sha3Context, Sha3_256Init, Sha3Update, Sha3_256Final, Sha3_256DigestSize>;
using Sha3_512Object =
    PlainDigestObject<Sha3Context, Sha3_512Init, Sha3Update, Sha3_512Final, Sha3_512DigestSize>;

}  // namespace hashlib
