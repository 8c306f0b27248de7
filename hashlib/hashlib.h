// The hash library's public surface: digest objects by Algorithm identifier, the algorithm
// catalogue by catalogue code, the hex codec, and every algorithm's plain functions.
// Knows nothing of files or windows.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "catalogue.h"
#include "digest_object.h"
#include "hmac.h"

namespace hashlib {

// Algorithm identifiers: the dialog's order of check boxes, the index of the selection flags
// and of the result texts.
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
};

// Everything the program loops over, one row per Algorithm identifier. Sizes come from the
// catalogue entry.
struct AlgorithmInfo {
    const char* display_name;                    // as on the dialog's check box, without the mnemonic
    const char* command_name;                    // lower-case name on the command line
    const char* tag_name;                        // upper-case name in BSD-tag output lines
    std::array<const char*, 2> other_spellings;  // further names a sum file may use; null when unused
    int check_box_id;                            // the dialog's controls of this row
    int result_id;
    uint32_t catalogue_code;
    bool keyable;  // computed as an HMAC when HMAC is ticked; the others are then left out
    std::unique_ptr<DigestObject> (*create)();  // the plain object

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

// Display, command-line and tag name; other spellings; check box and result; catalogue code;
// keyable; the plain object.
// clang-format off
inline constexpr std::array Algorithms = std::to_array<AlgorithmInfo>({
    {"MD5", "md5", "MD5", {"MD-5"}, 1008, 1009, 0, true, &detail::CreatePlain<Md5Object>},
    {"MD4", "md4", "MD4", {}, 1038, 1037, 8, true, &detail::CreatePlain<Md4Object>},
    {"SHA1", "sha1", "SHA1", {"SHA-1"}, 1010, 1011, 1, true, &detail::CreatePlain<Sha1Object>},
    {"SHA256", "sha256", "SHA256", {"SHA-256"}, 1012, 1013, 2, true, &detail::CreatePlain<Sha256Object>},
    {"SHA384", "sha384", "SHA384", {"SHA-384"}, 1014, 1015, 4, true, &detail::CreatePlain<Sha384Object>},
    {"SHA512", "sha512", "SHA512", {"SHA-512"}, 1016, 1017, 3, true, &detail::CreatePlain<Sha512Object>},
    {"RIPEMD160", "ripemd160", "RIPEMD160", {"RMD160", "RIPEMD-160"}, 1018, 1019, 7, true,
     &detail::CreatePlain<Ripemd160Object>},
    {"PANAMA", "panama", "PANAMA", {}, 1020, 1021, 6, true, &detail::CreatePlain<PanamaObject>},
    {"TIGER", "tiger", "TIGER", {"TIGER192"}, 1026, 1027, 5, true, &detail::CreatePlain<TigerObject>},
    {"MD2", "md2", "MD2", {}, 1006, 1007, 9, false, &detail::CreatePlain<Md2Object>},
    {"ADLER32", "adler32", "ADLER32", {"ADLER-32"}, 1022, 1023, 11, false, &detail::CreatePlain<Adler32Object>},
    {"CRC32", "crc32", "CRC32", {"CRC-32"}, 1024, 1025, 10, false, &detail::CreatePlain<Crc32Object>},
    {"eDonkey/eMule", "edonkey", "EDONKEY", {"ED2K"}, 1039, 1040, 17, false,
     &detail::CreatePlain<EdonkeyObject>},
});
// clang-format on

// The number of Algorithm identifiers, shared by the driver and the dialog.
constexpr int AlgorithmCount = int(Algorithms.size());

namespace detail {

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

static_assert(detail::EveryRowIsInTheCatalogue(), "a row names a catalogue code that is not filled in");
static_assert(detail::EveryKeyableRowIsAcceptedByHmac(), "a keyable row the HMAC engine would refuse");

// The plain object for an identifier; null for an identifier outside 0..12.
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
