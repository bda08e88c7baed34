#include "digest/blake2b.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "digest/hex_text.h"
#include "digest/sha512.h"

namespace mendlet {

namespace {

constexpr std::size_t BLOCK = 128;

// The order in which each round takes the message words.
constexpr std::uint8_t SIGMA[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4}, {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13}, {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11}, {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5}, {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

inline std::uint64_t rotate_right(std::uint64_t x, int s) { return (x >> s) | (x << (64 - s)); }

// Written out byte by byte, which the compilers recognise as one load.
inline std::uint64_t load_le64(const std::uint8_t* p) {
    std::uint64_t word = 0;
    for (int k = 7; k >= 0; --k) word = (word << 8) | p[k];
    return word;
}

inline void mix(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& d, std::uint64_t x,
                std::uint64_t y) {
    a = a + b + x;
    d = rotate_right(d ^ a, 32);
    c = c + d;
    b = rotate_right(b ^ c, 24);
    a = a + b + y;
    d = rotate_right(d ^ a, 16);
    c = c + d;
    b = rotate_right(b ^ c, 63);
}

// One round, its message order known when compiled, so that each word is a fixed slot.
template <int R>
inline void one_round(std::uint64_t v[16], const std::uint64_t m[16]) {
    constexpr const std::uint8_t* s = SIGMA[R % 10];
    mix(v[0], v[4], v[8], v[12], m[s[0]], m[s[1]]);
    mix(v[1], v[5], v[9], v[13], m[s[2]], m[s[3]]);
    mix(v[2], v[6], v[10], v[14], m[s[4]], m[s[5]]);
    mix(v[3], v[7], v[11], v[15], m[s[6]], m[s[7]]);
    mix(v[0], v[5], v[10], v[15], m[s[8]], m[s[9]]);
    mix(v[1], v[6], v[11], v[12], m[s[10]], m[s[11]]);
    mix(v[2], v[7], v[8], v[13], m[s[12]], m[s[13]]);
    mix(v[3], v[4], v[9], v[14], m[s[14]], m[s[15]]);
}

template <std::size_t... R>
inline void all_rounds(std::uint64_t v[16], const std::uint64_t m[16], std::index_sequence<R...>) {
    (one_round<R>(v, m), ...);
}

// Compresses `count` blocks; `used` is how many bytes of each count, which only the last
// block can have fewer than 128 of.
void compress(Blake2bContext& context, const std::uint8_t* blocks, std::size_t count, std::size_t used, bool last) {
    for (; count > 0; --count, blocks += BLOCK) {
        context.count[0] += used;
        if (context.count[0] < used) ++context.count[1];
        std::uint64_t m[16];
        for (int i = 0; i < 16; ++i) m[i] = load_le64(blocks + 8 * i);
        std::uint64_t v[16];
        for (int i = 0; i < 8; ++i) {
            v[i] = context.state[i];
            v[i + 8] = SHA512_INITIAL[i];
        }
        v[12] ^= context.count[0];
        v[13] ^= context.count[1];
        if (last) v[14] = ~v[14];
        all_rounds(v, m, std::make_index_sequence<12>());
        for (int i = 0; i < 8; ++i) context.state[i] ^= v[i] ^ v[i + 8];
    }
}

}  // namespace

void blake2b_init(Blake2bContext& context) {
    std::copy(std::begin(SHA512_INITIAL), std::end(SHA512_INITIAL), context.state);
    // The parameter block: a digest of 64 bytes, no key, fanout and depth 1.
    context.state[0] ^= 0x01010040u;
    context.count[0] = context.count[1] = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
    context.waiting = 0;
}

void blake2b_update(Blake2bContext& context, const std::uint8_t* bytes, std::size_t length) {
    if (length == 0) return;
    if (context.waiting > 0 && context.waiting + length > BLOCK) {
        const std::size_t take = BLOCK - context.waiting;
        std::memcpy(context.buffer + context.waiting, bytes, take);
        compress(context, context.buffer, 1, BLOCK, false);
        context.waiting = 0;
        bytes += take;
        length -= take;
    }
    if (context.waiting == 0 && length > BLOCK) {
        const std::size_t blocks = (length - 1) / BLOCK;
        compress(context, bytes, blocks, BLOCK, false);
        bytes += blocks * BLOCK;
        length -= blocks * BLOCK;
    }
    std::memcpy(context.buffer + context.waiting, bytes, length);
    context.waiting += length;
}

std::array<std::uint8_t, 64> blake2b_final(Blake2bContext& context) {
    std::memset(context.buffer + context.waiting, 0, BLOCK - context.waiting);
    compress(context, context.buffer, 1, context.waiting, true);
    std::array<std::uint8_t, 64> digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<std::uint8_t>(context.state[i / 8] >> (8 * (i % 8)));
    std::memset(&context, 0, sizeof context);
    return digest;
}

std::string format_blake2b(const std::array<std::uint8_t, 64>& digest) {
    return hex_text(digest.data(), digest.size());
}

}  // namespace mendlet
