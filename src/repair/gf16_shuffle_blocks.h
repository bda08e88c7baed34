#pragma once
// The block loop that the byte-shuffle ways share, whatever their register width. Each way
// includes this in its own file, compiled for its own instructions, and gives it a Lane of
// that file's own: BYTES (a block), Planes split(bytes) and join(bytes, planes) (a block's
// words as low and high bytes, and back), Tables load_tables(factor), and
// multiply_add(sums, planes, tables).

#include <cstddef>
#include <cstdint>

#include "repair/gf16_region.h"

namespace mendlet {

// Bytes of dst whose sums stay in registers while every source goes by: four blocks ran
// fastest, though the compiler then keeps some of the tables on the stack.
inline constexpr std::size_t SHUFFLE_BLOCKS = 4;

template <typename Lane>
void add_shuffle_blocks(std::uint8_t* dst, const std::uint8_t* const* sources, std::size_t at,
                        const Gf16Factor* factors, std::size_t count) {
    typename Lane::Planes sums[SHUFFLE_BLOCKS];
    for (std::size_t b = 0; b < SHUFFLE_BLOCKS; ++b) sums[b] = Lane::split(dst + at + Lane::BYTES * b);
    for (std::size_t s = 0; s < count; ++s) {
        const typename Lane::Tables tables = Lane::load_tables(factors[s]);
        for (std::size_t b = 0; b < SHUFFLE_BLOCKS; ++b)
            Lane::multiply_add(sums[b], Lane::split(sources[s] + at + Lane::BYTES * b), tables);
    }
    for (std::size_t b = 0; b < SHUFFLE_BLOCKS; ++b) Lane::join(dst + at + Lane::BYTES * b, sums[b]);
}

// The way's dot_product_add: whole runs of blocks, then the tail by the portable way.
template <typename Lane>
void shuffle_dot_product_add(std::uint8_t* dst, const std::uint8_t* const* sources, const Gf16Factor* factors,
                             std::size_t count, std::size_t bytes) {
    constexpr std::size_t run = Lane::BYTES * SHUFFLE_BLOCKS;
    const std::size_t whole = bytes - bytes % run;
    for (std::size_t at = 0; at < whole; at += run) add_shuffle_blocks<Lane>(dst, sources, at, factors, count);
    gf16_nibble_tables_add(dst, sources, whole, factors, count, bytes - whole);
}

}  // namespace mendlet
