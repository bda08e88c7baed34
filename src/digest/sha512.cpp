#include "digest/sha512.h"

#include <algorithm>
#include <cstring>

#include "digest/sha_blocks.h"
#include "digest/hex_text.h"

namespace mendlet {

namespace {

// The round constants of FIPS 180-4.
constexpr std::uint64_t ROUND_CONSTANTS[80] = {
    0x428A2F98D728AE22ull, 0x7137449123EF65CDull, 0xB5C0FBCFEC4D3B2Full, 0xE9B5DBA58189DBBCull, 0x3956C25BF348B538ull,
    0x59F111F1B605D019ull, 0x923F82A4AF194F9Bull, 0xAB1C5ED5DA6D8118ull, 0xD807AA98A3030242ull, 0x12835B0145706FBEull,
    0x243185BE4EE4B28Cull, 0x550C7DC3D5FFB4E2ull, 0x72BE5D74F27B896Full, 0x80DEB1FE3B1696B1ull, 0x9BDC06A725C71235ull,
    0xC19BF174CF692694ull, 0xE49B69C19EF14AD2ull, 0xEFBE4786384F25E3ull, 0x0FC19DC68B8CD5B5ull, 0x240CA1CC77AC9C65ull,
    0x2DE92C6F592B0275ull, 0x4A7484AA6EA6E483ull, 0x5CB0A9DCBD41FBD4ull, 0x76F988DA831153B5ull, 0x983E5152EE66DFABull,
    0xA831C66D2DB43210ull, 0xB00327C898FB213Full, 0xBF597FC7BEEF0EE4ull, 0xC6E00BF33DA88FC2ull, 0xD5A79147930AA725ull,
    0x06CA6351E003826Full, 0x142929670A0E6E70ull, 0x27B70A8546D22FFCull, 0x2E1B21385C26C926ull, 0x4D2C6DFC5AC42AEDull,
    0x53380D139D95B3DFull, 0x650A73548BAF63DEull, 0x766A0ABB3C77B2A8ull, 0x81C2C92E47EDAEE6ull, 0x92722C851482353Bull,
    0xA2BFE8A14CF10364ull, 0xA81A664BBC423001ull, 0xC24B8B70D0F89791ull, 0xC76C51A30654BE30ull, 0xD192E819D6EF5218ull,
    0xD69906245565A910ull, 0xF40E35855771202Aull, 0x106AA07032BBD1B8ull, 0x19A4C116B8D2D0C8ull, 0x1E376C085141AB53ull,
    0x2748774CDF8EEB99ull, 0x34B0BCB5E19B48A8ull, 0x391C0CB3C5C95A63ull, 0x4ED8AA4AE3418ACBull, 0x5B9CCA4F7763E373ull,
    0x682E6FF3D6B2B8A3ull, 0x748F82EE5DEFB2FCull, 0x78A5636F43172F60ull, 0x84C87814A1F0AB72ull, 0x8CC702081A6439ECull,
    0x90BEFFFA23631E28ull, 0xA4506CEBDE82BDE9ull, 0xBEF9A3F7B2C67915ull, 0xC67178F2E372532Bull, 0xCA273ECEEA26619Cull,
    0xD186B8C721C0C207ull, 0xEADA7DD6CDE0EB1Eull, 0xF57D4F7FEE6ED178ull, 0x06F067AA72176FBAull, 0x0A637DC5A2C898A6ull,
    0x113F9804BEF90DAEull, 0x1B710B35131C471Bull, 0x28DB77F523047D84ull, 0x32CAAB7B40C72493ull, 0x3C9EBE0A15C9BEBCull,
    0x431D67C49C100D4Cull, 0x4CC5D4BECB3E42B6ull, 0x597F299CFC657E2Aull, 0x5FCB6FAB3AD6FAECull, 0x6C44198C4A475817ull,
};

// The compilers turn this into one rotate instruction.
inline std::uint64_t rotate_right(std::uint64_t x, int s) { return (x >> s) | (x << (64 - s)); }

// Written out byte by byte, which the compilers recognise as one load and a byte swap.
inline std::uint64_t load_be64(const std::uint8_t* p) {
    return (static_cast<std::uint64_t>(p[0]) << 56) | (static_cast<std::uint64_t>(p[1]) << 48) |
           (static_cast<std::uint64_t>(p[2]) << 40) | (static_cast<std::uint64_t>(p[3]) << 32) |
           (static_cast<std::uint64_t>(p[4]) << 24) | (static_cast<std::uint64_t>(p[5]) << 16) |
           (static_cast<std::uint64_t>(p[6]) << 8) | static_cast<std::uint64_t>(p[7]);
}

// Three rotations by r, s and t in a row: one register copy instead of three, fewer
// instructions per round, which is what limits the rounds' speed.
inline std::uint64_t sum_of_rotations(std::uint64_t x, int r, int s, int t) {
    return rotate_right(rotate_right(rotate_right(x, t - s) ^ x, s - r) ^ x, r);
}

// One round. Only D and H change: the next round takes H as A and D as E, so the callers
// rename the eight variables instead of moving them. The majority is B where A and B
// agree, else C; A xor B is the next round's B xor C, kept for it.
inline void one_round(std::uint64_t a, std::uint64_t b, std::uint64_t& d, std::uint64_t e, std::uint64_t f,
                      std::uint64_t g, std::uint64_t& h, std::uint64_t& b_xor_c, std::uint64_t constant_and_word) {
    const std::uint64_t choice = g ^ (e & (f ^ g));
    const std::uint64_t t1 = h + sum_of_rotations(e, 14, 18, 41) + choice + constant_and_word;
    const std::uint64_t a_xor_b = a ^ b;
    const std::uint64_t majority = b ^ (a_xor_b & b_xor_c);
    b_xor_c = a_xor_b;
    d += t1;
    h = t1 + sum_of_rotations(a, 28, 34, 39) + majority;
}

// Word i of the sixteen in hand; past the first sixteen rounds, the schedule's next word
// replaces the one sixteen before it, computed just before its round needs it so that it
// fills the gaps in the rounds' chain.
template <bool Schedule>
inline std::uint64_t word(std::uint64_t w[16], int i) {
    if constexpr (Schedule) {
        const std::uint64_t from_t15 = w[(i + 1) & 15];
        const std::uint64_t from_t2 = w[(i + 14) & 15];
        const std::uint64_t s0 = rotate_right(rotate_right(from_t15, 7) ^ from_t15, 1) ^ (from_t15 >> 7);
        const std::uint64_t s1 = rotate_right(rotate_right(from_t2, 42) ^ from_t2, 19) ^ (from_t2 >> 6);
        w[i] += s0 + w[(i + 9) & 15] + s1;
    }
    return w[i];
}

// Eight rounds, after which each variable is back in its place. The words' places in w are
// constants, so that the compiler addresses them directly.
template <bool Schedule, int I>
inline void eight_rounds(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& d, std::uint64_t& e,
                         std::uint64_t& f, std::uint64_t& g, std::uint64_t& h, std::uint64_t& b_xor_c,
                         std::uint64_t w[16], const std::uint64_t constants[16]) {
    one_round(a, b, d, e, f, g, h, b_xor_c, constants[I] + word<Schedule>(w, I));
    one_round(h, a, c, d, e, f, g, b_xor_c, constants[I + 1] + word<Schedule>(w, I + 1));
    one_round(g, h, b, c, d, e, f, b_xor_c, constants[I + 2] + word<Schedule>(w, I + 2));
    one_round(f, g, a, b, c, d, e, b_xor_c, constants[I + 3] + word<Schedule>(w, I + 3));
    one_round(e, f, h, a, b, c, d, b_xor_c, constants[I + 4] + word<Schedule>(w, I + 4));
    one_round(d, e, g, h, a, b, c, b_xor_c, constants[I + 5] + word<Schedule>(w, I + 5));
    one_round(c, d, f, g, h, a, b, b_xor_c, constants[I + 6] + word<Schedule>(w, I + 6));
    one_round(b, c, e, f, g, h, a, b_xor_c, constants[I + 7] + word<Schedule>(w, I + 7));
}

template <bool Schedule>
inline void sixteen_rounds(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& d, std::uint64_t& e,
                           std::uint64_t& f, std::uint64_t& g, std::uint64_t& h, std::uint64_t& b_xor_c,
                           std::uint64_t w[16], const std::uint64_t constants[16]) {
    eight_rounds<Schedule, 0>(a, b, c, d, e, f, g, h, b_xor_c, w, constants);
    eight_rounds<Schedule, 8>(a, b, c, d, e, f, g, h, b_xor_c, w, constants);
}

void compress_blocks(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 128) {
        std::uint64_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = load_be64(blocks + 8 * i);

        std::uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        std::uint64_t b_xor_c = b ^ c;
        sixteen_rounds<false>(a, b, c, d, e, f, g, h, b_xor_c, w, ROUND_CONSTANTS);
        for (int t = 16; t < 80; t += 16) sixteen_rounds<true>(a, b, c, d, e, f, g, h, b_xor_c, w, ROUND_CONSTANTS + t);

        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

}  // namespace

void sha512_init(Sha512Context& context) {
    static constexpr std::uint64_t INITIAL[8] = {0x6A09E667F3BCC908ull, 0xBB67AE8584CAA73Bull, 0x3C6EF372FE94F82Bull,
                                                 0xA54FF53A5F1D36F1ull, 0x510E527FADE682D1ull, 0x9B05688C2B3E6C1Full,
                                                 0x1F83D9ABFB41BD6Bull, 0x5BE0CD19137E2179ull};
    std::copy(std::begin(INITIAL), std::end(INITIAL), context.state);
    context.count = 0;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void sha512_update(Sha512Context& context, const std::uint8_t* bytes, std::size_t length) {
    feed_blocks(context, bytes, length, compress_blocks);
}

std::array<std::uint8_t, 64> sha512_final(Sha512Context& context) {
    return finish_blocks<64>(context, compress_blocks);
}

std::string format_sha512(const std::array<std::uint8_t, 64>& digest) { return hex_text(digest.data(), digest.size()); }

}  // namespace mendlet
