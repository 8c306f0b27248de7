// MD5, RFC 1321. The 64 steps (md5_steps.h) are unrolled with their message word, constant and
// rotation fixed at compile time; message words are read little-endian from the block wherever
// it lies.
#include "md5.h"

#include "block_hash.h"
#include "byte_order.h"
#include "md5_steps.h"

namespace hashlib {
namespace {

constexpr uint32_t kInitialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

template <size_t... Group>
HASHLIB_ALWAYS_INLINE void AllSteps(uint32_t (&m)[4], const uint32_t* x, std::index_sequence<Group...>) {
    (detail::Md5FourSteps<int(Group) * 4>(m, x), ...);
}

HASHLIB_ALWAYS_INLINE void Md5Transform(uint32_t (&state)[4], const uint8_t* block) {
    uint32_t x[16];
    detail::LoadBlockWords(x, block);
    uint32_t m[4] = {state[0], state[1], state[2], state[3]};
    AllSteps(m, x, std::make_index_sequence<16>());
    for (int i = 0; i < 4; ++i) {
        state[i] += m[i];
    }
}

constexpr auto Md5CompressBlocks = &CompressBlocks<uint32_t, 4, 64, Md5Transform>;

}  // namespace

void Md5Init(Md5Context* context) {
    InitBlocks64(context, kInitialState);
}

void Md5Update(Md5Context* context, const void* data, uint32_t length) {
    UpdateBlocks64<Md5CompressBlocks>(context, data, length);
}

void Md5Final(Md5Context* context, uint8_t* digest) {
    FinalBlocks64<Md5CompressBlocks>(context, 0x80, ByteOrder::LittleEndian, digest);
    Md5Init(context);
}

void Md5Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Md5Context, Md5Init, Md5Update, Md5Final>(digest, data, length);
}

}  // namespace hashlib
