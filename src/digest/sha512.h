#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// FIPS 180-4 SHA-512, fed incrementally.
struct Sha512Context {
    std::uint64_t state[8];
    std::uint64_t count;       // number of bytes fed, mod 2^64
    std::uint8_t buffer[128];  // bytes of the current, incomplete block
};

void sha512_init(Sha512Context& context);

// Whole blocks are compressed straight from bytes; only those that do not fill a block
// wait in the context.
void sha512_update(Sha512Context& context, const std::uint8_t* bytes, std::size_t length);

// Pads, appends the bit length and returns the digest. The context is wiped
// and must be re-initialised before further use.
std::array<std::uint8_t, 64> sha512_final(Sha512Context& context);

// 128 lower-case hex digits in digest byte order.
std::string format_sha512(const std::array<std::uint8_t, 64>& digest);

}  // namespace mendlet
