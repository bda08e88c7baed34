// BLAKE3 on four inputs side by side, one in each 32-bit lane of SSE's registers: the
// compiler may use SSE4.1 (and the SSSE3 byte shuffle) in this file only, and the processor
// is asked before this is used.

#include "digest/blake3_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

constexpr std::size_t LANES = 4;
struct Lanes {
    __m128i x;
};
inline Lanes operator+(Lanes a, Lanes b) { return {_mm_add_epi32(a.x, b.x)}; }
inline Lanes operator^(Lanes a, Lanes b) { return {_mm_xor_si128(a.x, b.x)}; }
// Whole bytes move in one shuffle; the others take two shifts.
template <int N>
inline Lanes rotate_right(Lanes a) {
    if constexpr (N == 16)
        return {_mm_shuffle_epi8(a.x, _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13))};
    else if constexpr (N == 8)
        return {_mm_shuffle_epi8(a.x, _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12))};
    else
        return {_mm_or_si128(_mm_srli_epi32(a.x, N), _mm_slli_epi32(a.x, 32 - N))};
}
inline Lanes broadcast(std::uint32_t word) { return {_mm_set1_epi32(static_cast<int>(word))}; }
inline Lanes load_lanes(const std::uint32_t* words) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(words))};
}
inline void store_lanes(std::uint32_t* words, Lanes a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(words), a.x); }

// Four words of four inputs, one input a row, turned so that each holds one word of all.
inline void transpose(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab_low = _mm_unpacklo_epi32(a, b), ab_high = _mm_unpackhi_epi32(a, b);
    const __m128i cd_low = _mm_unpacklo_epi32(c, d), cd_high = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab_low, cd_low);
    b = _mm_unpackhi_epi64(ab_low, cd_low);
    c = _mm_unpacklo_epi64(ab_high, cd_high);
    d = _mm_unpackhi_epi64(ab_high, cd_high);
}

inline void load_message(const std::uint8_t* block, std::size_t stride, Lanes m[16]) {
    for (int quarter = 0; quarter < 4; ++quarter) {
        __m128i rows[4];
        for (std::size_t i = 0; i < 4; ++i)
            rows[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + stride * i + 16 * quarter));
        transpose(rows[0], rows[1], rows[2], rows[3]);
        for (int k = 0; k < 4; ++k) m[4 * quarter + k] = {rows[k]};
    }
}

}  // namespace

}  // namespace mendlet

#include "digest/blake3_lanes.h"

namespace mendlet {

Blake3Lanes blake3_sse41_lanes() {
    static const bool available = processor_has_sse41();
    return {LANES, available ? hash_lanes : nullptr};
}

}  // namespace mendlet

#else

namespace mendlet {

Blake3Lanes blake3_sse41_lanes() { return {4, nullptr}; }

}  // namespace mendlet

#endif
