#pragma once
// The ways BLAKE3 hashes several inputs side by side: one at a time on any processor, and
// 4, 8 or 16 at a time with SSE4.1, AVX2 or AVX-512. Tests compare them.

#include <cstddef>
#include <cstdint>

namespace mendlet {

// The chaining values of `lanes` inputs of `blocks` 64-byte blocks each, one after the
// other from `input`, into 32 bytes each from `cvs`: chunks (whole ones, none of them the
// root) numbered from `counter`, or, with `counter` unused, parents.
using Blake3Hasher = void (*)(const std::uint8_t* input, std::size_t blocks, bool chunks, std::uint64_t counter,
                              std::uint8_t* cvs);

struct Blake3Lanes {
    std::size_t lanes;
    Blake3Hasher hash;  // none when this processor cannot
};

Blake3Lanes blake3_portable_lanes();
Blake3Lanes blake3_sse41_lanes();
Blake3Lanes blake3_avx2_lanes();
Blake3Lanes blake3_avx512_lanes();

}  // namespace mendlet
