// The dialog's algorithm rows, one per Algorithm identifier, as the library's table gives their
// control ids. The resource header names the same ids for the dialog template; the checks below
// keep the two equal.
#pragma once

#include <array>

#include "hashlib/hashlib.h"
#include "ui/resource.h"

namespace ui {

// One algorithm row: its check box and its read-only result edit.
struct AlgorithmRow {
    int check_box;
    int result;
};

// In Algorithm identifier order, the order of the selection flags and of the result texts.
inline constexpr std::array<AlgorithmRow, hashlib::AlgorithmCount> AlgorithmRows = [] {
    std::array<AlgorithmRow, hashlib::AlgorithmCount> rows{};
    for (size_t id = 0; id < rows.size(); ++id) {
        rows[id] = {hashlib::Algorithms[id].check_box_id, hashlib::Algorithms[id].result_id};
    }
    return rows;
}();

// The row whose `control` (its check box or its result edit) has the id `id`, or -1.
constexpr int AlgorithmRowWith(int AlgorithmRow::*control, int id) {
    for (size_t row = 0; row < AlgorithmRows.size(); ++row) {
        if (AlgorithmRows[row].*control == id) {
            return int(row);
        }
    }
    return -1;
}
constexpr int AlgorithmRowOf(int check_box_id) {
    return AlgorithmRowWith(&AlgorithmRow::check_box, check_box_id);
}
constexpr int AlgorithmRowOfResult(int result_id) {
    return AlgorithmRowWith(&AlgorithmRow::result, result_id);
}

namespace detail {

constexpr bool RowIs(int id, int check_box, int result) {
    return AlgorithmRows[size_t(id)].check_box == check_box && AlgorithmRows[size_t(id)].result == result;
}

constexpr bool RowIdsAreDistinct() {
    std::array<int, 2 * AlgorithmRows.size()> ids{};
    size_t count = 0;
    for (const AlgorithmRow& row : AlgorithmRows) {
        ids[count++] = row.check_box;
        ids[count++] = row.result;
    }
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = i + 1; j < count; ++j) {
            if (ids[i] == ids[j]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::RowIs(hashlib::AlgorithmMd5, IDC_MD5, IDC_MD5_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmMd4, IDC_MD4, IDC_MD4_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmSha1, IDC_SHA1, IDC_SHA1_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmSha256, IDC_SHA256, IDC_SHA256_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmSha384, IDC_SHA384, IDC_SHA384_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmSha512, IDC_SHA512, IDC_SHA512_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmRipemd160, IDC_RIPEMD160, IDC_RIPEMD160_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmPanama, IDC_PANAMA, IDC_PANAMA_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmTiger, IDC_TIGER, IDC_TIGER_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmMd2, IDC_MD2, IDC_MD2_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmAdler32, IDC_ADLER32, IDC_ADLER32_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmCrc32, IDC_CRC32, IDC_CRC32_RESULT));
static_assert(detail::RowIs(hashlib::AlgorithmEdonkey, IDC_EDONKEY, IDC_EDONKEY_RESULT));
static_assert(detail::RowIdsAreDistinct());

}  // namespace ui
