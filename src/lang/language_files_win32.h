#pragma once
// The language files in the "lang" folder beside the program: finding them, loading one
// into the text table, and the translator's name.

#include <windows.h>

#include <optional>
#include <string>

#include "lang/languages.h"
#include "lang/text_table.h"

namespace mendlet {

// The full path of a file in the "lang" folder; empty when the program path has no folder.
std::wstring language_file_path(const std::wstring& program_path, const std::wstring& file_name);

// Lists every "*.lng" file with a non-empty "lang" name, in the order the folder search
// returns them, and appends an item for each to the Language menu.
void discover_languages(const std::wstring& program_path, Languages& languages, HMENU language_menu);

// Every text from the file; a missing file gives English throughout.
void load_language(TextTable& texts, const std::wstring& program_path, const LanguageEntry& language);

// The "name" of the file's "translation" section; none when it has none.
std::optional<std::wstring> translator_name(const std::wstring& program_path, const LanguageEntry& language);

}  // namespace mendlet
