#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mendlet {

// Starting value of the running CRC-32 (reflected, polynomial 0xEDB88320).
inline constexpr std::uint32_t CRC32_INITIAL = 0xFFFFFFFFu;

// Feeds bytes into a running CRC-32 value. The value is not complemented here,
// so calls can be chained; format_crc32 applies the final complement.
std::uint32_t crc32_update(std::uint32_t value, const std::uint8_t* bytes, std::size_t length);

// The running value of A followed by B, from the running values of A and of B, each
// started from CRC32_INITIAL as crc32_update leaves them, and B's length in bytes. The
// result is again a running value: format_crc32 renders it, crc32_update continues it.
// Per-part values of one pass thus give the whole file's without a second pass. The time
// grows with the number of bits in length_b, not with length_b.
std::uint32_t crc32_combine(std::uint32_t crc_a, std::uint32_t crc_b, std::uint64_t length_b);

// The 256-entry byte-at-a-time table.
const std::array<std::uint32_t, 256>& crc32_table();

// Complements the running value and renders it as 8 lower-case hex digits.
std::string format_crc32(std::uint32_t value);

}  // namespace mendlet
