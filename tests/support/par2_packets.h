#pragma once
// PAR 2.0 packets made by hand, hashed with the program's own MD5, for the cases a real set
// cannot show (lying lengths, damaged packets, sets side by side), for the tests and the
// fuzz seeds alike.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "digest/crc32.h"
#include "digest/md5.h"
#include "recovery/recovery_set.h"
#include "repair/gf16.h"

namespace mendlet::test_support {

using Bytes = std::vector<std::uint8_t>;

inline const std::string_view MAIN_TYPE("PAR 2.0\0Main\0\0\0\0", 16);
inline const std::string_view DESCRIPTION_TYPE("PAR 2.0\0FileDesc", 16);
inline const std::string_view CHECKSUMS_TYPE("PAR 2.0\0IFSC\0\0\0\0", 16);
inline const std::string_view RECOVERY_TYPE("PAR 2.0\0RecvSlic", 16);
inline const std::string_view CREATOR_TYPE("PAR 2.0\0Creator\0", 16);

inline Md5Digest md5_of(const std::uint8_t* bytes, std::size_t length) {
    Md5Context context;
    md5_init(context);
    md5_update(context, bytes, static_cast<std::uint32_t>(length));
    return md5_final(context);
}
inline Md5Digest md5_of(const Bytes& bytes) { return md5_of(bytes.data(), bytes.size()); }

inline void put_u32(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void put_u64(Bytes& bytes, std::uint64_t value) {
    put_u32(bytes, static_cast<std::uint32_t>(value));
    put_u32(bytes, static_cast<std::uint32_t>(value >> 32));
}
template <typename Range>
void put(Bytes& bytes, const Range& more) {
    bytes.insert(bytes.end(), std::begin(more), std::end(more));
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    put(a, b);
    return a;
}
inline Bytes flipped(Bytes bytes, std::size_t at) {
    bytes[at] ^= 0x40;
    return bytes;
}
// The bytes with a number written over 8 of them: a packet's length at 8, say.
inline Bytes with_u64_at(Bytes bytes, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}
inline Bytes cut(Bytes bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

// A whole packet: header (magic, length, MD5, set ID, type) and body.
inline Bytes par2_packet(const Md5Digest& set_id, std::string_view type, const Bytes& body) {
    // Copied into its room: GCC 12 warns of an overflow that cannot happen where it grows.
    Bytes hashed(set_id.size() + type.size() + body.size());
    std::copy(body.begin(), body.end(),
              std::copy(type.begin(), type.end(), std::copy(set_id.begin(), set_id.end(), hashed.begin())));
    Bytes packet;
    put(packet, std::string_view("PAR2\0PKT", 8));
    put_u64(packet, 32 + hashed.size());
    put(packet, md5_of(hashed));
    put(packet, hashed);
    return packet;
}

// A file of a set: its name as the packets list it, and its bytes.
struct DataFile {
    std::string name;
    Bytes bytes;
};

// A recovery set over some files, whose first `recoverable` files form the recovery set.
class HandMadeSet {
public:
    HandMadeSet(std::uint64_t slice_size, std::vector<DataFile> files, std::size_t recoverable)
        : slice_size_(slice_size), files_(std::move(files)), recoverable_(recoverable) {
        for (const DataFile& file : files_) {
            Bytes fields;
            put(fields, md5_16k(file));
            put_u64(fields, file.bytes.size());
            put(fields, padded_name(file));
            ids_.push_back(md5_of(fields));
        }
        id_ = md5_of(main_body());
    }

    const Md5Digest& id() const { return id_; }
    const Md5Digest& file_id(std::size_t i) const { return ids_[i]; }

    Bytes main_body() const {
        Bytes body;
        put_u64(body, slice_size_);
        put_u32(body, static_cast<std::uint32_t>(recoverable_));
        for (const Md5Digest& id : in_main_order()) put(body, id);
        return body;
    }
    Bytes main() const { return par2_packet(id_, MAIN_TYPE, main_body()); }

    Bytes description_body(std::size_t i) const {
        Bytes body;
        put(body, ids_[i]);
        put(body, md5_of(files_[i].bytes));
        put(body, md5_16k(files_[i]));
        put_u64(body, files_[i].bytes.size());
        put(body, padded_name(files_[i]));
        return body;
    }
    Bytes description(std::size_t i) const { return par2_packet(id_, DESCRIPTION_TYPE, description_body(i)); }

    Bytes checksums_body(std::size_t i) const {
        Bytes body;
        put(body, ids_[i]);
        for (const SliceChecksum& slice : slices_of(files_[i])) {
            put(body, slice.md5);
            put_u32(body, slice.crc32);
        }
        return body;
    }
    Bytes checksums(std::size_t i) const { return par2_packet(id_, CHECKSUMS_TYPE, checksums_body(i)); }

    // Made word by word as the PAR 2.0 format defines it: the sum, over the recovery set's
    // slices in the main packet's order, of each slice times its constant to the exponent.
    Bytes recovery(std::uint32_t exponent) const {
        Bytes body(4 + slice_size_, 0);
        for (int i = 0; i < 4; ++i) body[i] = static_cast<std::uint8_t>(exponent >> (8 * i));
        std::uint32_t input = 0;
        for (const Md5Digest& id : in_main_order()) {
            const std::size_t i = static_cast<std::size_t>(std::find(ids_.begin(), ids_.end(), id) - ids_.begin());
            if (i >= recoverable_) continue;
            const Bytes& bytes = files_[i].bytes;
            for (std::size_t at = 0; at < bytes.size(); at += slice_size_, ++input) {
                const Gf16 factor = gf16_power(input_slice_constant(input), exponent);
                for (std::size_t w = 0; w < slice_size_ && at + w < bytes.size(); w += 2) {
                    const auto high = static_cast<unsigned>(at + w + 1 < bytes.size() ? bytes[at + w + 1] : 0);
                    const Gf16 product = gf16_multiply(factor, static_cast<Gf16>(bytes[at + w] | high << 8));
                    body[4 + w] ^= static_cast<std::uint8_t>(product);
                    body[4 + w + 1] ^= static_cast<std::uint8_t>(product >> 8);
                }
            }
        }
        return par2_packet(id_, RECOVERY_TYPE, body);
    }
    Bytes creator() const { return par2_packet(id_, CREATOR_TYPE, Bytes{'t', 'e', 's', 't'}); }

    // Every packet but the recovery slices: the main packet, then each file's description
    // and slice checksums, then the creator's.
    Bytes index() const {
        Bytes bytes = main();
        for (std::size_t i = 0; i < files_.size(); ++i) {
            put(bytes, description(i));
            put(bytes, checksums(i));
        }
        put(bytes, creator());
        return bytes;
    }

    // The files as the reader gives them, in the main packet's order; names of ASCII only.
    std::vector<SetFile> expected_files() const {
        std::vector<SetFile> expected;
        for (const Md5Digest& id : in_main_order()) {
            const std::size_t i = static_cast<std::size_t>(std::find(ids_.begin(), ids_.end(), id) - ids_.begin());
            SetFile file;
            file.id = id;
            file.described = true;
            const std::string& listed = files_[i].name;
            const std::size_t slash = listed.find_last_of("/\\");
            const std::string folder = slash == std::string::npos ? "" : listed.substr(0, slash);
            file.name.assign(listed.begin() + static_cast<std::ptrdiff_t>(slash + 1), listed.end());
            for (const char c : folder) file.folder += c == '/' ? L'\\' : static_cast<wchar_t>(c);
            file.length = files_[i].bytes.size();
            file.md5 = md5_of(files_[i].bytes);
            file.md5_16k = md5_16k(files_[i]);
            file.slices = slices_of(files_[i]);
            file.recoverable = i < recoverable_;
            expected.push_back(std::move(file));
        }
        return expected;
    }

    RecoverySet expected(std::vector<std::wstring> read_from) const {
        return {id_, slice_size_, expected_files(), {}, std::move(read_from)};
    }

private:
    static Md5Digest md5_16k(const DataFile& file) {
        return md5_of(file.bytes.data(), std::min<std::size_t>(file.bytes.size(), 16384));
    }
    static Bytes padded_name(const DataFile& file) {
        Bytes name(file.name.begin(), file.name.end());
        name.resize((name.size() + 3) / 4 * 4);
        return name;
    }
    std::vector<SliceChecksum> slices_of(const DataFile& file) const {
        std::vector<SliceChecksum> slices;
        for (std::size_t at = 0; at < file.bytes.size(); at += slice_size_) {
            Bytes slice(file.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        file.bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(at + slice_size_, file.bytes.size())));
            slice.resize(slice_size_);
            slices.push_back({md5_of(slice), ~crc32_update(CRC32_INITIAL, slice.data(), slice.size())});
        }
        return slices;
    }
    // The recovery set's IDs sorted, then the non-recovery set's.
    std::vector<Md5Digest> in_main_order() const {
        std::vector<Md5Digest> ids = ids_;
        std::sort(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(recoverable_));
        std::sort(ids.begin() + static_cast<std::ptrdiff_t>(recoverable_), ids.end());
        return ids;
    }

    std::uint64_t slice_size_;
    std::vector<DataFile> files_;
    std::size_t recoverable_;
    std::vector<Md5Digest> ids_;
    Md5Digest id_{};
};

}  // namespace mendlet::test_support
