// Which library implements which algorithm, in one place.
#include "anchors.h"

namespace bench {
namespace {

// Keeps only the libraries that have the algorithm (their factory gives an object).
void AddIfPresent(std::vector<Anchor>& anchors, const char* library, DigestFactory create) {
    if (create()) {
        anchors.push_back({library, std::move(create)});
    }
}

}  // namespace

void InitAnchorLibraries() {
    InitOpenssl();
    InitRhash();
    InitSodium();
}

std::vector<Anchor> AnchorsFor(int algorithm_id) {
    std::vector<Anchor> anchors;
    AddIfPresent(anchors, "OpenSSL", [algorithm_id] { return CreateOpensslDigest(algorithm_id); });
    AddIfPresent(anchors, "Crypto++", [algorithm_id] { return CreateCryptoppDigest(algorithm_id); });
    AddIfPresent(anchors, "RHash", [algorithm_id] { return CreateRhashDigest(algorithm_id); });
    AddIfPresent(anchors, "zlib", [algorithm_id] { return CreateZlibDigest(algorithm_id); });
    AddIfPresent(anchors, "libsodium", [algorithm_id] { return CreateSodiumDigest(algorithm_id); });
    AddIfPresent(anchors, "libb2", [algorithm_id] { return CreateLibb2Digest(algorithm_id); });
    return anchors;
}

std::vector<Anchor> HmacAnchorsFor(int algorithm_id, const std::vector<uint8_t>& key) {
    std::vector<Anchor> anchors;
    AddIfPresent(anchors, "OpenSSL", [algorithm_id, key] { return CreateOpensslHmac(algorithm_id, key); });
    AddIfPresent(anchors, "Crypto++", [algorithm_id, key] { return CreateCryptoppHmac(algorithm_id, key); });
    return anchors;
}

}  // namespace bench
