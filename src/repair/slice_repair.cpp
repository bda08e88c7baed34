#include "repair/slice_repair.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "repair/gf16.h"
#include "repair/gf16_region.h"
#include "repair/repair_matrix.h"

namespace mendlet {

namespace {

// Good slices multiplied in at a time, and the bytes of a stripe each thread works through
// at a time: a tile of every slice of a batch stays in the processor's cache while each
// recovery slice's tile takes its products.
constexpr std::size_t BATCH = 32;
constexpr std::size_t TILE = 2048;
// Stripes are a whole number of these, which keeps every tile's start aligned for the
// vector code.
constexpr std::size_t STRIPE_UNIT = 64;

std::size_t round_up(std::uint64_t value, std::size_t unit) {
    return static_cast<std::size_t>((value + unit - 1) / unit * unit);
}

// Below this many bytes multiplied in, starting a thread costs more than it saves: narrow
// slices, or few sums.
constexpr std::size_t SPLIT_WORK = 4u << 20;

// Runs work(begin, end) over [0, width) in tiles, each half on a thread of its own where
// they can be had and the work (`regions` multiply-adds of the width) is worth it, while this
// thread does `beside` (the next reads).
template <typename Work, typename Beside>
void in_two_halves(std::size_t width, std::size_t regions, const Work& work, const Beside& beside) {
    const auto tiles = [&work](std::size_t begin, std::size_t end) {
        for (std::size_t at = begin; at < end; at += TILE) work(at, std::min(end, at + TILE));
    };
    if (width * regions < SPLIT_WORK) {
        tiles(0, width);
        return beside();
    }
    const std::size_t half = std::min<std::size_t>(round_up(width / 2, STRIPE_UNIT), width);
    // A half with no thread of its own is done here.
    const auto start = [&tiles](std::optional<std::thread>& thread, std::size_t begin, std::size_t end) {
        if (begin == end) return;
        try {
            thread.emplace(tiles, begin, end);
        } catch (const std::system_error&) {
            tiles(begin, end);
        }
    };
    std::optional<std::thread> first;
    std::optional<std::thread> second;
    start(first, 0, half);
    start(second, half, width);
    beside();
    if (first) first->join();
    if (second) second->join();
}

class SliceRepair {
public:
    SliceRepair(const RepairPlan& plan, RepairData& data, RepairMatrix matrix, std::size_t memory)
        : plan_(plan), data_(data), matrix_(std::move(matrix)), path_(gf16_best_path()) {
        const std::size_t count = plan.damaged.size();
        const std::size_t factors = count * BATCH * sizeof(Gf16Factor);
        const std::size_t left = memory > factors ? memory - factors : 0;
        width_ = std::max(STRIPE_UNIT, left / (count + 2 * BATCH + 1) / STRIPE_UNIT * STRIPE_UNIT);
        width_ = std::min(width_, round_up(plan.slice_size, STRIPE_UNIT));
        factors_.resize(count * BATCH);
        for (std::uint32_t slice = 0, next = 0; slice < plan.slice_lengths.size(); ++slice) {
            if (next < plan.damaged.size() && plan.damaged[next] == slice)
                ++next;
            else
                good_.push_back(slice);
        }
    }

