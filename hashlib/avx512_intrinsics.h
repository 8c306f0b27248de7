// <immintrin.h> for the AVX-512 paths. GCC 12's AVX-512 intrinsics fill the elements they leave
// alone with a self-initialised variable, which its own -Wmaybe-uninitialized then reports
// (fixed in GCC 13).
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif
