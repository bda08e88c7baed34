#include "digest/blake2b.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "digest/blake2b_paths.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::random_bytes;
using test_support::TestRandom;

// Random blocks at any alignment from random states, with random byte counts, last or not.
TEST(Blake2bPaths, Avx2MatchesPortable) {
    const Blake2bCompressor wide = blake2b_avx2_compressor();
    if (wide == nullptr) GTEST_SKIP() << "this processor has no AVX2";
    const std::vector<std::uint8_t> pool = random_bytes(64 * 128 + 16, 0x5EED5005ull);
    TestRandom random(0x5EED5006ull);
    for (int k = 0; k < 64; ++k) {
        const std::uint8_t* block = pool.data() + random.below(pool.size() - 127);
        std::array<std::uint64_t, 8> portable{};
        for (std::uint64_t& word : portable) word = random.next();
        std::array<std::uint64_t, 8> avx2 = portable;
        const std::uint64_t low = random.next(), high = random.next() >> 60;
        blake2b_portable(portable.data(), block, low, high, k % 2 == 1);
        wide(avx2.data(), block, low, high, k % 2 == 1);
        EXPECT_EQ(avx2, portable) << k;
    }
}

}  // namespace
}  // namespace mendlet
