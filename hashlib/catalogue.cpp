// The algorithm catalogue, indexed by catalogue code. HMAC reaches an algorithm only through
// its entry here; an empty entry is a code this program does not build.
#include <array>

#include "hashlib.h"

namespace hashlib {
namespace {

constexpr std::array<HashDescriptor, CatalogueSize> kCatalogue = [] {
    std::array<HashDescriptor, CatalogueSize> entries{};
    entries[0] = DescribeHash<Md5Context, Md5Init, Md5Update, Md5Final, Md5Calculate, 16, 64, 88>();
    entries[1] = DescribeHash<Sha1Context, Sha1Init, Sha1Update, Sha1Final, Sha1Calculate, 20, 64, 92>();
    entries[2] =
        DescribeHash<Sha256Context, Sha256Init, Sha256Update, Sha256Final, Sha256Calculate, 32, 64, 104>();
    entries[3] =
        DescribeHash<Sha512Context, Sha512Init, Sha512Update, Sha512Final, Sha512Calculate, 64, 128, 208>();
    entries[4] =
        DescribeHash<Sha512Context, Sha384Init, Sha512Update, Sha384Final, Sha384Calculate, 48, 128, 208>();
    entries[5] = DescribeHash<TigerContext, TigerInit, TigerUpdate, TigerFinal, TigerCalculate, 24, 64, 96>();
    entries[6] =
        DescribeHash<PanamaContext, PanamaInit, PanamaUpdate, PanamaFinal, PanamaCalculate, 32, 32, 1280>();
    entries[7] = DescribeHash<Ripemd160Context, Ripemd160Init, Ripemd160Update, Ripemd160Final,
                              Ripemd160Calculate, 20, 64, 92>();
    entries[8] = DescribeHash<Md4Context, Md4Init, Md4Update, Md4Final, Md4Calculate, 16, 64, 88>();
    entries[9] = DescribeHash<Md2Context, Md2Init, Md2Update, Md2Final, Md2Calculate, 16, 16, 68>();
    entries[10] = DescribeHash<Crc32Context, Crc32Init, Crc32Update, Crc32Final, Crc32Calculate, 4, 1, 4,
                               &FinalHexReversed<Crc32Context, Crc32Final, 4>>();
    entries[11] =
        DescribeHash<Adler32Context, Adler32Init, Adler32Update, Adler32Final, Adler32Calculate, 4, 1, 4>();
    entries[17] = DescribeHash<EdonkeyContext, EdonkeyInit, EdonkeyUpdate, EdonkeyFinal, EdonkeyCalculate, 16,
                               1, 181>();
    return entries;
}();

}  // namespace

const HashDescriptor* FindHashDescriptor(uint32_t code) {
    if (code >= CatalogueSize || kCatalogue[code].init == nullptr) {
        return nullptr;
    }
    return &kCatalogue[code];
}

}  // namespace hashlib
