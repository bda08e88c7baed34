#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mendlet {

// RFC 1321 MD5, fed incrementally.
struct Md5Context {
    std::uint32_t state[4];
    std::uint32_t count[2];   // number of bits fed, mod 2^64, low word first
    std::uint8_t buffer[64];  // bytes of the current, incomplete block
};

void md5_init(Md5Context& context);
void md5_update(Md5Context& context, const std::uint8_t* bytes, std::uint32_t length);

// Pads, appends the bit length and returns the digest. The context is wiped
// and must be re-initialised before further use.
std::array<std::uint8_t, 16> md5_final(Md5Context& context);

// Compresses one 64-byte block into state (words read least significant byte first).
void md5_transform(std::uint32_t state[4], const std::uint8_t block[64]);

// 32 lower-case hex digits in digest byte order.
std::string format_md5(const std::array<std::uint8_t, 16>& digest);

}  // namespace mendlet
