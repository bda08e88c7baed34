#include "core/ordering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/part_list.h"
#include "support/part_paths.h"

namespace mendlet {
namespace {

using test_support::paths_of;

PartList list_of(std::initializer_list<const wchar_t*> paths, bool sorted = false, bool by_path = false) {
    PartList list;
    for (const wchar_t* path : paths) list.add_part(NO_POSITION, sorted, path, 0, 0, by_path);
    return list;
}

TEST(ExtractOrdinal, LastDigitRunOfTheFileName) {
    EXPECT_EQ(extract_ordinal(L"C:\\In\\name.avi.001"), 1u);
    EXPECT_EQ(extract_ordinal(L"C:\\In\\name.part07.rar"), 7u);
    EXPECT_EQ(extract_ordinal(L"name.7z.012"), 12u);
    EXPECT_EQ(extract_ordinal(L"a1b2"), 2u);
    EXPECT_EQ(extract_ordinal(L"C:\\In\\99999"), 99999u);
    EXPECT_EQ(extract_ordinal(L"C:\\In 2\\vol3\\name.avi"), 0u);
    EXPECT_EQ(extract_ordinal(L"C:\\12\\"), 0u);
    EXPECT_EQ(extract_ordinal(L""), 0u);
}

TEST(ExtractOrdinal, LongRunsStayConsecutive) {
    EXPECT_EQ(extract_ordinal(L"x.0000000001"), 1u);
    EXPECT_EQ(extract_ordinal(L"x.123456"), 123456u);
    EXPECT_EQ(extract_ordinal(L"x.4294967295"), 4294967295u);
    EXPECT_EQ(extract_ordinal(L"x.100001") + 1, extract_ordinal(L"x.100002"));
    EXPECT_EQ(extract_ordinal(L"x.98765432109876543210") + 1, extract_ordinal(L"x.98765432109876543211"));
}

TEST(SortedInsertion, RandomOrderEndsNumericWhenSortingOrStaysWhenNot) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= 10; ++i) names.push_back(L"x." + std::wstring(i < 10 ? L"00" : L"0") + std::to_wstring(i));
    std::vector<std::wstring> shuffled = names;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));

    PartList sorted;
    PartList unsorted;
    for (const std::wstring& name : shuffled) {
        sorted.add_part(NO_POSITION, true, name, 0, 0, false);
        unsorted.add_part(NO_POSITION, false, name, 0, 0, false);
    }
    EXPECT_EQ(paths_of(sorted), names);
    EXPECT_EQ(paths_of(unsorted), shuffled);
    unsorted.sort_parts(false);
    EXPECT_EQ(paths_of(unsorted), names);
}

TEST(SortedInsertion, TieBreaks) {
    // Equal to the last entry: appended after it.
    PartList list = list_of({L"a.1", L"b.2", L"c.3"}, true);
    list.add_part(NO_POSITION, true, L"d.3", 0, 0, false);
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"a.1", L"b.2", L"c.3", L"d.3"}));
    // Equal to an entry in the middle: before the first of them.
    list.add_part(NO_POSITION, true, L"e.2", 0, 0, false);
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"a.1", L"e.2", L"b.2", L"c.3", L"d.3"}));
    // Sorted insertion ignores the position argument.
    list.add_part(0, true, L"f.9", 0, 0, false);
    EXPECT_EQ(list.last()->path, L"f.9");
}

TEST(SortedInsertion, WalksAnUnsortedListFromTheFront) {
    // A list moved by hand out of order: the new entry goes before the first entry that is
    // not smaller, found from the front.
    PartList list = list_of({L"x.1", L"x.5", L"x.2", L"x.9"});
    list.add_part(NO_POSITION, true, L"y.3", 0, 0, false);
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"x.1", L"y.3", L"x.5", L"x.2", L"x.9"}));
}

TEST(Ordering, OrdinalModeAndWholePathModeDiffer) {
    PartList by_ordinal = list_of({L"x.10", L"x.2"}, true, false);
    EXPECT_EQ(paths_of(by_ordinal), (std::vector<std::wstring>{L"x.2", L"x.10"}));
    PartList by_path = list_of({L"x.2", L"x.10"}, true, true);
    EXPECT_EQ(paths_of(by_path), (std::vector<std::wstring>{L"x.10", L"x.2"}));
}

TEST(SortParts, StableForEqualOrdinalsAndReportsANewFirst) {
    PartList list = list_of({L"b\\x.3", L"a\\x.2", L"c\\x.2", L"d\\x.1", L"e\\x.2"});
    EXPECT_TRUE(list.sort_parts(false));
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"d\\x.1", L"a\\x.2", L"c\\x.2", L"e\\x.2", L"b\\x.3"}));
    EXPECT_FALSE(list.sort_parts(false));

    PartList same_first = list_of({L"x.1", L"x.3", L"x.2"});
    EXPECT_FALSE(same_first.sort_parts(false));
    EXPECT_EQ(paths_of(same_first), (std::vector<std::wstring>{L"x.1", L"x.2", L"x.3"}));

    PartList empty;
    EXPECT_FALSE(empty.sort_parts(false));
}

TEST(SortParts, EqualFirstKeysKeepTheOldFirst) {
    PartList list = list_of({L"a.1", L"b.1", L"c.0"});
    EXPECT_TRUE(list.sort_parts(false));
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"c.0", L"a.1", L"b.1"}));
    PartList tie = list_of({L"a.1", L"b.1"});
    EXPECT_FALSE(tie.sort_parts(false));
    EXPECT_EQ(tie.first()->path, L"a.1");
}

}  // namespace
}  // namespace mendlet
