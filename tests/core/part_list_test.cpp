#include "core/part_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "lang/text_table.h"
#include "support/part_paths.h"

namespace mendlet {
namespace {

using test_support::paths_of;

TEST(FormatSize, ExamplesAcrossUnitsWithoutCarry) {
    const std::pair<std::uint64_t, const wchar_t*> cases[] = {
        {0, L"0  B"},
        {500, L"500  B"},
        {1023, L"1023  B"},
        {1024, L"1 KB"},
        {1524, L"1 KB"},
        {1525, L"2 KB"},
        {1048575, L"1024 KB"},
        {1048576, L"1 MB"},
        {1548576, L"1 MB"},
        {1548577, L"2 MB"},
        {1073741823, L"1024 MB"},
        {1073741824, L"1.0 GB"},
        {1610612736, L"1.5 GB"},
        {2126512128, L"1.10 GB"},
        {4700000000, L"4.3 GB"},
        {1099511627776, L"1.0 TB"},
        {UINT64_MAX, L"15.10 EB"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(format_size(size), text) << size;
}

TEST(FormatSize, NeverLongerThanTenCharacters) {
    for (std::uint64_t size = 1; size != 0; size <<= 1) {
        EXPECT_LE(format_size(size).size(), 10u) << size;
        EXPECT_LE(format_size(size - 1).size(), 10u) << size - 1;
    }
}

TEST(PartStatus, CategoryFollowsStatus) {
    EXPECT_EQ(status_category(0), 0);
    for (int status : {1, 2, 3, -1, -7}) EXPECT_EQ(status_category(status), 1) << status;
    for (int status : {4, 5, 6}) EXPECT_EQ(status_category(status), 2) << status;
    PartEntry entry;
    entry.set_status(STATUS_CANNOT_READ);
    EXPECT_EQ(entry.category, 2);
    entry.set_status(STATUS_SIZE_MISMATCH);
    EXPECT_EQ(entry.category, 1);
}

TEST(PartList, AddPartFillsTheEntry) {
    PartList list;
    const PartEntry& entry =
        list.add_part(NO_POSITION, false, L"C:\\In\\movie.avi.007", 1525, STATUS_CANNOT_READ, false);
    EXPECT_EQ(entry.ordinal, 7u);
    EXPECT_EQ(entry.size, 1525u);
    EXPECT_EQ(entry.status, STATUS_CANNOT_READ);
    EXPECT_EQ(entry.category, 2);
    EXPECT_EQ(entry.path, L"C:\\In\\movie.avi.007");
    EXPECT_STREQ(entry.sizeText, L"2 KB");
    EXPECT_EQ(list.count(), 1u);
    EXPECT_EQ(list.first(), list.last());
}

TEST(PartList, UnsortedPositionsInsertBeforeOrAppend) {
    PartList list;
    list.add_part(NO_POSITION, false, L"a", 0, 0, false);
    list.add_part(NO_POSITION, false, L"b", 0, 0, false);
    list.add_part(NO_POSITION, false, L"c", 0, 0, false);
    list.add_part(5, false, L"beyond", 0, 0, false);
    list.add_part(3, false, L"at count", 0, 0, false);
    list.add_part(1, false, L"second", 0, 0, false);
    list.add_part(0, false, L"front", 0, 0, false);
    EXPECT_EQ(paths_of(list),
              (std::vector<std::wstring>{L"front", L"a", L"second", L"b", L"c", L"at count", L"beyond"}));
}

// Entries appended and then sorted in land exactly where adding each with sorting would
// have put it, ties included: by ordinal and by path, into empty, sorted and hand-ordered
// lists. Sizes tell apart entries with equal paths.
TEST(PartList, SortInPlacesAppendedEntriesAsSortedAddingWould) {
    std::mt19937 random(7);
    const auto random_path = [&random] {
        static const wchar_t* const names[] = {L"a.", L"B.", L"b.", L"c."};
        return std::wstring(names[random() % 4]) + std::to_wstring(random() % 5);
    };
    const auto entries_of = [](const PartList& list) {
        std::vector<std::pair<std::wstring, std::uint64_t>> entries;
        for (const PartEntry& entry : list) entries.emplace_back(entry.path, entry.size);
        return entries;
    };
    for (int round = 0; round < 300; ++round) {
        const bool by_path = round % 2 == 1;
        const bool hand_ordered = round % 3 == 2;
        PartList one_by_one;
        PartList at_once;
        const int existing = static_cast<int>(random() % 6);
        for (int i = 0; i < existing; ++i) {
            const std::wstring path = random_path();
            one_by_one.add_part(NO_POSITION, !hand_ordered, path, i, 0, by_path);
            at_once.add_part(NO_POSITION, !hand_ordered, path, i, 0, by_path);
        }
        const int added = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < added; ++i) {
            const std::wstring path = random_path();
            one_by_one.add_part(NO_POSITION, true, path, 100 + i, 0, by_path);
            at_once.add_part(NO_POSITION, false, path, 100 + i, 0, by_path);
        }
        at_once.sort_in(static_cast<std::uint32_t>(existing), by_path);
        ASSERT_EQ(entries_of(at_once), entries_of(one_by_one)) << "round " << round;
    }
}

TEST(PartList, RemoveAndClear) {
    PartList list;
    for (const wchar_t* path : {L"x.001", L"x.002", L"x.003"}) list.add_part(NO_POSITION, false, path, 0, 0, false);
    list.remove_part_at(3);
    EXPECT_EQ(list.count(), 3u);
    list.remove_part_at(1);
    EXPECT_EQ(paths_of(list), (std::vector<std::wstring>{L"x.001", L"x.003"}));
    list.remove_part_at(0);
    list.remove_part_at(0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    list.add_part(NO_POSITION, false, L"x.001", 0, 0, false);
    list.clear_parts();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.first(), nullptr);
}

TEST(PartText, ColumnsAndIndexesBeyondTheList) {
    TextTable texts;
    PartList list;
    list.add_part(NO_POSITION, false, L"C:\\x.001", 1024, 0, false);
    list.add_part(NO_POSITION, false, L"C:\\x.002", 1024, 0, false).set_status(STATUS_SIZE_MISMATCH);
    EXPECT_STREQ(part_text(list, texts, 0, 0), L"C:\\x.001");
    EXPECT_STREQ(part_text(list, texts, 0, 1), L"1 KB");
    EXPECT_STREQ(part_text(list, texts, 0, 2), L"ok");
    EXPECT_STREQ(part_text(list, texts, 1, 2), L"warning");
    EXPECT_EQ(part_text(list, texts, 2, 0), nullptr);
    EXPECT_FALSE(part_tooltip_text(list, texts, 2).has_value());
}

TEST(PartText, TooltipShowsPositionNotOrdinalAndFullStatus) {
    TextTable texts;
    PartList list;
    list.add_part(NO_POSITION, false, L"C:\\In\\x.001", 500, 0, false);
    list.add_part(NO_POSITION, false, L"C:\\In\\x.002", 500, 0, false);
    list.add_part(NO_POSITION, false, L"C:\\In\\x.017", 500, STATUS_CANNOT_READ, false);
    EXPECT_EQ(part_tooltip_text(list, texts, 2),
              L"Path:\t C:\\In\\x.017\r\nSize:\t 500  B\r\nOrdinal:\t 3\r\n"
              L"Status:\t error: file cannot be opened for reading!");
}

}  // namespace
}  // namespace mendlet
