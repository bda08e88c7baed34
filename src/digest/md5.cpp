#include "digest/md5.h"

#include <cstring>

#include "digest/hex_text.h"

namespace mendlet {

namespace {

const std::uint8_t PADDING[64] = {0x80};

inline std::uint32_t rotate_left(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline std::uint32_t load_le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void store_le32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The four round steps, arranged so that the newest value b comes in as late as
// possible: x + t and whatever does not involve b are added first.
inline void step_f(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s,
                   std::uint32_t t) {
    a += x + t;
    a += (d ^ (b & (c ^ d)));
    a = rotate_left(a, s) + b;
}

inline void step_g(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s,
                   std::uint32_t t) {
    // G as the sum of two disjoint masks: the half without b is ready before b is.
    a += x + t + (c & ~d);
    a += b & d;
    a = rotate_left(a, s) + b;
}

inline void step_h(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s,
                   std::uint32_t t) {
    a += x + t;
    a += b ^ (c ^ d);
    a = rotate_left(a, s) + b;
}

inline void step_i(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s,
                   std::uint32_t t) {
    a += x + t;
    a += (c ^ (b | ~d));
    a = rotate_left(a, s) + b;
}

}  // namespace

void md5_init(Md5Context& context) {
    context.count[0] = 0;
    context.count[1] = 0;
    context.state[0] = 0x67452301u;
    context.state[1] = 0xEFCDAB89u;
    context.state[2] = 0x98BADCFEu;
    context.state[3] = 0x10325476u;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void md5_transform(std::uint32_t state[4], const std::uint8_t block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load_le32(block + 4 * i);

    std::uint32_t a = state[0];
    std::uint32_t b = state[1];
    std::uint32_t c = state[2];
    std::uint32_t d = state[3];

    // Round 1
    step_f(a, b, c, d, x[0], 7, 0xD76AA478u);
    step_f(d, a, b, c, x[1], 12, 0xE8C7B756u);
    step_f(c, d, a, b, x[2], 17, 0x242070DBu);
    step_f(b, c, d, a, x[3], 22, 0xC1BDCEEEu);
    step_f(a, b, c, d, x[4], 7, 0xF57C0FAFu);
    step_f(d, a, b, c, x[5], 12, 0x4787C62Au);
    step_f(c, d, a, b, x[6], 17, 0xA8304613u);
    step_f(b, c, d, a, x[7], 22, 0xFD469501u);
    step_f(a, b, c, d, x[8], 7, 0x698098D8u);
    step_f(d, a, b, c, x[9], 12, 0x8B44F7AFu);
    step_f(c, d, a, b, x[10], 17, 0xFFFF5BB1u);
    step_f(b, c, d, a, x[11], 22, 0x895CD7BEu);
    step_f(a, b, c, d, x[12], 7, 0x6B901122u);
    step_f(d, a, b, c, x[13], 12, 0xFD987193u);
    step_f(c, d, a, b, x[14], 17, 0xA679438Eu);
    step_f(b, c, d, a, x[15], 22, 0x49B40821u);

    // Round 2
    step_g(a, b, c, d, x[1], 5, 0xF61E2562u);
    step_g(d, a, b, c, x[6], 9, 0xC040B340u);
    step_g(c, d, a, b, x[11], 14, 0x265E5A51u);
    step_g(b, c, d, a, x[0], 20, 0xE9B6C7AAu);
    step_g(a, b, c, d, x[5], 5, 0xD62F105Du);
    step_g(d, a, b, c, x[10], 9, 0x02441453u);
    step_g(c, d, a, b, x[15], 14, 0xD8A1E681u);
    step_g(b, c, d, a, x[4], 20, 0xE7D3FBC8u);
    step_g(a, b, c, d, x[9], 5, 0x21E1CDE6u);
    step_g(d, a, b, c, x[14], 9, 0xC33707D6u);
    step_g(c, d, a, b, x[3], 14, 0xF4D50D87u);
    step_g(b, c, d, a, x[8], 20, 0x455A14EDu);
    step_g(a, b, c, d, x[13], 5, 0xA9E3E905u);
    step_g(d, a, b, c, x[2], 9, 0xFCEFA3F8u);
    step_g(c, d, a, b, x[7], 14, 0x676F02D9u);
    step_g(b, c, d, a, x[12], 20, 0x8D2A4C8Au);

    // Round 3
    step_h(a, b, c, d, x[5], 4, 0xFFFA3942u);
    step_h(d, a, b, c, x[8], 11, 0x8771F681u);
    step_h(c, d, a, b, x[11], 16, 0x6D9D6122u);
    step_h(b, c, d, a, x[14], 23, 0xFDE5380Cu);
    step_h(a, b, c, d, x[1], 4, 0xA4BEEA44u);
    step_h(d, a, b, c, x[4], 11, 0x4BDECFA9u);
    step_h(c, d, a, b, x[7], 16, 0xF6BB4B60u);
    step_h(b, c, d, a, x[10], 23, 0xBEBFBC70u);
    step_h(a, b, c, d, x[13], 4, 0x289B7EC6u);
    step_h(d, a, b, c, x[0], 11, 0xEAA127FAu);
    step_h(c, d, a, b, x[3], 16, 0xD4EF3085u);
    step_h(b, c, d, a, x[6], 23, 0x04881D05u);
    step_h(a, b, c, d, x[9], 4, 0xD9D4D039u);
    step_h(d, a, b, c, x[12], 11, 0xE6DB99E5u);
    step_h(c, d, a, b, x[15], 16, 0x1FA27CF8u);
    step_h(b, c, d, a, x[2], 23, 0xC4AC5665u);

    // Round 4
    step_i(a, b, c, d, x[0], 6, 0xF4292244u);
    step_i(d, a, b, c, x[7], 10, 0x432AFF97u);
    step_i(c, d, a, b, x[14], 15, 0xAB9423A7u);
    step_i(b, c, d, a, x[5], 21, 0xFC93A039u);
    step_i(a, b, c, d, x[12], 6, 0x655B59C3u);
    step_i(d, a, b, c, x[3], 10, 0x8F0CCC92u);
    step_i(c, d, a, b, x[10], 15, 0xFFEFF47Du);
    step_i(b, c, d, a, x[1], 21, 0x85845DD1u);
    step_i(a, b, c, d, x[8], 6, 0x6FA87E4Fu);
    step_i(d, a, b, c, x[15], 10, 0xFE2CE6E0u);
    step_i(c, d, a, b, x[6], 15, 0xA3014314u);
    step_i(b, c, d, a, x[13], 21, 0x4E0811A1u);
    step_i(a, b, c, d, x[4], 6, 0xF7537E82u);
    step_i(d, a, b, c, x[11], 10, 0xBD3AF235u);
    step_i(c, d, a, b, x[2], 15, 0x2AD7D2BBu);
    step_i(b, c, d, a, x[9], 21, 0xEB86D391u);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5_update(Md5Context& context, const std::uint8_t* bytes, std::uint32_t length) {
    // Nothing to do, and memcpy must not see a null source.
    if (length == 0) return;

    std::uint32_t index = (context.count[0] >> 3) & 0x3Fu;

    const std::uint32_t added_bits = length << 3;
    context.count[0] += added_bits;
    if (context.count[0] < added_bits) ++context.count[1];
    context.count[1] += length >> 29;

    const std::uint32_t part = 64 - index;
    std::uint32_t i = 0;

    if (length >= part) {
        std::memcpy(context.buffer + index, bytes, part);
        md5_transform(context.state, context.buffer);

        // Whole blocks go straight from the caller's data, no copy.
        for (i = part; i + 63 < length; i += 64) md5_transform(context.state, bytes + i);

        index = 0;
    }

    std::memcpy(context.buffer + index, bytes + i, length - i);
}

std::array<std::uint8_t, 16> md5_final(Md5Context& context) {
    std::uint8_t bits[8];
    store_le32(bits, context.count[0]);
    store_le32(bits + 4, context.count[1]);

    const std::uint32_t index = (context.count[0] >> 3) & 0x3Fu;
    const std::uint32_t pad_length = (index < 56) ? (56 - index) : (120 - index);
    md5_update(context, PADDING, pad_length);
    md5_update(context, bits, 8);

    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 4; ++i) store_le32(digest.data() + 4 * i, context.state[i]);

    // Spent: clear it so a stale context cannot be mistaken for a fresh one.
    std::memset(&context, 0, sizeof context);
    return digest;
}

std::string format_md5(const std::array<std::uint8_t, 16>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
