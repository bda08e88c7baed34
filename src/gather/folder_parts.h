#pragma once
// Which files of a scanned folder go into the list. Downloads leave a split file's parts
// beside files of other kinds (an .nfo, a README, a web shortcut) and beside the files that
// check and repair the set (SFV, MD5, PAR2).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// A name ending in a dot and digits, of any count (.1, .001, .0001), as split parts are named.
bool is_numbered_part_name(std::wstring_view name);

// A PAR2 recovery file (.par2, in any case), as in v.bin.par2 and v.bin.vol000+01.par2.
bool is_recovery_file_name(std::wstring_view name);

struct FolderChoice {
    // The files taken, as indexes into the paths given, in their order.
    std::vector<std::size_t> taken;
    // The files neither taken nor belonging to the set.
    std::uint32_t left_out = 0;
};

// The choice for one scanned tree (a folder with the sub-folders scanned with it), from the
// paths of its files: where any of them is numbered, the numbered ones alone, since the tree
// holds a set among other files; where none is, all of them, since someone joins files of
// their own. Checksum and recovery files are never taken and never counted as left out:
// they belong to the set and are no part of it.
FolderChoice choose_folder_files(const std::vector<std::wstring>& paths);

}  // namespace mendlet
