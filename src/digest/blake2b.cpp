#include "digest/blake2b.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "digest/blake2b_paths.h"
#include "digest/hex_text.h"
#include "digest/sha512.h"

namespace mendlet {

namespace {

constexpr std::size_t BLOCK = 128;

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
    constexpr const std::uint8_t* s = BLAKE2B_SIGMA[R % 10];
    mix(v[0], v[4], v[8], v[12], m[s[0]], m[s[1]]);
    mix(v[1], v[5], v[9], v[13], m[s[2]], m[s[3]]);
    mix(v[2], v[6], v[10], v[14], m[s[4]], m[s[5]]);
    mix(v[3], v[7], v[11], v[15], m[s[6]], m[s[7]]);
    mix(v[0], v[5], v[10], v[15], m[s[8]], m[s[9]]);
    mix(v[1], v[6], v[11], v[12], m[s[10]], m[s[11]]);
    mix(v[2], v[7], v[8], v[13], m[s[12]], m[s[13]]);
    mix(v[3], v[4], v[9], v[14], m[s[14]], m[s[15]]);
}

// The compression for the most that the processor has; it is asked once.
Blake2bCompressor compressor() {
    static const Blake2bCompressor fastest = [] {
        const Blake2bCompressor wide = blake2b_avx2_compressor();
        return wide ? wide : Blake2bCompressor{blake2b_portable};
    }();
    return fastest;
}

// Compresses `count` blocks; `used` is how many bytes of each count, which only the last
// block can have fewer than 128 of.
void compress(Blake2bContext& context, const std::uint8_t* blocks, std::size_t count, std::size_t used, bool last) {
    const Blake2bCompressor compress_block = compressor();
    for (; count > 0; --count, blocks += BLOCK) {
        context.count[0] += used;
        if (context.count[0] < used) ++context.count[1];
        compress_block(context.state, blocks, context.count[0], context.count[1], last);
    }
}

}  // namespace

void blake2b_portable(std::uint64_t state[8], const std::uint8_t* block, std::uint64_t low, std::uint64_t high,
                      bool last) {
    std::uint64_t m[16];
    for (int i = 0; i < 16; ++i) m[i] = load_le64(block + 8 * i);
    std::uint64_t v[16];
    for (int i = 0; i < 8; ++i) {
        v[i] = state[i];
        v[i + 8] = SHA512_INITIAL[i];
    }
    v[12] ^= low;
    v[13] ^= high;
    if (last) v[14] = ~v[14];
    [&]<std::size_t... R>(std::index_sequence<R...>) { (one_round<R>(v, m), ...); }
    (std::make_index_sequence<12>());
    for (int i = 0; i < 8; ++i) state[i] ^= v[i] ^ v[i + 8];
}

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
