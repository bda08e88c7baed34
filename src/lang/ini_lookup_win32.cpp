#include <windows.h>

#include "core/long_path_win32.h"
#include "lang/ini_lookup_win32.h"

namespace mendlet {

TextLookup ini_file_lookup(std::wstring file_path) {
    return [path = file_system_path(file_path)](std::wstring_view section, std::wstring_view key) {
        // Room for the longest value that counts and its terminator.
        wchar_t value[LANGUAGE_VALUE_MAX + 1];
        const std::wstring section_name(section);
        const std::wstring key_name(key);
        const DWORD length = GetPrivateProfileStringW(section_name.c_str(), key_name.c_str(), L"", value,
                                                      static_cast<DWORD>(std::size(value)), path.c_str());
        return std::wstring(value, length);
    };
}

}  // namespace mendlet