    RepairEnd run() {
        if (!allocate()) return RepairEnd::no_memory;
        const std::uint64_t stripes = (plan_.slice_size + width_ - 1) / width_;
        total_work_ = stripes * ((good_.size() + BATCH - 1) / BATCH + plan_.damaged.size());
        for (std::uint64_t start = 0; start < plan_.slice_size; start += width_) {
            const std::size_t width =
                static_cast<std::size_t>(std::min<std::uint64_t>(width_, plan_.slice_size - start));
            if (const std::optional<RepairEnd> end = stripe(start, width)) return *end;
        }
        return RepairEnd::repaired;
    }

private:
    // The sums, two batches (one read while the other is multiplied in) and the rebuilt slice.
    bool allocate() {
        const std::size_t buffers = plan_.damaged.size() + 2 * BATCH + 1;
        try {
            memory_.reset(new (std::align_val_t{STRIPE_UNIT}) std::uint8_t[buffers * width_]);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    std::uint8_t* sum(std::size_t recovery) { return memory_.get() + recovery * width_; }
    std::uint8_t* batch(std::size_t buffer, std::size_t index) {
        return sum(plan_.damaged.size() + buffer * BATCH + index);
    }
    std::uint8_t* rebuilt() { return batch(2, 0); }

    // The recovery slices' stripes, with every good slice's share added: what is left is the
    // damaged slices' share, which the inverse turns into them.
    std::optional<RepairEnd> stripe(std::uint64_t start, std::size_t width) {
        for (std::size_t j = 0; j < matrix_.chosen.size(); ++j)
            if (!data_.read_recovery(matrix_.chosen[j], start, sum(j), width)) return RepairEnd::read_failed;
        if (!good_.empty() && !read_batch(0, 0, start, width)) return RepairEnd::read_failed;
        for (std::size_t first = 0; first < good_.size(); first += BATCH) {
            if (data_.stopped()) return RepairEnd::stopped;
            const std::size_t buffer = first / BATCH % 2;
            const std::size_t next = first + BATCH;
            bool read = true;
            add_batch(buffer, first, width,
                      [&] { read = next >= good_.size() || read_batch(1 - buffer, next, start, width); });
            if (!read) return RepairEnd::read_failed;
            data_.progress(++work_done_, total_work_);
        }
        for (std::size_t m = 0; m < plan_.damaged.size(); ++m) {
            if (data_.stopped()) return RepairEnd::stopped;
            rebuild(m, width);
            const std::uint32_t slice = plan_.damaged[m];
            const std::size_t length = bytes_within(slice, start, width);
            if (length > 0 && !data_.write_input(slice, start, rebuilt(), length)) return RepairEnd::write_failed;
            data_.progress(++work_done_, total_work_);
        }
        return std::nullopt;
    }

    // How many of the stripe's bytes the slice holds; the rest of it is the format's padding.
    std::size_t bytes_within(std::uint32_t slice, std::uint64_t start, std::size_t width) const {
        const std::uint64_t length = plan_.slice_lengths[slice];
        return start >= length ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(width, length - start));
    }

    // The batch of good slices from `first` into that buffer, padded with zeros.
    bool read_batch(std::size_t buffer, std::size_t first, std::uint64_t start, std::size_t width) {
        const std::size_t count = std::min(BATCH, good_.size() - first);
        for (std::size_t b = 0; b < count; ++b) {
            const std::uint32_t slice = good_[first + b];
            const std::size_t length = bytes_within(slice, start, width);
            std::uint8_t* bytes = batch(buffer, b);
            if (length > 0 && !data_.read_input(slice, start, bytes, length)) return false;
            std::fill(bytes + length, bytes + width, std::uint8_t{0});
        }
        return true;
    }

    template <typename Beside>
    void add_batch(std::size_t buffer, std::size_t first, std::size_t width, const Beside& beside) {
        const std::size_t count = std::min(BATCH, good_.size() - first);
        const std::size_t recovery = matrix_.chosen.size();
        for (std::size_t j = 0; j < recovery; ++j) {
            const std::uint32_t exponent = plan_.exponents[matrix_.chosen[j]];
            for (std::size_t b = 0; b < count; ++b)
                path_.prepare(gf16_power(input_slice_constant(good_[first + b]), exponent), factors_[j * BATCH + b]);
        }
        in_two_halves(
            width, recovery * count,
            [&](std::size_t begin, std::size_t end) {
                const std::uint8_t* sources[BATCH];
                for (std::size_t b = 0; b < count; ++b) sources[b] = batch(buffer, b) + begin;
                for (std::size_t j = 0; j < recovery; ++j)
                    path_.dot_product_add(sum(j) + begin, sources, &factors_[j * BATCH], count, end - begin);
            },
            beside);
    }

    void rebuild(std::size_t m, std::size_t width) {
        const std::size_t recovery = matrix_.chosen.size();
        std::fill(rebuilt(), rebuilt() + width, std::uint8_t{0});
        for (std::size_t first = 0; first < recovery; first += BATCH) {
            const std::size_t count = std::min(BATCH, recovery - first);
            for (std::size_t b = 0; b < count; ++b) path_.prepare(matrix_.factor(m, first + b), factors_[b]);
            in_two_halves(
                width, count,
                [&](std::size_t begin, std::size_t end) {
                    const std::uint8_t* sources[BATCH];
                    for (std::size_t b = 0; b < count; ++b) sources[b] = sum(first + b) + begin;
                    path_.dot_product_add(rebuilt() + begin, sources, factors_.data(), count, end - begin);
                },
                [] {});
        }
    }

    struct AlignedDelete {
        void operator()(std::uint8_t* memory) const { ::operator delete[](memory, std::align_val_t{STRIPE_UNIT}); }
    };

    const RepairPlan& plan_;
    RepairData& data_;
    const RepairMatrix matrix_;
    const Gf16Path& path_;
    std::size_t width_ = 0;
    std::uint64_t total_work_ = 0;
    std::uint64_t work_done_ = 0;
    std::vector<std::uint32_t> good_;
    std::vector<Gf16Factor> factors_;
    std::unique_ptr<std::uint8_t[], AlignedDelete> memory_;
};

}  // namespace

RepairEnd repair_slices(const RepairPlan& plan, RepairData& data, std::size_t memory) {
    if (plan.damaged.empty()) return RepairEnd::repaired;
    if (plan.damaged.size() > REPAIR_SLICE_LIMIT) return RepairEnd::no_memory;
    std::optional<RepairMatrix> matrix;
    try {
        matrix = solve_repair(plan.damaged, plan.exponents, [&data] { return data.stopped(); });
    } catch (const std::bad_alloc&) {
        return RepairEnd::no_memory;
    }
    if (data.stopped()) return RepairEnd::stopped;
    if (!matrix) return RepairEnd::singular;
    return SliceRepair(plan, data, std::move(*matrix), memory).run();
}

const char* repair_path_name() { return gf16_best_path().name; }

}  // namespace mendlet
