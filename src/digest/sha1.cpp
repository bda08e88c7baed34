#include "digest/sha1.h"

#include <algorithm>
#include <cstring>

#include "digest/sha_blocks.h"
#include "digest/hex_text.h"
#include "digest/sha1_paths.h"

namespace mendlet {

namespace {

inline std::uint32_t rotate_left(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline std::uint32_t load_be32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

// Word t of the schedule, in a ring of sixteen: past the first sixteen, computed over the
// one sixteen before it just before its round needs it.
template <int T>
inline std::uint32_t word(std::uint32_t w[16]) {
    if constexpr (T >= 16) w[T & 15] = rotate_left(w[(T + 13) & 15] ^ w[(T + 8) & 15] ^ w[(T + 2) & 15] ^ w[T & 15], 1);
    return w[T & 15];
}

// Round t. Only B and E change: the next round takes E as A and B, turned, as C, so the
// callers rename the five variables instead of moving them. Each twenty rounds have their
// own function of B, C and D and their own constant.
template <int T>
inline void one_round(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                      std::uint32_t w[16]) {
    std::uint32_t function = 0, constant = 0;
    if constexpr (T < 20) {
        function = d ^ (b & (c ^ d));
        constant = 0x5A827999u;
    } else if constexpr (T < 40) {
        function = b ^ c ^ d;
        constant = 0x6ED9EBA1u;
    } else if constexpr (T < 60) {
        function = (b & c) | (d & (b | c));
        constant = 0x8F1BBCDCu;
    } else {
        function = b ^ c ^ d;
        constant = 0xCA62C1D6u;
    }
    // A, the newest value, comes in last.
    e += function + constant + word<T>(w) + rotate_left(a, 5);
    b = rotate_left(b, 30);
}

// Five rounds, after which each variable is back in its place.
template <int T>
inline void five_rounds(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, std::uint32_t& e,
                        std::uint32_t w[16]) {
    one_round<T>(a, b, c, d, e, w);
    one_round<T + 1>(e, a, b, c, d, w);
    one_round<T + 2>(d, e, a, b, c, w);
    one_round<T + 3>(c, d, e, a, b, w);
    one_round<T + 4>(b, c, d, e, a, w);
}

template <int T>
inline void twenty_rounds(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, std::uint32_t& e,
                          std::uint32_t w[16]) {
    five_rounds<T>(a, b, c, d, e, w);
    five_rounds<T + 5>(a, b, c, d, e, w);
    five_rounds<T + 10>(a, b, c, d, e, w);
    five_rounds<T + 15>(a, b, c, d, e, w);
}

void compress_block(std::uint32_t state[5], const std::uint8_t block[64]) {
    std::uint32_t w[16];
    for (int t = 0; t < 16; ++t) w[t] = load_be32(block + 4 * t);

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    twenty_rounds<0>(a, b, c, d, e, w);
    twenty_rounds<20>(a, b, c, d, e, w);
    twenty_rounds<40>(a, b, c, d, e, w);
    twenty_rounds<60>(a, b, c, d, e, w);

    add_to_state(state, {a, b, c, d, e});
}

// The SHA extensions where the processor has them; it is asked once.
Sha1Compressor compressor() {
    static const Sha1Compressor extensions = sha1_extensions_compressor();
    return extensions != nullptr ? extensions : sha1_portable;
}

}  // namespace

void sha1_portable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 64) compress_block(state, blocks);
}

void sha1_init(Sha1Context& context) {
    static constexpr std::uint32_t INITIAL[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    std::copy(std::begin(INITIAL), std::end(INITIAL), context.state);
    context.count = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void sha1_update(Sha1Context& context, const std::uint8_t* bytes, std::size_t length) {
    feed_blocks(context, bytes, length, compressor());
}

std::array<std::uint8_t, 20> sha1_final(Sha1Context& context) { return finish_blocks<20>(context, compressor()); }

std::string format_sha1(const std::array<std::uint8_t, 20>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
