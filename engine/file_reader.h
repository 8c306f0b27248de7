// The file reader's platform backends, one small file each (file_reader_posix.cpp,
// file_reader_windows.cpp), with the little else the engine asks of the platform. The block
// loop above them is shared (file_pass.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "byte_source.h"

namespace engine {

class FileReader final : public ByteSource {
  public:
    FileReader() = default;
    ~FileReader() override { Close(); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens a UTF-8 path for sequential reading while others may read it too. Returns a result
    // code: 0 open, 1 the file or its path does not exist, 2 anything else (a directory too).
    int32_t Open(const std::string& path);
    // Standard input, which Close leaves open; 0 or 2.
    int32_t OpenStandardInput();
    // One system read of up to `capacity` bytes; `got` is 0 at the end of the input. False when
    // the read fails.
    bool ReadSome(uint8_t* buffer, uint32_t capacity, uint32_t& got) override;
    // The size of a regular file, else 0.
    uint64_t Size() const override { return size_; }
    void Close();

  private:
    intptr_t handle_ = -1;  // file descriptor or HANDLE
    bool owned_ = false;
    uint64_t size_ = 0;
};

// The length of a UTF-8 path in bytes of the system code page, which the path-length check
// counts: on Windows the ANSI bytes of the Unicode name, elsewhere the UTF-8 bytes.
size_t SystemCodePageLength(const std::string& utf8_path);

// The cores this process may run on, as its affinity allows (at least 1).
unsigned UsableCoreCount();

}  // namespace engine
