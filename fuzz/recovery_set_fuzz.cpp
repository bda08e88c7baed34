// PAR 2.0 files. Input: one byte of choices, then the file's bytes as read from disk. Where
// the choices' lowest bit is set, the MD5 of every packet whose length fits is written anew
// before the file is read, so that the fuzzer's changes to bodies (lying counts, sizes,
// names) reach the set's assembly instead of failing the packets' checks.
//
// Properties besides crashes:
// - nothing is read beyond the file, and at most 4 times its size plus 1 MiB in all;
// - every set has a slice size that is a multiple of 4, from 4 to SLICE_SIZE_LIMIT; its file
//   IDs are distinct; a file's slice checksums are as many as its length gives in slices;
//   names hold no folder and folders no '/'; every recovery slice lies within its file;
// - the packets the reader took, written one after another without what lay between them,
//   give the same sets, and so do they with garbage before, between and after them (unless
//   a packet taken on its header alone holds another packet's magic: with no magic after
//   it, that magic counts), where the reader read little enough never to meet its limit;
// - a file of the set with small slices, fed to a slice checker, counts as many slices as
//   are listed, damaged or not, however it is fed.

#include <algorithm>
#include <string_view>

#include "digest/md5.h"
#include "fuzz_support.h"
#include "recovery/recovery_set.h"
#include "recovery/slice_check.h"

namespace {

using namespace mendlet;
using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view MAGIC("PAR2\0PKT", 8);

class CountingFile : public MemoryFile {
public:
    CountingFile(Bytes bytes, std::uint64_t& bytes_read) : MemoryFile(std::move(bytes)), bytes_read_(bytes_read) {}
    std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
        FUZZ_CHECK(offset <= size() && length <= size() - offset);
        bytes_read_ += length;
        return MemoryFile::read_at(offset, buffer, length);
    }

private:
    std::uint64_t& bytes_read_;
};

class OneFile : public RecoveryFolder {
public:
    explicit OneFile(const Bytes& bytes) : bytes_(bytes) {}
    std::unique_ptr<ReadableFile> open(const std::wstring&) override {
        return std::make_unique<CountingFile>(bytes_, bytes_read);
    }
    std::uint64_t bytes_read = 0;

private:
    const Bytes& bytes_;
};

std::vector<RecoverySet> read_sets(const Bytes& bytes, std::uint64_t* bytes_read = nullptr) {
    OneFile folder(bytes);
    std::vector<RecoverySet> sets = read_recovery_sets(folder, {L"f.par2"});
    FUZZ_CHECK(folder.bytes_read <= 4 * bytes.size() + (1u << 20));
    if (bytes_read) *bytes_read = folder.bytes_read;
    return sets;
}

void check_set(const RecoverySet& set, std::uint64_t file_size) {
    FUZZ_CHECK(set.slice_size % 4 == 0 && set.slice_size >= 4 && set.slice_size <= SLICE_SIZE_LIMIT);
    FUZZ_CHECK(set.files.size() <= SET_FILE_LIMIT && set.read_from == std::vector<std::wstring>{L"f.par2"});
    std::vector<Md5Digest> ids;
    for (const SetFile& file : set.files) {
        ids.push_back(file.id);
        FUZZ_CHECK(file.slices.empty() || file.slices.size() == slice_count(file.length, set.slice_size));
        FUZZ_CHECK(file.described || (file.name.empty() && file.slices.empty()));
        FUZZ_CHECK(file.name.find_first_of(L"/\\") == std::wstring::npos);
        FUZZ_CHECK(file.folder.find(L'/') == std::wstring::npos);
    }
    std::sort(ids.begin(), ids.end());
    FUZZ_CHECK(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    for (const RecoverySlice& slice : set.recovery_slices)
        FUZZ_CHECK(slice.volume == 0 && slice.data_offset <= file_size && set.slice_size <= file_size - slice.data_offset);
}

// Where the recovery slices lie differs from one layout to the other.
std::vector<RecoverySet> without_offsets(std::vector<RecoverySet> sets) {
    for (RecoverySet& set : sets)
        for (RecoverySlice& slice : set.recovery_slices) slice.data_offset = 0;
    return sets;
}

bool holds_magic_inside(const Bytes& bytes, const Packet& packet) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + packet.offset, packet.length);
    return text.find(MAGIC, MAGIC.size()) != std::string_view::npos;
}

