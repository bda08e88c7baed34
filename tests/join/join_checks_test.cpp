#include "join/join_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mendlet {
namespace {

// A name is of the first part's set when only its number differs, written as wide; the
// first listed that the list lacks stops the join.
TEST(JoinChecks, PartsOfTheSetDifferInTheirNumberAlone) {
    const wchar_t* const first = L"C:\\In\\Movie.avi.001";
    for (const wchar_t* name : {L"Movie.avi.001", L"MOVIE.AVI.004", L"movie.avi.999"})
        EXPECT_TRUE(is_part_of_set(name, first)) << name;
    for (const wchar_t* name : {L"Movie.avi", L"Movie.avi.0004", L"Movie.avi.04", L"Movie.avi.00a", L"Movie.mkv.002"})
        EXPECT_FALSE(is_part_of_set(name, first)) << name;
    EXPECT_FALSE(is_part_of_set(L"Movie.avi.002", L"C:\\In\\Movie.avi"));

    const std::vector<ChecksumFile> files{
        {L"Movie.avi.sfv",
         {{L"movie.avi.001", DigestKind::crc32, "00000000"}, {L"MOVIE.AVI.003", DigestKind::crc32, "00000000"}}}};
    const std::optional<UnlistedPart> unlisted = first_part_not_in_list(files, {first, L"C:\\In\\Movie.avi.002"});
    ASSERT_TRUE(unlisted.has_value());
    EXPECT_EQ(unlisted->name, L"MOVIE.AVI.003");
    EXPECT_EQ(unlisted->checksum_file, L"Movie.avi.sfv");
    EXPECT_FALSE(first_part_not_in_list(files, {first, L"D:\\Other\\movie.avi.003"}));
}

}  // namespace
}  // namespace mendlet
