// The multiplication by a factor as a 16×16 bit matrix, applied by GFNI's affine byte
// transformation on AVX-512's registers: the compiler may use AVX-512 and GFNI in this
// file only, and the processor is asked before this is used.

#include "repair/gf16_region.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include <cstring>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

// The 8×8 matrix, as GF2P8AFFINEQB takes it, that maps byte `from` (0 low, 1 high) of a
// word to byte `to` of its product: output bit i is the parity of row byte 7 - i and the
// input byte. Column j of the whole matrix is the product of the factor and bit j alone.
std::uint64_t byte_matrix(const Gf16 columns[16], unsigned from, unsigned to) {
    std::uint64_t matrix = 0;
    for (unsigned i = 0; i < 8; ++i) {
        std::uint64_t row = 0;
        for (unsigned j = 0; j < 8; ++j) row |= std::uint64_t{(columns[8u * from + j] >> (8 * to + i)) & 1u} << j;
        matrix |= row << (8 * (7 - i));
    }
    return matrix;
}

// Low to low, high to low, low to high, high to high; the rest of the tables unused.
void prepare(Gf16 factor, Gf16Factor& prepared) {
    Gf16 columns[16];
    for (unsigned j = 0; j < 16; ++j) columns[j] = gf16_multiply(factor, static_cast<Gf16>(1u << j));
    std::memset(prepared.tables, 0, sizeof prepared.tables);
    for (unsigned to = 0; to < 2; ++to) {
        for (unsigned from = 0; from < 2; ++from) {
            const std::uint64_t matrix = byte_matrix(columns, from, to);
            std::memcpy(prepared.tables + 8 * (2 * to + from), &matrix, sizeof matrix);
        }
    }
}

// The words of 128 bytes as their low bytes and their high bytes; the order of the words
// within each is split's own, which join undoes.
struct Planes {
    __m512i low, high;
};

// Which bytes of the two halves of 128 lie in the region.
struct Reach {
    __mmask64 first, second;
};
constexpr Reach WHOLE = {~__mmask64{0}, ~__mmask64{0}};

__mmask64 first_bytes(std::size_t count) { return count >= 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1; }
Reach reach(std::size_t bytes) { return {first_bytes(bytes), first_bytes(bytes > 64 ? bytes - 64 : 0)}; }

// In each 128-bit lane: the low bytes of its eight words, then their high bytes; and back.
inline __m512i gather_halves() {
    return _mm512_broadcast_i32x4(_mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15));
}
inline __m512i scatter_halves() {
    return _mm512_broadcast_i32x4(_mm_setr_epi8(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15));
}

inline Planes split(const std::uint8_t* bytes, Reach reach) {
    const __m512i a = _mm512_shuffle_epi8(_mm512_maskz_loadu_epi8(reach.first, bytes), gather_halves());
    const __m512i b = _mm512_shuffle_epi8(_mm512_maskz_loadu_epi8(reach.second, bytes + 64), gather_halves());
    return {_mm512_unpacklo_epi64(a, b), _mm512_unpackhi_epi64(a, b)};
}

inline void join(std::uint8_t* bytes, Planes planes, Reach reach) {
    const __m512i a = _mm512_unpacklo_epi64(planes.low, planes.high);
    const __m512i b = _mm512_unpackhi_epi64(planes.low, planes.high);
    _mm512_mask_storeu_epi8(bytes, reach.first, _mm512_shuffle_epi8(a, scatter_halves()));
    _mm512_mask_storeu_epi8(bytes + 64, reach.second, _mm512_shuffle_epi8(b, scatter_halves()));
}

struct Matrices {
    __m512i low_to_low, high_to_low, low_to_high, high_to_high;
};

inline __m512i broadcast_matrix(const std::uint8_t* bytes) {
    long long matrix;
    std::memcpy(&matrix, bytes, sizeof matrix);
    return _mm512_set1_epi64(matrix);
}

inline Matrices load_matrices(const Gf16Factor& factor) {
    return {broadcast_matrix(factor.tables), broadcast_matrix(factor.tables + 8), broadcast_matrix(factor.tables + 16),
            broadcast_matrix(factor.tables + 24)};
}

// Three-way XOR in one instruction (0x96 is a ^ b ^ c as a truth table).
inline __m512i xor3(__m512i a, __m512i b, __m512i c) { return _mm512_ternarylogic_epi64(a, b, c, 0x96); }

inline void multiply_add(Planes& sum, Planes words, const Matrices& m) {
    sum.low = xor3(sum.low, _mm512_gf2p8affine_epi64_epi8(words.low, m.low_to_low, 0),
                   _mm512_gf2p8affine_epi64_epi8(words.high, m.high_to_low, 0));
    sum.high = xor3(sum.high, _mm512_gf2p8affine_epi64_epi8(words.low, m.low_to_high, 0),
                    _mm512_gf2p8affine_epi64_epi8(words.high, m.high_to_high, 0));
}

// BLOCKS pieces of 128 bytes from `at`, the sums of each held in registers while every
// source goes by; the loads and stores of each piece reach that far.
template <std::size_t BLOCKS>
void add_blocks(std::uint8_t* dst, const std::uint8_t* const* sources, std::size_t at, const Gf16Factor* factors,
                std::size_t count, Reach reach) {
    Planes sums[BLOCKS];
    for (std::size_t b = 0; b < BLOCKS; ++b) sums[b] = split(dst + at + 128 * b, reach);
    for (std::size_t s = 0; s < count; ++s) {
        const Matrices matrices = load_matrices(factors[s]);
        for (std::size_t b = 0; b < BLOCKS; ++b)
            multiply_add(sums[b], split(sources[s] + at + 128 * b, reach), matrices);
    }
    for (std::size_t b = 0; b < BLOCKS; ++b) join(dst + at + 128 * b, sums[b], reach);
}

// Four ran faster than one, two or eight.
constexpr std::size_t BLOCKS = 4, BLOCK_BYTES = 128 * BLOCKS;

// The tail goes through the same instructions, loads and stores masked to its bytes.
void dot_product_add(std::uint8_t* dst, const std::uint8_t* const* sources, const Gf16Factor* factors,
                     std::size_t count, std::size_t bytes) {
    const std::size_t whole = bytes - bytes % BLOCK_BYTES;
    for (std::size_t at = 0; at < whole; at += BLOCK_BYTES) add_blocks<BLOCKS>(dst, sources, at, factors, count, WHOLE);
    for (std::size_t at = whole; at < bytes; at += 128)
        add_blocks<1>(dst, sources, at, factors, count, reach(bytes - at));
}

}  // namespace

Gf16Path gf16_gfni_path() {
    static const bool available = processor_has_avx512_gfni();
    if (!available) return {"avx512-gfni", nullptr, nullptr};
    return {"avx512-gfni", prepare, dot_product_add};
}

}  // namespace mendlet

#else

namespace mendlet {

Gf16Path gf16_gfni_path() { return {"avx512-gfni", nullptr, nullptr}; }

}  // namespace mendlet

#endif
