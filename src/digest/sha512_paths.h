#pragma once
// The ways sha512_update compresses: code for any processor, and the same code compiled for
// processors with AVX2 and BMI2, and with AVX-512 besides. Tests compare them.

#include <cstddef>
#include <cstdint>

namespace mendlet {

// Compresses `count` whole 128-byte blocks into the eight state words.
using Sha512Compressor = void (*)(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);

void sha512_portable(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);

// The compression compiled for AVX2 and BMI2; none when this processor lacks them.
Sha512Compressor sha512_wide_compressor();
// The compression compiled for AVX-512 (F and VL) besides; none when this processor lacks it.
Sha512Compressor sha512_avx512_compressor();

}  // namespace mendlet
