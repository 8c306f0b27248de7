// The driver: one DigestObject per selected algorithm, plain or keyed, all fed from one pass
// over the input, then one lower-case hex text per algorithm. It shows nothing; failures come
// back as result codes, progress through an optional callback.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hashlib/hashlib.h"

namespace engine {

enum ResultCode : int32_t {
    ResultSuccess = 0,
    ResultNotFound = 1,    // the file or a directory of its path does not exist
    ResultUnreadable = 2,  // any other failure to open the file, or a failed read
    ResultBadRequest = 3,  // an input or key kind the driver does not know, or undecodable hex
};

// One slot per Algorithm identifier; an empty slot is skipped everywhere.
using ObjectTable = std::array<std::unique_ptr<hashlib::DigestObject>, hashlib::AlgorithmCount>;
// One flag per Algorithm identifier, non-zero = ticked.
using Selection = std::array<uint8_t, hashlib::AlgorithmCount>;

// Files are read and fed in blocks of this size; an input that is an exact multiple of it ends
// with a zero-length block.
constexpr uint32_t FileBlockSize = 8192;

// Told how far a file has been read. Called every few blocks from inside FeedFile, on the thread
// that called it, so it must be quick; the dialog sets none.
class ProgressCallback {
  public:
    virtual ~ProgressCallback() = default;
    // `total` is the file's size when known, else 0 (a pipe, standard input).
    virtual void Progress(uint64_t done, uint64_t total) = 0;
};

class ByteSource;
class FileReader;

// Reads every file and standard input the calculator opens through a source of the caller's
// own over the opened one; tests make reads short or fail this way.
class SourceFilter {
  public:
    virtual ~SourceFilter() = default;
    // The source to read instead of `opened`; it stays in use until the input has been read.
    virtual ByteSource& Filter(ByteSource& opened) = 0;
};

class DigestCalculator {
  public:
    // Input kind 0 file (value: UTF-8 path), 1 text (value: its bytes), 2 hex digits without
    // spaces, 3 standard input (value unused); key kind 0 text, 1 hex digits, consulted only
    // with `hmac`. On success `results` holds exactly 13 texts in identifier order, empty for
    // slots without an object (unticked, or 9..12 under HMAC); on failure it is left empty.
    int32_t Calculate(int32_t input_kind, const std::string& input_value, bool hmac, int32_t key_kind,
                      const std::string& key_value, const Selection& selection,
                      std::vector<std::string>& results);

    // Update(data, length) on every object in slot order; returns 0.
    static int32_t FeedBuffer(const ObjectTable& objects, const void* data, size_t length);
    // The file read once, in order, and fed in FileBlockSize blocks; serially each block goes to
    // every object before the next one. 0 success, 1 the file or its path does not exist, 2 any
    // other open or read failure.
    int32_t FeedFile(const ObjectTable& objects, const std::string& path);
    // Standard input read the same way; 0 or 2.
    int32_t FeedStandardInput(const ObjectTable& objects);
    // Any source read the same way (no filter applies); 0 or 2.
    int32_t FeedSource(const ObjectTable& objects, ByteSource& source);

    // Fills the table as Calculate does: plain objects, or under `hmac` keyed ones for the keyable
    // rows only (the others stay empty whatever their flags). False for an unknown key kind or a
    // hex key that does not decode.
    static bool CreateObjects(bool hmac, int32_t key_kind, const std::string& key_value,
                              const Selection& selection, ObjectTable& objects);
    // One text per slot: the object's hex digest, or empty.
    static std::vector<std::string> CollectResults(const ObjectTable& objects);

    void SetProgressCallback(ProgressCallback* callback) { progress_ = callback; }
    void SetSourceFilter(SourceFilter* filter) { filter_ = filter; }
    // Blocks per read of the input (0 = FilePieceBlocks); smaller pieces take a small input
    // round the parallel ring many times.
    void SetPieceBlocks(uint32_t blocks) { piece_blocks_ = blocks; }
    // Files and standard input with every object fed on a thread of its own while the calling
    // thread reads ahead: the same calls reach each object, so the digests are the same, in
    // about the time of the slowest object. The call returns once the input has been read and
    // fed, as serially. Off unless asked for (see ParallelFeedingPays).
    void SetParallelFeeding(bool parallel) { parallel_ = parallel; }

  private:
    // The result of opening `reader`, or on success that of reading it through the filter.
    int32_t FeedOpened(const ObjectTable& objects, FileReader& reader, int32_t opened);

    ProgressCallback* progress_ = nullptr;
    SourceFilter* filter_ = nullptr;
    uint32_t piece_blocks_ = 0;
    bool parallel_ = false;
};

}  // namespace engine
