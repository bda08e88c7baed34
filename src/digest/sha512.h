#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// The initial hash value of FIPS 180-4, which BLAKE2b takes as its own.
inline constexpr std::uint64_t SHA512_INITIAL[8] = {0x6A09E667F3BCC908ull, 0xBB67AE8584CAA73Bull, 0x3C6EF372FE94F82Bull,
                                                    0xA54FF53A5F1D36F1ull, 0x510E527FADE682D1ull, 0x9B05688C2B3E6C1Full,
                                                    0x1F83D9ABFB41BD6Bull, 0x5BE0CD19137E2179ull};

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
