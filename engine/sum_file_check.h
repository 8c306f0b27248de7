// Checking the files a sum file lists: its entries grouped by the file they name, each file
// read once for all its plain lines and once for its keyed ones, and every line given a verdict.
// A line whose length several algorithms fit is checked against each of them in the same read,
// and matches when one does; only the very slow candidates (MD2) wait for a read of their own,
// made when no other candidate matched. The front ends only print or paint the verdicts.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "digest_calculator.h"
#include "sum_file.h"

namespace engine {

enum class Verdict {
    NotChecked,  // a keyed line without a key, or the check was stopped before its file was done
    Match,       // the file's digest is the one the line gives
    Mismatch,    // the file was read and its digest is another
    Missing,     // the file or a directory of its path does not exist
    Unreadable,  // the file could not be opened (a folder too) or read
};

struct LineVerdict {
    size_t entry = 0;  // index into SumFile::entries
    // The Algorithm identifier the line was checked as: for a line with candidates the one that
    // matched, or the first when none did.
    int algorithm = 0;
    Verdict verdict = Verdict::NotChecked;
};

// One listed file, as the listener hears of it.
struct ListedFileCheck {
    std::string_view listed_name;    // as the lines write it
    std::string path;                // opened: the listed name resolved against the sum file's folder
    std::vector<LineVerdict> lines;  // every line naming it, in line order
};

// Lines, by their verdicts.
struct CheckCounts {
    size_t matched = 0;
    size_t mismatched = 0;
    size_t missing = 0;
    size_t unreadable = 0;
    size_t not_checked = 0;
};

// The key of keyed (HMAC-) lines: a key kind and a value CheckKey has accepted.
struct HmacKey {
    KeyKind kind = KeyText;
    std::string value;  // text: the bytes of the system code page; hex: digits without spaces
};

struct SumFileCheckSettings {
    std::optional<HmacKey> key;  // without one, keyed lines are not checked
};

// Told of each listed file while the check goes on, on the thread that runs it.
class CheckListener {
  public:
    virtual ~CheckListener() = default;
    // Before the file is read (with files at once, possibly before the files ahead of it are
    // checked).
    virtual void Reading(const ListedFileCheck& file) { (void)file; }
    // Once every line naming the file has its verdict; files come in the order their names first
    // appear in the sum file. False ends the check after this file.
    virtual bool Checked(const ListedFileCheck& file) = 0;
    // Before the check waits for the next file to be read: a moment to flush output.
    virtual void Waiting() {}
};

struct SumFileCheck {
    std::vector<LineVerdict> lines;  // one per entry of the sum file, in line order
    CheckCounts counts;
    // The calculator's stop token (between or within files) or the listener ended the check
    // before every file was done; the lines not reached are NotChecked.
    bool stopped = false;
};

// Whether a line can be checked with these settings: a keyed line only with a key.
bool IsCheckable(const SumEntry& entry, const SumFileCheckSettings& settings);

// Checks every file the entries of `sum_file` name. Names are relative to the folder of
// `sum_file_path` (empty for standard input: the current folder) and are opened exactly as
// listed, so a check opens no other file than the one listed. `calculator` reads the files (its
// feeding, files at once, progress and stop token apply, as for any list of its: RunJobs); the
// stop token is also looked at between files.
SumFileCheck CheckSumFile(const SumFile& sum_file, std::string_view sum_file_path,
                          const SumFileCheckSettings& settings, DigestCalculator& calculator,
                          CheckListener* listener = nullptr);

// The lines of one file checked against the file at `path`: `entries` (indices into
// `sum_file.entries`, all checkable and naming that file) are read in one pass for the plain ones
// (and one more for slow candidates no other matched) and one for the keyed ones. ResultStopped when the
// calculator was stopped (no verdict is given then), else ResultSuccess with a verdict for every line.
ResultCode CheckListedFile(const SumFile& sum_file, std::span<const size_t> entries, const std::string& path,
                           const SumFileCheckSettings& settings, DigestCalculator& calculator,
                           std::vector<LineVerdict>& verdicts);

}  // namespace engine
