#include "join/repair_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/par2_packets.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using namespace test_support;

constexpr PartMatch OK = PartMatch::matches;
constexpr PartMatch BAD = PartMatch::differs;

// A set over three parts of 10, 10 and 6 bytes in slices of 4 (3, 3 and 2 slices: 8 in
// all). Each row: the parts in the list with the bytes each gives, what the verdict makes of
// them, a part the list lacks, whether the join appends, the recovery slices the set holds,
// and then the repair chosen (the damaged slices by file and index there, the files to check
// with where they start, the moves in order and the length), too few recovery slices, or
// nothing. The set orders its files by their IDs, not by name.
TEST(RepairChoice, ASetThatSpeaksForAllTheDamageRepairsItWithThePartsInTheirPlaces) {
    const std::vector<Bytes> listed{random_bytes(10, 1), random_bytes(10, 2), random_bytes(6, 3)};
    const HandMadeSet hand_made(4, {{"v.bin.001", listed[0]}, {"v.bin.002", listed[1]}, {"v.bin.003", listed[2]}}, 3);
    // The repair chosen; none where `length` is 0.
    struct Chosen {
        std::vector<std::pair<int, std::uint32_t>> damaged;
        std::vector<std::pair<int, std::uint64_t>> rebuilt;
        std::vector<PartMove> moves;
        std::uint64_t length = 0;
        bool too_few = false;
    };
    struct Row {
        const char* what;
        std::vector<std::string> names;
        std::vector<Bytes> given;
        std::vector<PartMatch> verdict;
        std::vector<MissingPart> missing;
        bool append;
        std::uint32_t held;
        Chosen chosen;
    };
    const std::vector<std::string> all{"v.bin.001", "v.bin.002", "v.bin.003"};
    const Chosen none;
    const std::vector<Row> rows{
        {"nothing damaged", all, listed, {OK, OK, OK}, {}, false, 4, none},
        {"the second part cut short: the third moves right",
         all,
         {listed[0], cut(listed[1], 5), listed[2]},
         {OK, BAD, OK},
         {},
         false,
         4,
         {{{2, 1}, {2, 2}}, {{2, 10}}, {{15, 20, 6}}, 26}},
        {"the first part grown: the others move left, front to back",
         all,
         {listed[0] + Bytes{9, 9, 9}, listed[1], listed[2]},
         {BAD, OK, OK},
         {},
         false,
         4,
         {{{1, 2}}, {{1, 0}}, {{13, 10, 10}, {23, 20, 6}}, 26}},
        {"the second part missing from the list",
         {"v.bin.001", "v.bin.003"},
         {listed[0], listed[2]},
         {OK, OK},
         {{L"v.bin.002", 2}},
         false,
         4,
         {{{2, 0}, {2, 1}, {2, 2}}, {{2, 10}}, {{10, 20, 6}}, 26}},
        {"too few recovery slices",
         all,
         {listed[0], cut(listed[1], 5), listed[2]},
         {OK, BAD, OK},
         {},
         false,
         1,
         {{}, {}, {}, 0, true}},
        {"an append join's first part damaged",
         all,
         {flipped(listed[0], 0), listed[1], listed[2]},
         {BAD, OK, OK},
         {},
         true,
         4,
         none},
        {"an append join's later part damaged",
         all,
         {listed[0], flipped(listed[1], 9), listed[2]},
         {OK, BAD, OK},
         {},
         true,
         4,
         {{{2, 2}}, {{2, 10}}, {}, 26}},
        {"damage the verdict does not see: the set is not the parts' own",
         all,
         {listed[0], flipped(listed[1], 0), listed[2]},
         {OK, OK, OK},
         {},
         false,
         4,
         none},
        {"a refuted part the set does not list",
         {"v.bin.001", "v.bin.002", "v.bin.004"},
         listed,
         {OK, OK, BAD},
         {},
         false,
         4,
         none},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<RecoverySet> sets{hand_made.expected({L"v.bin.par2"})};
        for (std::uint32_t exponent = 0; exponent < row.held; ++exponent)
            sets[0].recovery_slices.push_back({0, 0, exponent, {}});
        std::vector<std::wstring> paths;
        std::vector<std::uint32_t> ordinals;
        std::vector<std::uint64_t> copied;
        for (std::size_t i = 0; i < row.names.size(); ++i) {
            paths.push_back(L"C:\\\\d\\\\" + std::wstring(row.names[i].begin(), row.names[i].end()));
            ordinals.push_back(static_cast<std::uint32_t>(row.names[i].back() - '0'));
            copied.push_back(row.given[i].size());
        }
        const std::vector<std::wstring> joined{L"v.bin"};
        PartSlices slices(sets, paths, joined);
        for (std::uint32_t i = 0; i < row.given.size(); ++i) slices.feed(i, row.given[i].data(), row.given[i].size());
        slices.finish();
        SetVerdict verdict;
        verdict.parts = row.verdict;
        const std::optional<std::size_t> missing_set =
            row.missing.empty() ? std::nullopt : std::optional<std::size_t>(0);
        const RepairDecision decision = choose_repair(
            {sets, slices, verdict, paths, ordinals, copied, row.missing, missing_set, joined, row.append});
        const Chosen& expected = row.chosen;
        EXPECT_EQ(decision.too_few.has_value(), expected.too_few);
        ASSERT_EQ(decision.repair.has_value(), expected.length != 0);
        if (!decision.repair) continue;
        const RepairChoice& choice = *decision.repair;
        // Part N by its index in the set, and its first slice there.
        const auto file_of = [&sets](int part) {
            const std::wstring name = L"v.bin.00" + std::to_wstring(part);
            return static_cast<std::size_t>(file_with_slices(sets[0], name) - sets[0].files.data());
        };
        const auto first_of = [&](int part) { return first_slices(sets[0])[file_of(part)]; };
        std::vector<std::uint32_t> damaged;
        for (const auto& [part, slice] : expected.damaged) damaged.push_back(first_of(part) + slice);
        std::vector<std::pair<std::size_t, std::uint64_t>> rebuilt;
        for (const auto& [part, start] : expected.rebuilt) rebuilt.emplace_back(file_of(part), start);
        EXPECT_EQ(choice.damaged, damaged);
        EXPECT_EQ(choice.rebuilt_files, rebuilt);
        EXPECT_EQ(choice.moves, expected.moves);
        EXPECT_EQ(choice.final_length, expected.length);
        // Each file's last slice where its part goes, and short.
        ASSERT_EQ(choice.spans.size(), 8u);
        for (const int part : {1, 2, 3}) {
            const SliceSpan& last = choice.spans[first_of(part) + (part == 3 ? 1 : 2)];
            EXPECT_EQ(last.offset, (part - 1) * 10u + (part == 3 ? 4 : 8)) << part;
            EXPECT_EQ(last.length, 2u) << part;
        }
    }
}

