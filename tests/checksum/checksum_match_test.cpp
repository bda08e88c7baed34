#include "checksum/checksum_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/checksum_values.h"

namespace mendlet {
namespace {

using namespace test_support;

using Expected = std::vector<ExpectedDigest>;

TEST(ChecksumMatch, OutputAndPartsByNameWithoutRegardToCase) {
    const std::vector<ChecksumEntry> entries{
        {L"MOVIE.AVI", DigestKind::md5, MD5_A},       {L"movie.avi.001", DigestKind::crc32, CRC_A},
        {L"Movie.Avi.003", DigestKind::crc32, CRC_B}, {L"\u00c4rger.avi.002", DigestKind::crc32, CRC_A},
        {L"other.avi", DigestKind::md5, MD5_B},       {L"movie.avi.004", DigestKind::crc32, CRC_B},
        {L"movie.avi.00", DigestKind::crc32, CRC_B},
    };
    const ChecksumChecks checks =
        match_checksum_entries(entries, {L"C:\\Out\\movie.avi"},
                               {L"C:\\In\\movie.avi.001", L"C:\\In\\\u00e4rger.avi.002", L"C:\\In\\movie.avi.003"});
    EXPECT_EQ(checks.whole_file, (Expected{{DigestKind::md5, {MD5_A}}}));
    ASSERT_EQ(checks.parts.size(), 3u);
    EXPECT_EQ(checks.parts[0], (Expected{{DigestKind::crc32, {CRC_A}}}));
    EXPECT_EQ(checks.parts[1], (Expected{{DigestKind::crc32, {CRC_A}}}));
    EXPECT_EQ(checks.parts[2], (Expected{{DigestKind::crc32, {CRC_B}}}));

    const ChecksumChecks none = match_checksum_entries(entries, {L"film.avi"}, {L"film.avi.001", L"film.avi.002"});
    EXPECT_TRUE(none.whole_file.empty());
    EXPECT_EQ(none.parts, (std::vector<Expected>{{}, {}}));

    // An output the user named otherwise is still the set's joined file.
    const ChecksumChecks renamed = match_checksum_entries(entries, {L"movie.avi", L"D:\\renamed.avi"}, {});
    EXPECT_EQ(renamed.whole_file, (Expected{{DigestKind::md5, {MD5_A}}}));
}

TEST(ChecksumMatch, EachKindOnceInKindOrderWithEachValueOnce) {
    // As from an SFV, an MD5 and a SHA-256 file, and the same SFV again under another name.
    const std::vector<ChecksumEntry> entries{
        {L"x.bin", DigestKind::sha256, SHA256_A}, {L"x.bin", DigestKind::md5, MD5_A},
        {L"x.bin", DigestKind::crc32, CRC_A},     {L"x.bin.001", DigestKind::crc32, CRC_B},
        {L"x.bin", DigestKind::crc32, CRC_A},     {L"X.BIN.001", DigestKind::crc32, CRC_B},
    };
    const ChecksumChecks checks = match_checksum_entries(entries, {L"x.bin"}, {L"x.bin.001"});
    EXPECT_EQ(checks.whole_file,
              (Expected{{DigestKind::crc32, {CRC_A}}, {DigestKind::md5, {MD5_A}}, {DigestKind::sha256, {SHA256_A}}}));
    EXPECT_EQ(checks.parts, (std::vector<Expected>{{{DigestKind::crc32, {CRC_B}}}}));
}

// Two listings of one name: two files of that name (CD1\x.001, CD2\x.001) or an old and a
// new download. A file that matches either is good.
TEST(ChecksumMatch, AFileAgreesWithAnyValueListedForItsName) {
    const std::vector<ChecksumEntry> entries{
        {L"x.bin", DigestKind::md5, MD5_A},
        {L"x.bin.001", DigestKind::crc32, CRC_A},
        {L"x.bin", DigestKind::md5, MD5_B},
        {L"x.bin", DigestKind::md5, MD5_A},
    };
    // Two parts of one name, from two folders: both are held to it.
    const ChecksumChecks checks =
        match_checksum_entries(entries, {L"x.bin"}, {L"C:\\a\\x.bin.001", L"D:\\b\\x.bin.001"});
    ASSERT_EQ(checks.whole_file, (Expected{{DigestKind::md5, {MD5_A, MD5_B}}}));
    EXPECT_TRUE(digest_agrees(checks.whole_file[0], MD5_A));
    EXPECT_TRUE(digest_agrees(checks.whole_file[0], MD5_B));
    EXPECT_FALSE(digest_agrees(checks.whole_file[0], "4a8a08f09d37b73795649038408b5f33"));  // "c"

    ASSERT_EQ(checks.parts, (std::vector<Expected>(2, Expected{{DigestKind::crc32, {CRC_A}}})));
    EXPECT_TRUE(digest_agrees(checks.parts[0][0], CRC_A));
    EXPECT_FALSE(digest_agrees(checks.parts[0][0], CRC_B));
}

}  // namespace
}  // namespace mendlet
