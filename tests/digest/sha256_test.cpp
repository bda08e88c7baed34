#include "digest/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "digest/sha256_paths.h"
#include "support/digest_pieces.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::chunks_of;
using test_support::compressions_agree;
using test_support::digest_in_pieces;
using test_support::digest_of_state;
using test_support::LARGE_SEED;
using test_support::LARGE_SIZE;
using test_support::mixed_chunk_sizes;
using test_support::padded_message;
using test_support::random_bytes;
using test_support::TestRandom;

using Digest = std::array<std::uint8_t, 32>;

Digest sha256_in_pieces(const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    return digest_in_pieces(sha256_init, sha256_update, sha256_final, bytes, lengths);
}

Digest sha256_of(const std::uint8_t* bytes, std::size_t length) { return sha256_in_pieces(bytes, {length}); }

std::string sha256_text(const std::string& text) {
    return format_sha256(sha256_of(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// Whole-message SHA-256 on one compressor: pads the complete message up front instead of
// streaming, so it shares none of the buffering logic.
Digest reference_sha256(Sha256Compressor compress, const std::uint8_t* bytes, std::size_t length) {
    const std::vector<std::uint8_t> message = padded_message(bytes, length);
    Sha256Context context;
    sha256_init(context);
    compress(context.state, message.data(), message.size() / 64);
    return digest_of_state(context.state);
}

// Python hashlib.sha256 over the same generator output.
constexpr const char* LARGE_SHA256 = "a1253f37d1876ddd9e6e162222196da8f97b14b93f89c07258e12e7a7cae2d37";

TEST(Sha256Fips180, StandardVectors) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrst"
         "nopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 64));
        EXPECT_EQ(sha256_text(c.input), c.digest);
    }
}

TEST(Sha256Padding, RunsOfLetterA) {
    // hashlib.sha256 of n times 'a': 55 and 56 sit either side of the padding branch, 63
    // leaves the most bytes waiting, 64 leaves none.
    struct Case {
        std::size_t length;
        const char* digest;
    };
    const Case cases[] = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
        {127, "c57e9278af78fa3cab38667bef4ce29d783787a2f731d4e12200270f0c32320a"},
        {128, "6836cf13bac400e9105071cd6af47084dfacad4e5e302c94bfed24e013afb73e"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.length, 'a');
        // Every split into two calls must agree, including empty halves.
        for (std::size_t split = 0; split <= c.length; ++split) {
            ASSERT_EQ(format_sha256(sha256_in_pieces(data.data(), {split, c.length - split})), c.digest)
                << "length " << c.length << " split " << split;
        }
    }
}

TEST(Sha256Padding, EveryRemainderMatchesReference) {
    const std::vector<std::uint8_t> data = random_bytes(300, 0x5EED2001ull);
    for (std::size_t length = 0; length <= data.size(); ++length) {
        ASSERT_EQ(format_sha256(sha256_of(data.data(), length)),
                  format_sha256(reference_sha256(sha256_portable, data.data(), length)))
            << "length " << length;
    }
}

TEST(Sha256Padding, BitLengthBeyondThirtyTwoBits) {
    // As if 0x123456789 bytes had been fed: the last block holds the 9 waiting bytes, the
    // padding and the bit length 0x91A2B3C48 in its last eight bytes, most significant first.
    Sha256Context context;
    sha256_init(context);
    const std::vector<std::uint8_t> waiting = random_bytes(9, 0x5EED2002ull);
    std::copy(waiting.begin(), waiting.end(), context.buffer);
    context.count = 0x123456789ull;

    std::uint8_t block[64] = {};
    std::copy(waiting.begin(), waiting.end(), block);
    block[9] = 0x80;
    const std::uint8_t bit_length[8] = {0x00, 0x00, 0x00, 0x09, 0x1A, 0x2B, 0x3C, 0x48};
    std::copy(std::begin(bit_length), std::end(bit_length), block + 56);
    std::uint32_t state[8];
    std::copy(std::begin(context.state), std::end(context.state), state);
    sha256_portable(state, block, 1);

    EXPECT_EQ(format_sha256(sha256_final(context)), format_sha256(digest_of_state(state)));
}

TEST(Sha256Chunking, AnyPiecesGiveTheSameDigest) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{55}, std::size_t{56}, std::size_t{63}, std::size_t{64},
                              std::size_t{65}, std::size_t{65536}, LARGE_SIZE}) {
        EXPECT_EQ(format_sha256(sha256_in_pieces(data.data(), chunks_of(chunk, data.size()))), LARGE_SHA256)
            << "chunks of " << chunk;
    }
    // Mostly small, now and then large, some empty.
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        EXPECT_EQ(format_sha256(sha256_in_pieces(data.data(), mixed_chunk_sizes(data.size(), seed))), LARGE_SHA256)
            << "mixed sizes, seed " << seed;
    }
}

TEST(Sha256Paths, ExtensionsMatchPortable) {
    const Sha256Compressor extensions = sha256_extensions_compressor();
    if (extensions == nullptr) GTEST_SKIP() << "this processor has no SHA extensions";
    EXPECT_TRUE((compressions_agree<64, std::uint32_t, 8>(sha256_portable, extensions, 0x5EED2003ull)));
    const std::vector<std::uint8_t> pool = random_bytes(64 * 64 + 16, 0x5EED2003ull);
    TestRandom random(0x5EED2004ull);
    // Whole messages of random data of many lengths.
    for (int round = 0; round < 300; ++round) {
        const std::uint8_t* p = pool.data() + random.below(16);
        const std::size_t length = random.below(64 * 64 + 1);
        ASSERT_EQ(format_sha256(reference_sha256(extensions, p, length)),
                  format_sha256(reference_sha256(sha256_portable, p, length)))
            << "length " << length;
    }
}

}  // namespace
}  // namespace mendlet
