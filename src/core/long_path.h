#pragma once
// The form in which the file system takes a path of any length: \\?\C:\... for a drive,
// \\?\UNC\server\share\... for a share. In that form the system takes the path exactly as
// written, so what it resolves in other paths ("/" for "\", runs of separators, "." and
// "..", a dot or space at the end of a name) is resolved here first, the same way.

#include <cstddef>
#include <string>
#include <string_view>

namespace mendlet {

// The longest path the system takes in the long form, in UTF-16 units.
inline constexpr std::size_t LONGEST_PATH = 32767;

// A path from the root of a drive (C:\...) or of a share (\\server\share\...), with either
// separator, or one already in a device form (\\?\..., \\.\...).
bool is_full_path(std::wstring_view path);

// The long form of a full path. A path already in a device form, or one that is not full,
// comes back as it is.
std::wstring long_path_form(std::wstring_view path);

}  // namespace mendlet
