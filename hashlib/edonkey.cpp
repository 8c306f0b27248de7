// The eDonkey/eMule (ed2k) hash. The input is cut into chunks of 9728000 bytes (9500 KiB); one
// chunk's hash is its plain MD4, several chunks give the MD4 of their concatenated MD4 digests.
// A chunk is closed only when a byte beyond it arrives, so an input that is an exact multiple of
// the chunk size ends with a full chunk and never with the digest of an empty one.
#include "edonkey.h"

#include "block_hash.h"

namespace hashlib {
namespace {

constexpr uint32_t kChunkSize = 9728000;

}  // namespace

void EdonkeyInit(EdonkeyContext* context) {
    Md4Init(&context->chunk);
    context->chunk_fill = 0;
    context->multi_chunk = 0;
}

void EdonkeyUpdate(EdonkeyContext* context, const void* data, uint32_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    // Summed in 64 bits: in 32 bits a call of nearly 4 GiB would wrap and skip a chunk boundary.
    while (uint64_t(context->chunk_fill) + length > kChunkSize) {
        const uint32_t take = kChunkSize - context->chunk_fill;
        Md4Update(&context->chunk, bytes, take);
        bytes += take;
        length -= take;
        context->chunk_fill = 0;

        uint8_t chunk_digest[16];
        Md4Final(&context->chunk, chunk_digest);  // also re-initialises the chunk
        if (context->multi_chunk == 0) {
            Md4Init(&context->outer);
            context->multi_chunk = 1;
        }
        Md4Update(&context->outer, chunk_digest, 16);
    }
    Md4Update(&context->chunk, bytes, length);
    context->chunk_fill += length;
}

void EdonkeyFinal(EdonkeyContext* context, uint8_t* digest) {
    Md4Final(&context->chunk, digest);
    if (context->multi_chunk != 0) {
        Md4Update(&context->outer, digest, 16);
        Md4Final(&context->outer, digest);
    }
    EdonkeyInit(context);
}

void EdonkeyCalculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<EdonkeyContext, EdonkeyInit, EdonkeyUpdate, EdonkeyFinal>(digest, data, length);
}

}  // namespace hashlib
