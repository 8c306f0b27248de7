// SHA-512 and SHA-384 (FIPS 180-2): one caller-owned context, one Update and one compression
// for both; they differ in their initial words and in how much of the state Final emits. Each
// Final re-initialises the context for its own algorithm, so a SHA-384 context stays SHA-384.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Sha512Context {
    uint64_t state[8];    // chaining words H0..H7
    uint8_t buffer[128];  // partial input block not yet compressed
    uint32_t count[4];    // bytes absorbed, 128 bits, least significant word first; fill is count[0] mod 128
};

void Sha512Init(Sha512Context* context);
void Sha512Update(Sha512Context* context, const void* data, uint32_t length);
void Sha512Final(Sha512Context* context, uint8_t* digest);
void Sha512Calculate(uint8_t* digest, const void* data, uint32_t length);

void Sha384Init(Sha512Context* context);
void Sha384Final(Sha512Context* context, uint8_t* digest);
void Sha384Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Sha512DigestSize = 64;
constexpr uint32_t Sha384DigestSize = 48;

using Sha512Object =
    PlainDigestObject<Sha512Context, Sha512Init, Sha512Update, Sha512Final, Sha512DigestSize>;
using Sha384Object =
    PlainDigestObject<Sha512Context, Sha384Init, Sha512Update, Sha384Final, Sha384DigestSize>;

}  // namespace hashlib
