// SHA-512 (and SHA-384) compression with AVX2 and BMI2: two blocks' schedules side by side in
// 256-bit registers beside the rounds (sha512_pairs.h).
#include "cpu_dispatch.h"

#if HASHLIB_X86_64

#define SHA512_PAIRS_TARGET "avx2,bmi2"
#define SHA512_PAIRS_NAME Sha512CompressAvx2
#define SHA512_PAIRS_AVX512 0
#include "sha512_pairs.h"

#endif
