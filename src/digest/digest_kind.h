#pragma once
// The kinds of digest that checksum files list and a join can compute.

#include <array>
#include <cstddef>
#include <initializer_list>
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

// "CRC32", "MD5", "SHA-1", "SHA-256", "SHA-512", "BLAKE2b" or "BLAKE3", as messages name a
// digest.
const wchar_t* digest_name(DigestKind kind);

// A set of digest kinds.
class DigestKinds {
public:
    DigestKinds() = default;
    DigestKinds(std::initializer_list<DigestKind> kinds) {
        for (const DigestKind kind : kinds) add(kind);
    }

    bool has(DigestKind kind) const { return (bits_ & bit(kind)) != 0; }
    void add(DigestKind kind) { bits_ |= bit(kind); }
    void add(DigestKinds kinds) { bits_ |= kinds.bits_; }
    void remove(DigestKind kind) { bits_ &= ~bit(kind); }
    bool any() const { return bits_ != 0; }
    // The CRC-32 alone, if it is one of them; the others without it.
    DigestKinds crc32_only() const { return from_bits(bits_ & bit(DigestKind::crc32)); }
    DigestKinds hashes_only() const { return from_bits(bits_ & ~bit(DigestKind::crc32)); }

    bool operator==(const DigestKinds&) const = default;

private:
    static unsigned bit(DigestKind kind) { return 1u << static_cast<unsigned>(kind); }
    static DigestKinds from_bits(unsigned bits) {
        DigestKinds kinds;
        kinds.bits_ = bits;
        return kinds;
    }
    unsigned bits_ = 0;
};

}  // namespace mendlet
