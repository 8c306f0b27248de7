// The block loop over an open input (any ByteSource): read once, in order, and fed to every
// object in FileBlockSize blocks, either on the calling thread or with each object on a thread
// of its own.
#pragma once

#include <cstdint>

#include "digest_calculator.h"

namespace engine {

class ByteSource;

// Blocks per read of the system (256 KiB): large enough that the calls cost nothing measurable,
// small enough that a piece stays in the core's cache while the objects go over it.
constexpr uint32_t FilePieceBlocks = 32;

struct FilePassSettings {
    ProgressCallback* progress = nullptr;  // called on the calling thread only
    bool parallel = false;
    uint32_t piece_blocks = 0;  // blocks per piece read; 0 = FilePieceBlocks
};

// Reads `source` to its end and feeds `objects`; 0 success, 2 a read failed (the objects have
// then absorbed every block read whole before the failure).
int32_t RunFilePass(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings);

}  // namespace engine
