#include "gather/siblings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/part_list.h"

namespace mendlet {
namespace {

std::vector<std::wstring> names_of(const SiblingSet& set) {
    std::vector<std::wstring> names;
    for (const Sibling& sibling : set.siblings) names.push_back(sibling.name);
    return names;
}

TEST(Siblings, OnlyThePathsLastThreeCharactersCount) {
    for (const wchar_t* path : {L"C:\\In\\x.avi.001", L"C:\\In\\name001", L"C:\\In\\x.1001"})
        EXPECT_TRUE(is_first_part(path)) << path;
    for (const wchar_t* path : {L"C:\\In\\movie.avi", L"C:\\In\\x.002", L"C:\\In\\x.01", L"01"})
        EXPECT_FALSE(is_first_part(path)) << path;
    EXPECT_EQ(sibling_pattern(L"C:\\In\\x.avi.001"), L"C:\\In\\x.avi.???");
    EXPECT_EQ(sibling_name(L"x.avi.001", 4), L"x.avi.004");
    EXPECT_EQ(sibling_name(L"name001", 999), L"name999");
}

TEST(Siblings, InNumberOrderWhateverTheListingOrder) {
    const SiblingSet set = siblings_in_order({{L"x.003", false, 30}, {L"x.001", false, 10}, {L"x.002", false, 20}});
    EXPECT_EQ(names_of(set), (std::vector<std::wstring>{L"x.001", L"x.002", L"x.003"}));
    // Met out of turn, a sibling's size is asked of the file.
    EXPECT_EQ(set.siblings[0].size, 10u);
    EXPECT_EQ(set.siblings[1].size, 20u);
    EXPECT_EQ(set.siblings[2].size, SIZE_NOT_GIVEN);
}

// The gap is named only when a later part lies beyond it; a number that a recovery set
// rebuilds is no gap.
TEST(Siblings, StopAtTheFirstGapAndIgnoreWhatIsNoPart) {
    struct Row {
        std::vector<FolderEntry> listing;
        std::vector<std::wstring> loaded;
        std::uint32_t missing_number;
        std::uint32_t highest;
        std::vector<std::uint32_t> rebuilt = {};
    };
    const Row rows[] = {
        {{{L"x.005", false, 1}, {L"x.001", false, 1}, {L"x.002", false, 1}, {L"x.004", false, 1}},
         {L"x.001", L"x.002"},
         3,
         5},
        {{{L"x.002", false, 1}, {L"x.001", false, 1}}, {L"x.001", L"x.002"}, 0, 2},
        // Folders named like parts, 000, names that end in no number, and x.1000, which three
        // digits cannot number.
        {{{L"x.000", false, 1},
          {L"x.001", false, 1},
          {L"x.002", true, 0},
          {L"x.004", true, 0},
          {L"x.0a2", false, 1},
          {L"x.1", false, 1},
          {L"x.1000", false, 1}},
         {L"x.001"},
         0,
         1},
        {{{L"x.002", false, 1}}, {}, 1, 2},
        {{}, {}, 0, 0},
        {{{L"x.005", false, 1}, {L"x.001", false, 1}, {L"x.002", false, 1}, {L"x.004", false, 1}},
         {L"x.001", L"x.002", L"x.004", L"x.005"},
         0,
         5,
         {3}},
        {{{L"x.004", false, 1}, {L"x.001", false, 1}, {L"x.006", false, 1}}, {L"x.001", L"x.004"}, 5, 6, {2, 3}},
        {{{L"x.003", false, 1}}, {L"x.003"}, 0, 3, {1, 2}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const SiblingSet set = siblings_in_order(rows[i].listing, rows[i].rebuilt);
        EXPECT_EQ(names_of(set), rows[i].loaded) << i;
        EXPECT_EQ(set.missing_number, rows[i].missing_number) << i;
        EXPECT_EQ(highest_sibling_number(rows[i].listing), rows[i].highest) << i;
    }
}

}  // namespace
}  // namespace mendlet
