#include "lang/language_files_win32.h"

#include "core/long_path_win32.h"
#include "lang/ini_lookup_win32.h"

namespace mendlet {

namespace {

constexpr wchar_t TRANSLATION_SECTION[] = L"translation";

std::wstring language_folder(const std::wstring& program_path) {
    const std::size_t folder_end = program_path.find_last_of(L'\\');
    if (folder_end == std::wstring::npos) return {};
    return program_path.substr(0, folder_end + 1) + L"lang\\";
}

}  // namespace

std::wstring language_file_path(const std::wstring& program_path, const std::wstring& file_name) {
    const std::wstring folder = language_folder(program_path);
    return folder.empty() ? std::wstring() : folder + file_name;
}

void discover_languages(const std::wstring& program_path, Languages& languages, HMENU language_menu) {
    const std::wstring folder = language_folder(program_path);
    if (folder.empty()) return;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(file_system_path(folder + L"*.lng").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::wstring path = folder + found.cFileName;
        const std::wstring name = ini_file_lookup(path)(TRANSLATION_SECTION, L"lang");
        if (name.empty()) continue;
        const auto language_id = static_cast<std::int32_t>(
            GetPrivateProfileIntW(TRANSLATION_SECTION, L"laid", 0, file_system_path(path).c_str()));
        const auto menu_id = languages.add(language_id, found.cFileName);
        AppendMenuW(language_menu, MF_STRING, *menu_id, name.c_str());
    } while (!languages.full() && FindNextFileW(search, &found));
    FindClose(search);
}

void load_language(TextTable& texts, const std::wstring& program_path, const LanguageEntry& language) {
    load_language_file(texts, ini_file_lookup(language_file_path(program_path, language.file_name)));
}

std::optional<std::wstring> translator_name(const std::wstring& program_path, const LanguageEntry& language) {
    std::wstring name = ini_file_lookup(language_file_path(program_path, language.file_name))(TRANSLATION_SECTION, L"name");
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace mendlet
