#pragma once
// The kinds of digest that checksum files list and a join can compute.

#include <array>
#include <cstddef>
#include <optional>

namespace mendlet {

// BLAKE2b is BLAKE2b-512 and BLAKE3 its 256-bit default output, as b2sum and b3sum write them.
enum class DigestKind { crc32, md5, sha1, sha256, sha512, blake2b, blake3 };

inline constexpr std::array<DigestKind, 7> DIGEST_KINDS{DigestKind::crc32,  DigestKind::md5,     DigestKind::sha1,
                                                        DigestKind::sha256, DigestKind::sha512, DigestKind::blake2b,
                                                        DigestKind::blake3};

// Hex digits of a digest: 8, 32, 40, 64 or 128.
std::size_t digest_hex_length(DigestKind kind);

// The hash whose hex has that many digits, for a listing that names no kind: 32 MD5, 40
// SHA-1, 64 SHA-256, 128 SHA-512. A CRC-32's 8 digits are too few to say what they are,
// outside an SFV file, and BLAKE2b and BLAKE3 are only taken where a file says so: their
// lengths are SHA-512's and SHA-256's.
std::optional<DigestKind> hash_of_hex_length(std::size_t digits);

}  // namespace mendlet
