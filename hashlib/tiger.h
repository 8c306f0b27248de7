// Tiger (Anderson and Biham, 1996) in its first published form: three passes, padding byte 0x01
// (the later Tiger2 pads with 0x80), little-endian length and little-endian output words.
// Final re-initialises the context, so one context serves message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct TigerContext {
    uint64_t state[3];    // chaining words a, b, c
    uint8_t buffer[64];   // partial input block not yet compressed
    uint32_t count_low;   // bytes absorbed, low word; the buffer fill is count_low mod 64
    uint32_t count_high;  // bytes absorbed, high word
};

void TigerInit(TigerContext* context);
void TigerUpdate(TigerContext* context, const void* data, uint32_t length);
void TigerFinal(TigerContext* context, uint8_t* digest);
void TigerCalculate(uint8_t* digest, const void* data, uint32_t length);

// The four S-boxes (generated data, tiger_sboxes.cpp); visible so tests can check them against
// an independent copy.
extern const uint64_t TigerSboxes[4][256];

constexpr uint32_t TigerDigestSize = 24;

using TigerObject = PlainDigestObject<TigerContext, TigerInit, TigerUpdate, TigerFinal, TigerDigestSize>;

}  // namespace hashlib
