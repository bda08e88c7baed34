#include "repair/gf16_region.h"

#include <array>

namespace mendlet {

// Tables 32k to 32k + 15 hold the low bytes of the products of the factor with n << 4k for
// n from 0 to 15, the next 16 their high bytes: one table per nibble of a word, as a byte
// shuffle looks up 16 bytes.
void gf16_nibble_tables_prepare(Gf16 factor, Gf16Factor& prepared) {
    for (unsigned nibble = 0; nibble < 4; ++nibble) {
        for (unsigned n = 0; n < 16; ++n) {
            const Gf16 product = gf16_multiply(factor, static_cast<Gf16>(n << (4 * nibble)));
            prepared.tables[32 * nibble + n] = static_cast<std::uint8_t>(product);
            prepared.tables[32 * nibble + 16 + n] = static_cast<std::uint8_t>(product >> 8);
        }
    }
}

namespace {

// The products of one factor, whole words, 16 for each nibble.
std::array<std::uint16_t, 64> nibble_products(const Gf16Factor& factor) {
    std::array<std::uint16_t, 64> products{};
    for (unsigned i = 0; i < 64; ++i) {
        const unsigned table = 32 * (i / 16) + i % 16;
        products[i] = static_cast<std::uint16_t>(factor.tables[table] | factor.tables[table + 16] << 8);
    }
    return products;
}

void portable_dot_product_add(std::uint8_t* dst, const std::uint8_t* const* sources, const Gf16Factor* factors,
                              std::size_t count, std::size_t bytes) {
    gf16_nibble_tables_add(dst, sources, 0, factors, count, bytes);
}

Gf16Path best_path() {
    for (const Gf16Path path : {gf16_gfni_path(), gf16_avx2_path(), gf16_ssse3_path()})
        if (path.dot_product_add != nullptr) return path;
    return gf16_portable_path();
}

}  // namespace

void gf16_nibble_tables_add(std::uint8_t* dst, const std::uint8_t* const* sources, std::size_t offset,
                            const Gf16Factor* factors, std::size_t count, std::size_t bytes) {
    for (std::size_t s = 0; s < count; ++s) {
        const std::array<std::uint16_t, 64> products = nibble_products(factors[s]);
        const std::uint8_t* source = sources[s] + offset;
        std::uint8_t* sum = dst + offset;
        for (std::size_t at = 0; at < bytes; at += 2) {
            const unsigned word = source[at] | source[at + 1] << 8;
            const unsigned product = products[word & 15] ^ products[16 + (word >> 4 & 15)] ^
                                     products[32 + (word >> 8 & 15)] ^ products[48 + (word >> 12)];
            sum[at] ^= static_cast<std::uint8_t>(product);
            sum[at + 1] ^= static_cast<std::uint8_t>(product >> 8);
        }
    }
}

Gf16Path gf16_portable_path() { return {"portable", gf16_nibble_tables_prepare, portable_dot_product_add}; }

const Gf16Path& gf16_best_path() {
    static const Gf16Path best = best_path();
    return best;
}

}  // namespace mendlet
