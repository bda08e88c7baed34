#include "gather/siblings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/part_list.h"

namespace mendlet {
namespace {

std::vector<std::wstring> names_of(const std::vector<Sibling>& siblings) {
    std::vector<std::wstring> names;
    for (const Sibling& sibling : siblings) names.push_back(sibling.name);
    return names;
}

TEST(Siblings, OnlyThePathsLastThreeCharactersCount) {
    for (const wchar_t* path : {L"C:\\In\\x.avi.001", L"C:\\In\\name001", L"C:\\In\\x.1001"})
        EXPECT_TRUE(is_first_part(path)) << path;
    for (const wchar_t* path : {L"C:\\In\\movie.avi", L"C:\\In\\x.002", L"C:\\In\\x.01", L"01"})
        EXPECT_FALSE(is_first_part(path)) << path;
    EXPECT_EQ(sibling_pattern(L"C:\\In\\x.avi.001"), L"C:\\In\\x.avi.???");
}

TEST(Siblings, InNumberOrderWhateverTheListingOrder) {
    const std::vector<Sibling> siblings =
        siblings_in_order({{L"x.003", false, 30}, {L"x.001", false, 10}, {L"x.002", false, 20}});
    EXPECT_EQ(names_of(siblings), (std::vector<std::wstring>{L"x.001", L"x.002", L"x.003"}));
    // Met out of turn, a sibling's size is asked of the file.
    EXPECT_EQ(siblings[0].size, 10u);
    EXPECT_EQ(siblings[1].size, 20u);
    EXPECT_EQ(siblings[2].size, SIZE_NOT_GIVEN);
}

TEST(Siblings, StopAtTheFirstGapAndIgnoreWhatIsNoPart) {
    EXPECT_EQ(names_of(siblings_in_order({{L"x.004", false, 1}, {L"x.001", false, 1}, {L"x.002", false, 1}})),
              (std::vector<std::wstring>{L"x.001", L"x.002"}));
    EXPECT_EQ(names_of(siblings_in_order({{L"x.000", false, 1},
                                          {L"x.001", false, 1},
                                          {L"x.002", true, 0},
                                          {L"x.0a2", false, 1},
                                          {L"x.1", false, 1}})),
              (std::vector<std::wstring>{L"x.001"}));
    EXPECT_TRUE(siblings_in_order({{L"x.002", false, 1}}).empty());
}

}  // namespace
}  // namespace mendlet
