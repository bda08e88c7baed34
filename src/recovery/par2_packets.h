#pragma once
// The packets of one file of a PAR 2.0 recovery set, found by their magic and checked by
// their MD5, as the PAR 2.0 format has clients do: a damaged or foreign packet is passed
// over, and after one the search goes on for the next magic, so that a damaged volume file
// still gives what it holds.
//
// Each packet is a 64-byte header (magic "PAR2\0PKT", the packet's length, the MD5 of the
// rest of the packet from the set ID on, the recovery set ID, the type) and a body; all
// numbers little-endian, every length a multiple of 4.
//
// Limits, so that no length in a file makes the reader allocate or read more than it holds:
// - a packet counts only when it lies within the file;
// - the body of a recovery slice packet is not read (only its exponent): it is checked when
//   a repair reads it. Nor is the body of a copy of a packet read before, known by the MD5
//   and the length in its header; other bodies are read up to PACKET_BODY_LIMIT;
// - a packet taken on its header alone is dropped when another packet's magic lies inside
//   it (its length lied: the bytes after its header are searched for a magic only when
//   none follows its end);
// - at most 4 times the file's size plus 1 MiB is read from a file: packets hidden past
//   that in a file made to be read again and again are not found.

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "recovery/readable_file.h"

namespace mendlet {

using Md5Digest = std::array<std::uint8_t, 16>;

inline constexpr std::uint64_t PACKET_HEADER_SIZE = 64;
inline constexpr std::uint64_t PACKET_BODY_LIMIT = 64ull << 20;

enum class PacketType { main, file_description, slice_checksums, recovery_slice, other };

struct Packet {
    // Where its magic starts, and the whole packet's length.
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    Md5Digest hash{};
    Md5Digest set_id{};
    PacketType type = PacketType::other;
    // Its body, checked by the hash; empty when it was not read (recovery slices, copies).
    std::vector<std::uint8_t> body;
    bool body_read = false;
    // A recovery slice's exponent (the first 4 bytes of its body).
    std::uint32_t exponent = 0;
};

// The packets of a file in file order. `known` maps the hashes of the packets read before
// (in other files) to their lengths; this adds those read here.
std::vector<Packet> scan_packets(ReadableFile& file, std::map<Md5Digest, std::uint64_t>& known);

// The little-endian numbers of the PAR 2.0 format.
std::uint32_t read_u32(const std::uint8_t* bytes);
std::uint64_t read_u64(const std::uint8_t* bytes);

}  // namespace mendlet
