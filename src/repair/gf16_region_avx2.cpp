// The nibble tables looked up 32 bytes at a time by AVX2's byte shuffle: the compiler may
// use AVX2 in this file only, and the processor is asked before this is used.

#include "repair/gf16_region.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/processor_features.h"
#include "repair/gf16_shuffle_blocks.h"

namespace mendlet {

namespace {

// The way's lane: blocks of 64 bytes.
struct Lane {
    static constexpr std::size_t BYTES = 64;

    // The words of a block, 64 bytes, as their low bytes and their high bytes; the order of the
    // words within each is split's own, which join undoes.
    struct Planes {
        __m256i low, high;
    };

    // In each 128-bit lane: the low bytes of its eight words, then their high bytes; and back.
    static __m256i gather_halves() {
        return _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12, 14, 1, 3,
                                5, 7, 9, 11, 13, 15);
    }
    static __m256i scatter_halves() {
        return _mm256_setr_epi8(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12,
                                5, 13, 6, 14, 7, 15);
    }

    static Planes split(const std::uint8_t* bytes) {
        const __m256i a =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)), gather_halves());
        const __m256i b =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32)), gather_halves());
        return {_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b)};
    }

    static void join(std::uint8_t* bytes, Planes planes) {
        const __m256i a = _mm256_unpacklo_epi64(planes.low, planes.high);
        const __m256i b = _mm256_unpackhi_epi64(planes.low, planes.high);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes), _mm256_shuffle_epi8(a, scatter_halves()));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes + 32), _mm256_shuffle_epi8(b, scatter_halves()));
    }

    // A factor's eight tables, each in both lanes: low and high bytes of the products, by nibble.
    struct Tables {
        __m256i low[4], high[4];
    };

    static Tables load_tables(const Gf16Factor& factor) {
        Tables tables;
        for (int nibble = 0; nibble < 4; ++nibble) {
            const auto* table = reinterpret_cast<const __m128i*>(factor.tables + 32 * nibble);
            tables.low[nibble] = _mm256_broadcastsi128_si256(_mm_load_si128(table));
            tables.high[nibble] = _mm256_broadcastsi128_si256(_mm_load_si128(table + 1));
        }
        return tables;
    }

    static void multiply_add(Planes& sum, Planes words, const Tables& tables) {
        const __m256i mask = _mm256_set1_epi8(0x0F);
        const __m256i nibbles[4] = {
            _mm256_and_si256(words.low, mask), _mm256_and_si256(_mm256_srli_epi16(words.low, 4), mask),
            _mm256_and_si256(words.high, mask), _mm256_and_si256(_mm256_srli_epi16(words.high, 4), mask)};
        for (int k = 0; k < 4; ++k) {
            sum.low = _mm256_xor_si256(sum.low, _mm256_shuffle_epi8(tables.low[k], nibbles[k]));
            sum.high = _mm256_xor_si256(sum.high, _mm256_shuffle_epi8(tables.high[k], nibbles[k]));
        }
    }
};

}  // namespace

Gf16Path gf16_avx2_path() {
    static const bool available = processor_has_avx2_and_bmi2();
    if (!available) return {"avx2", nullptr, nullptr};
    return {"avx2", gf16_nibble_tables_prepare, shuffle_dot_product_add<Lane>};
}

}  // namespace mendlet

#else

namespace mendlet {

Gf16Path gf16_avx2_path() { return {"avx2", nullptr, nullptr}; }

}  // namespace mendlet

#endif
