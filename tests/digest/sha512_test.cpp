#include "digest/sha512.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "digest/sha512_paths.h"
#include "support/digest_pieces.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::compressions_agree;
using test_support::random_bytes;

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

TEST(Sha512Paths, EachBuildMatchesPortable) {
    const struct {
        const char* build;
        Sha512Compressor compressor;
    } builds[] = {{"AVX2 and BMI2", sha512_wide_compressor()}, {"AVX-512", sha512_avx512_compressor()}};
    bool any = false;
    for (const auto& [build, compressor] : builds) {
        if (compressor == nullptr) continue;
        any = true;
        EXPECT_TRUE((compressions_agree<128, std::uint64_t, 8>(sha512_portable, compressor, 0x5EED5002ull))) << build;
    }
    if (!any) GTEST_SKIP() << "this processor has no AVX2 and BMI2";
}

}  // namespace
}  // namespace mendlet
