#include "settings/settings_store_win32.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/file_replacement_win32.h"
#include "core/long_path_win32.h"

namespace mendlet {

namespace {

// Far more than the StringsFile ever holds; a larger file is damaged and read no further.
constexpr DWORD STRINGS_FILE_READ_MAX = 1 << 20;

std::vector<std::uint8_t> read_start(const std::wstring& path, DWORD limit) {
    const HANDLE file = CreateFileW(file_system_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes(limit);
    DWORD total = 0;
    DWORD read = 0;
    while (total < limit && ReadFile(file, bytes.data() + total, limit - total, &read, nullptr) && read > 0)
        total += read;
    CloseHandle(file);
    bytes.resize(total);
    return bytes;
}

bool replace_file(const std::wstring& target, std::span<const std::uint8_t> bytes) {
    FileReplacement replacement(target);
    return replacement.write(bytes.data(), bytes.size()) && replacement.commit();
}

}  // namespace

StoredSettings read_settings_files(const SettingsFilePaths& paths) {
    StoredSettings stored;
    stored.custom_output_path = decode_strings_file(read_start(paths.strings_file, STRINGS_FILE_READ_MAX));
    stored.record = decode_settings_file(read_start(paths.settings_file, SETTINGS_FILE_READ_MAX));
    return stored;
}

bool write_settings_files(const SettingsFilePaths& paths, const Settings& settings, const WindowState& window) {
    return replace_file(paths.settings_file, encode_settings_file(settings, window)) &&
           replace_file(paths.strings_file, encode_strings_file(settings));
}

}  // namespace mendlet
