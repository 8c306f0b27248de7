// The algorithm catalogue, indexed by catalogue code. HMAC reaches an algorithm only through
// its entry here; an empty entry is a code this program does not build.
#include <array>

#include "hashlib.h"

namespace hashlib {
namespace {

constexpr std::array<HashDescriptor, CatalogueSize> kCatalogue = [] {
    std::array<HashDescriptor, CatalogueSize> entries{};
    entries[0] = DescribeHash<Md5Context, Md5Init, Md5Update, Md5Final, Md5Calculate, 16, 64, 88>();
    entries[8] = DescribeHash<Md4Context, Md4Init, Md4Update, Md4Final, Md4Calculate, 16, 64, 88>();
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
