#include "repair/gf16.h"

#include <array>
#include <cstddef>

namespace mendlet {

namespace {

// The multiplicative group's order.
constexpr std::uint32_t ORDER = 65535;

// Powers and logarithms of 2, which generates the multiplicative group; the powers twice
// over, so that a sum of two logarithms needs no reduction.
struct Tables {
    std::array<Gf16, 2 * ORDER> power;
    std::array<std::uint16_t, 65536> log;
    std::array<Gf16, GF16_INPUT_SLICE_CONSTANTS> input_constants;

    Tables() {
        std::uint32_t x = 1;
        for (std::uint32_t i = 0; i < ORDER; ++i) {
            power[i] = power[i + ORDER] = static_cast<Gf16>(x);
            log[x] = static_cast<std::uint16_t>(i);
            x <<= 1;
            if ((x & 0x10000u) != 0) x ^= GF16_POLYNOMIAL;
        }
        log[0] = 0;
        std::size_t next = 0;
        for (std::uint32_t n = 1; next < input_constants.size(); ++n)
            if (n % 3 != 0 && n % 5 != 0 && n % 17 != 0 && n % 257 != 0) input_constants[next++] = power[n];
    }
};

// Built on first use; C++ makes that safe between threads.
const Tables& tables() {
    static const Tables built;
    return built;
}

}  // namespace

Gf16 gf16_multiply(Gf16 a, Gf16 b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = tables();
    return t.power[t.log[a] + t.log[b]];
}

Gf16 gf16_divide(Gf16 a, Gf16 b) {
    if (a == 0) return 0;
    const Tables& t = tables();
    return t.power[t.log[a] + ORDER - t.log[b]];
}

Gf16 gf16_power(Gf16 base, std::uint64_t exponent) {
    if (exponent == 0) return 1;
    if (base == 0) return 0;
    const Tables& t = tables();
    return t.power[t.log[base] * (exponent % ORDER) % ORDER];
}

Gf16 input_slice_constant(std::uint32_t index) { return tables().input_constants[index]; }

}  // namespace mendlet
