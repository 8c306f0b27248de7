// SHA-512 (and SHA-384) compression with AVX-512 (F and VL on 256-bit registers), AVX2 and BMI2:
// sha512_pairs.h with the schedule's small sigmas in VPRORQ and VPTERNLOGQ, which leaves more of
// the processor's dispatch slots to the rounds.
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#include "avx512_intrinsics.h"

#define SHA512_PAIRS_TARGET "avx2,bmi2,avx512f,avx512vl"
#define SHA512_PAIRS_NAME Sha512CompressAvx512
#define SHA512_PAIRS_AVX512 1
#include "sha512_pairs.h"

#endif
