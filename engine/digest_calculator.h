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

// Faults a test can inject into the file reader, on either backend.
struct ReadFaults {
    uint64_t fail_after_blocks = UINT64_MAX;  // the read of the block after this many fails
    uint32_t max_read = 0;                    // caps every system read (0 = no cap), forcing short reads
    uint32_t piece_blocks = 0;                // blocks per read of the system (0 = the usual size)
};

class FileReader;

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

    // Fills the table as Calculate does: plain objects, or under `hmac` keyed ones for the keyable
    // rows only (the others stay empty whatever their flags). False for an unknown key kind or a
    // hex key that does not decode.
    static bool CreateObjects(bool hmac, int32_t key_kind, const std::string& key_value,
                              const Selection& selection, ObjectTable& objects);
    // One text per slot: the object's hex digest, or empty.
    static std::vector<std::string> CollectResults(const ObjectTable& objects);

    void SetProgressCallback(ProgressCallback* callback) { progress_ = callback; }
    void SetReadFaultsForTesting(const ReadFaults& faults) { faults_ = faults; }
    // Files and standard input with every object fed on a thread of its own while the calling
    // thread reads ahead: the same calls reach each object, so the digests are the same, in
    // about the time of the slowest object. Off unless asked for: the dialog does all its work on
    // its one thread.
    void SetParallelFeeding(bool parallel) { parallel_ = parallel; }

  private:
    int32_t FeedReader(FileReader& reader, const ObjectTable& objects);

    ProgressCallback* progress_ = nullptr;
    ReadFaults faults_;
    bool parallel_ = false;
};

}  // namespace engine
