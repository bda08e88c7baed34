#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// FIPS 180-4 SHA-1, fed incrementally.
struct Sha1Context {
    std::uint32_t state[5];
    std::uint64_t count;      // number of bytes fed, mod 2^64
    std::uint8_t buffer[64];  // bytes of the current, incomplete block
};

void sha1_init(Sha1Context& context);

// Whole blocks are compressed straight from bytes; only those that do not fill a block
// wait in the context.
void sha1_update(Sha1Context& context, const std::uint8_t* bytes, std::size_t length);

// Pads, appends the bit length and returns the digest. The context is wiped
// and must be re-initialised before further use.
std::array<std::uint8_t, 20> sha1_final(Sha1Context& context);

// 40 lower-case hex digits in digest byte order.
std::string format_sha1(const std::array<std::uint8_t, 20>& digest);

}  // namespace mendlet
