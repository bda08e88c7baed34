#pragma once
// The two settings files beside the executable, as bytes: the SettingsFile, a 39-byte
// record of flags, window position and language, and the StringsFile, tagged UTF-16
// records that hold the custom output folder.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace mendlet {

// Window state stored beside the settings; the defaults are the window's state at start-up.
struct WindowState {
    bool auto_sort = true;
    bool append_to_first = false;
    bool always_on_top = false;
    bool crc32_enabled = false;
    bool md5_enabled = false;
    bool hash_shown = false;
    bool exit_when_done = false;
    bool open_output_file_when_done = false;
    bool delete_parts_when_done = false;
    bool open_output_folder_when_done = false;
    std::int32_t window_left = 0;
    std::int32_t window_top = 0;
    std::uint32_t language_id = 0;
};

inline constexpr std::size_t SETTINGS_FILE_SIZE = 39;
// Readers take up to one byte more than is written, and anything missing reads as 0.
inline constexpr std::size_t SETTINGS_FILE_READ_MAX = 40;
inline constexpr std::int16_t SETTINGS_FILE_REVISION = 9;

// The window position is stored only when it is to be remembered.
std::array<std::uint8_t, SETTINGS_FILE_SIZE> encode_settings_file(const Settings& settings, const WindowState& window);

struct SettingsFileRecord {
    std::int16_t revision = 0;
    // hash_shown in today's sense, whatever the revision.
    WindowState window;
    // Fields the file's revision does not hold keep their defaults; the custom output
    // folder lives in the StringsFile.
    Settings settings;

    // Revisions before 6 lack the tests, sorting, recycle bin, custom folder, position,
    // language and version-check fields.
    bool has_revision6_fields() const { return revision >= 6; }
};

// None for fewer than 8 bytes or a format other than 1; bytes beyond 40 are ignored.
std::optional<SettingsFileRecord> decode_settings_file(std::span<const std::uint8_t> bytes);

// One tag-1 record with the custom output folder, or with no text.
std::vector<std::uint8_t> encode_strings_file(const Settings& settings);

// The custom output folder of the last tag-1 record with text. A damaged file (a count of
// 0x8000 or more, a cut record, an unknown tag) ends the reading with what came before.
std::optional<std::wstring> decode_strings_file(std::span<const std::uint8_t> bytes);

// The Settings record that the two files give; the custom folder is used only when the
// SettingsFile asks for it and the StringsFile holds one.
Settings settings_from_files(const std::optional<SettingsFileRecord>& record,
                             const std::optional<std::wstring>& custom_output_path);

struct SettingsFilePaths {
    std::wstring settings_file;
    std::wstring strings_file;
};

// Both files live beside the executable: C:\Tools\mendlet.exe keeps its record in
// C:\Tools\mendlet and its strings in C:\Tools\strings. None for a path that does not end
// in a three-letter extension, which then has no settings files at all.
std::optional<SettingsFilePaths> settings_file_paths(std::wstring_view executable_path);

// Where a window is put at start, so that all of it can be seen: wholly inside the work
// area, or, where it is larger than the work area, with its top-left corner inside it.
struct WindowPosition {
    std::int32_t left;
    std::int32_t top;
};
struct WindowSize {
    std::int32_t width;
    std::int32_t height;
};
struct WorkArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};
WindowPosition place_on_work_area(WindowPosition wanted, WorkArea area, WindowSize window);

}  // namespace mendlet