// Missing parts go between the parts numbered before and after them, first or last too; a
// part the set lists takes the set's length. A set places its slices only when every file of
// its recovery set is placed (or is the joined file) and described.
TEST(OutputLayout, PartsTakeTheSetsLengthsAndMissingOnesTheirPlaces) {
    const HandMadeSet hand_made(4, {{"v.bin.002", random_bytes(10, 1)}, {"v.bin.004", random_bytes(6, 2)}}, 2);
    const RecoverySet set = hand_made.expected({L"v.bin.par2"});
    const OutputLayout layout = lay_out_parts({L"C:\\d\\v.bin.002", L"C:\\d\\v.bin.003"}, {7, 5}, {2, 3}, &set,
                                              {{L"v.bin.001", 1}, {L"v.bin.004", 4}});
    std::vector<std::wstring> order;
    for (const PlacedPart& place : layout.places) order.push_back(place.name + L"@" + std::to_wstring(place.offset));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"v.bin.001@0", L"v.bin.002@0", L"v.bin.003@10", L"v.bin.004@15"}));
    EXPECT_EQ(layout.length, 21u);
    EXPECT_EQ(layout.offset_of(1), 10u);
    ASSERT_TRUE(slices_in_output(set, layout, {}).has_value());
    EXPECT_EQ(slices_in_output(set, layout, {})->size(), 5u);

    const OutputLayout without_four = lay_out_parts({L"C:\\d\\v.bin.002"}, {10}, {2}, &set, {});
    EXPECT_FALSE(slices_in_output(set, without_four, {})) << "a file of the set is nowhere";
    EXPECT_TRUE(slices_in_output(set, without_four, {L"V.BIN.004"})) << "the joined file is one of them";
    RecoverySet undescribed = set;
    undescribed.files[1].described = false;
    EXPECT_FALSE(slices_in_output(undescribed, layout, {}));
    RecoverySet too_many = set;
    too_many.files[0].length = 4u * 40000;
    EXPECT_FALSE(slices_in_output(too_many, layout, {})) << "more input slices than the format has constants for";
}

}  // namespace
}  // namespace mendlet
