#pragma once
// The ways blake2b_update compresses: portable code for any processor, and the rows of the
// state on the vector unit with AVX2. Tests compare them.

#include <cstdint>

namespace mendlet {

// Compresses one 128-byte block into the eight state words, with the byte count `low`,
// `high` that it ends and whether it is the last block.
using Blake2bCompressor = void (*)(std::uint64_t state[8], const std::uint8_t* block, std::uint64_t low,
                                   std::uint64_t high, bool last);

void blake2b_portable(std::uint64_t state[8], const std::uint8_t* block, std::uint64_t low, std::uint64_t high,
                      bool last);

// The compression with AVX2; none when this processor lacks it.
Blake2bCompressor blake2b_avx2_compressor();

// The order in which each round takes the message words.
inline constexpr std::uint8_t BLAKE2B_SIGMA[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4}, {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13}, {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11}, {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5}, {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

}  // namespace mendlet
