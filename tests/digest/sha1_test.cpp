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

using test_support::compressions_agree;
using test_support::digest_of_state;
using test_support::padded_message;
using test_support::random_bytes;
using test_support::TestRandom;

using Digest = std::array<std::uint8_t, 20>;

// Whole-message SHA-1 on one compressor: pads the complete message up front instead of
// streaming, so it shares none of the buffering logic.
Digest reference_sha1(Sha1Compressor compress, const std::uint8_t* bytes, std::size_t length) {
    const std::vector<std::uint8_t> message = padded_message(bytes, length);
    Sha1Context context;
    sha1_init(context);
    compress(context.state, message.data(), message.size() / 64);
    return digest_of_state(context.state);
}

TEST(Sha1Paths, ExtensionsMatchPortable) {
    const Sha1Compressor extensions = sha1_extensions_compressor();
    if (extensions == nullptr) GTEST_SKIP() << "this processor has no SHA extensions";
    EXPECT_TRUE((compressions_agree<64, std::uint32_t, 5>(sha1_portable, extensions, 0x5EED1001ull)));
    const std::vector<std::uint8_t> pool = random_bytes(64 * 64 + 16, 0x5EED1001ull);
    TestRandom random(0x5EED1002ull);
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
