// BLAKE2b's compression with the four rows of its state in AVX2's registers, so that each
// step mixes four columns (then four diagonals) at once: the compiler may use AVX2 in this
// file only, and the processor is asked before this is used.

#include "digest/blake2b_paths.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))

#include <immintrin.h>

#include <cstring>
#include <utility>

#include "digest/processor_features.h"
#include "digest/sha512.h"

namespace mendlet {

namespace {

inline __m256i load(const std::uint64_t* words) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words)); }

// Whole bytes move in one shuffle; the rotation by 63 is a doubling and a shift.
template <int N>
inline __m256i rotate_right(__m256i x) {
    if constexpr (N == 32)
        return _mm256_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1));
    else if constexpr (N == 24)
        return _mm256_shuffle_epi8(x, _mm256_setr_epi8(3, 4, 5, 6, 7, 0, 1, 2, 11, 12, 13, 14, 15, 8, 9, 10, 3, 4, 5, 6,
                                                       7, 0, 1, 2, 11, 12, 13, 14, 15, 8, 9, 10));
    else if constexpr (N == 16)
        return _mm256_shuffle_epi8(x, _mm256_setr_epi8(2, 3, 4, 5, 6, 7, 0, 1, 10, 11, 12, 13, 14, 15, 8, 9, 2, 3, 4, 5,
                                                       6, 7, 0, 1, 10, 11, 12, 13, 14, 15, 8, 9));
    else
        return _mm256_or_si256(_mm256_srli_epi64(x, 63), _mm256_add_epi64(x, x));
}

// Words i, j, k and l of the message, one in each lane.
inline __m256i gather(const std::uint64_t m[16], int i, int j, int k, int l) {
    return _mm256_set_epi64x(static_cast<long long>(m[l]), static_cast<long long>(m[k]), static_cast<long long>(m[j]),
                             static_cast<long long>(m[i]));
}

// The mixing function on four columns (or diagonals) at once.
inline void mix(__m256i& a, __m256i& b, __m256i& c, __m256i& d, __m256i x, __m256i y) {
    a = _mm256_add_epi64(_mm256_add_epi64(a, x), b);
    d = rotate_right<32>(_mm256_xor_si256(d, a));
    c = _mm256_add_epi64(c, d);
    b = rotate_right<24>(_mm256_xor_si256(b, c));
    a = _mm256_add_epi64(_mm256_add_epi64(a, y), b);
    d = rotate_right<16>(_mm256_xor_si256(d, a));
    c = _mm256_add_epi64(c, d);
    b = rotate_right<63>(_mm256_xor_si256(b, c));
}

// The columns, then the diagonals: rows a, c and d turned by three, one and two lanes bring
// each diagonal into the lane of its word of row b, and back. Row b, the last that a step
// computes, stays in place, so that the next step need not wait for it to turn.
// Its message order known when compiled, so that each word is a fixed slot.
template <int R>
inline void one_round(__m256i& a, __m256i& b, __m256i& c, __m256i& d, const std::uint64_t m[16]) {
    constexpr const std::uint8_t* s = BLAKE2B_SIGMA[R % 10];
    mix(a, b, c, d, gather(m, s[0], s[2], s[4], s[6]), gather(m, s[1], s[3], s[5], s[7]));
    a = _mm256_permute4x64_epi64(a, _MM_SHUFFLE(2, 1, 0, 3));
    c = _mm256_permute4x64_epi64(c, _MM_SHUFFLE(0, 3, 2, 1));
    d = _mm256_permute4x64_epi64(d, _MM_SHUFFLE(1, 0, 3, 2));
    mix(a, b, c, d, gather(m, s[14], s[8], s[10], s[12]), gather(m, s[15], s[9], s[11], s[13]));
    a = _mm256_permute4x64_epi64(a, _MM_SHUFFLE(0, 3, 2, 1));
    c = _mm256_permute4x64_epi64(c, _MM_SHUFFLE(2, 1, 0, 3));
    d = _mm256_permute4x64_epi64(d, _MM_SHUFFLE(1, 0, 3, 2));
}

void compress(std::uint64_t state[8], const std::uint8_t* block, std::uint64_t low, std::uint64_t high, bool last) {
    std::uint64_t m[16];
    std::memcpy(m, block, sizeof m);  // little-endian, as x86-64 is
    const __m256i first = load(state), second = load(state + 4);
    __m256i a = first, b = second, c = load(SHA512_INITIAL);
    __m256i d = _mm256_xor_si256(
        load(SHA512_INITIAL + 4),
        _mm256_set_epi64x(0, last ? -1 : 0, static_cast<long long>(high), static_cast<long long>(low)));
    [&]<std::size_t... R>(std::index_sequence<R...>) { (one_round<R>(a, b, c, d, m), ...); }
    (std::make_index_sequence<12>());
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(state), _mm256_xor_si256(first, _mm256_xor_si256(a, c)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(state + 4), _mm256_xor_si256(second, _mm256_xor_si256(b, d)));
}

}  // namespace

Blake2bCompressor blake2b_avx2_compressor() {
    static const bool available = processor_has_avx2_and_bmi2();
    return available ? compress : nullptr;
}

}  // namespace mendlet

#else

namespace mendlet {

Blake2bCompressor blake2b_avx2_compressor() { return nullptr; }

}  // namespace mendlet

#endif
