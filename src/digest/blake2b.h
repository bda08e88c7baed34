#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// RFC 7693 BLAKE2b with a 64-byte digest and no key (b2sum's default), fed incrementally.
struct Blake2bContext {
    std::uint64_t state[8];
    std::uint64_t count[2];    // bytes compressed so far, mod 2^128, low word first
    std::uint8_t buffer[128];  // the block being filled, which may turn out to be the last
    std::size_t waiting;       // bytes in buffer, 0 to 128
};

void blake2b_init(Blake2bContext& context);

// Whole blocks are compressed straight from bytes, except the last 1 to 128 bytes fed so
// far: the last block is compressed differently, so it waits until more input shows it
// was not the last.
void blake2b_update(Blake2bContext& context, const std::uint8_t* bytes, std::size_t length);

// Compresses the last block and returns the digest. The context is wiped and must be
// re-initialised before further use.
std::array<std::uint8_t, 64> blake2b_final(Blake2bContext& context);

// 128 lower-case hex digits in digest byte order.
std::string format_blake2b(const std::array<std::uint8_t, 64>& digest);

}  // namespace mendlet
