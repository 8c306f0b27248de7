// The one place that chooses the fast paths: CPU features from CPUID (and, for AVX2 and AVX-512,
// the operating system's consent to save the wider registers, from XGETBV), capped by ORVENDAL_CPU.
#include "cpu_dispatch.h"

#include <cstdlib>
#include <cstring>

#include "ascii.h"

#if HASHLIB_X86_64
#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace hashlib {
namespace {

struct CpuFeatures {
    bool sse41 = false;    // with SSSE3: byte shuffles
    bool sha = false;      // SHA-1 and SHA-256 extensions
    bool pclmul = false;   // carry-less multiply
    bool avx2 = false;     // and the OS saves the YMM registers
    bool bmi1 = false;     // and-not
    bool bmi2 = false;     // three-operand rotates
    bool vpclmul = false;  // carry-less multiply on 256-bit registers, with AVX2
    bool avx512 = false;   // AVX-512 F and VL, with AVX2, and the OS saves the ZMM and mask registers
};

#if HASHLIB_X86_64
void Cpuid(uint32_t leaf, uint32_t subleaf, uint32_t regs[4]) {
#if defined(_MSC_VER)
    int out[4];
    __cpuidex(out, int(leaf), int(subleaf));
    for (int i = 0; i < 4; ++i) {
        regs[i] = uint32_t(out[i]);
    }
#else
    __cpuid_count(leaf, subleaf, regs[0], regs[1], regs[2], regs[3]);
#endif
}

// XCR0: which register states the operating system saves on a context switch.
uint64_t ExtendedControlRegister0() {
#if defined(_MSC_VER)
    return _xgetbv(0);
#else
    uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return uint64_t(high) << 32 | low;
#endif
}
#endif

CpuFeatures DetectFeatures() {
    CpuFeatures features;
#if HASHLIB_X86_64
    uint32_t regs[4];  // eax, ebx, ecx, edx
    Cpuid(0, 0, regs);
    const uint32_t max_leaf = regs[0];
    if (max_leaf < 1) {
        return features;
    }
    Cpuid(1, 0, regs);
    const bool ssse3 = (regs[2] >> 9 & 1) != 0;
    features.sse41 = ssse3 && (regs[2] >> 19 & 1) != 0;
    features.pclmul = features.sse41 && (regs[2] >> 1 & 1) != 0;
    const bool osxsave = (regs[2] >> 27 & 1) != 0;
    const bool avx = (regs[2] >> 28 & 1) != 0;
    // Bits 1 and 2 of XCR0: the OS saves the XMM and YMM registers; bits 5 to 7, the mask
    // registers and the upper ZMM halves and registers.
    const uint64_t xcr0 = osxsave && avx ? ExtendedControlRegister0() : 0;
    const bool ymm_saved = (xcr0 & 0x06) == 0x06;
    const bool zmm_saved = (xcr0 & 0xE6) == 0xE6;
    if (max_leaf >= 7) {
        Cpuid(7, 0, regs);
        features.sha = features.sse41 && (regs[1] >> 29 & 1) != 0;
        features.avx2 = features.sse41 && ymm_saved && (regs[1] >> 5 & 1) != 0;
        features.bmi1 = (regs[1] >> 3 & 1) != 0;
        features.bmi2 = (regs[1] >> 8 & 1) != 0;
        features.vpclmul = features.avx2 && features.pclmul && (regs[2] >> 10 & 1) != 0;
        features.avx512 = features.avx2 && zmm_saved && (regs[1] >> 16 & 1) != 0 && (regs[1] >> 31 & 1) != 0;
    }
#endif
    return features;
}

CpuLevel BestLevel(const CpuFeatures& features) {
    if (features.avx512) {
        return CpuLevel::Avx512;
    }
    if (features.avx2) {
        return CpuLevel::Avx2;
    }
    if (features.sse41) {
        return CpuLevel::Sse41;
    }
    return CpuLevel::Portable;
}

detail::Kernels SelectKernels(CpuLevel level, [[maybe_unused]] const CpuFeatures& features) {
    detail::Kernels kernels{&detail::Sha1CompressPortable,   &detail::Sha256CompressPortable,
                            &detail::Sha512CompressPortable, &detail::Crc32UpdatePortable,
                            &detail::Adler32UpdatePortable,  &detail::KeccakAbsorbPortable,
                            &detail::Blake2bCompressPortable};
#if HASHLIB_X86_64
    if (level >= CpuLevel::Sse41 && features.sha) {
        kernels.sha1_compress = &detail::Sha1CompressShani;
        kernels.sha256_compress = &detail::Sha256CompressShani;
    }
    if (level >= CpuLevel::Sse41 && features.pclmul) {
        kernels.crc32_update = &detail::Crc32UpdateClmul;
    }
    if (level >= CpuLevel::Avx2) {
        kernels.adler32_update = &detail::Adler32UpdateAvx2;
    }
    if (level >= CpuLevel::Avx2 && features.vpclmul) {
        kernels.crc32_update = &detail::Crc32UpdateVpclmul;
    }
    if (level >= CpuLevel::Avx2 && features.bmi2) {
        kernels.sha512_compress = &detail::Sha512CompressAvx2;
    }
    if (level >= CpuLevel::Avx2 && features.bmi1 && features.bmi2) {
        kernels.keccak_absorb = &detail::KeccakAbsorbBmi2;
    }
    if (level >= CpuLevel::Avx512) {
        kernels.keccak_absorb = &detail::KeccakAbsorbAvx512;
    }
    if (level >= CpuLevel::Avx512 && features.bmi2) {
        kernels.sha512_compress = &detail::Sha512CompressAvx512;
    }
    if (level >= CpuLevel::Avx512 && features.vpclmul) {
        kernels.crc32_update = &detail::Crc32UpdateAvx512;
    }
#else
    (void)level;
#endif
    return kernels;
}

struct Dispatch {
    CpuFeatures features;
    CpuLevel level;
    detail::Kernels kernels;
};

Dispatch StartingDispatch() {
    Dispatch dispatch;
    dispatch.features = DetectFeatures();
#if defined(_MSC_VER)
    char* value = nullptr;
    size_t size = 0;
    _dupenv_s(&value, &size, "ORVENDAL_CPU");
    dispatch.level = RequestedCpuLevel(value, BestLevel(dispatch.features));
    std::free(value);
#else
    dispatch.level = RequestedCpuLevel(std::getenv("ORVENDAL_CPU"), BestLevel(dispatch.features));
#endif
    dispatch.kernels = SelectKernels(dispatch.level, dispatch.features);
    return dispatch;
}

// Built on first use, which is thread-safe and safe from the order of static initialisers.
Dispatch& TheDispatch() {
    static Dispatch dispatch = StartingDispatch();
    return dispatch;
}

// And at the latest while the program starts, so the choice (and the reading of ORVENDAL_CPU)
// happens once, before any hashing thread exists.
[[maybe_unused]] const bool kChosenAtStartUp = (TheDispatch(), true);

constexpr CpuLevel kAllLevels[] = {CpuLevel::Portable, CpuLevel::Sse41, CpuLevel::Avx2, CpuLevel::Avx512};

// ASCII letters compared without case: Windows users may well write PORTABLE.
bool SameName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const char x = ascii::ToLower(*a);
        if (x != *b) {
            return false;
        }
        if (x == '\0') {
            return true;
        }
    }
}

}  // namespace

