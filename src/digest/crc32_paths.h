#pragma once
// The ways crc32_update computes: sixteen table look-ups per 16 bytes on any processor,
// and carry-less multiplication where the processor has it, on 128-bit registers or, for
// longer runs, on 256-bit ones. Tests compare them.

#include <cstddef>
#include <cstdint>

namespace mendlet {

std::uint32_t crc32_sliced(std::uint32_t value, const std::uint8_t* bytes, std::size_t length);

// Feeds whole 16-byte blocks, at least 64 bytes, into a running CRC-32 value.
using Crc32Folder = std::uint32_t (*)(std::uint32_t value, const std::uint8_t* bytes, std::size_t length);
inline constexpr std::size_t CRC32_FOLD_MINIMUM = 64;

// The folding with carry-less multiplication; none when this processor cannot do it.
Crc32Folder crc32_clmul_folder();
// The same with 256-bit registers, which hands what is left to the former; none when this
// processor cannot.
Crc32Folder crc32_wide_clmul_folder();

// CRC-32's polynomial with its x^32 term.
inline constexpr std::uint64_t CRC32_POLYNOMIAL = 0x104C11DB7u;

constexpr std::uint64_t crc32_reflect(std::uint64_t v, int bits) {
    std::uint64_t r = 0;
    for (int i = 0; i < bits; ++i) r |= ((v >> i) & 1u) << (bits - 1 - i);
    return r;
}

// What folds a 64-bit half across n bits: x^n mod P. The bit order of this CRC is
// reflected, so the constant is too; shifted left by one, a remainder lines up with the
// 64-bit products.
constexpr std::int64_t crc32_fold_constant(int n) {
    std::uint64_t r = 1;
    for (int i = 0; i < n; ++i) {
        r <<= 1;
        if ((r >> 32) != 0) r ^= CRC32_POLYNOMIAL;
    }
    return static_cast<std::int64_t>(crc32_reflect(r, 32) << 1);
}

}  // namespace mendlet
