// One row per Algorithm identifier, in the dialog's order.
#include "hashlib.h"

namespace hashlib {
namespace {

template <typename Object>
std::unique_ptr<DigestObject> Create() {
    return std::make_unique<Object>();
}

}  // namespace

const AlgorithmInfo Algorithms[AlgorithmCount] = {
    {"MD5", "md5", "MD5", 0, 16, &Create<Md5Object>},
    {"MD4", "md4", "MD4", 8, 16, &Create<Md4Object>},
    {"SHA1", "sha1", "SHA1", 1, 20, &Create<Sha1Object>},
    {"SHA256", "sha256", "SHA256", 2, 32, &Create<Sha256Object>},
    {"SHA384", "sha384", "SHA384", 4, 48, &Create<Sha384Object>},
    {"SHA512", "sha512", "SHA512", 3, 64, &Create<Sha512Object>},
    {"RIPEMD160", "ripemd160", "RIPEMD160", 7, 20, &Create<Ripemd160Object>},
    {"PANAMA", "panama", "PANAMA", 6, 32, &Create<PanamaObject>},
    {"TIGER", "tiger", "TIGER", 5, 24, &Create<TigerObject>},
    {"MD2", "md2", "MD2", 9, 16, &Create<Md2Object>},
    {"ADLER32", "adler32", "ADLER32", 11, 4, &Create<Adler32Object>},
    {"CRC32", "crc32", "CRC32", 10, 4, &Create<Crc32Object>},
    {"eDonkey/eMule", "edonkey", "EDONKEY", 17, 16, &Create<EdonkeyObject>},
};

std::unique_ptr<DigestObject> CreateDigestObject(int algorithm_id) {
    if (algorithm_id < 0 || algorithm_id >= AlgorithmCount || Algorithms[algorithm_id].create == nullptr) {
        return nullptr;
    }
    return Algorithms[algorithm_id].create();
}

}  // namespace hashlib
