// SHA-1 with the processor's SHA extensions: SHA1RNDS4 does four rounds, SHA1NEXTE derives E
// for the next four, SHA1MSG1 and SHA1MSG2 four words of the message schedule, with SSSE3
// and SSE4.1 to order the words. About three times as fast as the portable rounds. The
// compiler may use these instructions in this file only; the processor is asked before
// they are used.

#include "digest/sha1_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include "digest/processor_features.h"

namespace mendlet {

namespace {

__m128i load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

void store(void* p, __m128i value) { _mm_storeu_si128(static_cast<__m128i*>(p), value); }

// Four message words, the first in the high lane, as the instructions take them: the
// block's sixteen bytes in reverse order.
__m128i load_words(const std::uint8_t* bytes) {
    const __m128i reversed = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_shuffle_epi8(load(bytes), reversed);
}

// Words t to t + 3 of the schedule from the sixteen before them.
__m128i next_words(__m128i from_t16, __m128i from_t12, __m128i from_t8, __m128i from_t4) {
    return _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(from_t16, from_t12), from_t8), from_t4);
}

// Four rounds after the first four. E of these rounds is A of four rounds before, turned
// by 30 bits; SHA1NEXTE does that and adds it to the first word. The round function is
// part of the instruction, so it must be a constant.
template <int Function>
void four_rounds(__m128i& abcd, __m128i& abcd_before, __m128i words) {
    const __m128i e_and_words = _mm_sha1nexte_epu32(abcd_before, words);
    abcd_before = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e_and_words, Function);
}

// Twenty rounds with one function, the schedule's words computed as they are needed. w0
// holds the oldest words; after five groups w1 does, so the next call passes the registers
// turned by one.
template <int Function>
void twenty_rounds(__m128i& abcd, __m128i& abcd_before, __m128i& w0, __m128i& w1, __m128i& w2, __m128i& w3) {
    w0 = next_words(w0, w1, w2, w3);
    four_rounds<Function>(abcd, abcd_before, w0);
    w1 = next_words(w1, w2, w3, w0);
    four_rounds<Function>(abcd, abcd_before, w1);
    w2 = next_words(w2, w3, w0, w1);
    four_rounds<Function>(abcd, abcd_before, w2);
    w3 = next_words(w3, w0, w1, w2);
    four_rounds<Function>(abcd, abcd_before, w3);
    w0 = next_words(w0, w1, w2, w3);
    four_rounds<Function>(abcd, abcd_before, w0);
}

void compress_blocks(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count) {
    // The instructions hold A to D as D, C, B, A from the low word up, and E in the high word.
    __m128i abcd = _mm_shuffle_epi32(load(state), 0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abcd_saved = abcd;
        // Rounds 0 to 3 take E from the state rather than from earlier rounds.
        __m128i w0 = load_words(blocks);
        __m128i abcd_before = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e, w0), 0);
        __m128i w1 = load_words(blocks + 16);
        four_rounds<0>(abcd, abcd_before, w1);
        __m128i w2 = load_words(blocks + 32);
        four_rounds<0>(abcd, abcd_before, w2);
        __m128i w3 = load_words(blocks + 48);
        four_rounds<0>(abcd, abcd_before, w3);
        w0 = next_words(w0, w1, w2, w3);
        four_rounds<0>(abcd, abcd_before, w0);
        twenty_rounds<1>(abcd, abcd_before, w1, w2, w3, w0);
        twenty_rounds<2>(abcd, abcd_before, w2, w3, w0, w1);
        twenty_rounds<3>(abcd, abcd_before, w3, w0, w1, w2);
        // E after the last round, added to E before the first, as SHA1NEXTE adds the words.
        e = _mm_sha1nexte_epu32(abcd_before, e);
        abcd = _mm_add_epi32(abcd, abcd_saved);
    }

    store(state, _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e, 3));
}

}  // namespace

Sha1Compressor sha1_extensions_compressor() {
    static const bool available = processor_has_sha_extensions();
    return available ? compress_blocks : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Sha1Compressor sha1_extensions_compressor() { return nullptr; }

}  // namespace mendlet

#endif
