#pragma once
// The checksum files beside the parts, found and read on disk.

#include <string>
#include <vector>

#include "checksum/checksum_finder.h"

namespace mendlet {

// find_checksum_files in the folder of that path.
std::vector<ChecksumFile> find_checksum_files(const std::wstring& folder, const std::vector<std::wstring>& output_names,
                                              const std::vector<std::wstring>& part_names,
                                              const std::function<bool()>& stopped);

}  // namespace mendlet
