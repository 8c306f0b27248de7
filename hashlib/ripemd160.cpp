// RIPEMD-160 (Dobbertin, Bosselaers, Preneel, 1996). Two parallel lines of five 16-step
// rounds over the same block (ripemd160_steps.h), combined into the state at the end. Every step
// is a template instance with its word index, rotation, function and constant fixed at compile
// time, so the 160 steps unroll into straight code; the five working words change roles from
// step to step instead of being shifted. Message words and the digest are little-endian, as in
// MD4.
#include "ripemd160.h"

#include <cstddef>
#include <utility>

#include "block_hash.h"
#include "byte_order.h"
#include "ripemd160_steps.h"

namespace hashlib {
namespace {

constexpr uint32_t kInitialState[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};

template <std::size_t... Group>
HASHLIB_ALWAYS_INLINE void AllSteps(uint32_t (&l)[5], uint32_t (&r)[5], const uint32_t* x,
                                    std::index_sequence<Group...>) {
    (detail::Ripemd160FiveStepsOfEach<int(Group) * 5>(l, r, x), ...);
}

HASHLIB_ALWAYS_INLINE void Ripemd160Transform(uint32_t (&h)[5], const uint8_t* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = LoadLe32(block + 4 * i);
    }
    uint32_t left[5] = {h[0], h[1], h[2], h[3], h[4]};
    uint32_t right[5] = {h[0], h[1], h[2], h[3], h[4]};
    AllSteps(left, right, x, std::make_index_sequence<16>());

    detail::Ripemd160Combine(h, left, right);
}

constexpr auto Ripemd160CompressBlocks = &CompressBlocks<uint32_t, 5, 64, Ripemd160Transform>;

}  // namespace

void Ripemd160Init(Ripemd160Context* context) {
    InitBlocks64(context, kInitialState);
}

void Ripemd160Update(Ripemd160Context* context, const void* data, uint32_t length) {
    UpdateBlocks64<Ripemd160CompressBlocks>(context, data, length);
}

void Ripemd160Final(Ripemd160Context* context, uint8_t* digest) {
    FinalBlocks64<Ripemd160CompressBlocks>(context, 0x80, ByteOrder::LittleEndian, digest);
    Ripemd160Init(context);
}

void Ripemd160Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Ripemd160Context, Ripemd160Init, Ripemd160Update, Ripemd160Final>(digest, data, length);
}

}  // namespace hashlib
