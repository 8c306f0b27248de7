// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320, preset and final complement
// all ones). Final writes the value least significant byte first and presets the register again.
#pragma once

#include <cstdint>

#include "digest_object.h"

namespace hashlib {

struct Crc32Context {
    uint32_t crc;  // the CRC register, not complemented while absorbing
};

void Crc32Init(Crc32Context* context);
void Crc32Update(Crc32Context* context, const void* data, uint32_t length);
void Crc32Final(Crc32Context* context, uint8_t* digest);
void Crc32Calculate(uint8_t* digest, const void* data, uint32_t length);

// The digest is stored least significant byte first; the text prints it the other way round so
// it reads as the usual CRC value.
constexpr uint32_t Crc32DigestSize = 4;

using Crc32Object = PlainDigestObject<Crc32Context, Crc32Init, Crc32Update, Crc32Final, Crc32DigestSize,
                                      &FinalHexReversed<Crc32Context, Crc32Final, Crc32DigestSize>>;

}  // namespace hashlib
