#pragma once
// Arithmetic in GF(2^16) as the PAR 2.0 format defines it: elements are 16-bit words,
// taken as polynomials over GF(2) modulo x^16 + x^12 + x^3 + x + 1; addition is XOR.

#include <cstdint>

namespace mendlet {

using Gf16 = std::uint16_t;

// x^16 + x^12 + x^3 + x + 1.
inline constexpr std::uint32_t GF16_POLYNOMIAL = 0x1100B;
// The input slices a recovery set can have: one for each power of 2 whose exponent is
// coprime to 65535.
inline constexpr std::uint32_t GF16_INPUT_SLICE_CONSTANTS = 32768;

Gf16 gf16_multiply(Gf16 a, Gf16 b);
// a / b, for b other than 0.
Gf16 gf16_divide(Gf16 a, Gf16 b);
// base to the power exponent; 0 to the power 0 is 1.
Gf16 gf16_power(Gf16 base, std::uint64_t exponent);
// The constant by which the PAR 2.0 format multiplies input slice `index` (from 0, below
// GF16_INPUT_SLICE_CONSTANTS) of a recovery set: 2^n, for the index-th n of 1, 2, 4, 7, 8,
// 11, ... (positive, divisible by none of 3, 5, 17 and 257), so that each generates the
// field's whole multiplicative group.
Gf16 input_slice_constant(std::uint32_t index);

}  // namespace mendlet
