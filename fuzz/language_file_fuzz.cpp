// Language files: the whole text table loaded from a file, and the escapes of its values.
// Input: the file as it lies in the lang folder (UTF-16 after a byte-order mark, else one
// character per byte), read by a stand-in for the system's INI reader that, like it, ends
// a value at a NUL, but does not cut long values (the table must).
//
// Properties: every text of a loaded table has the placeholders of its English text, in
// the same order; a text is either the English one or the file's value, cut to 511
// characters and with its escapes replaced only where the English text holds control
// characters; each text fills in its arguments; loading the same file again, or after
// another, gives the same table, and reset_texts gives English back. replace_escapes never
// lengthens a text, leaves one without backslashes alone, and undoes the escaping of CR,
// LF and TAB.

#include <algorithm>
#include <cwchar>

#include "fuzz_support.h"
#include "lang/text_format.h"
#include "lang/text_table.h"

namespace mendlet {
namespace {

bool has_control_character(const wchar_t* text) {
    for (; *text != L'\0'; ++text)
        if (*text < L' ') return true;
    return false;
}

std::wstring escaped(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else if (c == L'\t')
            out += L"\\t";
        else
            out += c;
    }
    return out;
}

void check_replace_escapes(std::wstring_view text) {
    const std::wstring replaced = replace_escapes(text);
    FUZZ_CHECK(replaced.size() <= text.size());
    if (text.find(L'\\') == std::wstring_view::npos) FUZZ_CHECK(replaced == text);
    // Escaping is undone for any text in which no backslash already looks like an escape.
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'\\' && (text[i + 1] == L'n' || text[i + 1] == L'r' || text[i + 1] == L't')) return;
    FUZZ_CHECK(replace_escapes(escaped(text)) == text);
}

// The text as the table should hold it after reading value.
std::wstring expected_text(const TextEntry& entry, std::wstring value) {
    if (value.size() > LANGUAGE_VALUE_MAX) {
        value.resize(LANGUAGE_VALUE_MAX);
        if (sizeof(wchar_t) == 2 && value.back() >= 0xD800 && value.back() <= 0xDBFF) value.pop_back();
    }
    if (has_control_character(entry.default_text())) value = replace_escapes(value);
    if (value.empty() || placeholder_kinds(value) != placeholder_kinds(entry.default_text()))
        return entry.default_text();
    return value;
}

std::size_t number_length(std::int64_t value) { return std::to_wstring(value).size(); }

// Fills a text with arguments of the kinds its English text takes, as the program does, and
// checks that exactly those arguments went in.
void check_filled(const wchar_t* text, const std::wstring& kinds) {
    static const std::wstring_view word = L"<argument>";
    constexpr std::int32_t signed_value = -2147483647 - 1;
    constexpr std::uint32_t unsigned_value = 4294967295u;
    FormatArg args[4];
    std::size_t filled = 0;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == L's') {
            args[i] = word;
            filled += word.size();
        } else if (kinds[i] == L'd') {
            args[i] = signed_value;
            filled += number_length(signed_value);
        } else {
            args[i] = unsigned_value;
            filled += number_length(unsigned_value);
        }
    }
    const std::wstring bare = format_text(text, {});
    std::wstring full;
    switch (kinds.size()) {
        case 0:
            full = format_text(text, {});
            break;
        case 1:
            full = format_text(text, {args[0]});
            break;
        case 2:
            full = format_text(text, {args[0], args[1]});
            break;
        case 3:
            full = format_text(text, {args[0], args[1], args[2]});
            break;
        case 4:
            full = format_text(text, {args[0], args[1], args[2], args[3]});
            break;
        default:
            FUZZ_CHECK(!"an English text with more than four placeholders");
    }
    FUZZ_CHECK(full.size() == bare.size() + filled);
}

std::vector<std::wstring> all_texts(const TextTable& texts) {
    std::vector<std::wstring> result;
    for (const TextSection* section : texts.sections())
        for (const TextEntry& entry : section->entries()) result.emplace_back(entry.current());
    return result;
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const std::wstring text = fuzz::ini_text(fuzz::Bytes(data, size));
    check_replace_escapes(text);

    const fuzz::IniText file(text);
    const TextLookup lookup = [&file](std::wstring_view section, std::wstring_view key) {
        std::wstring value = file.value(section, key);
        value.resize(std::min(value.find(L'\0'), value.size()));
        return value;
    };

    TextTable texts;
    load_language_file(texts, lookup);
    for (const TextSection* section : texts.sections()) {
        for (const TextEntry& entry : section->entries()) {
            const std::wstring kinds = placeholder_kinds(entry.default_text());
            FUZZ_CHECK(placeholder_kinds(entry.current()) == kinds);
            std::wstring key = std::to_wstring(entry.index());
            key.insert(0, 3 - std::min<std::size_t>(key.size(), 3), L'0');
            const std::wstring value = lookup(section->name(), key);
            check_replace_escapes(value);
            FUZZ_CHECK(entry.current() == expected_text(entry, value));
            FUZZ_CHECK(entry.translated() ? std::wcslen(entry.current()) <= LANGUAGE_VALUE_MAX
                                          : entry.current() == entry.default_text());
            check_filled(entry.current(), kinds);
        }
    }

    // Loaded again, and after an empty file, the table is the same.
    static const std::vector<std::wstring> english = all_texts(TextTable());
    const std::vector<std::wstring> loaded = all_texts(texts);
    load_language_file(texts, lookup);
    FUZZ_CHECK(all_texts(texts) == loaded);
    load_language_file(texts, [](std::wstring_view, std::wstring_view) { return std::wstring(); });
    FUZZ_CHECK(all_texts(texts) == english);
    load_language_file(texts, lookup);
    FUZZ_CHECK(all_texts(texts) == loaded);
    reset_texts(texts);
    FUZZ_CHECK(all_texts(texts) == english);
    return 0;
}
