// HMAC (RFC 2104) over any catalogue entry: B is the entry's block size, L its digest size. The
// engine reaches an algorithm only through its catalogue entry (sizes, Init, Update, Final), so
// one context type serves every keyed algorithm. Codes of 76 or more, codes the catalogue does
// not hold and entries with a block size below 8 (the checksums and the chunked hash) are
// refused: the operation returns false (or 0) and leaves the context untouched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue.h"
#include "digest_object.h"

namespace hashlib {

namespace detail {

// The largest of one size among the entries with a block HMAC can key.
constexpr uint32_t LargestAmongBlockEntries(uint32_t HashDescriptor::*size) {
    uint32_t largest = 0;
    for (const HashDescriptor& entry : Catalogue) {
        if (entry.block_size >= HmacMinBlockSize && entry.*size > largest) {
            largest = entry.*size;
        }
    }
    return largest;
}

}  // namespace detail

// Room for the largest working record and the largest block of any entry with a block, taken
// from the catalogue itself, so every block algorithm added to it can be keyed.
constexpr uint32_t HmacRecordRoom = detail::LargestAmongBlockEntries(&HashDescriptor::context_size);
constexpr uint32_t HmacMaxBlockSize = detail::LargestAmongBlockEntries(&HashDescriptor::block_size);

// Whether the engine keys an entry: a block of HmacMinBlockSize bytes or more. An entry whose
// digest exceeds its block (which the hashed-key path needs), or one from outside the catalogue
// that would not fit the context, is refused too rather than overrun.
constexpr bool HmacAccepts(const HashDescriptor& entry) {
    return entry.block_size >= HmacMinBlockSize && entry.block_size <= HmacMaxBlockSize &&
           entry.context_size <= HmacRecordRoom && entry.digest_size <= entry.block_size;
}

struct HmacContext {
    uint32_t code = 0xFFFFFFFFu;  // catalogue code; none until HmacInit accepts one
    alignas(std::max_align_t) unsigned char record[HmacRecordRoom];  // the algorithm's working record
    uint8_t
        pads[2 * HmacMaxBlockSize];  // inner key block (key ^ 0x36), then outer (key ^ 0x5c), B bytes each
};

// Binds the context to a catalogue code and a key of any length (a key longer than the block is
// hashed first; null is fine for length 0), and absorbs the inner key block.
bool HmacInit(HmacContext* context, uint32_t code, const void* key, uint32_t key_length);
bool HmacUpdate(HmacContext* context, const void* data, uint32_t length);
// Writes the HmacDigestSize() bytes of the HMAC and makes the context ready for the next message
// under the same key.
bool HmacFinal(HmacContext* context, uint8_t* digest);
// The digest size of the bound entry, or 0 when refused.
uint32_t HmacDigestSize(const HmacContext* context);
// HmacFinal, then 2n hex digits and a zero into a buffer of 2n + 1 characters.
bool HmacFinalHex(HmacContext* context, char* text, int upper_case);

// Overwrites the context's key blocks and working record, and unbinds it.
void HmacWipe(HmacContext* context);

// Zeroes memory that held key material; unlike memset it is not dropped as a dead store.
void SecureZero(void* data, size_t size);

}  // namespace hashlib
