#pragma once
// The output path that follows from the first part: its name without the last extension,
// in the part's own folder or in the custom output folder, or the first part itself when
// appending.

#include <optional>
#include <string>
#include <string_view>

namespace mendlet {

class PartList;
struct Settings;

// C:\In\name.ext.001 gives C:\In\name.ext; a name without a dot gets the suffix appended.
std::wstring derive_output_name(std::wstring_view part_path, std::wstring_view no_dot_suffix);

// The same name in another folder (a trailing backslash of the folder is ignored); none
// for a path without a backslash.
std::optional<std::wstring> derive_output_name_in_folder(std::wstring_view part_path, std::wstring_view folder,
                                                         std::wstring_view no_dot_suffix);

// The file name up to its last dot, as the first suggestion of a save dialog; none without
// a dot or when that name is longer than 511 characters.
std::optional<std::wstring> output_base_name(std::wstring_view part_path);

// What the output path box holds now and whether the user edited it since it was last set.
struct OutputBox {
    std::wstring text;
    bool modified = false;
};

struct OutputPathUpdate {
    std::wstring box_text;
    // The user's own text, kept aside while the box shows the first part in append mode.
    std::optional<std::wstring> remembered_output_path;
};

// The new box text after a change of the first entry, the append box or the settings.
OutputPathUpdate next_output_path(const PartList& list, const OutputBox& box, bool append,
                                  std::optional<std::wstring> remembered_output_path, const Settings& settings,
                                  std::wstring_view no_dot_suffix);

}  // namespace mendlet
