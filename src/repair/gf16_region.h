#pragma once
// The work a Reed–Solomon repair spends nearly all its time in: adding to a region of
// 16-bit little-endian words (GF(2^16) elements) several other regions, each multiplied by
// a constant. The ways of doing it differ by the instructions they need; tests compare
// them.

#include <cstddef>
#include <cstdint>

#include "repair/gf16.h"

namespace mendlet {

// A constant made ready for one way's multiplications: nibble tables for the shuffles, bit
// matrices for GFNI.
struct Gf16Factor {
    alignas(64) std::uint8_t tables[128];
};

// The most sources one call takes. Each is a stream of reads; past a few dozen of them the
// processor's prefetching loses track and the sums are better split into several calls.
inline constexpr std::size_t GF16_MAX_SOURCES = 64;

using Gf16Prepare = void (*)(Gf16 factor, Gf16Factor& prepared);
// dst[w] ^= factor[0]·sources[0][w] ^ ... ^ factor[count-1]·sources[count-1][w] for each
// word w of `bytes` (even): count from 1 to GF16_MAX_SOURCES, factors prepared by the same
// way, no alignment needed, dst apart from the sources.
using Gf16DotProductAdd = void (*)(std::uint8_t* dst, const std::uint8_t* const* sources, const Gf16Factor* factors,
                                   std::size_t count, std::size_t bytes);

struct Gf16Path {
    const char* name;
    Gf16Prepare prepare;                // none when this processor cannot
    Gf16DotProductAdd dot_product_add;  // none when this processor cannot
};

// Four table lookups a word, on any processor.
Gf16Path gf16_portable_path();
// The same tables looked up 16 or 32 bytes at a time by SSSE3's or AVX2's byte shuffle.
Gf16Path gf16_ssse3_path();
Gf16Path gf16_avx2_path();
// The multiplication as a bit matrix, applied 64 bytes at a time by GFNI with AVX-512.
Gf16Path gf16_gfni_path();
// The fastest of them that this processor runs, chosen once.
const Gf16Path& gf16_best_path();

// The portable way's own: its factors are the shuffles' tables, and it adds the words from
// `offset` on (of dst and of each source), where the shuffles leave a tail too short for them.
void gf16_nibble_tables_prepare(Gf16 factor, Gf16Factor& prepared);
void gf16_nibble_tables_add(std::uint8_t* dst, const std::uint8_t* const* sources, std::size_t offset,
                            const Gf16Factor* factors, std::size_t count, std::size_t bytes);

}  // namespace mendlet
