#include "recovery/recovery_set.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"
#include "core/text_encoding.h"

namespace mendlet {

namespace {

using Bytes = std::vector<std::uint8_t>;

struct MainBody {
    std::uint64_t slice_size = 0;
    // The recovery set's file IDs, then the non-recovery set's.
    std::vector<Md5Digest> ids;
    std::size_t recoverable = 0;
};

Md5Digest digest_at(const std::uint8_t* bytes) {
    Md5Digest digest;
    std::copy(bytes, bytes + digest.size(), digest.begin());
    return digest;
}

// Slice size (8), recovery set file count (4), that many IDs, then the non-recovery set's.
std::optional<MainBody> parse_main(const Bytes& body) {
    if (body.size() < 12) return std::nullopt;
    MainBody main;
    main.slice_size = read_u64(body.data());
    const std::uint64_t recoverable = read_u32(body.data() + 8);
    const std::uint64_t id_count = (body.size() - 12) / 16;
    if (main.slice_size == 0 || main.slice_size % 4 != 0 || main.slice_size > SLICE_SIZE_LIMIT ||
        (body.size() - 12) % 16 != 0 || recoverable > id_count || id_count > SET_FILE_LIMIT)
        return std::nullopt;
    std::set<Md5Digest> seen;
    for (std::size_t i = 0; i < id_count; ++i) {
        const Md5Digest id = digest_at(body.data() + 12 + 16 * i);
        // A file listed twice is one file: in the recovery set, where it is listed first.
        if (!seen.insert(id).second) continue;
        main.ids.push_back(id);
        if (i < recoverable) main.recoverable = main.ids.size();
    }
    return main;
}

std::wstring decoded_name(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (std::optional<std::wstring> text = decode_utf8(bytes)) return std::move(*text);
    std::wstring latin1;
    for (const char c : bytes) latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return latin1;
}

// File ID, MD5, MD5 of the first 16 KiB, length (8), name.
std::optional<SetFile> parse_description(const Bytes& body) {
    if (body.size() < 56) return std::nullopt;
    SetFile file;
    file.id = digest_at(body.data());
    file.described = true;
    file.md5 = digest_at(body.data() + 16);
    file.md5_16k = digest_at(body.data() + 32);
    file.length = read_u64(body.data() + 48);
    const std::wstring listed = decoded_name({reinterpret_cast<const char*>(body.data()) + 56, body.size() - 56});
    file.name = last_name_component(listed);
    file.folder = listed_folder(listed);
    return file;
}

// File ID, then an MD5 and a CRC-32 for each slice.
std::optional<std::pair<Md5Digest, std::vector<SliceChecksum>>> parse_checksums(const Bytes& body) {
    if (body.size() < 16 || (body.size() - 16) % 20 != 0) return std::nullopt;
    std::vector<SliceChecksum> slices((body.size() - 16) / 20);
    for (std::size_t i = 0; i < slices.size(); ++i) {
        const std::uint8_t* entry = body.data() + 16 + 20 * i;
        slices[i] = {digest_at(entry), read_u32(entry + 16)};
    }
    return std::pair{digest_at(body.data()), std::move(slices)};
}

struct FoundSlice {
    std::size_t file = 0;
    std::uint64_t data_offset = 0;
    std::uint64_t data_length = 0;
    std::uint32_t exponent = 0;
    Md5Digest hash{};
};

// What was found of one recovery set ID so far.
struct Draft {
    std::optional<MainBody> main;
    std::size_t main_order = 0;
    std::map<Md5Digest, SetFile> descriptions;
    std::map<Md5Digest, std::vector<SliceChecksum>> checksums;
    std::vector<FoundSlice> slices;
    // Indexes of the files that hold its packets.
    std::vector<std::size_t> files;

