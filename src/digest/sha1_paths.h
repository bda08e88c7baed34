#pragma once
// The two ways sha1_update compresses: portable code on any processor, and the SHA
// extensions where the processor has them. Tests compare them.

#include <cstddef>
#include <cstdint>

namespace mendlet {

// Compresses `count` whole 64-byte blocks into the five state words.
using Sha1Compressor = void (*)(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);

void sha1_portable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);

// The compression with the SHA extensions; none when this processor lacks them.
Sha1Compressor sha1_extensions_compressor();

}  // namespace mendlet
