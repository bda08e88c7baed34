#pragma once
// The checksum files beside the parts, found and read on disk.

#include <string_view>
#include <vector>

#include "checksum/checksum_file.h"

namespace mendlet {

// The files of checksum_file_names(output_name) in the folder, in that order, each under
// the name it has on disk (found without regard to case) and with the entries of its first
// CHECKSUM_FILE_LIMIT bytes, cut after the last whole line. A file that cannot be opened or
// read, or that yields no entry, is left out without a word: it checks nothing.
std::vector<ChecksumFile> find_checksum_files(std::wstring_view folder, std::wstring_view output_name);

}  // namespace mendlet
