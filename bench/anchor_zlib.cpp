// zlib's two checksums, the usual reference point for CRC-32 and Adler-32.
#include <zlib.h>

#include "anchors.h"

namespace bench {
namespace {

class ZlibChecksum final : public AnchorDigest {
  public:
    using Function = uLong (*)(uLong, const Bytef*, uInt);
    // CRC-32 starts from 0, Adler-32 from 1; our Final writes CRC-32 least significant byte first
    // and Adler-32 most significant byte first.
    ZlibChecksum(Function function, uLong initial, bool little_endian)
        : AnchorDigest(4),
          function_(function),
          initial_(initial),
          value_(initial),
          little_endian_(little_endian) {}

    void Update(const void* data, uint32_t length) override {
        value_ = function_(value_, static_cast<const Bytef*>(data), length);
    }
    void Final(uint8_t* digest) override {
        const uint32_t value = uint32_t(value_);
        for (int i = 0; i < 4; ++i) {
            const int shift = little_endian_ ? 8 * i : 24 - 8 * i;
            digest[i] = uint8_t(value >> shift);
        }
        value_ = initial_;
    }

  private:
    Function function_;
    uLong initial_;
    uLong value_;
    bool little_endian_;
};

}  // namespace

std::unique_ptr<hashlib::DigestObject> CreateZlibDigest(int algorithm_id) {
    switch (algorithm_id) {
        case hashlib::AlgorithmCrc32:
            return std::make_unique<ZlibChecksum>(&crc32, 0, true);
        case hashlib::AlgorithmAdler32:
            return std::make_unique<ZlibChecksum>(&adler32, 1, false);
    }
    return nullptr;
}

}  // namespace bench
