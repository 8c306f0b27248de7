// One round of Keccak-f[1600] (FIPS 202, section 3.3) over 25 named lanes, shared by the
// portable permutation (sha3.cpp) and the fast ones (sha3_bmi2.cpp, sha3_avx512.cpp), which
// differ in what a lane is and how the steps are done. Internal to those files.
//
// Lanes are named as in the Keccak team's code: a row letter (b, g, k, m, s for y = 0..4) and a
// column letter (a, e, i, o, u for x = 0..4); lane x + 5y of the state. A round reads the lanes
// with prefix A and writes those with prefix E, so two rounds bring the state back to A.
//
// The including file defines, before this header:
//   LaneXor5(a, b, c, d, e), LaneXor(a, b)       the XOR of lanes
//   LaneRotate<n>(x)                             x rotated left by n bits (n = 0 included)
//   KECCAK_CHI(y, e0, e1, e2, e3, e4, b0, b1, b2, b3, b4)
//                                                the chi step of row y: e_x from b_x, b_x+1, b_x+2
//   KECCAK_IOTA(lane, round)                     XORs round constant `round` into lane (0, 0)
// and declares the lanes (A and E prefixes) and the temporaries c0..c4, d0..d4, b0..b4.
#pragma once

#include <cstdint>

namespace hashlib::detail {

// The round constants of iota, from the degree-8 LFSR of FIPS 202, algorithm 5.
inline constexpr uint64_t KeccakRoundConstants[24] = {
    0x0000000000000001, 0x0000000000008082, 0x800000000000808a, 0x8000000080008000, 0x000000000000808b,
    0x0000000080000001, 0x8000000080008081, 0x8000000000008009, 0x000000000000008a, 0x0000000000000088,
    0x0000000080008009, 0x000000008000000a, 0x000000008000808b, 0x800000000000008b, 0x8000000000008089,
    0x8000000000008003, 0x8000000000008002, 0x8000000000000080, 0x000000000000800a, 0x800000008000000a,
    0x8000000080008081, 0x8000000000008080, 0x0000000080000001, 0x8000000080008008,
};

}  // namespace hashlib::detail

// Theta's column parities and the values they add to each column.
#define KECCAK_THETA(A)                               \
    c0 = LaneXor5(A##ba, A##ga, A##ka, A##ma, A##sa); \
    c1 = LaneXor5(A##be, A##ge, A##ke, A##me, A##se); \
    c2 = LaneXor5(A##bi, A##gi, A##ki, A##mi, A##si); \
    c3 = LaneXor5(A##bo, A##go, A##ko, A##mo, A##so); \
    c4 = LaneXor5(A##bu, A##gu, A##ku, A##mu, A##su); \
    d0 = LaneXor(c4, LaneRotate<1>(c1));              \
    d1 = LaneXor(c0, LaneRotate<1>(c2));              \
    d2 = LaneXor(c1, LaneRotate<1>(c3));              \
    d3 = LaneXor(c2, LaneRotate<1>(c4));              \
    d4 = LaneXor(c3, LaneRotate<1>(c0))

// Output row y takes, for x = 0..4, input lane ((x + 3y) mod 5, x) with theta applied, rotated by
// rho's offset for that lane (pi moves it here); chi then mixes the row.
#define KECCAK_ROW(y, e0, e1, e2, e3, e4, a0, r0, d_0, a1, r1, d_1, a2, r2, d_2, a3, r3, d_3, a4, r4, d_4) \
    b0 = LaneRotate<r0>(LaneXor(a0, d_0));                                                                 \
    b1 = LaneRotate<r1>(LaneXor(a1, d_1));                                                                 \
    b2 = LaneRotate<r2>(LaneXor(a2, d_2));                                                                 \
    b3 = LaneRotate<r3>(LaneXor(a3, d_3));                                                                 \
    b4 = LaneRotate<r4>(LaneXor(a4, d_4));                                                                 \
    KECCAK_CHI(y, e0, e1, e2, e3, e4, b0, b1, b2, b3, b4)

// Round `round` (0..23) from the A lanes into the E lanes.
#define KECCAK_ROUND(A, E, round)                                                                            \
    KECCAK_THETA(A);                                                                                         \
    KECCAK_ROW(0, E##ba, E##be, E##bi, E##bo, E##bu, A##ba, 0, d0, A##ge, 44, d1, A##ki, 43, d2, A##mo, 21,  \
               d3, A##su, 14, d4);                                                                           \
    KECCAK_IOTA(E##ba, round);                                                                               \
    KECCAK_ROW(1, E##ga, E##ge, E##gi, E##go, E##gu, A##bo, 28, d3, A##gu, 20, d4, A##ka, 3, d0, A##me, 45,  \
               d1, A##si, 61, d2);                                                                           \
    KECCAK_ROW(2, E##ka, E##ke, E##ki, E##ko, E##ku, A##be, 1, d1, A##gi, 6, d2, A##ko, 25, d3, A##mu, 8,    \
               d4, A##sa, 18, d0);                                                                           \
    KECCAK_ROW(3, E##ma, E##me, E##mi, E##mo, E##mu, A##bu, 27, d4, A##ga, 36, d0, A##ke, 10, d1, A##mi, 15, \
               d2, A##so, 56, d3);                                                                           \
    KECCAK_ROW(4, E##sa, E##se, E##si, E##so, E##su, A##bi, 62, d2, A##go, 55, d3, A##ku, 39, d4, A##ma, 41, \
               d0, A##se, 2, d1)

// The lanes in state order, for loading and storing: F(name, index).
#define KECCAK_FOR_EACH_LANE(F, A)                                                                          \
    F(A##ba, 0), F(A##be, 1), F(A##bi, 2), F(A##bo, 3), F(A##bu, 4), F(A##ga, 5), F(A##ge, 6), F(A##gi, 7), \
        F(A##go, 8), F(A##gu, 9), F(A##ka, 10), F(A##ke, 11), F(A##ki, 12), F(A##ko, 13), F(A##ku, 14),     \
        F(A##ma, 15), F(A##me, 16), F(A##mi, 17), F(A##mo, 18), F(A##mu, 19), F(A##sa, 20), F(A##se, 21),   \
        F(A##si, 22), F(A##so, 23), F(A##su, 24)
