// BLAKE3 on eight inputs side by side, one in each 32-bit lane of AVX2's registers: the
// compiler may use AVX2 in this file only, and the processor is asked before this is used.

#include "digest/blake3_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

constexpr std::size_t LANES = 8;
struct Lanes {
    __m256i x;
};
inline Lanes operator+(Lanes a, Lanes b) { return {_mm256_add_epi32(a.x, b.x)}; }
inline Lanes operator^(Lanes a, Lanes b) { return {_mm256_xor_si256(a.x, b.x)}; }
// Whole bytes move in one shuffle; the others take two shifts.
template <int N>
inline Lanes rotate_right(Lanes a) {
    if constexpr (N == 16)
        return {_mm256_shuffle_epi8(a.x, _mm256_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13, 2, 3, 0,
                                                          1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13))};
    else if constexpr (N == 8)
        return {_mm256_shuffle_epi8(a.x, _mm256_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12, 1, 2, 3,
                                                          0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12))};
    else
        return {_mm256_or_si256(_mm256_srli_epi32(a.x, N), _mm256_slli_epi32(a.x, 32 - N))};
}
inline Lanes broadcast(std::uint32_t word) { return {_mm256_set1_epi32(static_cast<int>(word))}; }
inline Lanes load_lanes(const std::uint32_t* words) {
    return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(words))};
}
inline void store_lanes(std::uint32_t* words, Lanes a) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), a.x); }

// In each 128-bit half, four words of four inputs, one input a row, turned so that each
// holds one word of all.
inline void transpose_halves(__m256i& a, __m256i& b, __m256i& c, __m256i& d) {
    const __m256i ab_low = _mm256_unpacklo_epi32(a, b), ab_high = _mm256_unpackhi_epi32(a, b);
    const __m256i cd_low = _mm256_unpacklo_epi32(c, d), cd_high = _mm256_unpackhi_epi32(c, d);
    a = _mm256_unpacklo_epi64(ab_low, cd_low);
    b = _mm256_unpackhi_epi64(ab_low, cd_low);
    c = _mm256_unpacklo_epi64(ab_high, cd_high);
    d = _mm256_unpackhi_epi64(ab_high, cd_high);
}

// Each half of a block (eight words) of eight inputs: turned in the 128-bit halves of
// inputs 0 to 3 and 4 to 7, whose halves then pair up.
inline void load_message(const std::uint8_t* block, std::size_t stride, Lanes m[16]) {
    for (int half = 0; half < 2; ++half) {
        __m256i rows[8];
        for (std::size_t i = 0; i < 8; ++i)
            rows[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + stride * i + 32 * half));
        transpose_halves(rows[0], rows[1], rows[2], rows[3]);
        transpose_halves(rows[4], rows[5], rows[6], rows[7]);
        for (int k = 0; k < 4; ++k) {
            m[8 * half + k] = {_mm256_permute2x128_si256(rows[k], rows[4 + k], 0x20)};
            m[8 * half + 4 + k] = {_mm256_permute2x128_si256(rows[k], rows[4 + k], 0x31)};
        }
    }
}

}  // namespace

}  // namespace mendlet

#include "digest/blake3_lanes.h"

namespace mendlet {

Blake3Lanes blake3_avx2_lanes() {
    static const bool available = processor_has_avx2_and_bmi2();
    return {LANES, available ? hash_lanes : nullptr};
}

}  // namespace mendlet

#else

namespace mendlet {

Blake3Lanes blake3_avx2_lanes() { return {8, nullptr}; }

}  // namespace mendlet

#endif
