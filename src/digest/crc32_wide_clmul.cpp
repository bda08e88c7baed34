// CRC-32 by folding four 256-bit registers of two 128-bit blocks each with the 256-bit
// carry-less multiplication (VPCLMULQDQ): twice the blocks per instruction of the 128-bit
// folding, which finishes what is left. The compiler may use these instructions in this file
// only; the processor is asked before they are used.

#include "digest/crc32_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include <cstring>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

constexpr std::size_t REGISTER = 32;
constexpr std::size_t STRIDE = 4 * REGISTER;

__m256i load(const std::uint8_t* bytes) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)); }

// Each 128-bit block carried a stride forward, added to the block found there.
__m256i fold(__m256i blocks, __m256i constants, __m256i next) {
    const __m256i low = _mm256_clmulepi64_epi128(blocks, constants, 0x00);
    const __m256i high = _mm256_clmulepi64_epi128(blocks, constants, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(low, high), next);
}

std::uint32_t fold_blocks(std::uint32_t value, const std::uint8_t* bytes, std::size_t length) {
    static const Crc32Folder narrow = crc32_clmul_folder();
    if (length < 2 * STRIDE) return narrow(value, bytes, length);

    constexpr std::int64_t LOW = crc32_fold_constant(8 * STRIDE + 32);
    constexpr std::int64_t HIGH = crc32_fold_constant(8 * STRIDE - 32);
    const __m256i by_stride = _mm256_set_epi64x(HIGH, LOW, HIGH, LOW);
    __m256i r0 = _mm256_xor_si256(load(bytes), _mm256_setr_epi32(static_cast<int>(value), 0, 0, 0, 0, 0, 0, 0));
    __m256i r1 = load(bytes + REGISTER);
    __m256i r2 = load(bytes + 2 * REGISTER);
    __m256i r3 = load(bytes + 3 * REGISTER);
    const std::uint8_t* p = bytes + STRIDE;
    const std::uint8_t* const end = bytes + length;
    for (; static_cast<std::size_t>(end - p) >= STRIDE; p += STRIDE) {
        r0 = fold(r0, by_stride, load(p));
        r1 = fold(r1, by_stride, load(p + REGISTER));
        r2 = fold(r2, by_stride, load(p + 2 * REGISTER));
        r3 = fold(r3, by_stride, load(p + 3 * REGISTER));
    }

    // The registers are now worth, modulo the polynomial, all the bytes so far: as 128 bytes
    // that end where those end. They and the rest are one message for the narrow folding,
    // from a running value of zero, as the starting value is in them already.
    alignas(REGISTER) std::uint8_t tail[2 * STRIDE];
    _mm256_store_si256(reinterpret_cast<__m256i*>(tail), r0);
    _mm256_store_si256(reinterpret_cast<__m256i*>(tail + REGISTER), r1);
    _mm256_store_si256(reinterpret_cast<__m256i*>(tail + 2 * REGISTER), r2);
    _mm256_store_si256(reinterpret_cast<__m256i*>(tail + 3 * REGISTER), r3);
    const std::size_t rest = static_cast<std::size_t>(end - p);
    std::memcpy(tail + STRIDE, p, rest);
    return narrow(0, tail, STRIDE + rest);
}

}  // namespace

Crc32Folder crc32_wide_clmul_folder() {
    static const bool available = processor_has_wide_clmul();
    return available ? fold_blocks : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Crc32Folder crc32_wide_clmul_folder() { return nullptr; }

}  // namespace mendlet

#endif
