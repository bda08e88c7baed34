#pragma once
// The paths of a list's entries in list order, for comparing whole lists in tests.

#include <string>
#include <vector>

#include "core/part_list.h"

namespace mendlet::test_support {

inline std::vector<std::wstring> paths_of(const PartList& list) {
    std::vector<std::wstring> paths;
    for (const PartEntry& entry : list) paths.push_back(entry.path);
    return paths;
}

}  // namespace mendlet::test_support
