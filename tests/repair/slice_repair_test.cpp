#include "repair/slice_repair.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "repair/gf16.h"
#include "repair/repair_matrix.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using namespace test_support;
using Bytes = std::vector<std::uint8_t>;

// The slices of a set in memory, with its recovery slices made word by word as the PAR 2.0
// format defines them: recovery slice e is the sum of c_i^e times input slice i, each
// padded with zeros to the slice size.
class MemorySet : public RepairData {
public:
    MemorySet(std::uint64_t slice_size, const std::vector<std::uint64_t>& lengths,
              const std::vector<std::uint32_t>& exponents)
        : slice_size_(slice_size) {
        for (std::size_t i = 0; i < lengths.size(); ++i) inputs.push_back(random_bytes(lengths[i], 100 + i));
        for (const std::uint32_t exponent : exponents) {
            Bytes recovery(slice_size, 0);
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                const Gf16 factor = gf16_power(input_slice_constant(static_cast<std::uint32_t>(i)), exponent);
                for (std::size_t w = 0; w < inputs[i].size(); w += 2) {
                    const Gf16 word =
                        static_cast<Gf16>(inputs[i][w] | (w + 1 < inputs[i].size() ? inputs[i][w + 1] << 8 : 0));
                    const Gf16 product = gf16_multiply(factor, word);
                    recovery[w] ^= static_cast<std::uint8_t>(product);
                    recovery[w + 1] ^= static_cast<std::uint8_t>(product >> 8);
                }
            }
            recoveries.push_back(recovery);
        }
    }

    bool read_input(std::uint32_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) override {
        EXPECT_LE(offset + length, inputs[slice].size());
        std::copy_n(inputs[slice].begin() + static_cast<std::ptrdiff_t>(offset), length, bytes);
        return true;
    }
    bool read_recovery(std::size_t slice, std::uint64_t offset, std::uint8_t* bytes, std::size_t length) override {
        EXPECT_LE(offset + length, slice_size_);
        std::copy_n(recoveries[slice].begin() + static_cast<std::ptrdiff_t>(offset), length, bytes);
        return true;
    }
    bool write_input(std::uint32_t slice, std::uint64_t offset, const std::uint8_t* bytes,
                     std::size_t length) override {
        EXPECT_LE(offset + length, inputs[slice].size());
        std::copy_n(bytes, length, inputs[slice].begin() + static_cast<std::ptrdiff_t>(offset));
        return true;
    }
    bool stopped() override { return stop; }
    void progress(std::uint64_t done, std::uint64_t total) override {
        EXPECT_EQ(done, last_done + 1);
        EXPECT_LE(done, total);
        last_done = done;
        all_done = done == total;
    }

    std::vector<Bytes> inputs;
    std::uint64_t last_done = 0;
    bool all_done = false;
    std::vector<Bytes> recoveries;
    bool stop = false;

private:
    std::uint64_t slice_size_;
};

// Each row: the damaged input slices of a set of 9 slices of 1,000 bytes (the files' last
// slices shorter), the recovery slices offered, the memory the repair may take (a little
// forces many narrow stripes) and how it ends. Damaged slices are overwritten first, so
// that only a repair brings them back.
TEST(SliceRepair, RebuildsDamagedSlicesFromTheRestAndTheRecoverySlices) {
    const std::vector<std::uint64_t> lengths{1000, 1000, 1000, 998, 1000, 1000, 2, 1000, 1000};
    struct Row {
        const char* what;
        std::vector<std::uint32_t> damaged;
        std::vector<std::uint32_t> exponents;
        std::size_t memory;
        RepairEnd end;
    };
    const std::vector<Row> rows{
        {"nothing damaged", {}, {0}, REPAIR_MEMORY, RepairEnd::repaired},
        {"one slice, from the parity", {4}, {0}, REPAIR_MEMORY, RepairEnd::repaired},
        {"a file's short last slice", {6}, {5}, REPAIR_MEMORY, RepairEnd::repaired},
        {"first and last, in stripes of 64 bytes", {0, 8}, {1, 2, 3}, 1024, RepairEnd::repaired},
        {"all recovery slices used, in stripes", {1, 3, 6, 7}, {0, 9, 200, 65534}, 6000, RepairEnd::repaired},
        {"a singular choice gives way to the next", {0, 3}, {0, 21845, 1}, REPAIR_MEMORY, RepairEnd::repaired},
        {"too few recovery slices", {0, 1, 2}, {0, 1}, REPAIR_MEMORY, RepairEnd::singular},
        {"only singular choices", {0, 3}, {0, 21845}, REPAIR_MEMORY, RepairEnd::singular},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemorySet set(1000, lengths, row.exponents);
        const std::vector<Bytes> good = set.inputs;
        for (const std::uint32_t slice : row.damaged) set.inputs[slice] = Bytes(lengths[slice], 0xee);
        const RepairPlan plan{1000, lengths, row.damaged, row.exponents};
        ASSERT_EQ(repair_slices(plan, set, row.memory), row.end);
        if (row.end == RepairEnd::repaired) {
            EXPECT_EQ(set.inputs, good);
        }
        EXPECT_EQ(set.all_done, row.end == RepairEnd::repaired && !row.damaged.empty());
    }

    MemorySet stopped(1000, lengths, {0});
    stopped.stop = true;
    EXPECT_EQ(repair_slices({1000, lengths, {2}, {0}}, stopped), RepairEnd::stopped);

    // More damaged slices than a bounded memory solves for, however many recovery slices.
    std::vector<std::uint32_t> many(REPAIR_SLICE_LIMIT + 1);
    for (std::uint32_t i = 0; i < many.size(); ++i) many[i] = i;
    EXPECT_EQ(repair_slices({4, std::vector<std::uint64_t>(many.size(), 4), many, many}, stopped),
              RepairEnd::no_memory);
}

// A solved system's inverse times its matrix is the identity, whichever rows were chosen.
TEST(RepairMatrix, TheInverseUndoesTheChosenRecoverySlices) {
    const std::vector<std::uint32_t> damaged{0, 3, 17, 500};
    const std::vector<std::uint32_t> exponents{0, 21845, 7, 1, 4000};
    const std::optional<RepairMatrix> matrix = solve_repair(damaged, exponents);
    ASSERT_TRUE(matrix.has_value());
    ASSERT_EQ(matrix->chosen.size(), damaged.size());
    for (std::size_t m = 0; m < damaged.size(); ++m)
        for (std::size_t n = 0; n < damaged.size(); ++n) {
            Gf16 sum = 0;
            for (std::size_t j = 0; j < damaged.size(); ++j)
                sum ^= gf16_multiply(matrix->factor(m, j),
                                     gf16_power(input_slice_constant(damaged[n]), exponents[matrix->chosen[j]]));
            EXPECT_EQ(sum, m == n ? 1 : 0) << m << ", " << n;
        }
}

}  // namespace
}  // namespace mendlet
