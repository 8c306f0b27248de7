// MD5 (RFC 1321) and MD4 (RFC 1320): caller-owned contexts with Init, Update, Final and a
// one-shot Calculate. Final re-initialises the context, so one context serves message after
// message. The two share one layout.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Md5Context {
    uint32_t state[4];    // chaining words A, B, C, D
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

struct Md4Context {
    uint32_t state[4];    // chaining words A, B, C, D
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const void* data, uint32_t length);
void Md5Final(Md5Context* context, uint8_t* digest);
void Md5Calculate(uint8_t* digest, const void* data, uint32_t length);

void Md4Init(Md4Context* context);
void Md4Update(Md4Context* context, const void* data, uint32_t length);
void Md4Final(Md4Context* context, uint8_t* digest);
void Md4Calculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Md5DigestSize = 16;
constexpr uint32_t Md4DigestSize = 16;

using Md5Object = PlainDigestObject<Md5Context, Md5Init, Md5Update, Md5Final, Md5DigestSize>;
using Md4Object = PlainDigestObject<Md4Context, Md4Init, Md4Update, Md4Final, Md4DigestSize>;

}  // namespace hashlib
