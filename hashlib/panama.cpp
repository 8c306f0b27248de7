// PANAMA hashing mode, "Fast Hashing and Stream Encryption with PANAMA" (Daemen and Clapp,
// FSE 1998), with little-endian words. The message is padded with one byte 0x01 and zeros to
// a whole 32-byte block (its length is not encoded), then 32 blank rounds run and state words
// a[9..16] are the digest.
//
// The buffer is never shifted: each round moves the head index one stage back instead, so the
// stage that leaves the buffer is overwritten in place by the stage that enters it.
#include "panama.h"

#include <cstring>

#include "block_hash.h"
#include "byte_order.h"

namespace hashlib {
namespace {

// Offsets from the new head of the stages a round reads or writes.
constexpr uint32_t kFeedbackStage = 25;  // takes the outgoing stage, rotated by two words
constexpr uint32_t kStage4 = 4 + 1;      // stages 4 and 16 of the buffer before the round
constexpr uint32_t kStage16 = 16 + 1;

// One round on the state words `a` (locals of the caller, so that no store through the input
// pointer can change them and they can stay in registers), with `w` the working space: the
// buffer update, then gamma (nonlinearity) and pi (rotation and dispersion) into w, then theta
// (diffusion) and sigma (buffer and input injection) back into a. A push round injects the
// input block; a pull round feeds the state back.
template <bool kPush>
HASHLIB_ALWAYS_INLINE void Round(uint32_t (&a)[17], uint32_t (&w)[17], uint32_t (*buffer)[8], uint32_t& tap,
                                 const uint8_t* input) {
    const uint32_t head = (tap + 31) & 31;
    uint32_t* out = buffer[head];
    uint32_t* feedback = buffer[(head + kFeedbackStage) & 31];
    const uint32_t* b4 = buffer[(head + kStage4) & 31];
    const uint32_t* b16 = buffer[(head + kStage16) & 31];

    uint32_t q[8];
    for (int j = 0; j < 8; ++j) {
        q[j] = kPush ? LoadLe32(input + 4 * j) : a[j + 1];
    }
    for (int j = 0; j < 8; ++j) {
        feedback[j] ^= out[(j + 2) & 7];
    }
    for (int j = 0; j < 8; ++j) {
        out[j] ^= q[j];
    }

    // w[i] = (a[7i] ^ (a[7i + 1] | ~a[7i + 2])) <<< i(i + 1)/2, indices mod 17 and 32.
#define PANAMA_GAMMA_PI(i, k, rotation) \
    w[i] = RotateLeft32(a[k] ^ (a[((k) + 1) % 17] | ~a[((k) + 2) % 17]), rotation)
    w[0] = a[0] ^ (a[1] | ~a[2]);  // rotation 0
    PANAMA_GAMMA_PI(1, 7, 1);
    PANAMA_GAMMA_PI(2, 14, 3);
    PANAMA_GAMMA_PI(3, 4, 6);
    PANAMA_GAMMA_PI(4, 11, 10);
    PANAMA_GAMMA_PI(5, 1, 15);
    PANAMA_GAMMA_PI(6, 8, 21);
    PANAMA_GAMMA_PI(7, 15, 28);
    PANAMA_GAMMA_PI(8, 5, 4);
    PANAMA_GAMMA_PI(9, 12, 13);
    PANAMA_GAMMA_PI(10, 2, 23);
    PANAMA_GAMMA_PI(11, 9, 2);
    PANAMA_GAMMA_PI(12, 16, 14);
    PANAMA_GAMMA_PI(13, 6, 27);
    PANAMA_GAMMA_PI(14, 13, 9);
    PANAMA_GAMMA_PI(15, 3, 24);
    PANAMA_GAMMA_PI(16, 10, 8);
#undef PANAMA_GAMMA_PI

#define PANAMA_THETA(i) (w[i] ^ w[((i) + 1) % 17] ^ w[((i) + 4) % 17])
    a[0] = PANAMA_THETA(0) ^ 1;
    for (int j = 0; j < 8; ++j) {
        a[j + 1] = PANAMA_THETA(j + 1) ^ (kPush ? q[j] : b4[j]);
    }
    for (int j = 0; j < 8; ++j) {
        a[j + 9] = PANAMA_THETA(j + 9) ^ b16[j];
    }
#undef PANAMA_THETA

    tap = head;
}

// `count` rounds (at least one), push rounds over the blocks at `blocks` or blank pull rounds.
// The state is copied out of the context and back once per run, and the working space kept in
// the context only for the last round, which leaves the context as rounds run in place would.
template <bool kPush>
void Rounds(PanamaContext* context, const uint8_t* blocks, uint32_t count) {
    uint32_t a[17];
    for (int i = 0; i < 17; ++i) {
        a[i] = context->state[i];
    }
    uint32_t tap = context->tap;
    for (; count > 1; --count) {
        uint32_t w[17];
        Round<kPush>(a, w, context->buffer, tap, blocks);
        if constexpr (kPush) {
            blocks += 32;
        }
    }
    uint32_t w[17];
    Round<kPush>(a, w, context->buffer, tap, blocks);
    for (int i = 0; i < 17; ++i) {
        context->state[i] = a[i];
        context->state[17 + i] = w[i];
    }
    context->tap = tap;
    context->next_tap = tap;
}

void PanamaPush(PanamaContext* context, const uint8_t* blocks, uint32_t count) {
    Rounds<true>(context, blocks, count);
}

void PanamaPull(PanamaContext* context, uint32_t count) {
    Rounds<false>(context, nullptr, count);
}

}  // namespace

void PanamaInit(PanamaContext* context) {
    std::memset(context->state, 0, sizeof(context->state));
    std::memset(context->buffer, 0, sizeof(context->buffer));
    context->tap = 0;
    context->next_tap = 0;
    context->count_low = 0;
    context->count_high = 0;
}

void PanamaUpdate(PanamaContext* context, const void* data, uint32_t length) {
    if (length == 0) {
        return;
    }
    const uint32_t fill = context->count_low % 32;
    AddToCount(context->count_low, context->count_high, length);
    AbsorbBlocks<32>(
        context->block, fill, static_cast<const uint8_t*>(data), length,
        [context](const uint8_t* blocks, uint32_t count) { PanamaPush(context, blocks, count); });
}

void PanamaFinal(PanamaContext* context, uint8_t* digest) {
    const uint32_t fill = context->count_low % 32;
    context->block[fill] = 0x01;
    std::memset(context->block + fill + 1, 0, 31 - fill);
    PanamaPush(context, context->block, 1);
    PanamaPull(context, 32);
    for (int i = 0; i < 8; ++i) {
        StoreLe32(digest + 4 * i, context->state[9 + i]);
    }
    PanamaInit(context);
}

void PanamaCalculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<PanamaContext, PanamaInit, PanamaUpdate, PanamaFinal>(digest, data, length);
}

}  // namespace hashlib
