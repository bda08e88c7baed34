#pragma once
// Finding the checksum files of a join in the first part's folder and reading them, the
// same way whatever the folder is: the system's, or one in memory for the tests.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checksum/checksum_file.h"

namespace mendlet {

// What the finder needs of a folder.
class ChecksumFolder {
public:
    virtual ~ChecksumFolder() = default;
    // Its path, as the parts' paths write their folders.
    virtual const std::wstring& path() const = 0;
    // The names of the files it holds (not of its folders), in its own order.
    virtual std::vector<std::wstring> file_names() = 0;
    // The first bytes of one of them, at most `most`; none when it cannot be read.
    virtual std::optional<std::string> read_start(const std::wstring& name, std::size_t most) = 0;
};

// The files of checksum_files_to_read, in that order, with the entries of their first
// CHECKSUM_FILE_LIMIT bytes, cut after the last whole line. One named after an output or a
// part that yields nothing (it cannot be read, or no line of it is understood) is kept
// without entries, for the join to say so; one found by a general name is left out without
// a word. Nothing more is read once stopped() holds.
std::vector<ChecksumFile> find_checksum_files(ChecksumFolder& folder, const std::vector<std::wstring>& output_names,
                                              const std::vector<std::wstring>& part_names,
                                              const std::function<bool()>& stopped);

// The first file that was found but yielded nothing; none when there is none.
const ChecksumFile* first_unreadable(const std::vector<ChecksumFile>& files);

}  // namespace mendlet
