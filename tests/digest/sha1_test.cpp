#include "digest/sha1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "digest/sha1_paths.h"
#include "support/digest_pieces.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::digest_in_pieces;
using test_support::digest_of_state;
using test_support::padded_message;
using test_support::random_bytes;
using test_support::TestRandom;

using Digest = std::array<std::uint8_t, 20>;

std::string sha1_in_pieces(const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    return format_sha1(digest_in_pieces(sha1_init, sha1_update, sha1_final, bytes, lengths));
}

// Whole-message SHA-1 on one compressor: pads the complete message up front instead of
// streaming, so it shares none of the buffering logic.
Digest reference_sha1(Sha1Compressor compress, const std::uint8_t* bytes, std::size_t length) {
    const std::vector<std::uint8_t> message = padded_message(bytes, length);
    Sha1Context context;
    sha1_init(context);
    compress(context.state, message.data(), message.size() / 64);
    return digest_of_state(context.state);
}

TEST(Sha1Padding, RunsOfLetterA) {
    // hashlib.sha1 of n times 'a': 55 and 56 sit either side of the padding branch, 63
    // leaves the most bytes waiting, 64 leaves none.
    struct Case {
        std::size_t length;
        const char* digest;
    };
    const Case cases[] = {
        {55, "c1c8bbdc22796e28c0e15163d20899b65621d65a"},  {56, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {63, "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},  {64, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {119, "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"}, {120, "f34c1488385346a55709ba056ddd08280dd4c6d6"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.length, 'a');
        // Every split into two calls must agree, including empty halves.
        for (std::size_t split = 0; split <= c.length; ++split) {
            ASSERT_EQ(sha1_in_pieces(data.data(), {split, c.length - split}), c.digest)
                << "length " << c.length << " split " << split;
        }
    }
}

TEST(Sha1Paths, ExtensionsMatchPortable) {
    const Sha1Compressor extensions = sha1_extensions_compressor();
    if (extensions == nullptr) GTEST_SKIP() << "this processor has no SHA extensions";
    const std::vector<std::uint8_t> pool = random_bytes(64 * 64 + 16, 0x5EED1001ull);
    TestRandom random(0x5EED1002ull);

    // Runs of whole blocks from any state and any alignment.
    for (std::size_t count = 0; count <= 64; ++count) {
        const std::uint8_t* p = pool.data() + random.below(16);
        std::uint32_t portable[5];
        for (std::uint32_t& word : portable) word = static_cast<std::uint32_t>(random.next());
        std::uint32_t hardware[5];
        std::copy(std::begin(portable), std::end(portable), hardware);
        sha1_portable(portable, p, count);
        extensions(hardware, p, count);
        ASSERT_TRUE(std::equal(std::begin(portable), std::end(portable), hardware)) << count << " blocks";
    }
    // Whole messages of random data of many lengths.
    for (int round = 0; round < 300; ++round) {
        const std::uint8_t* p = pool.data() + random.below(16);
        const std::size_t length = random.below(64 * 64 + 1);
        ASSERT_EQ(format_sha1(reference_sha1(extensions, p, length)),
                  format_sha1(reference_sha1(sha1_portable, p, length)))
            << "length " << length;
    }
}

}  // namespace
}  // namespace mendlet
