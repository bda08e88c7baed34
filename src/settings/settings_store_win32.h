#pragma once
// Reads and writes the two settings files. A file is replaced only once its new content
// is completely on disk, so a crash or a full disk leaves the previous one in place.

#include <optional>
#include <string>

#include "settings/settings_file.h"

namespace mendlet {

struct StoredSettings {
    std::optional<SettingsFileRecord> record;
    std::optional<std::wstring> custom_output_path;
};

// Missing, unreadable or damaged files read as none.
StoredSettings read_settings_files(const SettingsFilePaths& paths);

// The StringsFile is written only after the SettingsFile was. False when either failed.
bool write_settings_files(const SettingsFilePaths& paths, const Settings& settings, const WindowState& window);

}  // namespace mendlet
