// CRC-32 by folding 128-bit blocks with carry-less multiplication (PCLMULQDQ): four blocks
// in flight, then one, then a Barrett reduction to 32 bits. Several times faster than the
// table look-ups. The compiler may use the instruction in this file only; the processor is
// asked before it is used.

#include "digest/crc32_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <emmintrin.h>
#include <wmmintrin.h>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

// The quotient of x^64 divided by P, for the Barrett reduction.
constexpr std::uint64_t x64_quotient() {
    std::uint64_t window = std::uint64_t{1} << 32;  // x^64's bits 64 to 32
    std::uint64_t quotient = 0;
    for (int bit = 32; bit >= 0; --bit) {
        if ((window >> 32) != 0) {
            quotient |= std::uint64_t{1} << bit;
            window ^= CRC32_POLYNOMIAL;
        }
        window <<= 1;
    }
    return quotient;
}

constexpr std::int64_t FOLD_64 = crc32_fold_constant(64);
constexpr std::int64_t BARRETT_POLYNOMIAL = static_cast<std::int64_t>(crc32_reflect(CRC32_POLYNOMIAL, 33));
constexpr std::int64_t BARRETT_QUOTIENT = static_cast<std::int64_t>(crc32_reflect(x64_quotient(), 33));

__m128i load(const std::uint8_t* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); }

// The block carried a fold's distance forward, added to the block found there.
__m128i fold(__m128i block, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

std::uint32_t fold_blocks(std::uint32_t value, const std::uint8_t* bytes, std::size_t length) {
    // Low halves fold the low 64 bits of a block, high halves the high 64 bits, across a
    // distance of four blocks and of one block.
    const __m128i fold_by_4 = _mm_set_epi64x(crc32_fold_constant(4 * 128 - 32), crc32_fold_constant(4 * 128 + 32));
    const __m128i fold_by_1 = _mm_set_epi64x(crc32_fold_constant(128 - 32), crc32_fold_constant(128 + 32));
    __m128i b0 = _mm_xor_si128(load(bytes), _mm_cvtsi32_si128(static_cast<int>(value)));
    __m128i b1 = load(bytes + 16);
    __m128i b2 = load(bytes + 32);
    __m128i b3 = load(bytes + 48);
    const std::uint8_t* p = bytes + 64;
    const std::uint8_t* const end = bytes + length;
    for (; end - p >= 64; p += 64) {
        b0 = fold(b0, fold_by_4, load(p));
        b1 = fold(b1, fold_by_4, load(p + 16));
        b2 = fold(b2, fold_by_4, load(p + 32));
        b3 = fold(b3, fold_by_4, load(p + 48));
    }
    __m128i block = fold(fold(fold(b0, fold_by_1, b1), fold_by_1, b2), fold_by_1, b3);
    for (; p != end; p += 16) block = fold(block, fold_by_1, load(p));

    // 128 bits to 64: the low half moves up by 64 bits onto the high half, then the low
    // 32 bits of that move up by 32 onto the rest.
    const __m128i low_32_of_each = _mm_setr_epi32(-1, 0, -1, 0);
    block = _mm_xor_si128(_mm_srli_si128(block, 8), _mm_clmulepi64_si128(block, fold_by_1, 0x10));
    block = _mm_xor_si128(_mm_srli_si128(block, 4),
                          _mm_clmulepi64_si128(_mm_and_si128(block, low_32_of_each), _mm_cvtsi64_si128(FOLD_64), 0x00));

    // Barrett reduction of the remaining 64 bits to the 32-bit remainder.
    const __m128i barrett = _mm_set_epi64x(BARRETT_QUOTIENT, BARRETT_POLYNOMIAL);
    __m128i estimate = _mm_clmulepi64_si128(_mm_and_si128(block, low_32_of_each), barrett, 0x10);
    estimate = _mm_clmulepi64_si128(_mm_and_si128(estimate, low_32_of_each), barrett, 0x00);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(block, estimate), 4)));
}

}  // namespace

Crc32Folder crc32_clmul_folder() {
    static const bool available = processor_has_clmul();
    return available ? fold_blocks : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Crc32Folder crc32_clmul_folder() { return nullptr; }

}  // namespace mendlet

#endif
