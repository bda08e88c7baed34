#include "digest/processor_features.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <array>
#include <cstdint>

#if defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace mendlet {

namespace {

// EAX, EBX, ECX and EDX of a CPUID leaf; all zero for a leaf the processor does not have.
std::array<std::uint32_t, 4> cpuid(unsigned leaf, unsigned subleaf = 0) {
    std::array<std::uint32_t, 4> result{};
#if defined(_MSC_VER)
    int registers[4] = {};
    __cpuid(registers, 0);
    if (static_cast<unsigned>(registers[0]) < leaf) return result;
    __cpuidex(registers, static_cast<int>(leaf), static_cast<int>(subleaf));
    for (int i = 0; i < 4; ++i) result[i] = static_cast<std::uint32_t>(registers[i]);
#else
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_count(leaf, subleaf, &eax, &ebx, &ecx, &edx) != 0) result = {eax, ebx, ecx, edx};
#endif
    return result;
}

bool bit(std::uint32_t value, int index) { return ((value >> index) & 1u) != 0; }

constexpr int EBX = 1, ECX = 2;

// Which registers the system saves and restores across thread switches (XCR0); none without
// XGETBV.
std::uint64_t registers_kept() {
    if (!bit(cpuid(1)[ECX], 27)) return 0;
#if defined(_MSC_VER)
    return _xgetbv(0);
#else
    std::uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (std::uint64_t{high} << 32) | low;
#endif
}

// SSE and AVX (XCR0 bits 1 and 2); those and AVX-512's mask and upper registers (bits 5 to 7).
constexpr std::uint64_t AVX_REGISTERS = 0x6, AVX512_REGISTERS = 0xE6;

}  // namespace

bool processor_has_clmul() { return bit(cpuid(1)[ECX], 1); }

bool processor_has_avx2_and_bmi2() {
    const std::uint32_t extended = cpuid(7)[EBX];
    return bit(cpuid(1)[ECX], 28) && bit(extended, 3) && bit(extended, 5) && bit(extended, 8) &&
           (registers_kept() & AVX_REGISTERS) == AVX_REGISTERS;
}

bool processor_has_avx512() {
    const std::uint32_t extended = cpuid(7)[EBX];
    return processor_has_avx2_and_bmi2() && bit(extended, 16) && bit(extended, 31) &&
           (registers_kept() & AVX512_REGISTERS) == AVX512_REGISTERS;
}

bool processor_has_avx512_gfni() { return processor_has_avx512() && bit(cpuid(7)[EBX], 30) && bit(cpuid(7)[ECX], 8); }

bool processor_has_wide_clmul() {
    return processor_has_clmul() && processor_has_avx2_and_bmi2() && bit(cpuid(7)[ECX], 10);
}

bool processor_has_ssse3() { return bit(cpuid(1)[ECX], 9); }

bool processor_has_sse41() {
    const std::uint32_t basic = cpuid(1)[ECX];
    return bit(basic, 9) && bit(basic, 19);
}

bool processor_has_sha_extensions() { return processor_has_sse41() && bit(cpuid(7)[EBX], 29); }

}  // namespace mendlet

#else

namespace mendlet {

bool processor_has_clmul() { return false; }
bool processor_has_wide_clmul() { return false; }
bool processor_has_avx2_and_bmi2() { return false; }
bool processor_has_avx512() { return false; }
bool processor_has_avx512_gfni() { return false; }
bool processor_has_ssse3() { return false; }
bool processor_has_sse41() { return false; }
bool processor_has_sha_extensions() { return false; }

}  // namespace mendlet

#endif
