#include "catalogue.h"

namespace hashlib {

const HashDescriptor* FindHashDescriptor(uint32_t code) {
    if (code >= CatalogueSize || Catalogue[code].init == nullptr) {
        return nullptr;
    }
    return &Catalogue[code];
}

}  // namespace hashlib
