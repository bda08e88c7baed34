#include "digest/sha512.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/digest_pieces.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::chunks_of;
using test_support::digest_in_pieces;
using test_support::LARGE_SEED;
using test_support::LARGE_SIZE;
using test_support::mixed_chunk_sizes;
using test_support::random_bytes;

std::string sha512_in_pieces(const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    return format_sha512(digest_in_pieces(sha512_init, sha512_update, sha512_final, bytes, lengths));
}

// Python hashlib.sha512 over the same generator output.
constexpr const char* LARGE_SHA512 =
    "0221da804bee2f54bd494fadadb5df39fe7d127d8dad97fcd4e6cf2f35804d81"
    "c978d5fb6ae3fab58f01e136fe524fbef456a1bed3431ede9c5d5824b5ec201d";

TEST(Sha512Fips180, StandardVectors) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"",
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
         "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
        {"abc",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
         "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8279be331a703c335"
         "96fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec631238ca3445"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrst"
         "nopqrstu",
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
         "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
        {std::string(1000000, 'a'),
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
         "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 64));
        EXPECT_EQ(sha512_in_pieces(reinterpret_cast<const std::uint8_t*>(c.input.data()), {c.input.size()}), c.digest);
    }
}

TEST(Sha512Padding, RunsOfLetterA) {
    // hashlib.sha512 of n times 'a': the bit length takes sixteen bytes, so 111 and 112 sit
    // either side of the padding branch, 127 leaves the most bytes waiting, 128 none.
    struct Case {
        std::size_t length;
        const char* digest;
    };
    const Case cases[] = {
        {111,
         "fa9121c7b32b9e01733d034cfc78cbf67f926c7ed83e82200ef8681819692176"
         "0b4beff48404df811b953828274461673c68d04e297b0eb7b2b4d60fc6b566a2"},
        {112,
         "c01d080efd492776a1c43bd23dd99d0a2e626d481e16782e75d54c2503b5dc32"
         "bd05f0f1ba33e568b88fd2d970929b719ecbb152f58f130a407c8830604b70ca"},
        {127,
         "828613968b501dc00a97e08c73b118aa8876c26b8aac93df128502ab360f91ba"
         "b50a51e088769a5c1eff4782ace147dce3642554199876374291f5d921629502"},
        {128,
         "b73d1929aa615934e61a871596b3f3b33359f42b8175602e89f7e06e5f658a24"
         "3667807ed300314b95cacdd579f3e33abdfbe351909519a846d465c59582f321"},
        {239,
         "52c853cb8d907f3d4d6b889beb027985d7c273486d75f8baf26f80d24e90c74c"
         "6c3de3e22131582380a7d14d43f2941a31385439cd6ddc469f628015e50bf286"},
        {240,
         "4c296d90c61052a62ffb1dd196f1b7b09373b1f93e71836baebf89690546b759"
         "5684dbe9467a8e484fa0d1094272b4344a7c24f5fee8daedeb0bf549c985ab5f"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.length, 'a');
        // Every split into two calls must agree, including empty halves.
        for (std::size_t split = 0; split <= c.length; ++split) {
            ASSERT_EQ(sha512_in_pieces(data.data(), {split, c.length - split}), c.digest)
                << "length " << c.length << " split " << split;
        }
    }
}

TEST(Sha512Padding, BitLengthBeyondSixtyFourBits) {
    // Nine bytes waiting after 2^61 bytes make a bit length of 2^64 + 72: its upper half
    // must reach the digest, so it differs from that of the nine bytes alone.
    const std::vector<std::uint8_t> waiting = random_bytes(9, 0x5EED5001ull);
    Sha512Context context;
    sha512_init(context);
    sha512_update(context, waiting.data(), waiting.size());
    Sha512Context beyond = context;
    beyond.count += std::uint64_t{1} << 61;
    EXPECT_NE(format_sha512(sha512_final(beyond)), format_sha512(sha512_final(context)));
}

TEST(Sha512Chunking, AnyPiecesGiveTheSameDigest) {
    const std::vector<std::uint8_t> data = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{127},
                              std::size_t{128}, std::size_t{129}, std::size_t{65536}, LARGE_SIZE}) {
        EXPECT_EQ(sha512_in_pieces(data.data(), chunks_of(chunk, data.size())), LARGE_SHA512) << "chunks of " << chunk;
    }
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        EXPECT_EQ(sha512_in_pieces(data.data(), mixed_chunk_sizes(data.size(), seed)), LARGE_SHA512)
            << "mixed sizes, seed " << seed;
    }
}

}  // namespace
}  // namespace mendlet
