// BLAKE2b-512 (RFC 7693): unkeyed, 64-byte digest, as b2sum writes it. The last block of a
// message is compressed with the final flag set, so Update keeps the latest block in the buffer
// until more input shows it is not the last.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Blake2bContext {
    uint64_t state[8];    // chaining words h0..h7
    uint64_t count[2];    // bytes compressed so far, 128 bits, low word first
    uint8_t buffer[128];  // input not yet compressed: up to one whole block
    uint32_t fill;        // bytes in buffer, 0..128
};

void Blake2bInit(Blake2bContext* context);
void Blake2bUpdate(Blake2bContext* context, const void* data, uint32_t length);
void Blake2bFinal(Blake2bContext* context, uint8_t* digest);
void Blake2bCalculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t Blake2bDigestSize = 64;
constexpr uint32_t Blake2bBlockSize = 128;

using Blake2bObject =
    PlainDigestObject<Blake2bContext, Blake2bInit, Blake2bUpdate, Blake2bFinal, Blake2bDigestSize>;

}  // namespace hashlib
