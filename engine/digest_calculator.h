// The driver and the Calculation request it serves: one DigestObject per selected algorithm,
// plain or keyed, all fed from one pass over the input, then one lower-case hex text per
// algorithm. It shows nothing; failures come back as result codes, progress through an
// optional callback, and a pass over a file or standard input can be stopped from another
// thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "file_pass.h"
#include "hashlib/hashlib.h"
#include "job_list.h"
#include "result_code.h"

namespace engine {

// The request's kinds are signed 32-bit numbers: 0..2 are the dialog's data-format combo box,
// standard input is orvendal-cli's "-". A request may carry a number that is none of these (the
// driver refuses it, see IsKnownInputKind).
enum InputKind : int32_t { InputFile = 0, InputText = 1, InputHex = 2, InputStandardInput = 3 };
enum KeyKind : int32_t { KeyText = 0, KeyHex = 1 };

constexpr bool IsKnownInputKind(InputKind kind) {
    return kind == InputFile || kind == InputText || kind == InputHex || kind == InputStandardInput;
}
constexpr bool IsKnownKeyKind(KeyKind kind) {
    return kind == KeyText || kind == KeyHex;
}

// One flag per Algorithm identifier, non-zero = ticked.
using Selection = std::array<uint8_t, hashlib::AlgorithmCount>;

// The Calculation request. Text and key are the bytes of the system code page; a file path is
// UTF-8 (it is opened by its Unicode name); hex data and a hex key are digits without spaces,
// as the Calculate command leaves them.
struct CalculationRequest {
    InputKind input_kind = InputFile;
    std::string input_value;
    bool hmac = false;
    KeyKind key_kind = KeyText;  // consulted only with `hmac`
    std::string key_value;
    Selection selection{};
};

// How many files of a list (RunJobs) are read at once.
enum class ParallelFiles {
    Off,      // one at a time, on the calling thread
    Storage,  // up to one per usable core, unless the storage pays for seeks (Always otherwise)
    Always,   // up to one per usable core, whatever the storage
};

// One text per Algorithm identifier.
using ResultTexts = std::array<std::string, hashlib::AlgorithmCount>;

struct CalculationAnswer {
    ResultCode result = ResultSuccess;
    // On success the digest of each object made, in lower-case hex, and empty for every other
    // slot (unticked, or not keyable under HMAC); on failure every text is empty.
    ResultTexts texts;
};

class ByteSource;
class FileReader;
class JobScheduler;
class PassHook;

// Reads every file and standard input the calculator opens through a source of the caller's
// own over the opened one; tests make reads short or fail this way.
class SourceFilter {
  public:
    virtual ~SourceFilter() = default;
    // The source to read instead of `opened`; it stays in use until the input has been read.
    // With files at once (SetParallelFiles) it is called on several threads at the same time.
    virtual ByteSource& Filter(ByteSource& opened) = 0;
};

// Usable from any one thread at a time. Its read buffers and feeding threads are made when first
// needed and kept until it is destroyed, so one calculator serves many inputs at little more
// than the cost of opening each.
class DigestCalculator {
  public:
    DigestCalculator();
    ~DigestCalculator();
    DigestCalculator(const DigestCalculator&) = delete;
    DigestCalculator& operator=(const DigestCalculator&) = delete;

    // The request's input fed to one object per selected algorithm. ResultBadRequest for a kind
    // it does not know or hex that does not decode (the Calculate command lets neither through).
    // Text and hex are fed in one call and always finish; a file or standard input gives
    // ResultStopped when stopped part-way, and then no object is finalised.
    CalculationAnswer Calculate(const CalculationRequest& request);

    // The same with the request's fields as separate arguments and the driver's result codes as
    // numbers: on success `results` holds exactly one text per Algorithm identifier; on failure
    // it is left empty.
    int32_t Calculate(int32_t input_kind, const std::string& input_value, bool hmac, int32_t key_kind,
                      const std::string& key_value, const Selection& selection,
                      std::vector<std::string>& results);

    // Update(data, length) on every object in slot order; returns 0.
    static int32_t FeedBuffer(const ObjectTable& objects, const void* data, size_t length);
    // The file read once, in order, and fed in FileBlockSize blocks; serially each block goes to
    // every object before the next one. ResultSuccess, ResultNotFound (the file or its path does
    // not exist), ResultUnreadable (any other open or read failure) or ResultStopped.
    ResultCode FeedFile(const ObjectTable& objects, const std::string& path);
    // Standard input read the same way; all but ResultNotFound.
    ResultCode FeedStandardInput(const ObjectTable& objects);
    // Any source read the same way (no filter applies); all but ResultNotFound.
    ResultCode FeedSource(const ObjectTable& objects, ByteSource& source);

    // Fills the table as Calculate does: plain objects, or under `hmac` keyed ones for the keyable
    // rows only (the others stay empty whatever their flags). False for an unknown key kind or a
    // hex key that does not decode.
    static bool CreateObjects(bool hmac, KeyKind key_kind, const std::string& key_value,
                              const Selection& selection, ObjectTable& objects);
    // One text per slot: the object's hex digest (which finalises it), or empty.
    static ResultTexts CollectResults(const ObjectTable& objects);

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
    // The token every later pass over a file or standard input heeds: once its source is asked
    // to stop, a pass ends within a piece (FilePieceBlocks blocks) and gives ResultStopped. A
    // stop source cannot be reset, so each calculation that may be stopped gets a token of its
    // own; the default token is never stopped.
    void SetStopToken(std::stop_token stop) { stop_ = std::move(stop); }
    bool StopRequested() const { return stop_.stop_requested(); }

    // Lists (RunJobs) with several files read at once, up to one per usable core; under Storage
    // not when the list's first file is on storage that pays for seeks (a spinning disk) and
    // not in the system's cache, since such a disk reads files in turn faster. Each file is
    // still read once, in one pass; a large one, with two or more algorithms under parallel
    // feeding, is read alone with every object on a thread of its own. Off unless asked for.
    void SetParallelFiles(ParallelFiles parallel) { parallel_files_ = parallel; }

    // Runs the list's jobs and hands each back in order; the jobs read through this calculator's
    // filter, piece size and feeding, and heed its stop token, which is also looked at between
    // jobs. A list of one job runs as a single calculation does; with more, the progress
    // callback hears ListProgress instead of Progress. ResultSuccess once every job has been
    // handed back; ResultStopped when stopped first, or when Done ended the list (the jobs not
    // handed back were stopped or never started). An exception from a job or the list ends it
    // the same way, then leaves this call.
    ResultCode RunJobs(JobList& jobs);

  private:
    friend class JobScheduler;

    // The result of opening `reader`, or on success that of reading it through the filter.
    ResultCode FeedOpened(const ObjectTable& objects, FileReader& reader, ResultCode opened);
    FilePass& Pass();

    ProgressCallback* progress_ = nullptr;
    SourceFilter* filter_ = nullptr;
    uint32_t piece_blocks_ = 0;
    bool parallel_ = false;
    ParallelFiles parallel_files_ = ParallelFiles::Off;
    std::stop_token stop_;
    PassHook* hook_ = nullptr;  // while a list runs: chooses and accounts every pass
    std::unique_ptr<FilePass> pass_;
    std::unique_ptr<JobScheduler> scheduler_;
};

}  // namespace engine
