// The hash library's public surface: digest objects by Algorithm identifier, the algorithm
// catalogue by catalogue code, the hex codec, and every algorithm's plain functions.
// Knows nothing of files or windows.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <tuple>
#include <utility>

#include "catalogue.h"
#include "digest_object.h"
#include "hmac.h"
#include "md5_ripemd160.h"

namespace hashlib {

// Two numbers name an algorithm. Its Algorithm identifier is the program's order: the order in
// which it lists, selects and reports algorithms (the index of selection flags and result
// texts); an algorithm added to the library takes the next one. Its catalogue code is the
// library's own numbering: it indexes the catalogue, is what an HMAC context is bound to, is
// never shown and follows none of the program's orders. The table below leads from the first to
// the second.
enum AlgorithmId : int {
    AlgorithmMd5 = 0,
    AlgorithmMd4 = 1,
    AlgorithmSha1 = 2,
    AlgorithmSha256 = 3,
    AlgorithmSha384 = 4,
    AlgorithmSha512 = 5,
    AlgorithmRipemd160 = 6,
    AlgorithmPanama = 7,
    AlgorithmTiger = 8,
    AlgorithmMd2 = 9,
    AlgorithmAdler32 = 10,
    AlgorithmCrc32 = 11,
    AlgorithmEdonkey = 12,
    AlgorithmSha3_256 = 13,
    AlgorithmSha3_512 = 14,
    AlgorithmBlake2b = 15,
};

// Identifiers 0 to 12, MD5 to eDonkey/eMule, are the algorithms every front end offers, and what
// orvendal-cli's "-a all" selects. An algorithm added later is chosen by its name, so that a
// script using "-a all" keeps printing the same lines.
constexpr int CommonAlgorithmCount = 13;

// What the program knows of one algorithm, one row per Algorithm identifier. Sizes come from the
// catalogue entry.
struct AlgorithmInfo {
    AlgorithmId id;                                // the row's own position in the table
    const char* display_name;                      // as the program shows it ("eDonkey/eMule")
    const char* command_name;                      // lower-case name on the command line
    const char* tag_name;                          // upper-case name in BSD-tag output lines
    std::array<const char*, 4> other_spellings{};  // further names a sum file may use; null when unused
    uint32_t catalogue_code = 0;
    bool keyable = false;  // computed as an HMAC when HMAC is asked for; the others are then left out
    std::unique_ptr<DigestObject> (*create)() = nullptr;  // the plain object
    // Sum files whose own name says their untagged lines are of this algorithm: suffixes of the
    // name (".md5" in "setup.iso.md5"), whole names ("MD5SUMS") and the starts of names
    // ("CHECKSUM.SHA256-" in "CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64"), any case; null when
    // unused.
    std::array<const char*, 2> sum_file_suffixes{};
    std::array<const char*, 4> sum_file_names{};
    std::array<const char*, 1> sum_file_prefixes{};
    // What hashing a byte costs, relative to the other rows: a sum-file line whose length several
    // algorithms fit is checked against the cheaper ones first, the very slow ones only when the
    // others did not match. Single-thread time per byte on the dispatched path of an x86-64 with
    // SHA extensions (orvendal-bench), in tenths of a nanosecond, at least 1; only the order and
    // the great distance to MD2 matter. A row that gives none is taken as middling.
    uint16_t relative_cost = 10;

