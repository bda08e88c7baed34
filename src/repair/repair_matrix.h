#pragma once
// Which recovery slices rebuild the damaged input slices, and with what factors.
//
// In the PAR 2.0 format the recovery slice of exponent e is the sum, over the input slices
// i, of c_i^e times slice i, each c_i being the input slice's constant. With the good
// slices' share added back onto the recovery slices (addition is subtraction in GF(2^16)),
// as many recovery slices as there are damaged slices form a square system in the damaged
// ones; its inverse gives each damaged slice as a sum of those adjusted recovery slices.
//
// The format's constants do not rule out a singular choice: then a recovery slice that
// added nothing new gives way to the next one offered, until none are left.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "repair/gf16.h"

namespace mendlet {

struct RepairMatrix {
    // For each row of the inverse, the index in the exponents offered of the recovery slice
    // that its column stands for; as many as there are damaged slices.
    std::vector<std::size_t> chosen;
    // Row m, column j: the factor by which adjusted recovery slice chosen[j] goes into
    // damaged slice m; row-major.
    std::vector<Gf16> inverse;

    Gf16 factor(std::size_t damaged, std::size_t recovery) const { return inverse[damaged * chosen.size() + recovery]; }
};

// The damaged input slices by index in the set's order, and the exponents of the recovery
// slices at hand in the order to use them (distinct); none when no choice of them is
// regular, or there are too few, or once stopped() holds (asked once a column).
std::optional<RepairMatrix> solve_repair(
    const std::vector<std::uint32_t>& damaged, const std::vector<std::uint32_t>& exponents,
    const std::function<bool()>& stopped = [] { return false; });

}  // namespace mendlet
