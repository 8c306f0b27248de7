// The file reader: a file or standard input opened for one sequential pass, with a platform
// backend of one small file each (file_reader_posix.cpp, file_reader_windows.cpp). The block
// loop above it is shared (file_pass.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "byte_source.h"
#include "result_code.h"

namespace engine {

class FileReader final : public ByteSource {
  public:
    FileReader() = default;
    ~FileReader() override { Close(); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens a UTF-8 path for sequential reading while others may read it too. Returns
    // ResultSuccess, ResultNotFound (the file or its path does not exist) or ResultUnreadable
    // (anything else, a directory too).
    ResultCode Open(const std::string& path);
    // Standard input, which Close leaves open; ResultSuccess or ResultUnreadable.
    ResultCode OpenStandardInput();
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

}  // namespace engine
