// The nibble tables looked up 16 bytes at a time by SSSE3's byte shuffle: the compiler may
// use SSSE3 in this file only, and the processor is asked before this is used.

#include "repair/gf16_region.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <tmmintrin.h>

#include "digest/processor_features.h"
#include "repair/gf16_shuffle_blocks.h"

namespace mendlet {

namespace {

// The way's lane: blocks of 32 bytes.
struct Lane {
    static constexpr std::size_t BYTES = 32;

    // The words of a block, 32 bytes, as their low bytes and their high bytes; the order of the
    // words within each is split's own, which join undoes.
    struct Planes {
        __m128i low, high;
    };

    // The low bytes of eight words, then their high bytes; and back.
    static __m128i gather_halves() { return _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15); }
    static __m128i scatter_halves() { return _mm_setr_epi8(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15); }

    static Planes split(const std::uint8_t* bytes) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), gather_halves());
        const __m128i b =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16)), gather_halves());
        return {_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b)};
    }

    static void join(std::uint8_t* bytes, Planes planes) {
        const __m128i a = _mm_unpacklo_epi64(planes.low, planes.high);
        const __m128i b = _mm_unpackhi_epi64(planes.low, planes.high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), _mm_shuffle_epi8(a, scatter_halves()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + 16), _mm_shuffle_epi8(b, scatter_halves()));
    }

    // A factor's eight tables: low and high bytes of the products, by nibble.
    struct Tables {
        __m128i low[4], high[4];
    };

    static Tables load_tables(const Gf16Factor& factor) {
        Tables tables;
        for (int nibble = 0; nibble < 4; ++nibble) {
            const auto* table = reinterpret_cast<const __m128i*>(factor.tables + 32 * nibble);
            tables.low[nibble] = _mm_load_si128(table);
            tables.high[nibble] = _mm_load_si128(table + 1);
        }
        return tables;
    }

    static void multiply_add(Planes& sum, Planes words, const Tables& tables) {
        const __m128i mask = _mm_set1_epi8(0x0F);
        const __m128i nibbles[4] = {_mm_and_si128(words.low, mask), _mm_and_si128(_mm_srli_epi16(words.low, 4), mask),
                                    _mm_and_si128(words.high, mask),
                                    _mm_and_si128(_mm_srli_epi16(words.high, 4), mask)};
        for (int k = 0; k < 4; ++k) {
            sum.low = _mm_xor_si128(sum.low, _mm_shuffle_epi8(tables.low[k], nibbles[k]));
            sum.high = _mm_xor_si128(sum.high, _mm_shuffle_epi8(tables.high[k], nibbles[k]));
        }
    }
};

}  // namespace

Gf16Path gf16_ssse3_path() {
    static const bool available = processor_has_ssse3();
    if (!available) return {"ssse3", nullptr, nullptr};
    return {"ssse3", gf16_nibble_tables_prepare, shuffle_dot_product_add<Lane>};
}

}  // namespace mendlet

#else

namespace mendlet {

Gf16Path gf16_ssse3_path() { return {"ssse3", nullptr, nullptr}; }

}  // namespace mendlet

#endif
