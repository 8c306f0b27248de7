// The steps of RIPEMD-160's two lines, for the compressions that run them: RIPEMD-160's own
// (ripemd160.cpp) and the one interleaved with MD5's (md5_ripemd160.cpp). Internal to those files.
#pragma once

#include <cstdint>

#include "byte_order.h"

namespace hashlib::detail {

// Message word selected at each step of the left and the right line.
inline constexpr int kRipemd160LeftWord[80] = {
    0, 1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15,  //
    7, 4,  13, 1,  10, 6,  15, 3,  12, 0, 9,  5,  2,  14, 11, 8,   //
    3, 10, 14, 4,  9,  15, 8,  1,  2,  7, 0,  6,  13, 11, 5,  12,  //
    1, 9,  11, 10, 0,  8,  12, 4,  13, 3, 7,  15, 14, 5,  6,  2,   //
    4, 0,  5,  9,  7,  12, 2,  10, 14, 1, 3,  8,  11, 6,  15, 13,
};
inline constexpr int kRipemd160RightWord[80] = {
    5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,  //
    6,  11, 3,  7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,   //
    15, 5,  1,  3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,  //
    8,  6,  4,  1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14,  //
    12, 15, 10, 4, 1, 5,  8,  7,  6,  2,  13, 14, 0,  3,  9,  11,
};

// Left rotation at each step.
inline constexpr int kRipemd160LeftShift[80] = {
    11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,   //
    7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15, 9,  11, 7,  13, 12,  //
    11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,   //
    11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,  8,  6,  5,  12,  //
    9,  15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6,
};
inline constexpr int kRipemd160RightShift[80] = {
    8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,   //
    9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12, 7,  6,  15, 13, 11,  //
    9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,   //
    15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,  12, 5,  15, 8,   //
    8,  5,  12, 9,  12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11,
};

// Round constants: 2^30 times the square roots of 2, 3, 5, 7 (left) and the cube roots of the
// same primes (right); the left line's first round and the right line's last add nothing.
inline constexpr uint32_t kRipemd160LeftConstant[5] = {0x00000000, 0x5a827999, 0x6ed9eba1, 0x8f1bbcdc,
                                                       0xa953fd4e};
inline constexpr uint32_t kRipemd160RightConstant[5] = {0x50a28be6, 0x5c4dd124, 0x6d703ef3, 0x7a6d76e9,
                                                        0x00000000};

// The five boolean functions; the left line uses them in order 0..4, the right line 4..0.
// x is the word the previous step produced, so each form puts as few operations as it can
// between x and the result; y and z were ready earlier.
template <int Function>
HASHLIB_ALWAYS_INLINE uint32_t Ripemd160Boolean(uint32_t x, uint32_t y, uint32_t z) {
    if constexpr (Function == 0) {
        return x ^ (y ^ z);
    } else if constexpr (Function == 1) {
        return ((y ^ z) & x) ^ z;  // (x & y) | (~x & z)
    } else if constexpr (Function == 2) {
        return (x | ~y) ^ z;
    } else if constexpr (Function == 3) {
        return (x & z) + (y & ~z);  // (x & z) | (y & ~z): the two have no bit in common
    } else {
        return x ^ (y | ~z);
    }
}

enum class Ripemd160Line { Left, Right };

// Step t of one line: a = ((a + f(b, c, d) + x + K) <<< s) + e; c = c <<< 10.
template <Ripemd160Line L, int T>
HASHLIB_ALWAYS_INLINE void Ripemd160Step(uint32_t& a, uint32_t b, uint32_t& c, uint32_t d, uint32_t e,
                                         const uint32_t* x) {
    constexpr bool kLeft = L == Ripemd160Line::Left;
    constexpr int kRound = T / 16;
    constexpr int kFunction = kLeft ? kRound : 4 - kRound;
    constexpr int kWord = kLeft ? kRipemd160LeftWord[T] : kRipemd160RightWord[T];
    constexpr int kShift = kLeft ? kRipemd160LeftShift[T] : kRipemd160RightShift[T];
    constexpr uint32_t kConstant = kLeft ? kRipemd160LeftConstant[kRound] : kRipemd160RightConstant[kRound];
    a = RotateLeft32(a + x[kWord] + kConstant + Ripemd160Boolean<kFunction>(b, c, d), kShift) + e;
    c = RotateLeft32(c, 10);
}

// Five steps of each line bring the roles back to where they started. The two lines are
// independent, so their steps alternate: each line's chain of dependent operations fills the
// other's waits, which the compiler does not arrange by itself across 80 steps.
template <int T>
HASHLIB_ALWAYS_INLINE void Ripemd160FiveStepsOfEach(uint32_t (&l)[5], uint32_t (&r)[5], const uint32_t* x) {
    Ripemd160Step<Ripemd160Line::Left, T + 0>(l[0], l[1], l[2], l[3], l[4], x);
    Ripemd160Step<Ripemd160Line::Right, T + 0>(r[0], r[1], r[2], r[3], r[4], x);
    Ripemd160Step<Ripemd160Line::Left, T + 1>(l[4], l[0], l[1], l[2], l[3], x);
    Ripemd160Step<Ripemd160Line::Right, T + 1>(r[4], r[0], r[1], r[2], r[3], x);
    Ripemd160Step<Ripemd160Line::Left, T + 2>(l[3], l[4], l[0], l[1], l[2], x);
    Ripemd160Step<Ripemd160Line::Right, T + 2>(r[3], r[4], r[0], r[1], r[2], x);
    Ripemd160Step<Ripemd160Line::Left, T + 3>(l[2], l[3], l[4], l[0], l[1], x);
    Ripemd160Step<Ripemd160Line::Right, T + 3>(r[2], r[3], r[4], r[0], r[1], x);
    Ripemd160Step<Ripemd160Line::Left, T + 4>(l[1], l[2], l[3], l[4], l[0], x);
    Ripemd160Step<Ripemd160Line::Right, T + 4>(r[1], r[2], r[3], r[4], r[0], x);
}

// The chaining words from both lines' final words, after all 80 steps.
HASHLIB_ALWAYS_INLINE void Ripemd160Combine(uint32_t (&h)[5], const uint32_t (&l)[5],
                                            const uint32_t (&r)[5]) {
    const uint32_t t = h[1] + l[2] + r[3];
    h[1] = h[2] + l[3] + r[4];
    h[2] = h[3] + l[4] + r[0];
    h[3] = h[4] + l[0] + r[1];
    h[4] = h[0] + l[1] + r[2];
    h[0] = t;
}

}  // namespace hashlib::detail
