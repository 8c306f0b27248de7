// The block loop over an open input (any ByteSource): read once, in order, and fed to every
// object in FileBlockSize blocks, either on the calling thread or with each object on a thread
// of its own; told how far it has come, and stopped on request. Its memory and threads are kept
// from one pass to the next (FilePass), so a pass over a small file costs little more than
// opening it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stop_token>

#include "hashlib/hashlib.h"
#include "result_code.h"

namespace engine {

class ByteSource;

// One slot per Algorithm identifier; an empty slot is skipped everywhere.
using ObjectTable = std::array<std::unique_ptr<hashlib::DigestObject>, hashlib::AlgorithmCount>;

// Files are read and fed in blocks of this size; an input that is an exact multiple of it ends
// with a zero-length block.
constexpr uint32_t FileBlockSize = 8192;

// Blocks per read of the system (256 KiB): large enough that the calls cost nothing measurable,
// small enough that a piece stays in the core's cache while the objects go over it. A stop is
// noticed once per piece.
constexpr uint32_t FilePieceBlocks = 32;

// Told how far an input has been read. Called every few blocks on the thread that runs the
// pass, so it must be quick.
class ProgressCallback {
  public:
    virtual ~ProgressCallback() = default;
    // `total` is the input's size when known, else 0 (a pipe, standard input).
    virtual void Progress(uint64_t done, uint64_t total) = 0;
    // While a list of several inputs is calculated (DigestCalculator::RunJobs), instead of the
    // above: the inputs handed back so far and the bytes read of all of them, a few times a
    // second, on the thread that runs the list.
    virtual void ListProgress(uint64_t inputs_done, uint64_t bytes_done) {
        (void)inputs_done;
        (void)bytes_done;
    }
};

struct FilePassSettings {
    ProgressCallback* progress = nullptr;  // called on the calling thread only
    bool parallel = false;
    uint32_t piece_blocks = 0;  // blocks per piece read; 0 = FilePieceBlocks
    // Another thread may ask the pass to stop: the pass then reads and feeds no more than the
    // piece each of its threads is working on, joins its threads and gives ResultStopped, as it
    // does whenever the stop was asked for before it returned.
    std::stop_token stop;
};

// Reads `source` to its end and feeds `objects`. ResultSuccess; ResultUnreadable when a read
// failed (the objects have then absorbed every block read whole before the failure);
// ResultStopped when stopped first (the objects have absorbed a whole number of blocks, and
// none has been finalised).
ResultCode RunFilePass(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings);

// The same pass, with its read buffer, its ring and its feeding threads made by the first pass
// that needs them and kept until the object is destroyed: later passes allocate nothing and start
// no thread (unless one needs more feeding threads than any before it). One pass at a time.
class FilePass {
  public:
    FilePass();
    ~FilePass();  // ends and joins the feeding threads
    FilePass(const FilePass&) = delete;
    FilePass& operator=(const FilePass&) = delete;

    ResultCode Run(ByteSource& source, const ObjectTable& objects, const FilePassSettings& settings);

  private:
    struct Kept;
    std::unique_ptr<Kept> kept_;
};

}  // namespace engine
