// What the fuzz targets share: a check that survives release builds (assert is gone under NDEBUG)
// and ends the run with a finding, and a small reader over the fuzzer's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

// Takes fixed-size fields from the front of the input; once it runs dry every field reads as
// zero, so every input, however short, means something.
class InputReader {
  public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t Word() {
        const uint16_t low = Byte();
        return uint16_t(low | (Byte() << 8));
    }
    // Up to `count` bytes, fewer when the input ends.
    std::string_view Bytes(size_t count) {
        const size_t taken = count < size_ - at_ ? count : size_ - at_;
        const std::string_view bytes(reinterpret_cast<const char*>(data_ + at_), taken);
        at_ += taken;
        return bytes;
    }
    std::string_view Rest() { return Bytes(size_ - at_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

inline bool IsLowerHex(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// Lower-case hex of raw bytes, written here rather than taken from the library under test.
inline std::string ToHex(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

}  // namespace fuzz
