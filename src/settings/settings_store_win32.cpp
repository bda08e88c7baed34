#include "settings/settings_store_win32.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

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

// Writes the new content beside the target under a name of this process, then puts it in
// the target's place.
bool replace_file(const std::wstring& target, std::span<const std::uint8_t> bytes) {
    const std::wstring temporary = target + L".~" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD count = 0;
    const bool written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                         count == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
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
