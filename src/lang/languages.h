#pragma once
// The language files found beside the program, each with its Language menu item, and the
// rules that pick one: by the number saved in the settings, or by the user's interface
// language. English is built in and has no entry.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mendlet {

// The built-in English item of the Language menu; the files' items count down from below it.
inline constexpr std::uint32_t MENU_ID_ENGLISH = 40220;
inline constexpr std::uint32_t MENU_ID_LOWEST_LANGUAGE = 40020;
// What the settings store while English is in use.
inline constexpr std::uint32_t LANGUAGE_ID_ENGLISH = 1033;

struct LanguageEntry {
    std::uint32_t menu_id;
    // The file's "laid" value; 0 when it has none, and then it is never chosen by itself.
    std::int32_t language_id;
    std::wstring file_name;
};

class Languages {
public:
    // Lists a found file under the next menu item; none once every item is taken.
    std::optional<std::uint32_t> add(std::int32_t language_id, std::wstring file_name);
    bool full() const;

    const std::vector<LanguageEntry>& entries() const { return entries_; }
    // None while English is in use.
    const LanguageEntry* current() const;
    std::uint32_t current_menu_id() const;
    // The number the settings remember for the language in use.
    std::uint32_t current_language_id() const;

    // The entry of a menu item; none for English and for items no file has.
    std::optional<std::size_t> find_menu_id(std::uint32_t menu_id) const;
    // None: English.
    void set_current(std::optional<std::size_t> index) { current_ = index; }

private:
    std::vector<LanguageEntry> entries_;
    std::optional<std::size_t> current_;
};

// The language a saved number asks for. settled is true when that number is English (any
// English variant) or a file carries it exactly; only then is language meaningful.
struct LanguageChoice {
    bool settled = false;
    std::optional<std::size_t> language;
};
LanguageChoice choose_language_by_id(const Languages& languages, std::uint32_t language_id);

// For an interface language (16 bits, primary language in the low byte): an English one
// keeps English; otherwise the file with exactly that number, else the last one found with
// the bare primary language, else the first one with the same primary language.
LanguageChoice choose_language_for_ui(const Languages& languages, std::uint16_t ui_language);

}  // namespace mendlet
