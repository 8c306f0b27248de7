// MD2 (RFC 1319, with the checksum step as corrected in the RFC errata). Final zeroes the context,
// which is also its initial state, so one context serves message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Md2Context {
    uint8_t x[48];         // bytes 0..15 the state, 16..31 the current (partial) block, 32..47 scratch
    uint8_t checksum[16];  // running checksum of the blocks compressed so far
    uint32_t fill;         // bytes waiting in x[16..31], 0..15 between calls
};

void Md2Init(Md2Context* context);
void Md2Update(Md2Context* context, const void* data, uint32_t length);
void Md2Final(Md2Context* context, uint8_t* digest);
void Md2Calculate(uint8_t* digest, const void* data, uint32_t length);

using Md2Object = PlainDigestObject<Md2Context, Md2Init, Md2Update, Md2Final, 16>;

}  // namespace hashlib
