// MD2, RFC 1319. The checksum step is the corrected one: checksum byte j is XORed with
// S[block byte j xor L] and the new checksum byte becomes L (the prose of section 3.2 sets the
// byte instead, an error recorded in the RFC errata; the RFC's reference code and test suite
// XOR). Padding is always 1 to 16 bytes, each holding the pad length; the checksum is then
// compressed as a last block.
#include "md2.h"

#include <cstring>

#include "block_hash.h"

namespace hashlib {
namespace {

// The RFC's permutation of 0..255 built from the digits of pi.
constexpr uint8_t kPiSubst[256] = {
    41,  46,  67,  201, 162, 216, 124, 1,   61,  54,  84,  161, 236, 240, 6,   19,  98,  167, 5,   243,
    192, 199, 115, 140, 152, 147, 43,  217, 188, 76,  130, 202, 30,  155, 87,  60,  253, 212, 224, 22,
    103, 66,  111, 24,  138, 23,  229, 18,  190, 78,  196, 214, 218, 158, 222, 73,  160, 251, 245, 142,
    187, 47,  238, 122, 169, 104, 121, 145, 21,  178, 7,   63,  148, 194, 16,  137, 11,  34,  95,  33,
    128, 127, 93,  154, 90,  144, 50,  39,  53,  62,  204, 231, 191, 247, 151, 3,   255, 25,  48,  179,
    72,  165, 181, 209, 215, 94,  146, 42,  172, 86,  170, 198, 79,  184, 56,  210, 150, 164, 125, 182,
    118, 252, 107, 226, 156, 116, 4,   241, 69,  157, 112, 89,  100, 113, 135, 32,  134, 91,  207, 101,
    230, 45,  168, 2,   27,  96,  37,  173, 174, 176, 185, 246, 28,  70,  97,  105, 52,  64,  126, 15,
    85,  71,  163, 35,  221, 81,  175, 58,  195, 92,  249, 206, 186, 197, 234, 38,  44,  83,  13,  110,
    133, 40,  132, 9,   211, 223, 205, 244, 65,  129, 77,  82,  106, 220, 55,  200, 108, 193, 171, 250,
    36,  225, 123, 8,   12,  189, 177, 74,  120, 136, 149, 139, 227, 99,  232, 109, 233, 203, 213, 254,
    59,  0,   29,  57,  242, 239, 183, 14,  102, 88,  208, 228, 166, 119, 114, 248, 235, 117, 75,  10,
    49,  68,  80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20,
};

// One pass over the 48 bytes, read from `from` and written to `to`: each byte becomes itself
// XOR S[previous result].
#define MD2_STEP(from, to, k)  \
    t = from[k] ^ kPiSubst[t]; \
    to[k] = t
#define MD2_STEP8(from, to, k) \
    MD2_STEP(from, to, k);     \
    MD2_STEP(from, to, k + 1); \
    MD2_STEP(from, to, k + 2); \
    MD2_STEP(from, to, k + 3); \
    MD2_STEP(from, to, k + 4); \
    MD2_STEP(from, to, k + 5); \
    MD2_STEP(from, to, k + 6); \
    MD2_STEP(from, to, k + 7)
#define MD2_PASS(from, to)   \
    MD2_STEP8(from, to, 0);  \
    MD2_STEP8(from, to, 8);  \
    MD2_STEP8(from, to, 16); \
    MD2_STEP8(from, to, 24); \
    MD2_STEP8(from, to, 32); \
    MD2_STEP8(from, to, 40)

// Compresses `count` blocks into the state and folds each into the checksum. The 18 passes of
// 48 steps are one chain of dependent table look-ups, so each step must stay a load and an XOR:
// the 48 bytes (state, block, state ^ block) are held as 32-bit words in two copies that the
// passes alternate between, each step reading one copy and writing the other (updating each
// byte in place compiled to a store and a reload of that byte, or a merge into a byte
// register, on the chain). The running byte t grows by the pass number after each pass.
void Md2CompressBlocks(Md2Context* context, const uint8_t* blocks, uint32_t count) {
    uint32_t x[48];
    uint32_t y[48];
    uint32_t checksum[16];
    for (int j = 0; j < 16; ++j) {
        x[j] = context->x[j];
        checksum[j] = context->checksum[j];
    }
    uint32_t l = checksum[15];
    for (; count != 0; --count, blocks += 16) {
        for (int j = 0; j < 16; ++j) {
            const uint32_t m = blocks[j];
            x[16 + j] = m;
            x[32 + j] = x[j] ^ m;
            l = checksum[j] ^= kPiSubst[m ^ l];
        }
        uint32_t t = 0;
        for (uint32_t pass = 0; pass < 18; pass += 2) {
            MD2_PASS(x, y);
            t = (t + pass) & 0xff;
            MD2_PASS(y, x);
            t = (t + pass + 1) & 0xff;
        }
    }
    for (int j = 0; j < 16; ++j) {
        context->x[j] = uint8_t(x[j]);
        context->checksum[j] = uint8_t(checksum[j]);
    }
}

#undef MD2_PASS
#undef MD2_STEP8
#undef MD2_STEP

}  // namespace

void Md2Init(Md2Context* context) {
    std::memset(context, 0, sizeof(*context));
}

void Md2Update(Md2Context* context, const void* data, uint32_t length) {
    const uint32_t fill = context->fill;
    context->fill = (fill + length) % 16;  // a sum that wraps at 2^32 keeps its remainder
    AbsorbBlocks<16>(context->x + 16, fill, static_cast<const uint8_t*>(data), length,
                     [context](const uint8_t* blocks, uint32_t n) { Md2CompressBlocks(context, blocks, n); });
}

void Md2Final(Md2Context* context, uint8_t* digest) {
    uint8_t* block = context->x + 16;
    const uint32_t pad = 16 - context->fill;
    std::memset(block + context->fill, int(pad), pad);
    Md2CompressBlocks(context, block, 1);
    // The checksum as a last block; compressing it also folds it into the checksum, which is
    // cleared next.
    std::memcpy(block, context->checksum, 16);
    Md2CompressBlocks(context, block, 1);
    std::memcpy(digest, context->x, 16);
    Md2Init(context);
}

void Md2Calculate(uint8_t* digest, const void* data, uint32_t length) {
    CalculateWith<Md2Context, Md2Init, Md2Update, Md2Final>(digest, data, length);
}

}  // namespace hashlib