    void add(std::size_t file, Packet& packet) {
        if (files.empty() || files.back() != file) files.push_back(file);
        if (packet.type == PacketType::recovery_slice) {
            slices.push_back({file, packet.offset + PACKET_HEADER_SIZE + 4, packet.length - PACKET_HEADER_SIZE - 4,
                              packet.exponent, packet.hash});
        } else if (!packet.body_read) {
            return;
        } else if (packet.type == PacketType::main && !main) {
            main = parse_main(packet.body);
        } else if (packet.type == PacketType::file_description) {
            if (std::optional<SetFile> file_found = parse_description(packet.body))
                descriptions.emplace(file_found->id, std::move(*file_found));
        } else if (packet.type == PacketType::slice_checksums) {
            if (auto found = parse_checksums(packet.body)) checksums.insert(std::move(*found));
        }
    }

    SetFile file_of(const Md5Digest& id, bool recoverable) const {
        const auto description = descriptions.find(id);
        SetFile file = description == descriptions.end() ? SetFile{} : description->second;
        file.id = id;
        file.recoverable = recoverable;
        const auto found = checksums.find(id);
        if (file.described && found != checksums.end() &&
            found->second.size() == slice_count(file.length, main->slice_size))
            file.slices = found->second;
        return file;
    }

    RecoverySet finish(const Md5Digest& id, const std::vector<std::wstring>& names) const {
        RecoverySet set;
        set.id = id;
        set.slice_size = main->slice_size;
        for (std::size_t i = 0; i < main->ids.size(); ++i) set.files.push_back(file_of(main->ids[i], i < main->recoverable));
        for (const std::size_t file : files) set.read_from.push_back(names[file]);
        for (const FoundSlice& slice : slices) {
            if (slice.data_length != set.slice_size) continue;
            const auto volume = std::find(files.begin(), files.end(), slice.file) - files.begin();
            set.recovery_slices.push_back(
                {static_cast<std::size_t>(volume), slice.data_offset, slice.exponent, slice.hash});
        }
        return set;
    }
};

}  // namespace

std::uint64_t slice_count(std::uint64_t length, std::uint64_t slice_size) {
    return length == 0 || slice_size == 0 ? 0 : (length - 1) / slice_size + 1;
}

std::vector<RecoverySet> read_recovery_sets(RecoveryFolder& folder, const std::vector<std::wstring>& names) {
    std::map<Md5Digest, Draft> drafts;
    std::map<Md5Digest, std::uint64_t> known;
    std::size_t mains = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::unique_ptr<ReadableFile> file = folder.open(names[i]);
        if (!file) continue;
        for (Packet& packet : scan_packets(*file, known)) {
            Draft& draft = drafts[packet.set_id];
            const bool had_main = draft.main.has_value();
            draft.add(i, packet);
            if (!had_main && draft.main) draft.main_order = mains++;
        }
    }
    std::vector<std::pair<std::size_t, RecoverySet>> found;
    for (const auto& [id, draft] : drafts)
        if (draft.main) found.emplace_back(draft.main_order, draft.finish(id, names));
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<RecoverySet> sets;
    for (auto& [order, set] : found) sets.push_back(std::move(set));
    return sets;
}

std::uint64_t usable_recovery_slices(const RecoverySet& set) {
    std::set<std::uint32_t> exponents;
    for (const RecoverySlice& slice : set.recovery_slices) exponents.insert(slice.exponent);
    return exponents.size();
}

const SetFile* file_with_slices(const RecoverySet& set, std::wstring_view name) {
    for (const SetFile& file : set.files)
        if (file.described && !file.slices.empty() && compare_names_ignoring_case(file.name, name) == 0) return &file;
    return nullptr;
}

std::optional<std::size_t> set_rebuilding(const std::vector<RecoverySet>& sets,
                                          const std::vector<std::wstring>& names) {
    for (std::size_t index = 0; index < sets.size(); ++index) {
        const RecoverySet& set = sets[index];
        std::uint64_t slices = 0;
        bool lists_all = true;
        for (const std::wstring& name : names) {
            const SetFile* file = file_with_slices(set, name);
            lists_all = lists_all && file != nullptr && file->recoverable;
            if (file != nullptr) slices += file->slices.size();
        }
        if (lists_all && slices <= usable_recovery_slices(set)) return index;
    }
    return std::nullopt;
}

}  // namespace mendlet
