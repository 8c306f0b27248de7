// MD5 and RIPEMD-160 over the same bytes in one pass. Both are bound by the latency of their
// steps' chains, not by the processor's execution units, so one compression that interleaves an
// MD5 block's steps with a RIPEMD-160 block's runs the two in little more than RIPEMD-160's time.
#pragma once

#include <cstdint>

#include "md5.h"
#include "ripemd160.h"

namespace hashlib {

// Exactly Md5Update(md5, data, length) and Ripemd160Update(ripemd160, data, length). The whole
// blocks are compressed together when both contexts hold the same number of buffered bytes, as
// they do when both have absorbed the same input; otherwise each is updated on its own.
void Md5Ripemd160Update(Md5Context* md5, Ripemd160Context* ripemd160, const void* data, uint32_t length);

// Whether UpdateTogether runs `first` and `second` in one pass: a plain MD5 object and a plain
// RIPEMD-160 object, in either order.
bool CanUpdateTogether(DigestObject& first, DigestObject& second);

// first.Update(data, length) and second.Update(data, length); in one pass where
// CanUpdateTogether says so.
void UpdateTogether(DigestObject& first, DigestObject& second, const void* data, uint32_t length);

}  // namespace hashlib
