#pragma once
// The recovery sets of the PAR 2.0 files beside a download: what each lists of its files
// (name, length, MD5, the MD5 and CRC-32 of each slice) and where its recovery slices lie.
//
// - Only packets of a set whose main packet was found count; packets of several sets are
//   kept apart by their recovery set ID, so that a set of another download beside this one
//   never mixes in, and the caller chooses the set that names its files.
// - A main packet counts with a slice size that is a multiple of 4, from 4 bytes to
//   SLICE_SIZE_LIMIT, and at most SET_FILE_LIMIT files. The first main packet of a set that
//   counts holds, and so do the first file description and slice checksum packet of each
//   file: packets whose MD5 holds do not differ but where someone made them to.
// - A name is UTF-8 where it is (the PAR 2.0 format says ASCII; tools write the bytes their
//   system names the file with, mostly UTF-8), else Latin-1, one character per byte; it ends
//   at its first NUL (the format pads names with zeros). Folders before it ('/' or '\') go
//   into `folder` as a ChecksumEntry holds them.
// - A file's slice checksums count only when there are as many as its length gives in
//   slices of the set's slice size; a file without them has none.
// - A recovery slice counts only when its data is one slice long.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recovery/par2_packets.h"
#include "recovery/readable_file.h"

namespace mendlet {

// A file's last slice is padded to the slice size before it is checked, and a repair holds
// slices in memory: a set that claims larger ones would cost that for nothing.
inline constexpr std::uint64_t SLICE_SIZE_LIMIT = 1ull << 30;
// Each file listed costs memory before anything is known of it.
inline constexpr std::size_t SET_FILE_LIMIT = 65536;

struct SliceChecksum {
    Md5Digest md5{};
    // The CRC-32 as it is written out (complemented), as the PAR 2.0 format stores it.
    std::uint32_t crc32 = 0;

    bool operator==(const SliceChecksum&) const = default;
};

struct SetFile {
    Md5Digest id{};
    // False when its file description packet was not found: only the ID is known then.
    bool described = false;
    // The last component of its name, and the folders before it ('\' between them).
    std::wstring name;
    std::wstring folder;
    std::uint64_t length = 0;
    Md5Digest md5{};
    Md5Digest md5_16k{};
    // In slice order; empty when its slice checksum packet was not found.
    std::vector<SliceChecksum> slices;
    // In the recovery set, else in the non-recovery set.
    bool recoverable = true;

    bool operator==(const SetFile&) const = default;
};

struct RecoverySlice {
    // Which of the set's read_from files holds it, where its data starts there, and the
    // exponent it was made with.
    std::size_t volume = 0;
    std::uint64_t data_offset = 0;
    std::uint32_t exponent = 0;
    // The packet's MD5 from its header, for the repair to check the slice against.
    Md5Digest packet_hash{};

    bool operator==(const RecoverySlice&) const = default;
};

struct RecoverySet {
    Md5Digest id{};
    std::uint64_t slice_size = 0;
    // The recovery set's files in the main packet's order, then the non-recovery set's.
    std::vector<SetFile> files;
    // In the order they were found, copies of one exponent included.
    std::vector<RecoverySlice> recovery_slices;
    // The files it was read from (those that hold a packet of it), in the order given.
    std::vector<std::wstring> read_from;

    bool operator==(const RecoverySet&) const = default;
};

// The slices a file of `length` bytes is cut into.
std::uint64_t slice_count(std::uint64_t length, std::uint64_t slice_size);

// The recovery slices a set holds that can rebuild as many damaged ones: one of each
// exponent, however many copies lie in its volumes.
std::uint64_t usable_recovery_slices(const RecoverySet& set);

// The first of the sets that lists every file of those names (described, with the
// checksums of its slices) and holds recovery slices enough to rebuild them all; none when
// no set does.
std::optional<std::size_t> set_rebuilding(const std::vector<RecoverySet>& sets, const std::vector<std::wstring>& names);

// The file of that name that the set describes with its slices' checksums; none if none.
const SetFile* file_with_slices(const RecoverySet& set, std::wstring_view name);

// What the reader needs of the folder the PAR 2.0 files lie in.
class RecoveryFolder {
public:
    virtual ~RecoveryFolder() = default;
    // The file of that name; none when it cannot be opened.
    virtual std::unique_ptr<ReadableFile> open(const std::wstring& name) = 0;
};

// The sets found in the files of those names (par2_names.h chooses them), in the order their
// main packets were found.
std::vector<RecoverySet> read_recovery_sets(RecoveryFolder& folder, const std::vector<std::wstring>& names);

}  // namespace mendlet
