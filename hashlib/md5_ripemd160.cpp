// The interleaved compression: an MD5 block's 64 steps in sixteen groups of four, each beside
// a RIPEMD-160 group of five steps of each line, over message words loaded once.
#include "md5_ripemd160.h"

#include <algorithm>
#include <utility>

#include "block_hash.h"
#include "md5_steps.h"
#include "ripemd160_steps.h"

namespace hashlib {
namespace {

template <size_t... Group>
HASHLIB_ALWAYS_INLINE void AllSteps(uint32_t (&m)[4], uint32_t (&l)[5], uint32_t (&r)[5], const uint32_t* x,
                                    std::index_sequence<Group...>) {
    ((detail::Md5FourSteps<int(Group) * 4>(m, x), detail::Ripemd160FiveStepsOfEach<int(Group) * 5>(l, r, x)),
     ...);
}

// `count` blocks into both states, the chaining words in locals for the whole run.
void CompressBoth(uint32_t (&md5)[4], uint32_t (&ripemd160)[5], const uint8_t* blocks, uint32_t count) {
    uint32_t hm[4] = {md5[0], md5[1], md5[2], md5[3]};
    uint32_t h[5] = {ripemd160[0], ripemd160[1], ripemd160[2], ripemd160[3], ripemd160[4]};
    for (; count != 0; --count, blocks += 64) {
        uint32_t x[16];
        detail::LoadBlockWords(x, blocks);
        uint32_t m[4] = {hm[0], hm[1], hm[2], hm[3]};
        uint32_t left[5] = {h[0], h[1], h[2], h[3], h[4]};
        uint32_t right[5] = {h[0], h[1], h[2], h[3], h[4]};
        AllSteps(m, left, right, x, std::make_index_sequence<16>());
        for (int i = 0; i < 4; ++i) {
            hm[i] += m[i];
        }
        detail::Ripemd160Combine(h, left, right);
    }
    for (int i = 0; i < 4; ++i) {
        md5[i] = hm[i];
    }
    for (int i = 0; i < 5; ++i) {
        ripemd160[i] = h[i];
    }
}

}  // namespace

void Md5Ripemd160Update(Md5Context* md5, Ripemd160Context* ripemd160, const void* data, uint32_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const uint32_t fill = md5->count_low % 64;
    // A partial block is finished by each on its own: the two buffers may hold different bytes.
    const uint32_t first = fill != ripemd160->count_low % 64 ? length
                           : fill != 0                       ? std::min(length, 64 - fill)
                                                             : 0;
    if (first != 0) {
        Md5Update(md5, bytes, first);
        Ripemd160Update(ripemd160, bytes, first);
        bytes += first;
        length -= first;
    }
    const uint32_t blocks = length / 64;
    if (blocks != 0) {
        CompressBoth(md5->state, ripemd160->state, bytes, blocks);
        AddToCount(md5->count_low, md5->count_high, blocks * 64);
        AddToCount(ripemd160->count_low, ripemd160->count_high, blocks * 64);
        bytes += blocks * 64;
        length -= blocks * 64;
    }
    // The tail only fills the empty buffers.
    Md5Update(md5, bytes, length);
    Ripemd160Update(ripemd160, bytes, length);
}

namespace {

// The pair's records, MD5's first; null when the objects are not such a pair.
std::pair<Md5Context*, Ripemd160Context*> Records(DigestObject& first, DigestObject& second) {
    for (auto [a, b] : {std::pair{&first, &second}, std::pair{&second, &first}}) {
        auto* md5 = dynamic_cast<Md5Object*>(a);
        auto* ripemd160 = dynamic_cast<Ripemd160Object*>(b);
        if (md5 != nullptr && ripemd160 != nullptr) {
            return {&md5->Record(), &ripemd160->Record()};
        }
    }
    return {nullptr, nullptr};
}

}  // namespace

bool CanUpdateTogether(DigestObject& first, DigestObject& second) {
    return Records(first, second).first != nullptr;
}

void UpdateTogether(DigestObject& first, DigestObject& second, const void* data, uint32_t length) {
    const auto [md5, ripemd160] = Records(first, second);
    if (md5 != nullptr) {
        Md5Ripemd160Update(md5, ripemd160, data, length);
    } else {
        first.Update(data, length);
        second.Update(data, length);
    }
}

}  // namespace hashlib
