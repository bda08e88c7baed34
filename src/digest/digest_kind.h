#pragma once
// The kinds of digest that checksum files list and a join can compute.

#include <array>
#include <cstddef>
#include <optional>

namespace mendlet {

enum class DigestKind { crc32, md5, sha1, sha256, sha512 };

inline constexpr std::array<DigestKind, 5> DIGEST_KINDS{DigestKind::crc32, DigestKind::md5, DigestKind::sha1,
                                                        DigestKind::sha256, DigestKind::sha512};

// Hex digits of a digest: 8, 32, 40, 64 or 128.
std::size_t digest_hex_length(DigestKind kind);

// The hash whose hex has that many digits: 32 MD5, 40 SHA-1, 64 SHA-256, 128 SHA-512. A
// CRC-32's 8 digits are too few to say what they are, outside an SFV file.
std::optional<DigestKind> hash_of_hex_length(std::size_t digits);

}  // namespace mendlet
