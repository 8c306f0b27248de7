// Internal to the library and its tests: the CPU-specific fast paths and the one place that
// chooses them. The choice is made once, on first use, from the CPU's features; ORVENDAL_CPU
// (read once) can hold it lower, e.g. ORVENDAL_CPU=portable. Tests switch levels to compare
// every fast path with the portable code, which stays built on every target.
#pragma once

#include <cstdint>
#include <vector>

// The fast paths exist for x86-64 only; elsewhere their files compile to nothing.
#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))
#define HASHLIB_X86_64 1
#else
#define HASHLIB_X86_64 0
#endif

// Per-function instruction sets, so the rest of the library stays baseline x86-64. MSVC needs
// no attribute to use an intrinsic.
#if defined(__GNUC__)
#define HASHLIB_TARGET(features) __attribute__((target(features)))
#else
#define HASHLIB_TARGET(features)
#endif

namespace hashlib {

// A level allows the fast paths whose instructions it includes, each used only where the CPU
// has them too. Higher levels include the lower ones.
enum class CpuLevel : int {
    Portable = 0,  // plain C++ everywhere
    Sse41 = 1,     // SSE4.1 with the SHA extensions (SHA-1, SHA-256) and PCLMULQDQ (CRC-32)
    Avx2 = 2,      // and AVX2 (Adler-32), with BMI2 (SHA-512, SHA-384), with BMI1 and BMI2 (SHA-3),
                   // with VPCLMULQDQ (CRC-32)
    Avx512 = 3,    // and AVX-512 F and VL (SHA-3; with AVX2 and BMI2, SHA-512 and SHA-384; with
                   // VPCLMULQDQ, CRC-32)
};

// The levels this CPU and operating system can run, lowest (Portable) first.
std::vector<CpuLevel> AvailableCpuLevels();

CpuLevel ActiveCpuLevel();

// Switches every algorithm to `level`. Returns false, changing nothing, for a level this machine
// cannot run. For tests: not while another thread is hashing.
bool SetCpuLevel(CpuLevel level);

// "portable", "sse4.1", "avx2" or "avx512": the names ORVENDAL_CPU accepts.
const char* CpuLevelName(CpuLevel level);

// The level to start at, given ORVENDAL_CPU's value (null when unset) and the best available
// level: a level's name caps the level there; anything else leaves `best`.
CpuLevel RequestedCpuLevel(const char* value, CpuLevel best);

namespace detail {

// The operations that have fast paths, each taking whole blocks or any length.
struct Kernels {
    void (*sha1_compress)(uint32_t state[5], const uint8_t* blocks, uint32_t count);
    void (*sha256_compress)(uint32_t state[8], const uint8_t* blocks, uint32_t count);
    void (*sha512_compress)(uint64_t state[8], const uint8_t* blocks, uint32_t count);  // 128-byte blocks
    // The register not complemented.
    uint32_t (*crc32_update)(uint32_t crc, const uint8_t* data, uint32_t length);
    // value = s2 << 16 | s1, both reduced.
    uint32_t (*adler32_update)(uint32_t value, const uint8_t* data, uint32_t length);
    // XORs `count` blocks of `rate` bytes (136 or 72) into the Keccak state, permuting after each.
    void (*keccak_absorb)(uint64_t state[25], const uint8_t* blocks, uint32_t count, uint32_t rate);
    // `n` 128-byte blocks; before each, the 128-bit byte count grows by `increment`; `last` is
    // the final-block flag word (all ones or zero).
    void (*blake2b_compress)(uint64_t state[8], uint64_t count[2], const uint8_t* blocks, uint32_t n,
                             uint32_t increment, uint64_t last);
};

const Kernels& ActiveKernels();

// The portable kernels, in the algorithms' own files.
void Sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, uint32_t count);
void Sha256CompressPortable(uint32_t state[8], const uint8_t* blocks, uint32_t count);
void Sha512CompressPortable(uint64_t state[8], const uint8_t* blocks, uint32_t count);
uint32_t Crc32UpdatePortable(uint32_t crc, const uint8_t* data, uint32_t length);
uint32_t Adler32UpdatePortable(uint32_t value, const uint8_t* data, uint32_t length);
void KeccakAbsorbPortable(uint64_t state[25], const uint8_t* blocks, uint32_t count, uint32_t rate);
void Blake2bCompressPortable(uint64_t state[8], uint64_t count[2], const uint8_t* blocks, uint32_t n,
                             uint32_t increment, uint64_t last);

// The round constants, shared with the fast paths.
extern const uint32_t Sha256RoundConstants[64];
extern const uint64_t Sha512RoundConstants[80];
extern const uint64_t Blake2bInitialState[8];
extern const uint8_t Blake2bSigma[12][16];

#if HASHLIB_X86_64
void Sha1CompressShani(uint32_t state[5], const uint8_t* blocks, uint32_t count);     // sha1_shani.cpp
void Sha256CompressShani(uint32_t state[8], const uint8_t* blocks, uint32_t count);   // sha256_shani.cpp
uint32_t Crc32UpdateClmul(uint32_t crc, const uint8_t* data, uint32_t length);        // crc32_clmul.cpp
uint32_t Crc32UpdateVpclmul(uint32_t crc, const uint8_t* data, uint32_t length);      // crc32_vpclmul.cpp
uint32_t Crc32UpdateAvx512(uint32_t crc, const uint8_t* data, uint32_t length);       // crc32_avx512.cpp
uint32_t Adler32UpdateAvx2(uint32_t value, const uint8_t* data, uint32_t length);     // adler32_avx2.cpp
void Sha512CompressAvx2(uint64_t state[8], const uint8_t* blocks, uint32_t count);    // sha512_avx2.cpp
void Sha512CompressAvx512(uint64_t state[8], const uint8_t* blocks, uint32_t count);  // sha512_avx512.cpp
void KeccakAbsorbBmi2(uint64_t state[25], const uint8_t* blocks, uint32_t count,
                      uint32_t rate);  // sha3_bmi2.cpp
void KeccakAbsorbAvx512(uint64_t state[25], const uint8_t* blocks, uint32_t count,
                        uint32_t rate);  // sha3_avx512.cpp
#endif

}  // namespace detail
}  // namespace hashlib
