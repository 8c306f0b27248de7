// The eDonkey/eMule file hash: MD4 of each 9728000-byte chunk and, when there is more than one
// chunk, MD4 of the chunk digests. Final re-initialises the context.
#pragma once

#include <cstdint>

#include "digest_object.h"
#include "md5.h"

namespace hashlib {

struct EdonkeyContext {
    Md4Context chunk;     // MD4 of the current chunk
    Md4Context outer;     // MD4 over the chunk digests; valid only once a chunk has been closed
    uint32_t chunk_fill;  // bytes absorbed into the current chunk, 0..9728000
    uint8_t multi_chunk;  // 0 until the first chunk is closed, then 1
};

void EdonkeyInit(EdonkeyContext* context);
void EdonkeyUpdate(EdonkeyContext* context, const void* data, uint32_t length);
void EdonkeyFinal(EdonkeyContext* context, uint8_t* digest);
void EdonkeyCalculate(uint8_t* digest, const void* data, uint32_t length);

constexpr uint32_t EdonkeyDigestSize = 16;

using EdonkeyObject =
    PlainDigestObject<EdonkeyContext, EdonkeyInit, EdonkeyUpdate, EdonkeyFinal, EdonkeyDigestSize>;

}  // namespace hashlib