void check_layouts(const Bytes& file, const std::vector<RecoverySet>& sets, std::uint64_t bytes_read, std::uint32_t seed) {
    MemoryFile memory(file);
    std::map<Md5Digest, std::uint64_t> known;
    const std::vector<Packet> packets = scan_packets(memory, known);
    Bytes packed, spaced;
    fuzz::Choices choices(seed);
    bool magic_inside = false;
    for (const Packet& packet : packets) {
        const auto start = file.begin() + static_cast<std::ptrdiff_t>(packet.offset);
        packed.insert(packed.end(), start, start + static_cast<std::ptrdiff_t>(packet.length));
        // No byte of garbage is one of the magic's, so none makes a magic with its neighbours.
        for (std::size_t i = choices.up_to(9) - 1; i > 0; --i) spaced.push_back(static_cast<std::uint8_t>(0x80 | choices.next()));
        spaced.insert(spaced.end(), start, start + static_cast<std::ptrdiff_t>(packet.length));
        magic_inside = magic_inside || (!packet.body_read && holds_magic_inside(file, packet));
    }
    spaced.push_back(0xFF);
    const std::vector<RecoverySet> from_packed = without_offsets(read_sets(packed));
    if (bytes_read + file.size() <= 4 * file.size() + (1u << 20)) FUZZ_CHECK(without_offsets(sets) == from_packed);
    if (!magic_inside) FUZZ_CHECK(without_offsets(read_sets(spaced)) == from_packed);
}

void check_slices(const RecoverySet& set, std::uint32_t seed) {
    if (set.slice_size > 4096) return;
    fuzz::Choices choices(seed);
    const Bytes chunk(4096, 0x5A);
    for (const SetFile& file : set.files) {
        if (file.slices.empty() || file.length > (1u << 20)) continue;
        SliceChecker checker(file, set.slice_size);
        for (std::uint64_t fed = 0; fed < file.length;) {
            const std::size_t piece = std::min<std::uint64_t>(choices.up_to(chunk.size()), file.length - fed);
            checker.update(chunk.data(), piece);
            fed += piece;
        }
        const SliceTally tally = checker.finish();
        FUZZ_CHECK(tally.checked && tally.slices == file.slices.size() && tally.damaged <= tally.slices);
    }
}

void write_hashes(Bytes& file) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    for (std::size_t at = text.find(MAGIC); at != std::string_view::npos; at = text.find(MAGIC, at + 1)) {
        if (file.size() - at < PACKET_HEADER_SIZE) return;
        const std::uint64_t length = read_u64(file.data() + at + 8);
        if (length < PACKET_HEADER_SIZE || length > file.size() - at) continue;
        Md5Context context;
        md5_init(context);
        md5_update(context, file.data() + at + 32, static_cast<std::uint32_t>(length - 32));
        const Md5Digest hash = md5_final(context);
        std::copy(hash.begin(), hash.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 16));
        at += length - 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Bytes file(data + 1, data + size);
    if (data[0] & 1) write_hashes(file);
    std::uint64_t bytes_read = 0;
    const std::vector<RecoverySet> sets = read_sets(file, &bytes_read);
    const std::uint32_t seed = data[0] >> 1;
    for (const RecoverySet& set : sets) {
        check_set(set, file.size());
        check_slices(set, seed);
    }
    check_layouts(file, sets, bytes_read, seed);
    return 0;
}