    constexpr const HashDescriptor& Descriptor() const { return Catalogue[catalogue_code]; }
    constexpr int32_t DigestSize() const { return int32_t(Descriptor().digest_size); }
    constexpr uint32_t BlockSize() const { return Descriptor().block_size; }
};

namespace detail {

template <typename Object>
std::unique_ptr<DigestObject> CreatePlain() {
    return std::make_unique<Object>();
}

}  // namespace detail

// clang-format off
inline constexpr std::array Algorithms = std::to_array<AlgorithmInfo>({
    {.id = AlgorithmMd5, .display_name = "MD5", .command_name = "md5", .tag_name = "MD5",
     .other_spellings = {"MD-5"}, .catalogue_code = 0, .keyable = true,
     .create = &detail::CreatePlain<Md5Object>, .sum_file_suffixes = {".md5", ".md5sum"},
     .sum_file_names = {"MD5SUMS", "md5sums.txt", "md5sum.txt"}, .relative_cost = 14},
    {.id = AlgorithmMd4, .display_name = "MD4", .command_name = "md4", .tag_name = "MD4",
     .catalogue_code = 8, .keyable = true,
     .create = &detail::CreatePlain<Md4Object>, .sum_file_suffixes = {".md4"}, .relative_cost = 8},
    {.id = AlgorithmSha1, .display_name = "SHA1", .command_name = "sha1", .tag_name = "SHA1",
     .other_spellings = {"SHA-1"}, .catalogue_code = 1, .keyable = true,
     .create = &detail::CreatePlain<Sha1Object>, .sum_file_suffixes = {".sha1", ".sha1sum"},
     .sum_file_names = {"SHA1SUMS", "sha1sums.txt", "sha1sum.txt"}, .relative_cost = 6},
    {.id = AlgorithmSha256, .display_name = "SHA256", .command_name = "sha256", .tag_name = "SHA256",
     .other_spellings = {"SHA-256", "SHA2-256"}, .catalogue_code = 2, .keyable = true,
     .create = &detail::CreatePlain<Sha256Object>, .sum_file_suffixes = {".sha256", ".sha256sum"},
     .sum_file_names = {"SHA256SUMS", "sha256sums.txt", "sha256sum.txt", "SHASUMS256.txt"},
     .sum_file_prefixes = {"CHECKSUM.SHA256-"}, .relative_cost = 6},
    {.id = AlgorithmSha384, .display_name = "SHA384", .command_name = "sha384", .tag_name = "SHA384",
     .other_spellings = {"SHA-384", "SHA2-384"}, .catalogue_code = 4, .keyable = true,
     .create = &detail::CreatePlain<Sha384Object>, .sum_file_suffixes = {".sha384", ".sha384sum"},
     .sum_file_names = {"SHA384SUMS", "sha384sums.txt", "sha384sum.txt"}, .relative_cost = 12},
    {.id = AlgorithmSha512, .display_name = "SHA512", .command_name = "sha512", .tag_name = "SHA512",
     .other_spellings = {"SHA-512", "SHA2-512"}, .catalogue_code = 3, .keyable = true,
     .create = &detail::CreatePlain<Sha512Object>, .sum_file_suffixes = {".sha512", ".sha512sum"},
     .sum_file_names = {"SHA512SUMS", "sha512sums.txt", "sha512sum.txt"},
     .sum_file_prefixes = {"CHECKSUM.SHA512-"}, .relative_cost = 12},
    {.id = AlgorithmRipemd160, .display_name = "RIPEMD160", .command_name = "ripemd160", .tag_name = "RIPEMD160",
     .other_spellings = {"RMD160", "RIPEMD-160"}, .catalogue_code = 7, .keyable = true,
     .create = &detail::CreatePlain<Ripemd160Object>, .sum_file_suffixes = {".rmd160", ".ripemd160"},
     .relative_cost = 18},
    {.id = AlgorithmPanama, .display_name = "PANAMA", .command_name = "panama", .tag_name = "PANAMA",
     .catalogue_code = 6, .keyable = true,
     .create = &detail::CreatePlain<PanamaObject>, .relative_cost = 4},
    {.id = AlgorithmTiger, .display_name = "TIGER", .command_name = "tiger", .tag_name = "TIGER",
     .other_spellings = {"TIGER192"}, .catalogue_code = 5, .keyable = true,
     .create = &detail::CreatePlain<TigerObject>, .sum_file_suffixes = {".tiger"}, .relative_cost = 14},
    // MD2 would pass the HMAC engine's block-size rule (16 bytes) but is never keyed.
    {.id = AlgorithmMd2, .display_name = "MD2", .command_name = "md2", .tag_name = "MD2",
     .catalogue_code = 9, .keyable = false,
     .create = &detail::CreatePlain<Md2Object>, .sum_file_suffixes = {".md2"}, .relative_cost = 830},
    {.id = AlgorithmAdler32, .display_name = "ADLER32", .command_name = "adler32", .tag_name = "ADLER32",
     .other_spellings = {"ADLER-32"}, .catalogue_code = 11, .keyable = false,
     .create = &detail::CreatePlain<Adler32Object>, .relative_cost = 1},
    {.id = AlgorithmCrc32, .display_name = "CRC32", .command_name = "crc32", .tag_name = "CRC32",
     .other_spellings = {"CRC-32"}, .catalogue_code = 10, .keyable = false,
     .create = &detail::CreatePlain<Crc32Object>, .sum_file_suffixes = {".crc32"}, .relative_cost = 1},
    {.id = AlgorithmEdonkey, .display_name = "eDonkey/eMule", .command_name = "edonkey", .tag_name = "EDONKEY",
     .other_spellings = {"ED2K"}, .catalogue_code = 17, .keyable = false,
     .create = &detail::CreatePlain<EdonkeyObject>, .sum_file_suffixes = {".ed2k"}, .relative_cost = 8},
    {.id = AlgorithmSha3_256, .display_name = "SHA3-256", .command_name = "sha3-256", .tag_name = "SHA3-256",
     .other_spellings = {"SHA3_256"}, .catalogue_code = 18, .keyable = true,
     .create = &detail::CreatePlain<Sha3_256Object>, .sum_file_suffixes = {".sha3-256"},
     .sum_file_names = {"SHA3-256SUMS"}, .relative_cost = 18},
    {.id = AlgorithmSha3_512, .display_name = "SHA3-512", .command_name = "sha3-512", .tag_name = "SHA3-512",
     .other_spellings = {"SHA3_512"}, .catalogue_code = 19, .keyable = true,
     .create = &detail::CreatePlain<Sha3_512Object>, .sum_file_suffixes = {".sha3-512"},
     .sum_file_names = {"SHA3-512SUMS"}, .relative_cost = 33},
    // Not keyed: BLAKE2b's own keyed mode is not HMAC, and HMAC over it is not what anyone checks.
    {.id = AlgorithmBlake2b, .display_name = "BLAKE2b", .command_name = "blake2b", .tag_name = "BLAKE2b",
     .other_spellings = {"BLAKE2B-512", "BLAKE2b512"}, .catalogue_code = 20, .keyable = false,
     .create = &detail::CreatePlain<Blake2bObject>, .sum_file_suffixes = {".b2"},
     .sum_file_names = {"B2SUMS", "b2sums.txt"}, .relative_cost = 8},
});
// clang-format on

// The number of Algorithm identifiers: the size of the engine's selection and result lists.
constexpr int AlgorithmCount = int(Algorithms.size());

namespace detail {

// Each row sits at its own identifier, so a row out of place cannot lend its name to another.
constexpr bool EveryRowIsAtItsIdentifier() {
    for (size_t position = 0; position < Algorithms.size(); ++position) {
        if (size_t(Algorithms[position].id) != position) {
            return false;
        }
    }
    return true;
}

constexpr bool SameIgnoringCase(const char* a, const char* b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (; *a != '\0' && lower(*a) == lower(*b); ++a, ++b) {
    }
    return lower(*a) == lower(*b);
}

// Every name a row answers to or a sum file may carry, in one list.
constexpr auto EveryName() {
    constexpr size_t names_per_row = 3 + std::tuple_size_v<decltype(AlgorithmInfo::other_spellings)> +
                                     std::tuple_size_v<decltype(AlgorithmInfo::sum_file_suffixes)> +
                                     std::tuple_size_v<decltype(AlgorithmInfo::sum_file_names)> +
                                     std::tuple_size_v<decltype(AlgorithmInfo::sum_file_prefixes)>;
    std::array<std::pair<int, const char*>, Algorithms.size() * names_per_row> names{};
    size_t count = 0;
    for (const AlgorithmInfo& info : Algorithms) {
        const auto add = [&](const char* name) { names[count++] = {info.id, name}; };
        add(info.display_name);
        add(info.command_name);
        add(info.tag_name);
        const auto add_each = [&](const auto& list) {
            for (const char* name : list) {
                add(name);
            }
        };
        add_each(info.other_spellings);
        add_each(info.sum_file_suffixes);
        add_each(info.sum_file_names);
        add_each(info.sum_file_prefixes);
    }
    return names;
}

// A name leads to one algorithm only: the lookups take the first row that answers.
constexpr bool NoNameHasTwoAlgorithms() {
    constexpr auto names = EveryName();
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            if (names[i].second != nullptr && names[j].second != nullptr &&
                names[i].first != names[j].first && SameIgnoringCase(names[i].second, names[j].second)) {
                return false;
            }
        }
    }
    return true;
}

