#pragma once
// The recovery sets beside a download, read from its folder on disk.

#include <string>
#include <vector>

#include "recovery/recovery_set.h"

namespace mendlet {

// The sets of the PAR 2.0 files in the folder that par2_files_to_read chooses for those
// subjects (the output's names and the parts').
std::vector<RecoverySet> find_recovery_sets(const std::wstring& folder, const std::vector<std::wstring>& subject_names);

}  // namespace mendlet
