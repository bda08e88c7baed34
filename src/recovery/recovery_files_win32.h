#pragma once
// The recovery sets beside a download, read from its folder on disk.

#include <memory>
#include <string>
#include <vector>

#include "recovery/par2_names.h"

namespace mendlet {

// What the PAR 2.0 files in the folder that go with those subjects (the output's names and
// the parts') give, as read_recovery_files reads them.
RecoveryFiles find_recovery_files(const std::wstring& folder, const std::vector<std::wstring>& subject_names);

// The folder on disk, its files opened by name.
std::unique_ptr<RecoveryFolder> open_recovery_folder(const std::wstring& folder);

}  // namespace mendlet
