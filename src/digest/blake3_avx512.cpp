// BLAKE3 on sixteen inputs side by side, one in each 32-bit lane of AVX-512's registers,
// whose rotation takes one instruction: the compiler may use AVX-512 in this file only, and
// the processor is asked before this is used.

#include "digest/blake3_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

constexpr std::size_t LANES = 16;
struct Lanes {
    __m512i x;
};
inline Lanes operator+(Lanes a, Lanes b) { return {_mm512_add_epi32(a.x, b.x)}; }
inline Lanes operator^(Lanes a, Lanes b) { return {_mm512_xor_si512(a.x, b.x)}; }
template <int N>
inline Lanes rotate_right(Lanes a) {
    return {_mm512_ror_epi32(a.x, N)};
}
inline Lanes broadcast(std::uint32_t word) { return {_mm512_set1_epi32(static_cast<int>(word))}; }
inline Lanes load_lanes(const std::uint32_t* words) { return {_mm512_loadu_si512(words)}; }
inline void store_lanes(std::uint32_t* words, Lanes a) { _mm512_storeu_si512(words, a.x); }

// In each 128-bit quarter, four words of four inputs, one input a row, turned so that each
// holds one word of all.
inline void transpose_quarters(__m512i& a, __m512i& b, __m512i& c, __m512i& d) {
    const __m512i ab_low = _mm512_unpacklo_epi32(a, b), ab_high = _mm512_unpackhi_epi32(a, b);
    const __m512i cd_low = _mm512_unpacklo_epi32(c, d), cd_high = _mm512_unpackhi_epi32(c, d);
    a = _mm512_unpacklo_epi64(ab_low, cd_low);
    b = _mm512_unpackhi_epi64(ab_low, cd_low);
    c = _mm512_unpacklo_epi64(ab_high, cd_high);
    d = _mm512_unpackhi_epi64(ab_high, cd_high);
}

// A block of sixteen inputs: turned in the 128-bit quarters of each four inputs, whose
// quarters then trade places as the words of a 4 by 4 matrix do (0x88 takes quarters 0 and
// 2 of each operand, 0xDD quarters 1 and 3).
inline void load_message(const std::uint8_t* block, std::size_t stride, Lanes m[16]) {
    __m512i rows[16];
    for (std::size_t i = 0; i < 16; ++i) rows[i] = _mm512_loadu_si512(block + stride * i);
    for (int group = 0; group < 4; ++group)
        transpose_quarters(rows[4 * group], rows[4 * group + 1], rows[4 * group + 2], rows[4 * group + 3]);
    // rows[4g + j] holds, in quarter q, word 4q + j of inputs 4g to 4g + 3.
    for (int j = 0; j < 4; ++j) {
        const __m512i even01 = _mm512_shuffle_i32x4(rows[j], rows[4 + j], 0x88);
        const __m512i odd01 = _mm512_shuffle_i32x4(rows[j], rows[4 + j], 0xDD);
        const __m512i even23 = _mm512_shuffle_i32x4(rows[8 + j], rows[12 + j], 0x88);
        const __m512i odd23 = _mm512_shuffle_i32x4(rows[8 + j], rows[12 + j], 0xDD);
        m[j] = {_mm512_shuffle_i32x4(even01, even23, 0x88)};
        m[8 + j] = {_mm512_shuffle_i32x4(even01, even23, 0xDD)};
        m[4 + j] = {_mm512_shuffle_i32x4(odd01, odd23, 0x88)};
        m[12 + j] = {_mm512_shuffle_i32x4(odd01, odd23, 0xDD)};
    }
}

}  // namespace

}  // namespace mendlet

#include "digest/blake3_lanes.h"

namespace mendlet {

Blake3Lanes blake3_avx512_lanes() {
    static const bool available = processor_has_avx512();
    return {LANES, available ? hash_lanes : nullptr};
}

}  // namespace mendlet

#else

namespace mendlet {

Blake3Lanes blake3_avx512_lanes() { return {16, nullptr}; }

}  // namespace mendlet

#endif
