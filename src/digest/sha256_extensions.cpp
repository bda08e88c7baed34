// SHA-256 with the processor's SHA extensions: SHA256RNDS2 does two rounds, SHA256MSG1 and
// SHA256MSG2 four words of the message schedule, with SSSE3 and SSE4.1 to order the words.
// Several times faster than the portable rounds. The compiler may use these instructions
// in this file only; the processor is asked before they are used.

#include "digest/sha256_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/sha_extensions_support.h"

namespace mendlet {

namespace {

__m128i load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

void store(void* p, __m128i value) { _mm_storeu_si128(static_cast<__m128i*>(p), value); }

// Four message words, each read most significant byte first.
__m128i load_words(const std::uint8_t* bytes) {
    const __m128i big_endian = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
    return _mm_shuffle_epi8(load(bytes), big_endian);
}

// Words t to t + 3 of the schedule from the sixteen before them.
__m128i next_words(__m128i from_t16, __m128i from_t12, __m128i from_t8, __m128i from_t4) {
    const __m128i from_t7 = _mm_alignr_epi8(from_t4, from_t8, 4);
    return _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(from_t16, from_t12), from_t7), from_t4);
}

// Rounds 4 * group to 4 * group + 3. Each instruction does two rounds and returns the new
// A, B, E, F; the old ones are the new C, D, G, H, so the two registers swap roles.
void four_rounds(__m128i& abef, __m128i& cdgh, __m128i words, int group) {
    const __m128i sums = _mm_add_epi32(words, load(SHA256_ROUND_CONSTANTS + 4 * group));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sums);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(sums, 0x0E));
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
        __m128i w0 = load_words(blocks);
        four_rounds(abef, cdgh, w0, 0);
        __m128i w1 = load_words(blocks + 16);
        four_rounds(abef, cdgh, w1, 1);
        __m128i w2 = load_words(blocks + 32);
        four_rounds(abef, cdgh, w2, 2);
        __m128i w3 = load_words(blocks + 48);
        four_rounds(abef, cdgh, w3, 3);
        for (int group = 4; group < 16; group += 4) {
            w0 = next_words(w0, w1, w2, w3);
            four_rounds(abef, cdgh, w0, group);
            w1 = next_words(w1, w2, w3, w0);
            four_rounds(abef, cdgh, w1, group + 1);
            w2 = next_words(w2, w3, w0, w1);
            four_rounds(abef, cdgh, w2, group + 2);
            w3 = next_words(w3, w0, w1, w2);
            four_rounds(abef, cdgh, w3, group + 3);
        }
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
