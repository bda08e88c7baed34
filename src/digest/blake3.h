#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "digest/blake3_paths.h"

namespace mendlet {

// BLAKE3 with its 256-bit default output and no key (b3sum's default), fed incrementally.
// The input is cut into chunks of 1 KiB whose chaining values are the leaves of a binary
// tree. Chunks are hashed side by side in groups of 16; their chaining values wait until a
// subtree of 256 chunks is whole, whose parents are hashed side by side too.
struct Blake3Context {
    static constexpr std::size_t CHUNK = 1024;
    static constexpr std::size_t GROUP = 16;     // chunks hashed together
    static constexpr std::size_t SUBTREE = 256;  // chunks whose parents are hashed together

    Blake3Lanes wide;      // the widest way of hashing side by side that is used
    std::uint64_t chunks;  // chunks hashed so far
    std::size_t waiting;   // bytes in buffer
    std::size_t stacked;   // chaining values in stack
    // The roots of the whole subtrees so far, largest first: one for each bit of `chunks`
    // above those of the chunks in `pending`. 2^64 bytes are 2^54 chunks.
    std::uint8_t stack[54][32];
    std::uint8_t pending[SUBTREE][32];  // the chaining values of the chunks since the last whole subtree
    // Up to a group of chunks not hashed yet: the last chunk fed always waits here, as the
    // root is hashed differently.
    std::uint8_t buffer[GROUP * CHUNK];
};

// Hashes side by side with the widest way this processor has.
void blake3_init(Blake3Context& context);
// Hashes side by side with `wide` (and one input at a time what is left), for tests that
// compare the ways.
void blake3_init(Blake3Context& context, Blake3Lanes wide);

void blake3_update(Blake3Context& context, const std::uint8_t* bytes, std::size_t length);

// Hashes what waits and the tree's right edge, and returns the digest. The context is
// wiped and must be re-initialised before further use.
std::array<std::uint8_t, 32> blake3_final(Blake3Context& context);

// 64 lower-case hex digits in digest byte order.
std::string format_blake3(const std::array<std::uint8_t, 32>& digest);

}  // namespace mendlet
