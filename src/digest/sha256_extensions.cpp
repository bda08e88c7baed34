// SHA-256 with the processor's SHA extensions: SHA256RNDS2 does two rounds, SHA256MSG1 and
// SHA256MSG2 four words of the message schedule, with SSSE3 and SSE4.1 to order the words.
// Several times faster than the portable rounds. The compiler may use these instructions
// in this file only; the processor is asked before they are used.

#include "digest/sha256_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include <utility>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

__m128i load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

void store(void* p, __m128i value) { _mm_storeu_si128(static_cast<__m128i*>(p), value); }

// Four message words, each read most significant byte first.
__m128i load_words(const std::uint8_t* bytes) {
    const __m128i big_endian = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
    return _mm_shuffle_epi8(load(bytes), big_endian);
}

// Rounds 4 * G to 4 * G + 3, from the four words of the schedule in w[G % 4]. Each
// instruction does two rounds and returns the new A, B, E, F; the old ones are the new C, D,
// G, H, so the two registers swap roles. Between the rounds, which wait on each other, goes
// the schedule's work, each step as soon as its words are there: the words of the next group
// (from group 3 on) and the first half of those three groups on (from group 1), as the
// fastest published implementations do. The rounds come first, so that they go first when
// both could.
template <int G>
inline void four_rounds(__m128i& abef, __m128i& cdgh, __m128i (&w)[4]) {
    __m128i& words = w[G % 4];
    __m128i& next = w[(G + 1) % 4];
    __m128i& previous = w[(G + 3) % 4];
    const __m128i sums = _mm_add_epi32(words, load(SHA256_ROUND_CONSTANTS + 4 * G));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sums);
    if constexpr (G >= 3 && G < 15)
        next = _mm_sha256msg2_epu32(_mm_add_epi32(next, _mm_alignr_epi8(words, previous, 4)), words);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(sums, 0x0E));
    if constexpr (G >= 1 && G < 13) previous = _mm_sha256msg1_epu32(previous, words);
}

template <int... G>
inline void all_rounds(__m128i& abef, __m128i& cdgh, __m128i (&w)[4], std::integer_sequence<int, G...>) {
    (four_rounds<G>(abef, cdgh, w), ...);
}

void compress_blocks(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count) {
    // The instructions hold the state as F, E, B, A and H, G, D, C, from the low word up.
    const __m128i badc = _mm_shuffle_epi32(load(state), 0xB1);
    const __m128i hgfe = _mm_shuffle_epi32(load(state + 4), 0x1B);
    __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abef_before = abef;
        const __m128i cdgh_before = cdgh;
        __m128i w[4] = {load_words(blocks), load_words(blocks + 16), load_words(blocks + 32), load_words(blocks + 48)};
        all_rounds(abef, cdgh, w, std::make_integer_sequence<int, 16>());
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }

    const __m128i abef_in_order = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i ghcd = _mm_shuffle_epi32(cdgh, 0xB1);
    store(state, _mm_blend_epi16(abef_in_order, ghcd, 0xF0));
    store(state + 4, _mm_alignr_epi8(ghcd, abef_in_order, 8));
}

}  // namespace

Sha256Compressor sha256_extensions_compressor() {
    static const bool available = processor_has_sha_extensions();
    return available ? compress_blocks : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Sha256Compressor sha256_extensions_compressor() { return nullptr; }

}  // namespace mendlet

#endif
