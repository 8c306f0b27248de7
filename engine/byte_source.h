// What the file pass reads from: the file reader (a file or standard input), or any other source
// of bytes read in order, such as the tests' sources that read short or fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // One read of up to `capacity` bytes; `got` is 0 at the end of the input. False when the
    // read fails. A read may give fewer bytes than asked for before the end.
    virtual bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) = 0;
    // The input's size when it is known (a regular file), else 0; for progress only.
    virtual uint64_t Size() const = 0;
};

enum class ReadToEndResult { Read, Failed, TooLong };

// Reads the source to its end into `bytes`. A source longer than `limit` bytes is read one byte
// past the limit at most and gives TooLong, so an endless one (a device, a growing file) cannot
// take all memory.
ReadToEndResult ReadToEnd(ByteSource& source, size_t limit, std::string& bytes);

}  // namespace engine
