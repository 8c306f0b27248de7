#include "byte_source.h"

#include <algorithm>

namespace engine {

ReadToEndResult ReadToEnd(ByteSource& source, size_t limit, std::string& bytes) {
    constexpr size_t kFirstCapacity = size_t(1) << 20;
    constexpr size_t kLargestRead = size_t(1) << 30;  // what one ReadSome can be asked for
    bytes.clear();
    size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            // A file of known size fits at once, with the byte that finds its end: no copy, and
            // no capacity doubled past it.
            const size_t first =
                source.Size() < limit ? std::max(kFirstCapacity, size_t(source.Size()) + 1) : kFirstCapacity;
            const size_t wanted = bytes.empty() ? first : bytes.size() * 2;
            bytes.resize(std::min(wanted, limit + 1));
        }
        uint32_t got = 0;
        const size_t capacity = std::min(bytes.size() - length, kLargestRead);
        if (!source.ReadSome(reinterpret_cast<uint8_t*>(bytes.data() + length), uint32_t(capacity), got)) {
            bytes.clear();
            return ReadToEndResult::Failed;
        }
        if (got == 0) {
            bytes.resize(length);
            return ReadToEndResult::Read;
        }
        length += got;
        if (length > limit) {
            bytes.clear();
            return ReadToEndResult::TooLong;
        }
    }
}

}  // namespace engine
