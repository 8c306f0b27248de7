// What the block hashes share: the buffering (a partial block topped up first, whole blocks
// compressed in place from the caller's data, the tail kept), the padding that finishes a
// message in one or two final blocks, the run of compressions with the chaining words in
// locals, and the Init, Update, Final and one-call Calculate of the hashes with a 64-byte block
// and a 64-bit count. Each algorithm supplies its compression, initial words, padding byte and
// byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "byte_order.h"

namespace hashlib {

enum class ByteOrder { LittleEndian, BigEndian };

// Adds `length` to a 64-bit byte count held as two 32-bit words, low word first.
inline void AddToCount(uint32_t& count_low, uint32_t& count_high, uint32_t length) {
    count_low += length;
    if (count_low < length) {
        ++count_high;
    }
}

// Adds `length` to a 128-bit byte count held as four 32-bit words, least significant first.
inline void AddToCount(uint32_t (&count)[4], uint32_t length) {
    count[0] += length;
    if (count[0] < length && ++count[1] == 0 && ++count[2] == 0) {
        ++count[3];
    }
}

// Absorbs `length` bytes into a hash whose buffer holds `fill` bytes (taken before the count
// was advanced). `compress(blocks, n)` compresses n consecutive whole blocks; the first may be
// the buffer itself.
template <uint32_t BlockSize, typename Compress>
inline void AbsorbBlocks(uint8_t* buffer, uint32_t fill, const uint8_t* data, uint32_t length,
                         Compress&& compress) {
    if (fill != 0) {
        const uint32_t need = BlockSize - fill;
        if (length < need) {
            std::memcpy(buffer + fill, data, length);
            return;
        }
        std::memcpy(buffer + fill, data, need);
        compress(buffer, 1u);
        data += need;
        length -= need;
    }
    const uint32_t blocks = length / BlockSize;
    if (blocks != 0) {
        compress(data, blocks);
        data += blocks * BlockSize;
        length -= blocks * BlockSize;
    }
    if (length != 0) {
        std::memcpy(buffer, data, length);
    }
}

// Pads the buffered tail (fill bytes) with `pad_byte` and zeros, stores the message length in
// the last LengthBytes bytes of the final block with `store_length(where)`, and compresses one
// or two blocks.
template <uint32_t BlockSize, uint32_t LengthBytes, typename StoreLength, typename Compress>
inline void PadAndCompress(uint8_t* buffer, uint32_t fill, uint8_t pad_byte, StoreLength&& store_length,
                           Compress&& compress) {
    constexpr uint32_t kLengthAt = BlockSize - LengthBytes;
    buffer[fill] = pad_byte;
    if (fill + 1 > kLengthAt) {
        std::memset(buffer + fill + 1, 0, BlockSize - fill - 1);
        compress(buffer, 1u);
        std::memset(buffer, 0, kLengthAt);
    } else {
        std::memset(buffer + fill + 1, 0, kLengthAt - fill - 1);
    }
    store_length(buffer + kLengthAt);
    compress(buffer, 1u);
}

// `count` 32- or 64-bit words, each in `order`.
template <typename Word>
inline void StoreWords(uint8_t* out, const Word* words, size_t count, ByteOrder order) {
    static_assert(sizeof(Word) == 4 || sizeof(Word) == 8, "32- or 64-bit words");
    for (size_t i = 0; i < count; ++i, out += sizeof(Word)) {
        if constexpr (sizeof(Word) == 4) {
            order == ByteOrder::BigEndian ? StoreBe32(out, words[i]) : StoreLe32(out, words[i]);
        } else {
            order == ByteOrder::BigEndian ? StoreBe64(out, words[i]) : StoreLe64(out, words[i]);
        }
    }
}

// Runs `Transform` over `count` consecutive blocks with the chaining words in locals for the
// whole run: stores to the caller's state could alias the input bytes and would force reloads
// after every block.
template <typename Word, size_t N, uint32_t BlockBytes, void (*Transform)(Word (&)[N], const uint8_t*)>
void CompressBlocks(Word* state, const uint8_t* blocks, uint32_t count) {
    Word h[N];
    for (size_t i = 0; i < N; ++i) {
        h[i] = state[i];
    }
    for (; count != 0; --count, blocks += BlockBytes) {
        Transform(h, blocks);
    }
    for (size_t i = 0; i < N; ++i) {
        state[i] = h[i];
    }
}

// The hashes with a 64-byte block, a 64-bit byte count (count_low, count_high) and the bit
// length in the last 8 bytes of the padding: MD4, MD5, SHA-1, SHA-256, RIPEMD-160, Tiger.
// `Compress(state, blocks, n)` compresses n whole blocks.

template <typename Context, typename Word, size_t N>
inline void InitBlocks64(Context* context, const Word (&initial)[N]) {
    static_assert(sizeof(context->state) == sizeof(initial), "initial words for another state");
    for (size_t i = 0; i < N; ++i) {
        context->state[i] = initial[i];
    }
    context->count_low = 0;
    context->count_high = 0;
}

// The buffer fill is taken before the count grows.
template <auto Compress, typename Context>
inline void UpdateBlocks64(Context* context, const void* data, uint32_t length) {
    if (length == 0) {
        return;
    }
    const uint32_t fill = context->count_low % 64;
    AddToCount(context->count_low, context->count_high, length);
    AbsorbBlocks<64>(context->buffer, fill, static_cast<const uint8_t*>(data), length,
                     [context](const uint8_t* blocks, uint32_t n) { Compress(context->state, blocks, n); });
}

// Pads with `pad_byte`, zeros and the bit length in `order`, compresses, and writes every
// chaining word in `order` as the digest. The caller then initialises the context again.
template <auto Compress, typename Context>
inline void FinalBlocks64(Context* context, uint8_t pad_byte, ByteOrder order, uint8_t* digest) {
    const uint32_t fill = context->count_low % 64;
    const uint64_t bits = (uint64_t(context->count_high) << 32 | context->count_low) << 3;
    PadAndCompress<64, 8>(
        context->buffer, fill, pad_byte, [&](uint8_t* at) { StoreWords(at, &bits, 1, order); },
        [context](const uint8_t* blocks, uint32_t n) { Compress(context->state, blocks, n); });
    StoreWords(digest, context->state, sizeof(context->state) / sizeof(context->state[0]), order);
}

// Every algorithm's one-call digest: Init, one Update, Final, on a context of its own.
template <typename Context, void (*Init)(Context*), void (*Update)(Context*, const void*, uint32_t),
          void (*Final)(Context*, uint8_t*)>
void CalculateWith(uint8_t* digest, const void* data, uint32_t length) {
    Context context;
    Init(&context);
    Update(&context, data, length);
    Final(&context, digest);
}

}  // namespace hashlib
