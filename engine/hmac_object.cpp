#include "hmac_object.h"

namespace engine {

HmacObject::HmacObject(uint32_t catalogue_code, const uint8_t* key, uint32_t key_length) {
    hashlib::HmacInit(&context_, catalogue_code, key, key_length);
}

HmacObject::~HmacObject() {
    hashlib::HmacWipe(&context_);
}

void HmacObject::Update(const void* data, uint32_t length) {
    hashlib::HmacUpdate(&context_, data, length);
}

void HmacObject::Final(uint8_t* digest) {
    hashlib::HmacFinal(&context_, digest);
}

void HmacObject::HexDigest(char* text) {
    if (!hashlib::HmacFinalHex(&context_, text, 0)) {
        text[0] = '\0';  // digest size 0: an empty text
    }
}

int32_t HmacObject::DigestSize() const {
    return int32_t(hashlib::HmacDigestSize(&context_));
}

std::unique_ptr<hashlib::DigestObject> CreateHmacObject(int algorithm_id, const uint8_t* key,
                                                        uint32_t key_length) {
    if (algorithm_id < 0 || algorithm_id >= hashlib::AlgorithmCount ||
        !hashlib::Algorithms[algorithm_id].keyable) {
        return nullptr;
    }
    auto object =
        std::make_unique<HmacObject>(hashlib::Algorithms[algorithm_id].catalogue_code, key, key_length);
    if (object->DigestSize() == 0) {
        return nullptr;
    }
    return object;
}

}  // namespace engine
