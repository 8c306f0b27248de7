// The common object interface over every algorithm, the catalogue entry type, and the
// templates that build both from an algorithm's plain functions.
#pragma once

#include <cstdint>

namespace hashlib {

void HexEncode(char* text, const uint8_t* bytes, uint32_t count, int upper_case);
void HexEncodeReversed(char* text, const uint8_t* bytes, uint32_t count, int upper_case);

// One algorithm behind a uniform interface, so a file can be read once and fed to many.
class DigestObject {
  public:
    virtual ~DigestObject() = default;
    // Absorbs `length` bytes; length 0 is allowed and changes nothing.
    virtual void Update(const void* data, uint32_t length) = 0;
    // Writes DigestSize() bytes and returns the object to its freshly constructed state.
    virtual void Final(uint8_t* digest) = 0;
    // Finishes like Final and writes 2 x DigestSize() lower-case hex digits and a zero.
    virtual void HexDigest(char* text) = 0;
    virtual int32_t DigestSize() const = 0;
};

// Final, then the digest as text, inside the caller's buffer of 2n + 1 characters: the digest
// is written at position n and encoded forward from there to position 0; each byte is read
// before its two digits overwrite it.
template <typename Context, void (*FinalFn)(Context*, uint8_t*), uint32_t DigestBytes>
void FinalHex(Context* context, char* text, int upper_case) {
    uint8_t* digest = reinterpret_cast<uint8_t*>(text + DigestBytes);
    FinalFn(context, digest);
    HexEncode(text, digest, DigestBytes, upper_case);
}

// For checksums whose Final stores a 32-bit value least significant byte first: printed most
// significant digit first so the text reads as the usual value.
template <typename Context, void (*FinalFn)(Context*, uint8_t*), uint32_t DigestBytes>
void FinalHexReversed(Context* context, char* text, int upper_case) {
    uint8_t digest[DigestBytes];
    FinalFn(context, digest);
    HexEncodeReversed(text, digest, DigestBytes, upper_case);
}

template <typename Context, void (*InitFn)(Context*), void (*UpdateFn)(Context*, const void*, uint32_t),
          void (*FinalFn)(Context*, uint8_t*), uint32_t DigestBytes,
          void (*FinalHexFn)(Context*, char*, int) = &FinalHex<Context, FinalFn, DigestBytes>>
class PlainDigestObject final : public DigestObject {
  public:
    PlainDigestObject() { InitFn(&context_); }
    void Update(const void* data, uint32_t length) override { UpdateFn(&context_, data, length); }
    void Final(uint8_t* digest) override { FinalFn(&context_, digest); }
    void HexDigest(char* text) override { FinalHexFn(&context_, text, 0); }
    int32_t DigestSize() const override { return int32_t(DigestBytes); }
    // The working record, for code that updates several algorithms' records in one pass.
    Context& Record() { return context_; }

  private:
    Context context_;
};

// HMAC refuses entries whose block is smaller: the checksums and the chunked hash.
constexpr uint32_t HmacMinBlockSize = 8;

// A catalogue entry: an algorithm's sizes and operations over an untyped working record, which
// is all the HMAC engine knows of an algorithm.
struct HashDescriptor {
    uint32_t digest_size;
    uint32_t block_size;    // the unit the algorithm compresses; HMAC's pad length
    uint32_t context_size;  // room reserved for the working record
    void (*init)(void* context);
    void (*init_again)(void* context);  // second initialiser slot; the same Init for every algorithm here
    void (*update)(void* context, const void* data, uint32_t length);
    void (*final)(void* context, uint8_t* digest);
    void (*calculate)(uint8_t* digest, const void* data, uint32_t length);
    void (*final_hex)(void* context, char* text, int upper_case);
    void (*calculate_hex)(char* text, const void* data, uint32_t length, int upper_case);
};

namespace detail {

template <typename Context, void (*F)(Context*)>
void InitThunk(void* context) {
    F(static_cast<Context*>(context));
}

template <typename Context, void (*F)(Context*, const void*, uint32_t)>
void UpdateThunk(void* context, const void* data, uint32_t length) {
    F(static_cast<Context*>(context), data, length);
}

template <typename Context, void (*F)(Context*, uint8_t*)>
void FinalThunk(void* context, uint8_t* digest) {
    F(static_cast<Context*>(context), digest);
}

template <typename Context, void (*F)(Context*, char*, int)>
void FinalHexThunk(void* context, char* text, int upper_case) {
    F(static_cast<Context*>(context), text, upper_case);
}

template <typename Context, void (*InitFn)(Context*), void (*UpdateFn)(Context*, const void*, uint32_t),
          void (*FinalHexFn)(Context*, char*, int)>
void CalculateHex(char* text, const void* data, uint32_t length, int upper_case) {
    Context context;
    InitFn(&context);
    UpdateFn(&context, data, length);
    FinalHexFn(&context, text, upper_case);
}

}  // namespace detail

// Builds a catalogue entry from an algorithm's functions. Algorithms that HMAC accepts (block
// size HmacMinBlockSize or more) must fit the room the catalogue promises for their working record.
template <typename Context, void (*InitFn)(Context*), void (*UpdateFn)(Context*, const void*, uint32_t),
          void (*FinalFn)(Context*, uint8_t*), void (*CalculateFn)(uint8_t*, const void*, uint32_t),
          uint32_t DigestBytes, uint32_t BlockBytes, uint32_t ContextBytes,
          void (*FinalHexFn)(Context*, char*, int) = &FinalHex<Context, FinalFn, DigestBytes>>
constexpr HashDescriptor DescribeHash() {
    static_assert(BlockBytes < HmacMinBlockSize || sizeof(Context) <= ContextBytes,
                  "working record larger than its catalogue room");
    return HashDescriptor{
        DigestBytes,
        BlockBytes,
        ContextBytes,
        &detail::InitThunk<Context, InitFn>,
        &detail::InitThunk<Context, InitFn>,
        &detail::UpdateThunk<Context, UpdateFn>,
        &detail::FinalThunk<Context, FinalFn>,
        CalculateFn,
        &detail::FinalHexThunk<Context, FinalHexFn>,
        &detail::CalculateHex<Context, InitFn, UpdateFn, FinalHexFn>,
    };
}

}  // namespace hashlib
