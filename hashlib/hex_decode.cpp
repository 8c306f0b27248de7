// Hex text to bytes through two 256-entry tables, one per digit position, so a pair costs two
// lookups and an OR. 0xFF marks a character that is not a hex digit in both tables.
#include <array>

#include "ascii.h"
#include "hashlib.h"

namespace hashlib {
namespace {

constexpr uint8_t kInvalid = 0xFF;

// The digit's value times 16: the high four bits of a byte.
constexpr std::array<uint8_t, 256> kHighTable = [] {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = ascii::HexDigitValue(c) < 0 ? kInvalid : uint8_t(ascii::HexDigitValue(c) << 4);
    }
    return table;
}();

constexpr std::array<uint8_t, 256> kLowTable = [] {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = ascii::HexDigitValue(c) < 0 ? kInvalid : uint8_t(ascii::HexDigitValue(c));
    }
    return table;
}();

}  // namespace

int32_t HexDecode(uint8_t* bytes, const char* text, uint32_t length) {
    uint32_t written = 0;
    for (uint32_t i = 0; i + 1 < length; i += 2) {
        const uint8_t high = kHighTable[uint8_t(text[i])];
        const uint8_t low = kLowTable[uint8_t(text[i + 1])];
        if (high == kInvalid || low == kInvalid) {
            return -1;
        }
        bytes[written++] = uint8_t(high | low);
    }
    if (length % 2 != 0) {
        // A lone last digit fills the high four bits. An invalid one is refused like any other
        // rather than written out as 0xFF.
        const uint8_t high = kHighTable[uint8_t(text[length - 1])];
        if (high == kInvalid) {
            return -1;
        }
        bytes[written++] = high;
    }
    return int32_t(written);
}

}  // namespace hashlib
