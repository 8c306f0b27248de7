// The 64 steps of MD5 (RFC 1321), for the compressions that run them: MD5's own (md5.cpp) and the
// one interleaved with RIPEMD-160's (md5_ripemd160.cpp). Internal to those files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "byte_order.h"

namespace hashlib::detail {

// The sines table of RFC 1321, section 3.4: floor(2^32 * abs(sin(i + 1))).
inline constexpr uint32_t kMd5Constants[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Step t's message word: round 1 takes them in order, round 2 from 1 by fives, round 3 from 5 by
// threes, round 4 from 0 by sevens; its rotation repeats four per round.
constexpr int Md5Word(int t) {
    const int i = t % 16;
    switch (t / 16) {
        case 0:
            return i;
        case 1:
            return (1 + 5 * i) % 16;
        case 2:
            return (5 + 3 * i) % 16;
        default:
            return (7 * i) % 16;
    }
}

inline constexpr int kMd5Shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// Step t: a = b + ((a + f(b, c, d) + x + K) <<< s). b is the word the previous step produced, so
// the sum takes the message word and constant first and f, which waits for b, last. The round's
// functions in forms with as few operations as possible after b is known: F as
// ((c ^ d) & b) ^ d, G as (b & d) + (c & ~d) (the two share no bit, so + is |), H as
// b ^ (c ^ d), I as c ^ (b | ~d).
template <int T>
HASHLIB_ALWAYS_INLINE void Md5Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, const uint32_t* x) {
    a += x[Md5Word(T)] + kMd5Constants[T];
    if constexpr (T / 16 == 0) {
        a += ((c ^ d) & b) ^ d;
    } else if constexpr (T / 16 == 1) {
        a += (c & ~d) + (b & d);
    } else if constexpr (T / 16 == 2) {
        a += b ^ (c ^ d);
    } else {
        a += c ^ (b | ~d);
    }
    a = RotateLeft32(a, kMd5Shifts[T / 16][T % 4]) + b;
}

// Four steps from step t bring the roles of the words a, b, c, d (m[0..3]) back to where they
// started.
template <int T>
HASHLIB_ALWAYS_INLINE void Md5FourSteps(uint32_t (&m)[4], const uint32_t* x) {
    Md5Step<T + 0>(m[0], m[1], m[2], m[3], x);
    Md5Step<T + 1>(m[3], m[0], m[1], m[2], x);
    Md5Step<T + 2>(m[2], m[3], m[0], m[1], x);
    Md5Step<T + 3>(m[1], m[2], m[3], m[0], x);
}

// The sixteen message words of a block, little-endian.
HASHLIB_ALWAYS_INLINE void LoadBlockWords(uint32_t (&x)[16], const uint8_t* block) {
    for (int i = 0; i < 16; ++i) {
        x[i] = LoadLe32(block + 4 * i);
    }
}

}  // namespace hashlib::detail