// Lists a level only where it changes something from the level below (a CPU with SSE4.1 but
// neither the SHA extensions nor PCLMULQDQ runs the same code at Sse41 as at Portable).
std::vector<CpuLevel> AvailableCpuLevels() {
    const CpuFeatures& features = TheDispatch().features;
    const CpuLevel best = BestLevel(features);
    std::vector<CpuLevel> levels;
    detail::Kernels below{};
    for (CpuLevel level : kAllLevels) {
        const detail::Kernels kernels = SelectKernels(level, features);
        if (level <= best && (levels.empty() || std::memcmp(&kernels, &below, sizeof kernels) != 0)) {
            levels.push_back(level);
            below = kernels;
        }
    }
    return levels;
}

CpuLevel ActiveCpuLevel() {
    return TheDispatch().level;
}

bool SetCpuLevel(CpuLevel level) {
    Dispatch& dispatch = TheDispatch();
    if (level < CpuLevel::Portable || level > BestLevel(dispatch.features)) {
        return false;
    }
    dispatch.level = level;
    dispatch.kernels = SelectKernels(level, dispatch.features);
    return true;
}

const char* CpuLevelName(CpuLevel level) {
    switch (level) {
        case CpuLevel::Portable:
            return "portable";
        case CpuLevel::Sse41:
            return "sse4.1";
        case CpuLevel::Avx2:
            return "avx2";
        case CpuLevel::Avx512:
            return "avx512";
    }
    return "unknown";
}

CpuLevel RequestedCpuLevel(const char* value, CpuLevel best) {
    if (value == nullptr) {
        return best;
    }
    for (CpuLevel level : kAllLevels) {
        if (SameName(value, CpuLevelName(level))) {
            return level < best ? level : best;
        }
    }
    return best;
}

namespace detail {

const Kernels& ActiveKernels() {
    return TheDispatch().kernels;
}

}  // namespace detail
}  // namespace hashlib
