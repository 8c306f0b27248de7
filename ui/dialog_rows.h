// The main dialog's algorithm rows: which library algorithm each row offers, and the row's check
// box and result edit. The rows and their order are the dialog's own, fixed by its template and
// by the stored "CheckBoxes" ticks (one per row, in this order); the library may describe more
// algorithms than the dialog offers.
#pragma once

#include <array>
#include <cstddef>

#include "hashlib/hashlib.h"
#include "ui/resource.h"

namespace ui {

struct DialogRow {
    hashlib::AlgorithmId algorithm;
    int check_box;
    int result;  // the read-only edit that shows the digest
};

// Top to bottom as the rows' values are kept and stored; MD2 sits after TIGER, eDonkey/eMule
// last.
inline constexpr std::array DialogRows = std::to_array<DialogRow>({
    {hashlib::AlgorithmMd5, IDC_MD5, IDC_MD5_RESULT},
    {hashlib::AlgorithmMd4, IDC_MD4, IDC_MD4_RESULT},
    {hashlib::AlgorithmSha1, IDC_SHA1, IDC_SHA1_RESULT},
    {hashlib::AlgorithmSha256, IDC_SHA256, IDC_SHA256_RESULT},
    {hashlib::AlgorithmSha384, IDC_SHA384, IDC_SHA384_RESULT},
    {hashlib::AlgorithmSha512, IDC_SHA512, IDC_SHA512_RESULT},
    {hashlib::AlgorithmRipemd160, IDC_RIPEMD160, IDC_RIPEMD160_RESULT},
    {hashlib::AlgorithmPanama, IDC_PANAMA, IDC_PANAMA_RESULT},
    {hashlib::AlgorithmTiger, IDC_TIGER, IDC_TIGER_RESULT},
    {hashlib::AlgorithmMd2, IDC_MD2, IDC_MD2_RESULT},
    {hashlib::AlgorithmAdler32, IDC_ADLER32, IDC_ADLER32_RESULT},
    {hashlib::AlgorithmCrc32, IDC_CRC32, IDC_CRC32_RESULT},
    {hashlib::AlgorithmEdonkey, IDC_EDONKEY, IDC_EDONKEY_RESULT},
});

inline constexpr size_t DialogRowCount = DialogRows.size();

// The row that offers `algorithm` (an Algorithm identifier), or -1 when the dialog does not.
constexpr int DialogRowOf(int algorithm) {
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        if (DialogRows[row].algorithm == algorithm) {
            return int(row);
        }
    }
    return -1;
}

// The row whose `control` (its check box or its result edit) has the id `id`, or -1.
constexpr int DialogRowWith(int DialogRow::*control, int id) {
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        if (DialogRows[row].*control == id) {
            return int(row);
        }
    }
    return -1;
}
constexpr int DialogRowOfCheckBox(int check_box_id) {
    return DialogRowWith(&DialogRow::check_box, check_box_id);
}
constexpr int DialogRowOfResult(int result_id) {
    return DialogRowWith(&DialogRow::result, result_id);
}

namespace detail {

// Each row offers an algorithm of the library's, no algorithm twice, and no control serves two
// rows.
constexpr bool RowsAreDistinct() {
    for (size_t row = 0; row < DialogRows.size(); ++row) {
        const DialogRow& mine = DialogRows[row];
        if (mine.algorithm < 0 || mine.algorithm >= hashlib::AlgorithmCount ||
            mine.check_box == mine.result) {
            return false;
        }
        for (size_t other = row + 1; other < DialogRows.size(); ++other) {
            const DialogRow& theirs = DialogRows[other];
            if (theirs.algorithm == mine.algorithm || theirs.check_box == mine.check_box ||
                theirs.result == mine.result || theirs.check_box == mine.result ||
                theirs.result == mine.check_box) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::RowsAreDistinct());

}  // namespace ui
