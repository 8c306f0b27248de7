// SHA-512 (and SHA-384) compression with AVX-512 (F and VL on 256-bit registers), AVX2 and BMI2:
// sha512_pairs.h with the schedule's small sigmas in VPRORQ and VPTERNLOGQ, which leaves more of
// the processor's dispatch slots to the rounds.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

// GCC 12's AVX-512 intrinsics fill the elements they leave alone with a self-initialised
// variable, which its own -Wmaybe-uninitialized then reports (fixed in GCC 13).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

#define SHA512_PAIRS_TARGET "avx2,bmi2,avx512f,avx512vl"
#define SHA512_PAIRS_NAME Sha512CompressAvx512
#define SHA512_PAIRS_AVX512 1
#include "sha512_pairs.h"

#endif
