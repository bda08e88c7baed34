#pragma once
// Every text the user sees, in 14 named sections, each with its English default and the
// text in use. Language files replace texts by section name and three-digit key.

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

// The caption of every message box, in every language.
inline constexpr wchar_t APP_CAPTION[] = L"Mendlet";

// Values longer than this many characters are cut.
inline constexpr std::size_t LANGUAGE_VALUE_MAX = 511;

class TextEntry {
public:
    TextEntry(int index, const wchar_t* default_text);

    int index() const { return index_; }
    const wchar_t* current() const { return translated_ ? translation_.c_str() : default_; }
    const wchar_t* default_text() const { return default_; }
    bool translated() const { return translated_; }

    void set_translation(std::wstring text);
    void reset();

private:
    int index_;
    const wchar_t* default_;
    std::wstring translation_;
    bool translated_ = false;
};

class TextSection {
public:
    TextSection(const wchar_t* name, std::span<const wchar_t* const> defaults);

    const wchar_t* name() const { return name_; }
    std::size_t count() const { return entries_.size(); }
    // The current text of an entry; an index outside the section gives an empty text.
    const wchar_t* operator[](std::size_t index) const;

    std::vector<TextEntry>& entries() { return entries_; }
    const std::vector<TextEntry>& entries() const { return entries_; }

private:
    const wchar_t* name_;
    std::vector<TextEntry> entries_;
};

struct TextTable {
    TextTable();

    TextSection controls;
    TextSection about;
    TextSection list_column;
    TextSection list_status_cat;
    TextSection list_status;
    TextSection list_tooltip;
    TextSection join_button;
    TextSection settings;
    TextSection menu;
    TextSection menu_popup;
    TextSection messages;
    TextSection tooltips;
    TextSection updater;
    TextSection verify;

    // The sections in table order, which is also the order a language file is read in.
    std::array<TextSection*, 14> sections();
    std::array<const TextSection*, 14> sections() const;
};

// Reads one value of a language file: (section name, key) -> value, empty when missing.
using TextLookup = std::function<std::wstring(std::wstring_view section, std::wstring_view key)>;

// Replaces every current text from a language file; missing or empty values, and format
// texts whose placeholders do not match the English text, fall back to English.
void load_language_file(TextTable& texts, const TextLookup& lookup);

// Puts every English default back.
void reset_texts(TextTable& texts);

// "\n", "\r" and "\t" written as two characters become LF, CR and TAB.
std::wstring replace_escapes(std::wstring_view value);

}  // namespace mendlet
