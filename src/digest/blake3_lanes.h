#pragma once
// BLAKE3's compression, for the files that compile it: once for one input at a time and once
// for each width of vector register, one input in each 32-bit lane. The file that includes
// this has defined, for its `Lanes`: LANES, + and ^ of 32-bit lanes, rotate_right<N>,
// broadcast (one word in every lane), load_lanes and store_lanes (LANES words from and to
// memory) and load_message (word k of each input's block in m[k]). Everything here is local
// to the file that includes it, and uses nothing that is not (no shared templates), so that
// the linker cannot let one copy stand in for another.

#include <cstddef>
#include <cstdint>

#include "digest/sha256.h"

#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))
#include <xmmintrin.h>
#endif

namespace mendlet {

namespace {

constexpr std::uint32_t CHUNK_START = 1, CHUNK_END = 2, PARENT = 4, ROOT = 8;

constexpr std::uint32_t BLOCK = 64;

// The order in which each of the seven rounds takes the message words: the first in order,
// each of the others that of the round before, permuted.
struct Schedule {
    std::uint8_t order[7][16];
};
constexpr Schedule make_schedule() {
    constexpr std::uint8_t PERMUTATION[16] = {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8};
    Schedule schedule{};
    for (std::uint8_t i = 0; i < 16; ++i) schedule.order[0][i] = i;
    for (int r = 1; r < 7; ++r)
        for (int i = 0; i < 16; ++i) schedule.order[r][i] = schedule.order[r - 1][PERMUTATION[i]];
    return schedule;
}
constexpr Schedule SCHEDULE = make_schedule();

inline void mix(Lanes& a, Lanes& b, Lanes& c, Lanes& d, Lanes x, Lanes y) {
    a = a + b + x;
    d = rotate_right<16>(d ^ a);
    c = c + d;
    b = rotate_right<12>(b ^ c);
    a = a + b + y;
    d = rotate_right<8>(d ^ a);
    c = c + d;
    b = rotate_right<7>(b ^ c);
}

// One round, its message order known when compiled, so that each word is a fixed slot.
template <int R>
inline void one_round(Lanes v[16], const Lanes m[16]) {
    constexpr const std::uint8_t* s = SCHEDULE.order[R];
    mix(v[0], v[4], v[8], v[12], m[s[0]], m[s[1]]);
    mix(v[1], v[5], v[9], v[13], m[s[2]], m[s[3]]);
    mix(v[2], v[6], v[10], v[14], m[s[4]], m[s[5]]);
    mix(v[3], v[7], v[11], v[15], m[s[6]], m[s[7]]);
    mix(v[0], v[5], v[10], v[15], m[s[8]], m[s[9]]);
    mix(v[1], v[6], v[11], v[12], m[s[10]], m[s[11]]);
    mix(v[2], v[7], v[8], v[13], m[s[12]], m[s[13]]);
    mix(v[3], v[4], v[9], v[14], m[s[14]], m[s[15]]);
}

// The chaining value h after one block: the first half of the compression's output, all
// that a 256-bit digest needs, also of the root.
inline void compress(Lanes h[8], const Lanes m[16], Lanes counter_low, Lanes counter_high, Lanes length, Lanes flags) {
    Lanes v[16] = {h[0],
                   h[1],
                   h[2],
                   h[3],
                   h[4],
                   h[5],
                   h[6],
                   h[7],
                   broadcast(SHA256_INITIAL[0]),
                   broadcast(SHA256_INITIAL[1]),
                   broadcast(SHA256_INITIAL[2]),
                   broadcast(SHA256_INITIAL[3]),
                   counter_low,
                   counter_high,
                   length,
                   flags};
    one_round<0>(v, m);
    one_round<1>(v, m);
    one_round<2>(v, m);
    one_round<3>(v, m);
    one_round<4>(v, m);
    one_round<5>(v, m);
    one_round<6>(v, m);
    for (int i = 0; i < 8; ++i) h[i] = v[i] ^ v[i + 8];
}

// The inputs lie too far apart for the processor's prefetcher to follow them all. Those that
// come next, which follow these, are asked for while these are hashed: with each block, as
// many of their bytes as the lanes read.
inline void prefetch_next(const std::uint8_t* input, std::size_t blocks, std::size_t b) {
#if defined(__x86_64__) || (defined(_M_X64) && !defined(_M_ARM64EC))
    // As a number: the inputs may end here, and a prefetch past them does no harm, but a
    // pointer past them would be undefined.
    const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(input) + LANES * BLOCK * (blocks + b);
    for (std::size_t i = 0; i < LANES; ++i) _mm_prefetch(reinterpret_cast<const char*>(next + BLOCK * i), _MM_HINT_T0);
#else
    (void)input;
    (void)blocks;
    (void)b;
#endif
}

// LANES inputs of `blocks` blocks each, one after the other from `input`: chunks numbered
// from `counter`, or parents. Their chaining values go to cvs, 32 bytes each.
void hash_lanes(const std::uint8_t* input, std::size_t blocks, bool chunks, std::uint64_t counter, std::uint8_t* cvs) {
    std::uint32_t low[LANES], high[LANES];
    for (std::size_t i = 0; i < LANES; ++i) {
        const std::uint64_t number = chunks ? counter + i : 0;
        low[i] = static_cast<std::uint32_t>(number);
        high[i] = static_cast<std::uint32_t>(number >> 32);
    }
    const Lanes counter_low = load_lanes(low), counter_high = load_lanes(high), length = broadcast(BLOCK);
    Lanes h[8];
    for (int i = 0; i < 8; ++i) h[i] = broadcast(SHA256_INITIAL[i]);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint32_t flags = chunks ? 0 : PARENT;
        if (chunks && b == 0) flags |= CHUNK_START;
        if (chunks && b + 1 == blocks) flags |= CHUNK_END;
        prefetch_next(input, blocks, b);
        Lanes m[16];
        load_message(input + BLOCK * b, BLOCK * blocks, m);
        compress(h, m, counter_low, counter_high, length, broadcast(flags));
    }
    std::uint32_t words[8][LANES];
    for (int k = 0; k < 8; ++k) store_lanes(words[k], h[k]);
    for (std::size_t i = 0; i < LANES; ++i)
        for (int k = 0; k < 8; ++k)
            for (int byte = 0; byte < 4; ++byte)
                cvs[32 * i + 4 * k + byte] = static_cast<std::uint8_t>(words[k][i] >> (8 * byte));
}

}  // namespace

}  // namespace mendlet
