// The buffering shared by every block hash: a partial block topped up first, whole blocks
// compressed in place from the caller's data, the tail kept; and the padding that finishes a
// message in one or two final blocks. Each algorithm supplies only its compression function,
// the padding byte and how the length is stored.
#pragma once

#include <cstdint>
#include <cstring>

#include "byte_order.h"

namespace hashlib {

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
// was advanced). `compress(blocks, n)` compresses n consecutive whole blocks.
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

// Update of the hashes with a 64-byte block and a 64-bit byte count (count_low, count_high):
// MD4, MD5, SHA-1, SHA-256, RIPEMD-160, Tiger. The fill is taken before the count grows.
template <typename Context, typename Compress>
inline void UpdateBlocks64(Context* context, const void* data, uint32_t length, Compress&& compress) {
    if (length == 0) {
        return;
    }
    const uint32_t fill = context->count_low % 64;
    AddToCount(context->count_low, context->count_high, length);
    AbsorbBlocks<64>(context->buffer, fill, static_cast<const uint8_t*>(data), length, compress);
}

enum class LengthOrder { LittleEndian, BigEndian };

// Final padding of the same family: pad byte, zeros, and the bit length in the last 8 bytes.
template <typename Context, typename Compress>
inline void PadBlocks64(Context* context, uint8_t pad_byte, LengthOrder order, Compress&& compress) {
    const uint32_t fill = context->count_low % 64;
    const uint64_t bits = (uint64_t(context->count_high) << 32 | context->count_low) << 3;
    PadAndCompress<64, 8>(
        context->buffer, fill, pad_byte,
        [&](uint8_t* at) {
            if (order == LengthOrder::BigEndian) {
                StoreBe64(at, bits);
            } else {
                StoreLe64(at, bits);
            }
        },
        compress);
}

}  // namespace hashlib
