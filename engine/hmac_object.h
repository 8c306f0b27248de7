// Keyed digests behind the DigestObject interface, so the driver treats keyed and plain objects
// alike. One type serves the nine keyable algorithms through the catalogue code it is bound to.
#pragma once

#include <cstdint>
#include <memory>

#include "hashlib/hashlib.h"

namespace engine {

class HmacObject final : public hashlib::DigestObject {
  public:
    // HmacInit; a refused code leaves an object of digest size 0 whose text is empty.
    HmacObject(uint32_t catalogue_code, const uint8_t* key, uint32_t key_length);
    // The key blocks and the working record are wiped before the memory is released.
    ~HmacObject() override;
    HmacObject(const HmacObject&) = delete;
    HmacObject& operator=(const HmacObject&) = delete;

    void Update(const void* data, uint32_t length) override;
    void Final(uint8_t* digest) override;
    void HexDigest(char* text) override;
    int32_t DigestSize() const override;

  private:
    hashlib::HmacContext context_;
};

// The keyed object of a keyable Algorithm identifier (MD5 to Tiger), bound to the identifier's
// catalogue code; null for the identifiers that are never keyed and for an algorithm HMAC refuses.
std::unique_ptr<hashlib::DigestObject> CreateHmacObject(int algorithm_id, const uint8_t* key,
                                                        uint32_t key_length);

}  // namespace engine
