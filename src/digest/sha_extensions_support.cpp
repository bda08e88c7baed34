#include "digest/sha_extensions_support.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace mendlet {

bool processor_has_sha_extensions() {
#if defined(_MSC_VER)
    int registers[4] = {};
    __cpuid(registers, 0);
    if (registers[0] < 7) return false;
    __cpuid(registers, 1);
    const bool ssse3_and_sse41 = (registers[2] & (1 << 9)) != 0 && (registers[2] & (1 << 19)) != 0;
    __cpuidex(registers, 7, 0);
    return ssse3_and_sse41 && (registers[1] & (1 << 29)) != 0;
#else
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || (ecx & bit_SSSE3) == 0 || (ecx & bit_SSE4_1) == 0) return false;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0 && (ebx & bit_SHA) != 0;
#endif
}

}  // namespace mendlet

#else

namespace mendlet {

bool processor_has_sha_extensions() { return false; }

}  // namespace mendlet

#endif
