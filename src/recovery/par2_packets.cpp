#include "recovery/par2_packets.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "digest/md5.h"

namespace mendlet {

namespace {

constexpr std::string_view MAGIC("PAR2\0PKT", 8);
// A recovery slice's header and its exponent: all that is read of it.
constexpr std::size_t HEADER_READ = PACKET_HEADER_SIZE + 4;
constexpr std::size_t SEARCH_CHUNK = 64 * 1024;

constexpr std::string_view TYPES[] = {
    std::string_view("PAR 2.0\0Main\0\0\0\0", 16),
    std::string_view("PAR 2.0\0FileDesc", 16),
    std::string_view("PAR 2.0\0IFSC\0\0\0\0", 16),
    std::string_view("PAR 2.0\0RecvSlic", 16),
};

std::string_view text_of(const std::uint8_t* bytes, std::size_t length) {
    return {reinterpret_cast<const char*>(bytes), length};
}

PacketType type_of(const std::uint8_t* field) {
    const auto found = std::find(std::begin(TYPES), std::end(TYPES), text_of(field, 16));
    return found == std::end(TYPES) ? PacketType::other : static_cast<PacketType>(found - std::begin(TYPES));
}

Md5Digest digest_at(const std::uint8_t* bytes) {
    Md5Digest digest;
    std::copy(bytes, bytes + digest.size(), digest.begin());
    return digest;
}

class Scanner {
public:
    Scanner(ReadableFile& file, std::map<Md5Digest, std::uint64_t>& known)
        : file_(file), size_(file.size()), budget_(4 * std::min(size_, UINT64_MAX / 8) + (1u << 20)), known_(known) {}

    std::vector<Packet> scan() {
        std::optional<std::uint64_t> at = find_magic(0);
        while (at) at = take_packet(*at);
        return std::move(packets_);
    }

private:
    // Exactly `length` bytes at `offset`, within the budget; false otherwise.
    bool read(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
        if (length > budget_ || offset > size_ || length > size_ - offset) return false;
        budget_ -= length;
        return file_.read_at(offset, buffer, length) == length;
    }

    bool magic_at(std::uint64_t offset) {
        std::uint8_t bytes[MAGIC.size()];
        return read(offset, bytes, sizeof bytes) && text_of(bytes, sizeof bytes) == MAGIC;
    }

    // The first magic at or after `from`; none at the end of the file or of what may be read.
    std::optional<std::uint64_t> find_magic(std::uint64_t from) {
        if (magic_at(from)) return from;
        std::vector<std::uint8_t> chunk;
        for (; from < size_; from += SEARCH_CHUNK - (MAGIC.size() - 1)) {
            chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(SEARCH_CHUNK, size_ - from)));
            if (chunk.size() < MAGIC.size() || !read(from, chunk.data(), chunk.size())) return std::nullopt;
            const std::size_t found = text_of(chunk.data(), chunk.size()).find(MAGIC);
            if (found != std::string_view::npos) return from + found;
            if (chunk.size() < SEARCH_CHUNK) return std::nullopt;
        }
        return std::nullopt;
    }

    // Reads the packet whose magic is at `at` and returns where the next one starts.
    std::optional<std::uint64_t> take_packet(std::uint64_t at) {
        std::uint8_t header[HEADER_READ];
        const std::size_t header_length = static_cast<std::size_t>(std::min<std::uint64_t>(HEADER_READ, size_ - at));
        if (header_length < PACKET_HEADER_SIZE || !read(at, header, header_length)) return find_magic(at + 1);
        Packet packet;
        packet.offset = at;
        packet.length = read_u64(header + 8);
        packet.hash = digest_at(header + 16);
        packet.set_id = digest_at(header + 32);
        packet.type = type_of(header + 48);
        if (packet.length < PACKET_HEADER_SIZE || packet.length % 4 != 0 || packet.length > size_ - at)
            return find_magic(at + 1);
        const auto copy = known_.find(packet.hash);
        if (packet.type == PacketType::recovery_slice) {
            if (header_length < HEADER_READ) return find_magic(at + 1);
            packet.exponent = read_u32(header + PACKET_HEADER_SIZE);
            return take_on_header(std::move(packet));
        }
        if (copy != known_.end() && copy->second == packet.length) return take_on_header(std::move(packet));
        if (!read_body(packet)) return find_magic(at + 1);
        known_.emplace(packet.hash, packet.length);
        packets_.push_back(std::move(packet));
        return find_magic(at + packets_.back().length);
    }

    // Reads the body and checks the packet's hash.
    bool read_body(Packet& packet) {
        const std::uint64_t body_length = packet.length - PACKET_HEADER_SIZE;
        if (body_length > PACKET_BODY_LIMIT) return false;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(packet.length));
        if (!read(packet.offset, bytes.data(), bytes.size())) return false;
        Md5Context context;
        md5_init(context);
        md5_update(context, bytes.data() + 32, static_cast<std::uint32_t>(bytes.size() - 32));
        if (md5_final(context) != packet.hash) return false;
        packet.body.assign(bytes.begin() + PACKET_HEADER_SIZE, bytes.end());
        packet.body_read = true;
        return true;
    }

    // A packet whose body is not read counts unless another packet starts inside it: where
    // no magic follows its end, the bytes after its header are searched.
    std::optional<std::uint64_t> take_on_header(Packet packet) {
        const std::uint64_t end = packet.offset + packet.length;
        std::optional<std::uint64_t> next;
        if (end < size_ && magic_at(end)) {
            next = end;
        } else if (end < size_) {
            next = find_magic(packet.offset + MAGIC.size());
            if (next && *next < end) return next;
        }
        packets_.push_back(std::move(packet));
        return next;
    }

    ReadableFile& file_;
    const std::uint64_t size_;
    std::uint64_t budget_;
    std::map<Md5Digest, std::uint64_t>& known_;
    std::vector<Packet> packets_;
};

}  // namespace

std::uint32_t read_u32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint64_t read_u64(const std::uint8_t* bytes) {
    return read_u32(bytes) | static_cast<std::uint64_t>(read_u32(bytes + 4)) << 32;
}

std::vector<Packet> scan_packets(ReadableFile& file, std::map<Md5Digest, std::uint64_t>& known) {
    return Scanner(file, known).scan();
}

}  // namespace mendlet
