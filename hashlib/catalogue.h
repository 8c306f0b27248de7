// The algorithm catalogue, indexed by catalogue code: each entry's sizes and its operations over
// an untyped working record. HMAC reaches an algorithm only through its entry here; an empty
// entry is a code this program does not use. Constant data, so sizes can be checked at compile
// time.
#pragma once

#include <array>
#include <cstdint>

#include "adler32.h"
#include "blake2b.h"
#include "crc32.h"
#include "digest_object.h"
#include "edonkey.h"
#include "md2.h"
#include "md5.h"
#include "panama.h"
#include "ripemd160.h"
#include "sha1.h"
#include "sha256.h"
#include "sha3.h"
#include "sha512.h"
#include "tiger.h"

namespace hashlib {

// The catalogue has room for 76 codes; only the algorithms of this program are filled in.
constexpr uint32_t CatalogueSize = 76;

namespace detail {

constexpr std::array<HashDescriptor, CatalogueSize> BuildCatalogue() {
    std::array<HashDescriptor, CatalogueSize> entries{};
    entries[0] =
        DescribeHash<Md5Context, Md5Init, Md5Update, Md5Final, Md5Calculate, Md5DigestSize, 64, 88>();
    entries[1] =
        DescribeHash<Sha1Context, Sha1Init, Sha1Update, Sha1Final, Sha1Calculate, Sha1DigestSize, 64, 92>();
    entries[2] = DescribeHash<Sha256Context, Sha256Init, Sha256Update, Sha256Final, Sha256Calculate,
                              Sha256DigestSize, 64, 104>();
    entries[3] = DescribeHash<Sha512Context, Sha512Init, Sha512Update, Sha512Final, Sha512Calculate,
                              Sha512DigestSize, 128, 208>();
    entries[4] = DescribeHash<Sha512Context, Sha384Init, Sha512Update, Sha384Final, Sha384Calculate,
                              Sha384DigestSize, 128, 208>();
    entries[5] = DescribeHash<TigerContext, TigerInit, TigerUpdate, TigerFinal, TigerCalculate,
                              TigerDigestSize, 64, 96>();
    entries[6] = DescribeHash<PanamaContext, PanamaInit, PanamaUpdate, PanamaFinal, PanamaCalculate,
                              PanamaDigestSize, 32, 1280>();
    entries[7] = DescribeHash<Ripemd160Context, Ripemd160Init, Ripemd160Update, Ripemd160Final,
                              Ripemd160Calculate, Ripemd160DigestSize, 64, 92>();
    entries[8] =
        DescribeHash<Md4Context, Md4Init, Md4Update, Md4Final, Md4Calculate, Md4DigestSize, 64, 88>();
    entries[9] =
        DescribeHash<Md2Context, Md2Init, Md2Update, Md2Final, Md2Calculate, Md2DigestSize, 16, 68>();
    entries[10] =
        DescribeHash<Crc32Context, Crc32Init, Crc32Update, Crc32Final, Crc32Calculate, Crc32DigestSize, 1, 4,
                     &FinalHexReversed<Crc32Context, Crc32Final, Crc32DigestSize>>();
    entries[11] = DescribeHash<Adler32Context, Adler32Init, Adler32Update, Adler32Final, Adler32Calculate,
                               Adler32DigestSize, 1, 4>();
    entries[17] = DescribeHash<EdonkeyContext, EdonkeyInit, EdonkeyUpdate, EdonkeyFinal, EdonkeyCalculate,
                               EdonkeyDigestSize, 1, 181>();
    entries[18] = DescribeHash<Sha3Context, Sha3_256Init, Sha3Update, Sha3_256Final, Sha3_256Calculate,
                               Sha3_256DigestSize, Sha3_256BlockSize, 208>();
    entries[19] = DescribeHash<Sha3Context, Sha3_512Init, Sha3Update, Sha3_512Final, Sha3_512Calculate,
                               Sha3_512DigestSize, Sha3_512BlockSize, 208>();
    entries[20] = DescribeHash<Blake2bContext, Blake2bInit, Blake2bUpdate, Blake2bFinal, Blake2bCalculate,
                               Blake2bDigestSize, Blake2bBlockSize, 216>();
    return entries;
}

}  // namespace detail

// Indexed directly only where the code is known to be filled in (the Algorithm table's codes);
// elsewhere FindHashDescriptor checks it.
inline constexpr std::array<HashDescriptor, CatalogueSize> Catalogue = detail::BuildCatalogue();

// The entry for a catalogue code, or null for a code of 76 or more or one not filled in.
const HashDescriptor* FindHashDescriptor(uint32_t code);

}  // namespace hashlib