// An empty entry has no sizes (its operations are null too, but the sanitizer builds cannot
// compare function addresses at compile time).
constexpr bool EveryRowIsInTheCatalogue() {
    for (const AlgorithmInfo& info : Algorithms) {
        if (info.catalogue_code >= CatalogueSize || info.DigestSize() == 0) {
            return false;
        }
    }
    return true;
}

// Which rows are keyed is the table's own choice: MD2 passes the engine's block-size rule as well
// (16 bytes) but is never keyed. What is keyed must be something the engine accepts.
constexpr bool EveryKeyableRowIsAcceptedByHmac() {
    for (const AlgorithmInfo& info : Algorithms) {
        if (info.keyable && !HmacAccepts(info.Descriptor())) {
            return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::EveryRowIsAtItsIdentifier(), "a row out of identifier order");
static_assert(CommonAlgorithmCount <= AlgorithmCount);
static_assert(detail::NoNameHasTwoAlgorithms(), "two rows answer to the same name");
static_assert(detail::EveryRowIsInTheCatalogue(), "a row names a catalogue code that is not filled in");
static_assert(detail::EveryKeyableRowIsAcceptedByHmac(), "a keyable row the HMAC engine would refuse");

// The plain object for an identifier; null for an identifier outside the table.
std::unique_ptr<DigestObject> CreateDigestObject(int algorithm_id);

// The identifier whose display, command-line or tag name, or one of its other spellings, this is
// (ASCII case ignored); -1 for none.
int FindAlgorithmByName(std::string_view name);
// The identifier whose command-line name this is (ASCII case ignored); -1 for none.
int FindAlgorithmByCommandName(std::string_view name);

// Hex digits to bytes: each pair gives one byte, a lone last digit the high four bits of one
// more. Returns the bytes written, or -1 at the first character that is not a hex digit (bytes
// already written stay). Needs room for (length + 1) / 2 bytes.
int32_t HexDecode(uint8_t* bytes, const char* text, uint32_t length);

}  // namespace hashlib
