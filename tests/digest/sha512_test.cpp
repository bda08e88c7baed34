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

using test_support::digest_in_pieces;
using test_support::random_bytes;

std::string sha512_in_pieces(const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    return format_sha512(digest_in_pieces(sha512_init, sha512_update, sha512_final, bytes, lengths));
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

}  // namespace
}  // namespace mendlet
