#include "hashlib.h"

namespace hashlib {
namespace {

// Lower-case digits first, upper-case from position 16.
constexpr char kHexDigits[] = "0123456789abcdef0123456789ABCDEF";

}  // namespace

// The text may overlap the bytes as FinalHex uses it (digest at text + count): each byte is read
// before its two digits are written.
void HexEncode(char* text, const uint8_t* bytes, uint32_t count, int upper_case) {
    const char* digits = kHexDigits + (upper_case ? 16 : 0);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        text[2 * i] = digits[byte >> 4];
        text[2 * i + 1] = digits[byte & 0x0f];
    }
    text[2 * count] = '\0';
}

void HexEncodeReversed(char* text, const uint8_t* bytes, uint32_t count, int upper_case) {
    const char* digits = kHexDigits + (upper_case ? 16 : 0);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        const uint32_t at = 2 * (count - 1 - i);
        text[at] = digits[byte >> 4];
        text[at + 1] = digits[byte & 0x0f];
    }
    text[2 * count] = '\0';
}

}  // namespace hashlib
