#include "core/path_compare.h"

#include <gtest/gtest.h>

#include "core/part_list.h"

namespace mendlet {
namespace {

TEST(ComparePathsOnWindows, TextOrderNotNumberOrder) {
    EXPECT_LT(compare_paths(L"C:\\x.10", L"C:\\x.2"), 0);
    EXPECT_GT(compare_paths(L"C:\\x.2", L"C:\\x.10"), 0);
    EXPECT_EQ(compare_paths(L"C:\\x.001", L"C:\\x.001"), 0);
    // Letters compare alphabetically before case decides.
    EXPECT_LT(compare_paths(L"C:\\apple.001", L"C:\\Banana.001"), 0);
    EXPECT_NE(compare_paths(L"C:\\a.001", L"C:\\A.001"), 0);
}

TEST(ComparePathsOnWindows, WholePathSortUsesIt) {
    PartList list;
    for (const wchar_t* path : {L"C:\\b\\x.2", L"C:\\a\\x.10", L"C:\\B\\x.1"})
        list.add_part(NO_POSITION, true, path, 0, 0, true);
    // Case matters only after the letters themselves.
    EXPECT_EQ(list.at(0)->path, L"C:\\a\\x.10");
    EXPECT_EQ(list.at(1)->path, L"C:\\B\\x.1");
    EXPECT_EQ(list.at(2)->path, L"C:\\b\\x.2");
}

}  // namespace
}  // namespace mendlet
