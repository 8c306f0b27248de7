// The SHA-512 round (FIPS 180-2), shared by the portable compression (sha512.cpp) and those that
// schedule a pair of blocks in vector registers (sha512_pairs.h). Internal to those files.
#pragma once

#include <cstdint>

#include "byte_order.h"

namespace hashlib::detail {

// The three rotations side by side: with BMI2 (RORX) each is one instruction from the same
// source and the sum waits two XORs. Nested forms that save register copies where rotations
// overwrite their operand lengthen the chain, which costs more than the copies save.
inline uint64_t BigSigma0(uint64_t x) {
    return RotateRight64(x, 28) ^ RotateRight64(x, 34) ^ RotateRight64(x, 39);
}
inline uint64_t BigSigma1(uint64_t x) {
    return RotateRight64(x, 14) ^ RotateRight64(x, 18) ^ RotateRight64(x, 41);
}
inline uint64_t SmallSigma0(uint64_t x) {
    return RotateRight64(x, 1) ^ RotateRight64(x, 8) ^ (x >> 7);
}
inline uint64_t SmallSigma1(uint64_t x) {
    return RotateRight64(x, 19) ^ RotateRight64(x, 61) ^ (x >> 6);
}

// Ch as ((f ^ g) & e) ^ g: the standard's function with fewer operations.
inline uint64_t Choose(uint64_t e, uint64_t f, uint64_t g) {
    return ((f ^ g) & e) ^ g;
}

}  // namespace hashlib::detail

// One round, `wk` being W[t] + K[t]: T1 goes into d's slot, and the new a (T1 + T2) into h's
// slot. e and a are the words the previous round produced, so the terms waiting for them are
// added last. Maj(a, b, c) is taken as b ^ ((a ^ b) & (b ^ c)), where b ^ c is the previous
// round's a ^ b (the locals `ab` and `bc`), so it costs three operations. The fewest
// operations: for code without three-operand rotates, whose copies make it throughput-bound.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, wk) \
    h += (wk);                                   \
    h += detail::Choose(e, f, g);                \
    h += detail::BigSigma1(e);                   \
    d += h;                                      \
    ab = a ^ b;                                  \
    h += detail::BigSigma0(a) + (b ^ (ab & bc)); \
    bc = ab

// The same round with a shorter chain, for code with RORX, which has execution slots to spare:
// the new e is d + (h + W + K), added before e is known, then + Ch + Sigma1 (four steps after e
// rather than five), and Maj as (a & (b | c)) | (b & c), two steps after a rather than three,
// so that the new a is also ready four steps after a. Locals `ch` and `s1`.
#define SHA512_ROUND_SHORT_CHAIN(a, b, c, d, e, f, g, h, wk) \
    h += (wk);                                               \
    d += h;                                                  \
    ch = detail::Choose(e, f, g);                            \
    s1 = detail::BigSigma1(e);                               \
    d += ch;                                                 \
    d += s1;                                                 \
    h += ch;                                                 \
    h += s1;                                                 \
    h += (a & (b | c)) | (b & c);                            \
    h += detail::BigSigma0(a)

// Eight rounds from round t over the locals a..h (and those ROUND needs), which brings the roles
// back to where they started. WK(t) is W[t] + K[t]; AFTER(t) follows round t.
#define SHA512_EIGHT_ROUNDS(ROUND, t, WK, AFTER) \
    ROUND(a, b, c, d, e, f, g, h, WK((t) + 0));  \
    AFTER((t) + 0);                              \
    ROUND(h, a, b, c, d, e, f, g, WK((t) + 1));  \
    AFTER((t) + 1);                              \
    ROUND(g, h, a, b, c, d, e, f, WK((t) + 2));  \
    AFTER((t) + 2);                              \
    ROUND(f, g, h, a, b, c, d, e, WK((t) + 3));  \
    AFTER((t) + 3);                              \
    ROUND(e, f, g, h, a, b, c, d, WK((t) + 4));  \
    AFTER((t) + 4);                              \
    ROUND(d, e, f, g, h, a, b, c, WK((t) + 5));  \
    AFTER((t) + 5);                              \
    ROUND(c, d, e, f, g, h, a, b, WK((t) + 6));  \
    AFTER((t) + 6);                              \
    ROUND(b, c, d, e, f, g, h, a, WK((t) + 7));  \
    AFTER((t) + 7)

// All 80 rounds on the chaining words in `state`, added back at the end.
#define SHA512_ALL_ROUNDS(state, WK, AFTER)                              \
    {                                                                    \
        uint64_t a = state[0], b = state[1], c = state[2], d = state[3]; \
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7]; \
        uint64_t ab, bc = b ^ c;                                         \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 0, WK, AFTER);                 \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 8, WK, AFTER);                 \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 16, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 24, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 32, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 40, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 48, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 56, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 64, WK, AFTER);                \
        SHA512_EIGHT_ROUNDS(SHA512_ROUND, 72, WK, AFTER);                \
        state[0] += a;                                                   \
        state[1] += b;                                                   \
        state[2] += c;                                                   \
        state[3] += d;                                                   \
        state[4] += e;                                                   \
        state[5] += f;                                                   \
        state[6] += g;                                                   \
        state[7] += h;                                                   \
    }
