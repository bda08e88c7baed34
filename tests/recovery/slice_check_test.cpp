#include "recovery/slice_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/par2_packets.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using namespace test_support;

SliceTally tally_in_pieces(const SetFile& file, std::uint64_t slice_size, const Bytes& bytes,
                           const std::vector<std::size_t>& pieces, std::vector<std::uint64_t>* damaged = nullptr) {
    SliceChecker checker(file, slice_size);
    std::size_t at = 0;
    for (const std::size_t piece : pieces) {
        checker.update(bytes.data() + at, piece);
        at += piece;
    }
    const SliceTally tally = checker.finish();
    if (damaged != nullptr) *damaged = checker.damaged_slices();
    return tally;
}

// A file of 50 bytes listed in 4 slices of 16, the last padded with zeros. Each row: the
// bytes the file holds and the damaged slices found, fed whole, byte by byte and in
// uneven pieces.
TEST(SliceChecker, DamagedSlicesOfAFileInAnyPieces) {
    const Bytes listed = random_bytes(50, 7);
    const HandMadeSet set(16, {{"f.bin", listed}}, 1);
    const SetFile file = set.expected_files()[0];
    struct Row {
        const char* what;
        Bytes bytes;
        std::vector<std::uint64_t> damaged;
    };
    const std::vector<Row> rows{
        {"as listed", listed, {}},
        {"a byte changed in the third slice", flipped(listed, 40), {2}},
        {"bytes changed in the first and last", flipped(flipped(listed, 0), 49), {0, 3}},
        {"cut inside the second slice", cut(listed, 20), {1, 2, 3}},
        {"empty", {}, {0, 1, 2, 3}},
        {"longer by zeros where the last slice is padded", listed + Bytes(14, 0), {}},
        {"longer by other bytes there", listed + Bytes{1}, {3}},
        {"longer by slices not listed", listed + Bytes(14, 0) + random_bytes(40, 8), {}},
    };
    for (const Row& row : rows) {
        const std::vector<std::vector<std::size_t>> ways{
            {row.bytes.size()}, std::vector<std::size_t>(row.bytes.size(), 1), mixed_chunk_sizes(row.bytes.size(), 9)};
        for (const auto& pieces : ways) {
            std::vector<std::uint64_t> damaged;
            EXPECT_EQ(tally_in_pieces(file, 16, row.bytes, pieces, &damaged), (SliceTally{4, row.damaged.size(), true}))
                << row.what;
            EXPECT_EQ(damaged, row.damaged) << row.what;
        }
    }

    EXPECT_EQ(missing_file_tally(file, 16), (SliceTally{4, 4, true}));
    SetFile without_checksums = file;
    without_checksums.slices.clear();
    EXPECT_EQ(tally_in_pieces(without_checksums, 16, listed, {50}), (SliceTally{4, 0, false}));
    const SetFile empty = HandMadeSet(16, {{"e.bin", {}}}, 1).expected_files()[0];
    EXPECT_EQ(tally_in_pieces(empty, 16, {}, {}), (SliceTally{0, 0, true}));
}

}  // namespace
}  // namespace mendlet
