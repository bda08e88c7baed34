#include "digest/blake3.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "digest/blake3_paths.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::CHUNKINGS;
using test_support::chunks_of;
using test_support::mixed_chunk_sizes;
using test_support::random_bytes;
using test_support::TestRandom;

// The portable way, then each wider one that this processor has.
std::vector<Blake3Lanes> ways() {
    std::vector<Blake3Lanes> ways{blake3_portable_lanes()};
    for (const Blake3Lanes way : {blake3_sse41_lanes(), blake3_avx2_lanes(), blake3_avx512_lanes()})
        if (way.hash != nullptr) ways.push_back(way);
    return ways;
}

std::string blake3_in_pieces(Blake3Lanes way, const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    static Blake3Context context;
    blake3_init(context, way);
    for (const std::size_t length : lengths) {
        blake3_update(context, bytes, length);
        bytes += length;
    }
    return format_blake3(blake3_final(context));
}

// The BLAKE3 team's test vectors (test_vectors.json: bytes i % 251, the first 32 bytes of
// "hash"), then lengths past a subtree of 256 chunks and a few of them (b3sum's digests),
// through every way, in pieces of every size.
TEST(Blake3, TheTeamsVectorsInAnyPiecesWithEachWidth) {
    const struct {
        std::size_t length;
        const char* digest;
    } vectors[] = {
        {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
        {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
        {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
        {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
        {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
        {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
        {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
        {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
        {3073, "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
        {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
        {4097, "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
        {5120, "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
        {5121, "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
        {6144, "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
        {6145, "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
        {7168, "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
        {7169, "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
        {8192, "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
        {8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
        {16384, "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
        {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
        {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
        {262144, "d57dc906e20d3fd326ffaa85535500486f46a0979f5a323f028dcabfd381fd4a"},
        {263169, "5f939be9e0ff14200d35a1f37ac138d517c81ce2ddfd3b8b7a42c90be46e0105"},
        {1049601, "860f19b5fefff01454de342be87a20059449529116a20fb22a21da665aafa071"},
    };
    std::vector<std::uint8_t> input(1049601);
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<std::uint8_t>(i % 251);
    for (const Blake3Lanes way : ways()) {
        SCOPED_TRACE(way.lanes);
        for (const auto& [length, digest] : vectors) {
            SCOPED_TRACE(length);
            // Past the team's vectors, small pieces would only take time: they meet the same code.
            for (const std::size_t chunk : CHUNKINGS) {
                if (length <= 102400 || chunk >= 1024) {
                    EXPECT_EQ(blake3_in_pieces(way, input.data(), chunks_of(chunk, length)), digest) << chunk;
                }
            }
            EXPECT_EQ(blake3_in_pieces(way, input.data(), mixed_chunk_sizes(length, length)), digest);
        }
    }
}

// Random bytes of random lengths, and those either side of a group of 16 chunks and of a
// subtree of 256, fed in random pieces: each wider way gives the portable way's digest.
TEST(Blake3Paths, EachWidthMatchesPortable) {
    const std::vector<std::uint8_t> pool = random_bytes(300000, 0x5EED5003ull);
    std::vector<std::size_t> lengths{16383, 16384, 16385, 278527, 278528, 278529};
    TestRandom random(0x5EED5004ull);
    for (int k = 0; k < 24; ++k) lengths.push_back(random.below(k < 16 ? 20000 : pool.size()));
    const std::vector<Blake3Lanes> all = ways();
    if (all.size() == 1) GTEST_SKIP() << "this processor has no SSE4.1";
    for (const std::size_t length : lengths) {
        const std::vector<std::size_t> pieces = mixed_chunk_sizes(length, length + 1);
        const std::string portable = blake3_in_pieces(all[0], pool.data(), pieces);
        for (std::size_t w = 1; w < all.size(); ++w)
            EXPECT_EQ(blake3_in_pieces(all[w], pool.data(), pieces), portable) << all[w].lanes << " " << length;
    }
}

}  // namespace
}  // namespace mendlet
