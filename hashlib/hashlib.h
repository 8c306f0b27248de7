// The hash library's public surface: digest objects by Algorithm identifier, the algorithm
// catalogue by catalogue code, the hex codec, and every algorithm's plain functions.
// Knows nothing of files or windows.
#pragma once

#include <cstdint>
#include <memory>

#include "adler32.h"
#include "catalogue.h"
#include "crc32.h"
#include "digest_object.h"
#include "edonkey.h"
#include "hmac.h"
#include "md2.h"
#include "md5.h"
#include "panama.h"
#include "ripemd160.h"
#include "sha1.h"
#include "sha256.h"
#include "sha512.h"
#include "tiger.h"

namespace hashlib {

// Algorithm identifiers: the dialog's order of check boxes, the index of the selection flags
// and of the result texts.
constexpr int AlgorithmCount = 13;

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

// Identifiers 0..8 can be keyed (HMAC); the checksums and the chunked hash cannot.
constexpr int KeyableAlgorithmCount = 9;

// Everything the program loops over, one row per Algorithm identifier.
struct AlgorithmInfo {
    const char* display_name;  // as on the dialog's check box, without the mnemonic
    const char* command_name;  // lower-case name on the command line
    const char* tag_name;      // upper-case name in BSD-tag output lines
    uint32_t catalogue_code;
    int32_t digest_size;
    std::unique_ptr<DigestObject> (*create)();  // the plain object; null while not built
};

extern const AlgorithmInfo Algorithms[AlgorithmCount];

// The plain object for an identifier; null for an identifier outside 0..12.
std::unique_ptr<DigestObject> CreateDigestObject(int algorithm_id);

// Hex digits to bytes: each pair gives one byte, a lone last digit the high four bits of one
// more. Returns the bytes written, or -1 at the first character that is not a hex digit (bytes
// already written stay). Needs room for (length + 1) / 2 bytes.
int32_t HexDecode(uint8_t* bytes, const char* text, uint32_t length);

}  // namespace hashlib
