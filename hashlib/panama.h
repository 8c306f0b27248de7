// PANAMA (Daemen and Clapp, 1998) in its hashing mode: 32-byte blocks pushed into a 17-word
// state and a 32-stage buffer, 32 blank rounds, a 256-bit result; words little-endian.
// Final clears the context, so one context serves message after message.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct PanamaContext {
    uint32_t state[34];      // state words a[0..16], then 17 words of working space for a round
    uint32_t buffer[32][8];  // the circular buffer: 32 stages of 8 words, never shifted
    uint32_t tap;            // index of the stage that is the buffer's head
    uint32_t next_tap;       // the head index computed by the round in progress
    uint8_t block[32];       // partial input block not yet pushed
    uint32_t count_low;      // bytes absorbed, low word; the block fill is count_low mod 32
    uint32_t count_high;     // bytes absorbed, high word
};

void PanamaInit(PanamaContext* context);
void PanamaUpdate(PanamaContext* context, const void* data, uint32_t length);
void PanamaFinal(PanamaContext* context, uint8_t* digest);
void PanamaCalculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t PanamaDigestSize = 32;

using PanamaObject =
    PlainDigestObject<PanamaContext, PanamaInit, PanamaUpdate, PanamaFinal, PanamaDigestSize>;

}  // namespace hashlib
