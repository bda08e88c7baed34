#include "repair/gf16.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <set>
#include <vector>

#include "repair/gf16_region.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::random_bytes;
using test_support::TestRandom;

// The field's definition: the product of the polynomials, reduced bit by bit by
// x^16 + x^12 + x^3 + x + 1.
Gf16 reference_multiply(Gf16 a, Gf16 b) {
    std::uint32_t product = 0;
    for (int bit = 0; bit < 16; ++bit)
        if ((b >> bit & 1) != 0) product ^= std::uint32_t{a} << bit;
    for (int bit = 30; bit >= 16; --bit)
        if ((product >> bit & 1) != 0) product ^= 0x1100Bu << (bit - 16);
    return static_cast<Gf16>(product);
}

Gf16 reference_power(Gf16 base, std::uint32_t exponent) {
    Gf16 power = 1;
    for (std::uint32_t i = 0; i < exponent; ++i) power = reference_multiply(power, base);
    return power;
}

// Words at the edges of the field, then random ones.
std::vector<Gf16> sample_words(std::size_t random_count, std::uint64_t seed) {
    std::vector<Gf16> words{0, 1, 2, 3, 0x8000, 0x100B, 0xFFFF};
    TestRandom random(seed);
    for (std::size_t i = 0; i < random_count; ++i) words.push_back(static_cast<Gf16>(random.next()));
    return words;
}

TEST(Gf16, ProductsAreThoseOfThePolynomialsModuloTheGenerator) {
    const std::vector<Gf16> words = sample_words(400, 0x6F16A001ull);
    for (const Gf16 a : words)
        for (const Gf16 b : words) ASSERT_EQ(gf16_multiply(a, b), reference_multiply(a, b)) << a << " * " << b;
}

TEST(Gf16, DivisionUndoesMultiplication) {
    const std::vector<Gf16> words = sample_words(300, 0x6F16A002ull);
    for (const Gf16 b : words) {
        if (b == 0) continue;
        EXPECT_EQ(reference_multiply(gf16_divide(1, b), b), 1) << b;
        for (const Gf16 a : words) ASSERT_EQ(gf16_divide(reference_multiply(a, b), b), a) << a << " / " << b;
    }
}

TEST(Gf16, PowersAreRepeatedProductsAndTheGroupHasOrder65535) {
    for (const Gf16 base : sample_words(40, 0x6F16A003ull)) {
        for (std::uint32_t exponent = 0; exponent < 40; ++exponent) {
            EXPECT_EQ(gf16_power(base, exponent), reference_power(base, exponent)) << base << "^" << exponent;
            if (base != 0) {
                EXPECT_EQ(gf16_power(base, exponent + 65535ull * 1000003), gf16_power(base, exponent)) << base;
            }
        }
        EXPECT_EQ(gf16_power(base, 65535), base == 0 ? 0 : 1) << base;
        // 2^64 - 1 is a multiple of 65535.
        EXPECT_EQ(gf16_power(base, ~std::uint64_t{0}), base == 0 ? 0 : 1) << base;
    }
}

TEST(Gf16, InputSliceConstantsArePowersOfTwoWhoseExponentsAreCoprimeTo65535) {
    const struct {
        std::uint32_t index, exponent;
    } constants[] = {{0, 1},   {1, 2},   {2, 4},   {3, 7},   {4, 8},   {5, 11},  {6, 13},       {7, 14},
                     {8, 16},  {9, 19},  {10, 22}, {11, 23}, {12, 26}, {13, 28}, {14, 29},      {15, 31},
                     {16, 32}, {17, 37}, {18, 38}, {19, 41}, {20, 43}, {21, 44}, {32767, 65534}};
    for (const auto& [index, exponent] : constants)
        EXPECT_EQ(input_slice_constant(index), reference_power(2, exponent)) << index;
    const Gf16 first[] = {2, 4, 16, 128, 256, 2048, 8192, 16384, 0x100B};
    for (std::uint32_t index = 0; index < std::size(first); ++index)
        EXPECT_EQ(input_slice_constant(index), first[index]) << index;
}

TEST(Gf16, InputSliceConstantsAreDistinctAndEachGeneratesTheGroup) {
    std::set<Gf16> seen;
    for (std::uint32_t index = 0; index < GF16_INPUT_SLICE_CONSTANTS; ++index) {
        const Gf16 constant = input_slice_constant(index);
        EXPECT_TRUE(seen.insert(constant).second) << index;
        for (const std::uint32_t prime : {3u, 5u, 17u, 257u})
            ASSERT_NE(gf16_power(constant, 65535 / prime), 1) << index << " " << prime;
    }
}

// The portable way, then each other that this processor has.
std::vector<Gf16Path> paths() {
    std::vector<Gf16Path> paths{gf16_portable_path()};
    for (const Gf16Path path : {gf16_ssse3_path(), gf16_avx2_path(), gf16_gfni_path()})
        if (path.dot_product_add != nullptr) paths.push_back(path);
    return paths;
}

std::size_t first_difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t at = 0;
    while (at < a.size() && a[at] == b[at]) ++at;
    return at;
}

// Regions either side of each way's blocks and past a tile, each source and the sum at its
// own alignment, factors 0 and 1 among random ones: every way adds the products that a word
// at a time gives.
TEST(Gf16Paths, EachAddsTheProductsOfEveryWord) {
    const std::size_t lengths[] = {2, 30, 62, 64, 66, 126, 130, 254, 258, 510, 514, 4094, 4096, 65536 + 34};
    const std::size_t counts[] = {1, 3, 16, GF16_MAX_SOURCES};
    const std::vector<std::uint8_t> pool = random_bytes(65536 + 34 + 64, 0x6F16A004ull);
    TestRandom random(0x6F16A005ull);
    for (const std::size_t length : lengths) {
        for (const std::size_t count : counts) {
            std::vector<const std::uint8_t*> sources;
            std::vector<Gf16> factors;
            for (std::size_t s = 0; s < count; ++s) {
                sources.push_back(pool.data() + random.below(64));
                factors.push_back(s % 7 == 0 ? static_cast<Gf16>(s % 2) : static_cast<Gf16>(random.next()));
            }
            const std::size_t offset = 1 + random.below(63);
            const std::vector<std::uint8_t> before = random_bytes(length + offset, random.next());
            std::vector<std::uint8_t> expected = before;
            for (std::size_t s = 0; s < count; ++s) {
                for (std::size_t at = 0; at < length; at += 2) {
                    const Gf16 product =
                        gf16_multiply(factors[s], static_cast<Gf16>(sources[s][at] | sources[s][at + 1] << 8));
                    expected[offset + at] ^= static_cast<std::uint8_t>(product);
                    expected[offset + at + 1] ^= static_cast<std::uint8_t>(product >> 8);
                }
            }
            for (const Gf16Path& path : paths()) {
                std::vector<Gf16Factor> prepared(count);
                for (std::size_t s = 0; s < count; ++s) path.prepare(factors[s], prepared[s]);
                std::vector<std::uint8_t> sum = before;
                path.dot_product_add(sum.data() + offset, sources.data(), prepared.data(), count, length);
                EXPECT_TRUE(sum == expected) << path.name << ": " << count << " sources of " << length
                                             << " bytes, first wrong byte " << first_difference(sum, expected) - offset;
            }
        }
    }
}

}  // namespace
}  // namespace mendlet
