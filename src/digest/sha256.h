#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// The initial hash value of FIPS 180-4, which BLAKE3 takes as its own.
inline constexpr std::uint32_t SHA256_INITIAL[8] = {0x6A09E667u, 0xBB67AE85u, 0x3C6EF372u, 0xA54FF53Au,
                                                    0x510E527Fu, 0x9B05688Cu, 0x1F83D9ABu, 0x5BE0CD19u};

// FIPS 180-4 SHA-256, fed incrementally.
struct Sha256Context {
    std::uint32_t state[8];
    std::uint64_t count;      // number of bytes fed, mod 2^64
    std::uint8_t buffer[64];  // bytes of the current, incomplete block
};

void sha256_init(Sha256Context& context);

// Whole blocks are compressed straight from bytes; only those that do not fill a block
// wait in the context.
void sha256_update(Sha256Context& context, const std::uint8_t* bytes, std::size_t length);

// Pads, appends the bit length and returns the digest. The context is wiped
// and must be re-initialised before further use.
std::array<std::uint8_t, 32> sha256_final(Sha256Context& context);

// 64 lower-case hex digits in digest byte order.
std::string format_sha256(const std::array<std::uint8_t, 32>& digest);

}  // namespace mendlet
