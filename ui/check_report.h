// What the checking window shows and copies, in plain C++: one row per line of the sum file that
// names a file (its entries, and the lines of an algorithm we do not compute), each row's verdict
// in words, the summary line, and the report the Copy button puts on the clipboard. Texts are
// UTF-8; the window widens them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sum_file.h"
#include "engine/sum_file_check.h"

namespace ui {

// The checking window's place and size: a value beside the main dialog's in the settings
// section, in the same form as "WndRect".
inline constexpr wchar_t CheckWindowRectValueName[] = L"CheckWndRect";

enum class CheckVerdict {
    Match,
    Mismatch,
    Missing,
    Unreadable,
    UnsupportedAlgorithm,  // a line naming an algorithm the program does not compute
    NotChecked,            // not yet, stopped before its file, or a keyed line (no key here)
};
inline constexpr size_t CheckVerdictCount = 6;

// "一致", "不一致", "缺失", "无法读取", "不支持的算法", "未核对".
std::string_view VerdictText(CheckVerdict verdict);

CheckVerdict ToCheckVerdict(engine::Verdict verdict);

struct CheckRow {
    size_t line = 0;        // 1-based line number in the sum file
    std::string file_name;  // as the line lists it
    std::string algorithm;  // the program's name ("SHA256", "HMAC-MD5"), or as the line writes it
    CheckVerdict verdict = CheckVerdict::NotChecked;
    size_t entry = SIZE_MAX;  // index into SumFile::entries; SIZE_MAX for an unsupported line
    bool operator==(const CheckRow&) const = default;
};

// The rows of a sum file before it is checked, in line order: every entry (NotChecked; a line
// that only its length names shows every algorithm of that length, "MD5/MD4/MD2/eDonkey/eMule",
// until checked), and every line of an algorithm the program does not compute
// (UnsupportedAlgorithm).
std::vector<CheckRow> SumFileRows(const engine::SumFile& sum_file);

// Gives the rows of `file`'s lines their verdicts, and a line its length named the algorithm it
// was checked as; `rows` are SumFileRows(sum_file).
void ApplyVerdicts(const engine::ListedFileCheck& file, const engine::SumFile& sum_file,
                   std::vector<CheckRow>& rows);

struct CheckTally {
    std::array<size_t, CheckVerdictCount> rows{};  // by CheckVerdict
    size_t malformed = 0;                          // lines that are neither rows nor comments
    bool signed_message = false;                   // clear-signed: the signature was not checked
    bool stopped = false;
    bool operator==(const CheckTally&) const = default;
};

CheckTally TallyRows(const std::vector<CheckRow>& rows, const engine::SumFile& sum_file, bool stopped);

// "核对了 5 项：一致 3，不一致 1，缺失 1。" with every non-zero count in verdict order, then
// "格式不正确的行 2" when there are such lines; "已停止，" first when the check was stopped;
// "其中的 OpenPGP 签名未验证。" after it for a clear-signed sum file.
std::string CheckSummary(const CheckTally& tally);

// One line per checked row in row order, in coreutils' words: "FILE: OK", "FILE: FAILED" (another
// digest), "FILE: FAILED open or read" (missing or unreadable); rows without a verdict of the file
// (unsupported, not checked) give none, as a checking tool prints none for them. Then the summary.
// Lines end in "\r\n", as the clipboard's text does.
std::string CheckReport(const std::vector<CheckRow>& rows, const CheckTally& tally);

}  // namespace ui
