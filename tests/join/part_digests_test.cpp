#include "join/part_digests.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/digest_texts.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::blake2b_text;
using test_support::blake3_text;
using test_support::crc_text;
using test_support::md5_text;
using test_support::sha1_text;
using test_support::sha256_text;
using test_support::sha512_text;

// Parts of these sizes, empty ones among them and at both ends, fed in uneven pieces with
// the empty parts passed over as the join passes them: every part's digests and the whole
// file's are those of the bytes themselves, and each part is reported done once, in order,
// with its digests ready.
TEST(PartDigests, EveryPartAndTheWholeFileFromOnePass) {
    const std::vector<std::size_t> sizes{0, 70000, 1, 0, 0, 65536, 130000, 0};
    std::vector<Bytes> parts;
    Bytes whole;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        parts.push_back(test_support::random_bytes(sizes[i], i + 1));
        whole.insert(whole.end(), parts.back().begin(), parts.back().end());
    }
    std::vector<DigestKinds> wanted(sizes.size(), DigestKinds{DigestKind::crc32});
    wanted[1].add(DigestKind::md5);
    wanted[1].add(DigestKind::blake2b);
    wanted[3].add(DigestKind::sha1);
    wanted[5].add(DigestKind::sha512);
    wanted[6].add(DigestKind::sha256);
    wanted[6].add(DigestKind::blake3);
    std::vector<std::uint32_t> done;
    std::vector<std::string> crc_when_done;
    PartDigests* digests_seen = nullptr;
    const DigestKinds all{DigestKind::crc32,  DigestKind::md5,     DigestKind::sha1,  DigestKind::sha256,
                          DigestKind::sha512, DigestKind::blake2b, DigestKind::blake3};
    PartDigests digests(all, wanted, [&](std::uint32_t part) {
        done.push_back(part);
        crc_when_done.push_back(digests_seen->part(part, DigestKind::crc32));
    });
    digests_seen = &digests;
    for (std::uint32_t part = 0; part < parts.size(); ++part)
        for (std::size_t at = 0; at < parts[part].size(); at += 4099)
            digests.feed(part, parts[part].data() + at, std::min<std::size_t>(4099, parts[part].size() - at));
    digests.finish();

    EXPECT_EQ(done, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    for (std::uint32_t part = 0; part < parts.size(); ++part) {
        EXPECT_EQ(digests.part(part, DigestKind::crc32), crc_text(parts[part])) << part;
        EXPECT_EQ(crc_when_done[part], crc_text(parts[part])) << part;
    }
    EXPECT_EQ(digests.part(1, DigestKind::md5), md5_text(parts[1]));
    EXPECT_EQ(digests.part(3, DigestKind::sha1), sha1_text(parts[3]));
    EXPECT_EQ(digests.part(5, DigestKind::sha512), sha512_text(parts[5]));
    EXPECT_EQ(digests.part(6, DigestKind::sha256), sha256_text(parts[6]));
    EXPECT_EQ(digests.part(1, DigestKind::blake2b), blake2b_text(parts[1]));
    EXPECT_EQ(digests.part(6, DigestKind::blake3), blake3_text(parts[6]));
    EXPECT_EQ(digests.part(2, DigestKind::md5), "");  // not asked for
    EXPECT_EQ(digests.whole_file(DigestKind::crc32), crc_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::md5), md5_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::sha1), sha1_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::sha256), sha256_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::sha512), sha512_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::blake2b), blake2b_text(whole));
    EXPECT_EQ(digests.whole_file(DigestKind::blake3), blake3_text(whole));
}

}  // namespace
}  // namespace mendlet
