#pragma once
// The two ways crc32_update computes: sixteen table look-ups per 16 bytes on any
// processor, and carry-less multiplication where the processor has it. Tests compare them.

#include <cstddef>
#include <cstdint>

namespace mendlet {

std::uint32_t crc32_sliced(std::uint32_t value, const std::uint8_t* bytes, std::size_t length);

// Feeds whole 16-byte blocks, at least 64 bytes, into a running CRC-32 value.
using Crc32Folder = std::uint32_t (*)(std::uint32_t value, const std::uint8_t* bytes, std::size_t length);
inline constexpr std::size_t CRC32_FOLD_MINIMUM = 64;

// The folding with carry-less multiplication; none when this processor cannot do it.
Crc32Folder crc32_clmul_folder();

}  // namespace mendlet
