#include "repair/repair_matrix.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "repair/gf16_region.h"

namespace mendlet {

namespace {

// Gauss–Jordan elimination of a square matrix beside the identity, row-major. On success
// the identity has become the inverse, with columns in the rows' original order (swaps
// apply to both halves). On failure: the original row that proved dependent.
class Elimination {
public:
    Elimination(std::vector<Gf16> matrix, std::size_t size)
        : size_(size), left_(std::move(matrix)), right_(size * size, 0), rows_(size) {
        for (std::size_t i = 0; i < size; ++i) {
            right_[i * size + i] = 1;
            rows_[i] = i;
        }
    }

    // None when done or stopped; else the original row with nothing left for the column.
    std::optional<std::size_t> run(const std::function<bool()>& stopped) {
        for (std::size_t column = 0; column < size_; ++column) {
            if (stopped()) return std::nullopt;
            std::size_t pivot = column;
            while (pivot < size_ && at(left_, pivot, column) == 0) ++pivot;
            if (pivot == size_) return rows_[column];
            swap_rows(pivot, column);
            scale_row(column, gf16_divide(1, at(left_, column, column)));
            for (std::size_t row = 0; row < size_; ++row)
                if (row != column && at(left_, row, column) != 0) add_row(row, column, at(left_, row, column));
        }
        return std::nullopt;
    }

    std::vector<Gf16> inverse() && { return std::move(right_); }

private:
    Gf16& at(std::vector<Gf16>& m, std::size_t row, std::size_t column) { return m[row * size_ + column]; }

    void swap_rows(std::size_t a, std::size_t b) {
        if (a == b) return;
        for (std::size_t c = 0; c < size_; ++c) {
            std::swap(at(left_, a, c), at(left_, b, c));
            std::swap(at(right_, a, c), at(right_, b, c));
        }
        std::swap(rows_[a], rows_[b]);
    }

    void scale_row(std::size_t row, Gf16 factor) {
        std::vector<Gf16> scaled(size_, 0);
        for (std::vector<Gf16>* half : {&left_, &right_}) {
            std::fill(scaled.begin(), scaled.end(), Gf16{0});
            add_words(scaled.data(), &at(*half, row, 0), factor);
            std::copy(scaled.begin(), scaled.end(), &at(*half, row, 0));
        }
    }

    // row -= factor * source, which in GF(2^16) is an addition.
    void add_row(std::size_t row, std::size_t source, Gf16 factor) {
        add_words(&at(left_, row, 0), &at(left_, source, 0), factor);
        add_words(&at(right_, row, 0), &at(right_, source, 0), factor);
    }

    // A row is a region of words as the repair's multiply-adds take them, on processors that
    // store words as the PAR 2.0 format does, low byte first: a system of thousands of
    // slices is then solved in seconds, not hours.
    void add_words(Gf16* row, const Gf16* source, Gf16 factor) const {
        if constexpr (std::endian::native == std::endian::little) {
            Gf16Factor prepared;
            path_.prepare(factor, prepared);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(source);
            path_.dot_product_add(reinterpret_cast<std::uint8_t*>(row), &bytes, &prepared, 1, size_ * sizeof(Gf16));
        } else {
            for (std::size_t c = 0; c < size_; ++c) row[c] ^= gf16_multiply(source[c], factor);
        }
    }

    const Gf16Path& path_ = gf16_best_path();
    std::size_t size_;
    std::vector<Gf16> left_;
    std::vector<Gf16> right_;
    // The original row now at each position.
    std::vector<std::size_t> rows_;
};

// Row j, column m: what damaged slice m contributes to recovery slice chosen[j].
std::vector<Gf16> system_matrix(const std::vector<std::uint32_t>& damaged, const std::vector<std::uint32_t>& exponents,
                                const std::vector<std::size_t>& chosen) {
    const std::size_t size = damaged.size();
    std::vector<Gf16> matrix(size * size);
    for (std::size_t j = 0; j < size; ++j)
        for (std::size_t m = 0; m < size; ++m)
            matrix[j * size + m] = gf16_power(input_slice_constant(damaged[m]), exponents[chosen[j]]);
    return matrix;
}

}  // namespace

std::optional<RepairMatrix> solve_repair(const std::vector<std::uint32_t>& damaged,
                                         const std::vector<std::uint32_t>& exponents,
                                         const std::function<bool()>& stopped) {
    const std::size_t size = damaged.size();
    if (exponents.size() < size) return std::nullopt;
    RepairMatrix result;
    for (std::size_t j = 0; j < size; ++j) result.chosen.push_back(j);
    std::size_t next = size;
    for (;;) {
        Elimination elimination(system_matrix(damaged, exponents, result.chosen), size);
        const std::optional<std::size_t> dependent = elimination.run(stopped);
        if (stopped()) return std::nullopt;
        if (!dependent) {
            result.inverse = std::move(elimination).inverse();
            return result;
        }
        if (next == exponents.size()) return std::nullopt;
        result.chosen[*dependent] = next++;
    }
}

}  // namespace mendlet
