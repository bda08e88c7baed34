#include "digest/sha256.h"

#include <algorithm>
#include <cstring>

#include "digest/sha_blocks.h"
#include "digest/hex_text.h"
#include "digest/sha256_paths.h"

namespace mendlet {

namespace {

inline std::uint32_t rotate_right(std::uint32_t x, int s) { return (x >> s) | (x << (32 - s)); }

inline std::uint32_t load_be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

void compress_block(std::uint32_t state[8], const std::uint8_t block[64]) {
    std::uint32_t w[64];
    for (int t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);
    for (int t = 16; t < 64; ++t) {
        const std::uint32_t s0 = rotate_right(w[t - 15], 7) ^ rotate_right(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = rotate_right(w[t - 2], 17) ^ rotate_right(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = rotate_right(e, 6) ^ rotate_right(e, 11) ^ rotate_right(e, 25);
        const std::uint32_t choice = g ^ (e & (f ^ g));
        const std::uint32_t t1 = h + sum1 + choice + SHA256_ROUND_CONSTANTS[t] + w[t];
        const std::uint32_t sum0 = rotate_right(a, 2) ^ rotate_right(a, 13) ^ rotate_right(a, 22);
        const std::uint32_t majority = (a & b) | (c & (a | b));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + sum0 + majority;
    }

    add_to_state(state, {a, b, c, d, e, f, g, h});
}

// The SHA extensions where the processor has them; it is asked once.
Sha256Compressor compressor() {
    static const Sha256Compressor extensions = sha256_extensions_compressor();
    return extensions != nullptr ? extensions : sha256_portable;
}

}  // namespace

void sha256_portable(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 64) compress_block(state, blocks);
}

void sha256_init(Sha256Context& context) {
    std::copy(std::begin(SHA256_INITIAL), std::end(SHA256_INITIAL), context.state);
    context.count = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void sha256_update(Sha256Context& context, const std::uint8_t* bytes, std::size_t length) {
    feed_blocks(context, bytes, length, compressor());
}

std::array<std::uint8_t, 32> sha256_final(Sha256Context& context) { return finish_blocks<32>(context, compressor()); }

std::string format_sha256(const std::array<std::uint8_t, 32>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
