#include "hmac.h"

#include <cstring>

#include "hashlib.h"

namespace hashlib {
namespace {

constexpr uint8_t kInnerPad = 0x36;
constexpr uint8_t kOuterPad = 0x5c;

// The entry for a code the engine accepts, else null.
const HashDescriptor* KeyableEntry(uint32_t code) {
    const HashDescriptor* entry = FindHashDescriptor(code);
    return entry != nullptr && HmacAccepts(*entry) ? entry : nullptr;
}

}  // namespace

bool HmacInit(HmacContext* context, uint32_t code, const void* key, uint32_t key_length) {
    const HashDescriptor* entry = KeyableEntry(code);
    if (entry == nullptr) {
        return false;
    }
    const uint32_t block = entry->block_size;
    uint8_t* inner = context->pads;
    uint8_t* outer = context->pads + block;
    context->code = code;

    uint32_t effective_length = key_length;
    if (key_length > block) {
        entry->init(context->record);
        entry->update(context->record, key, key_length);
        entry->final(context->record, inner);
        effective_length = entry->digest_size;
    } else {
        if (key_length > 0) {
            std::memcpy(inner, key, key_length);
        }
        entry->init(context->record);
    }
    std::memset(inner + effective_length, 0, block - effective_length);
    for (uint32_t i = 0; i < block; ++i) {
        outer[i] = uint8_t(inner[i] ^ kOuterPad);
        inner[i] = uint8_t(inner[i] ^ kInnerPad);
    }
    entry->update(context->record, inner, block);
    return true;
}

bool HmacUpdate(HmacContext* context, const void* data, uint32_t length) {
    const HashDescriptor* entry = KeyableEntry(context->code);
    if (entry == nullptr) {
        return false;
    }
    entry->update(context->record, data, length);
    return true;
}

bool HmacFinal(HmacContext* context, uint8_t* digest) {
    const HashDescriptor* entry = KeyableEntry(context->code);
    if (entry == nullptr) {
        return false;
    }
    const uint32_t block = entry->block_size;
    entry->final(context->record, digest);  // the inner digest
    entry->init(context->record);
    entry->update(context->record, context->pads + block, block);
    entry->update(context->record, digest, entry->digest_size);
    entry->final(context->record, digest);
    // Ready for the next message under the same key.
    entry->update(context->record, context->pads, block);
    return true;
}

uint32_t HmacDigestSize(const HmacContext* context) {
    const HashDescriptor* entry = KeyableEntry(context->code);
    return entry == nullptr ? 0 : entry->digest_size;
}

bool HmacFinalHex(HmacContext* context, char* text, int upper_case) {
    const uint32_t size = HmacDigestSize(context);
    if (size == 0) {
        return false;
    }
    // The digest lands in the upper half of the caller's buffer and is encoded downwards over
    // itself, as every FinalHex does: each byte is read before its two digits overwrite it.
    uint8_t* digest = reinterpret_cast<uint8_t*>(text + size);
    HmacFinal(context, digest);
    HexEncode(text, digest, size, upper_case);
    return true;
}

void HmacWipe(HmacContext* context) {
    SecureZero(context->record, sizeof(context->record));
    SecureZero(context->pads, sizeof(context->pads));
    context->code = 0xFFFFFFFFu;
}

void SecureZero(void* data, size_t size) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = 0;
    }
}

}  // namespace hashlib
