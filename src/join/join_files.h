#pragma once
// The file operations of a join, behind an interface so that tests can make reads and
// writes fail where real disks rarely do.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checksum/checksum_file.h"
#include "recovery/par2_names.h"

namespace mendlet {

// Identifies a file however its path is written (other case, other drive mapping, a link).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// An open file; closed when destroyed, if close was not called.
class JoinFile {
public:
    virtual ~JoinFile() = default;
    // Reads up to size bytes at the file position: none on failure, 0 at the end.
    virtual std::optional<std::uint32_t> read(std::uint8_t* buffer, std::uint32_t size) = 0;
    // True only when all size bytes were written.
    virtual bool write(const std::uint8_t* data, std::uint32_t size) = 0;
    // Moves the file position to the end and returns it: the file's size.
    virtual std::optional<std::uint64_t> seek_to_end() = 0;
    // Moves the file position there; past the end, a write then fills the gap with zeros.
    virtual bool seek(std::uint64_t offset) = 0;
    // Cuts the file back to size bytes.
    virtual bool truncate(std::uint64_t size) = 0;
    // Writes what the system still holds of the file to the disk; true once it is there.
    virtual bool flush() = 0;
    // False when the system reports that it could not store what was written, as shares do.
    virtual bool close() = 0;
    // Which file this is; none when it cannot say, and the file is then asked for by path.
    virtual std::optional<FileIdentity> identity() { return std::nullopt; }
};

// What an output path names before a join.
enum class ExistingOutput {
    none,
    file,
    // A read-only file: the joined file could not take its place.
    unreplaceable,
    folder,
};

class JoinFiles {
public:
    virtual ~JoinFiles() = default;
    // A part, for reading; others may read it too. None when it cannot be opened.
    virtual std::unique_ptr<JoinFile> open_part(const std::wstring& path) = 0;
    // The first part in append mode, for reading and writing.
    virtual std::unique_ptr<JoinFile> open_for_append(const std::wstring& path) = 0;
    // A new, empty file for a normal join to write into, hidden until it takes the output's
    // name; one of that name left by an earlier job is replaced. None when it cannot be
    // created.
    virtual std::unique_ptr<JoinFile> create_output(const std::wstring& path) = 0;
    // Gives the complete file the output's name and shows it, replacing a file of that name
    // only when told to. False when the name cannot be taken: the file then shows under
    // its own.
    virtual bool rename_output(const std::wstring& path, const std::wstring& output_path, bool replace) = 0;
    // The checksum files in the folder that go with an output of one of these names or with
    // one of the parts (find_checksum_files); nothing more is read once stopped() holds.
    virtual std::vector<ChecksumFile> checksum_files(const std::wstring& folder,
                                                     const std::vector<std::wstring>& output_names,
                                                     const std::vector<std::wstring>& part_names,
                                                     const std::function<bool()>& stopped) = 0;
    // What the PAR 2.0 files in the folder that go with these subjects (the output's names
    // and the parts') give, as find_recovery_files reads them.
    virtual RecoveryFiles recovery_files(const std::wstring& folder,
                                         const std::vector<std::wstring>& subject_names) = 0;
    // The folder, for a repair to read a set's recovery slices from its volumes.
    virtual std::unique_ptr<RecoveryFolder> recovery_folder(const std::wstring& folder) = 0;
    virtual ExistingOutput existing(const std::wstring& path) = 0;
    // The highest number of a part of the first part's set found in its folder
    // (highest_sibling_number); 0 when there is none.
    virtual std::uint32_t highest_part_number(const std::wstring& first_part) = 0;
    // None when nothing of that name can be opened.
    virtual std::optional<FileIdentity> identity(const std::wstring& path) = 0;
    // Deletes the files, to the Recycle Bin when asked; true when every one is gone.
    virtual bool delete_files(const std::vector<std::wstring>& paths, bool use_recycle_bin) = 0;
};

}  // namespace mendlet
