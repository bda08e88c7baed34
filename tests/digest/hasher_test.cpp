#include "digest/hasher.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/test_data.h"

namespace mendlet {
namespace {

using test_support::CHUNKINGS;
using test_support::chunks_of;
using test_support::LARGE_SEED;
using test_support::LARGE_SIZE;
using test_support::mixed_chunk_sizes;
using test_support::random_bytes;

std::string hash_in_pieces(DigestKind kind, const std::uint8_t* bytes, const std::vector<std::size_t>& lengths) {
    Hasher hasher(kind);
    for (const std::size_t length : lengths) {
        hasher.update(bytes, length);
        bytes += length;
    }
    return hasher.finish();
}

std::string hash_of(DigestKind kind, const std::string& text) {
    return hash_in_pieces(kind, reinterpret_cast<const std::uint8_t*>(text.data()), {text.size()});
}

// FIPS 180-4's examples (RFC 7693's "abc" for BLAKE2b), and the same bytes in pieces of any
// size: through the hasher that checks them, for each kind it serves. The other digests are
// Python hashlib's (b3sum's for BLAKE3) over the same bytes; MD5 and SHA-256 have tests of
// their own, and BLAKE3 its team's vectors.
// Runs of 'a' either side of where the padding takes one more block (for BLAKE2b and BLAKE3
// where a block or chunk is whole and may be the last), the most bytes waiting, and none, in
// every split into two calls.
TEST(Hasher, EachKindGivesTheStandardDigestsInAnyPieces) {
    struct Row {
        DigestKind kind;
        std::vector<std::string> digests;  // of "", "abc", the 448- and 896-bit messages, a million 'a'
        std::string large;
        std::vector<std::pair<std::size_t, std::string>> runs;
    };
    const std::vector<Row> rows{
        {DigestKind::md5, {"d41d8cd98f00b204e9800998ecf8427e", "900150983cd24fb0d6963f7d28e17f72"}, "", {}},
        {DigestKind::sha256,
         {"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
          "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
         "",
         {}},
        {DigestKind::sha1,
         {"da39a3ee5e6b4b0d3255bfef95601890afd80709", "a9993e364706816aba3e25717850c26c9cd0d89d",
          "84983e441c3bd26ebaae4aa1f95129e5e54670f1", "a49b2446a02c645bf419f995b67091253a04a259",
          "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
         "dd5ef122128e1868c9c8fa068ddd6bca3045593f",
         {
             {55, "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
             {56, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
             {63, "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
             {64, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
             {119, "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"},
             {120, "f34c1488385346a55709ba056ddd08280dd4c6d6"},
         }},
        {DigestKind::sha512,
         {"cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
          "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e",
          "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
          "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f",
          "204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8279be331a703c335"
          "96fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec631238ca3445",
          "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
          "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909",
          "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
          "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
         "0221da804bee2f54bd494fadadb5df39fe7d127d8dad97fcd4e6cf2f35804d81"
         "c978d5fb6ae3fab58f01e136fe524fbef456a1bed3431ede9c5d5824b5ec201d",
         {
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
         }},
        {DigestKind::blake2b,
         {"786a02f742015903c6c6fd852552d272912f4740e15847618a86e217f71f5419"
          "d25e1031afee585313896444934eb04b903a685b1448b755d56f701afe9be2ce",
          "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d1"
          "7d87c5392aab792dc252d5de4533cc9518d38aa8dbf1925ab92386edd4009923",
          "7285ff3e8bd768d69be62b3bf18765a325917fa9744ac2f582a20850bc2b1141"
          "ed1b3e4528595acc90772bdf2d37dc8a47130b44f33a02e8730e5ad8e166e888",
          "ce741ac5930fe346811175c5227bb7bfcd47f42612fae46c0809514f9e0e3a11"
          "ee1773287147cdeaeedff50709aa716341fe65240f4ad6777d6bfaf9726e5e52",
          "98fb3efb7206fd19ebf69b6f312cf7b64e3b94dbe1a17107913975a793f177e1"
          "d077609d7fba363cbba00d05f7aa4e4fa8715d6428104c0a75643b0ff3fd3eaf"},
         "2332d1f187d5d75381964b052146b1d264c27bdca547ab9cbda9ee15397e111b"
         "c690823a5805b1ddb907e68e188ba328f7d22f841d9689f97a49ca6b22b1abb7",
         {
             {127,
              "94596b9d6199c807c40ae1a935f3633ba5a8dd5655f7f1bd44f5285b1ce8dbb0"
              "054771eba409539df85a963296d28788807105153c90fa3ec3d761228e90f8b8"},
             {128,
              "fc6c71f688f43ea7d60817478808f3cac753e61571865c95adbc2d9122c943a7"
              "6b92c2cb1047ef3fe7bf6e436ec1d0a99a9e5b216780bf7fed9d7ca91d3a8f3b"},
             {129,
              "55e6e0eb418149a8af92fd9ddc99254781b2f522a131b4f4d984404b71a00e11"
              "67b8124d5dcddd4c6977b299392335d6edd303da6d344d74bbef2d38101b232b"},
             {256,
              "0eee13d0c73a2710c5015a8b4be0a16120bb88f826b662951ffe4b3b81441cfd"
              "ce1f712c58e237dba72a0dad7f9c86b9745ea0b4b3b850ff3a260fb7df9d3e81"},
             {257,
              "0d686cbcff66401ab36b8a8e7fcf4085319eb296eaa55c4470c36bccaff2ecd4"
              "b3572c32ed48e8bb97cc5d08302a79b3a26e751feb7f565b19fa0d8f65247dd1"},
         }},
        {DigestKind::blake3,
         {"af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262",
          "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85",
          "c19012cc2aaf0dc3d8e5c45a1b79114d2df42abb2a410bf54be09e891af06ff8",
          "553e1aa2a477cb3166e6ab38c12d59f6c5017f0885aaf079f217da00cfca363f",
          "616f575a1b58d4c9797d4217b9730ae5e6eb319d76edef6549b46f4efe31ff8b"},
         "a597b896526291151a64d9a9615921bb9f26070db0908a152b79090a7bbca75c",
         {
             {64, "472c51290d607f100d2036fdcedd7590bba245e9adeb21364a063b7bb4ca81c7"},
             {65, "f345679d9055e53939e92c04ff4f6c9d824b849810d4b598f54baa23336cde99"},
             {1024, "5a1c9e5d85d9898297037e8e24f69bb0e604a84c91c3b3ef4784a374812900d9"},
             {1025, "c59d2e12583df14d951e757a42f1734d355c8c5b1db6b6a33ab2bfabeed40c7d"},
             {2049, "32e4e6d05329fdf8777c2c1f87926ca72210a03abeec282a3b7946783abbd5db"},
         }},
    };
    const std::vector<std::string> messages{"", "abc", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                                            "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjk"
                                            "lmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
                                            std::string(1000000, 'a')};
    const std::vector<std::uint8_t> large = random_bytes(LARGE_SIZE, LARGE_SEED);
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.kind));
        for (std::size_t i = 0; i < row.digests.size(); ++i) EXPECT_EQ(hash_of(row.kind, messages[i]), row.digests[i]);
        if (row.large.empty()) continue;
        for (const std::size_t chunk : CHUNKINGS)
            EXPECT_EQ(hash_in_pieces(row.kind, large.data(), chunks_of(chunk, large.size())), row.large) << chunk;
        for (std::uint64_t seed = 1; seed <= 5; ++seed)
            EXPECT_EQ(hash_in_pieces(row.kind, large.data(), mixed_chunk_sizes(large.size(), seed)), row.large) << seed;
        for (const auto& [length, digest] : row.runs) {
            const std::vector<std::uint8_t> run(length, 'a');
            for (std::size_t split = 0; split <= length; ++split)
                ASSERT_EQ(hash_in_pieces(row.kind, run.data(), {split, length - split}), digest)
                    << length << " " << split;
        }
    }
}

}  // namespace
}  // namespace mendlet
