#include "lang/text_table.h"

#include <algorithm>

#include "lang/text_format.h"

namespace mendlet {

TextEntry::TextEntry(int index, const wchar_t* default_text) : index_(index), default_(default_text) {}

void TextEntry::set_translation(std::wstring text) {
    translation_ = std::move(text);
    translated_ = true;
}

void TextEntry::reset() {
    translation_.clear();
    translation_.shrink_to_fit();
    translated_ = false;
}

TextSection::TextSection(const wchar_t* name, std::span<const wchar_t* const> defaults) : name_(name) {
    entries_.reserve(defaults.size());
    for (std::size_t i = 0; i < defaults.size(); ++i) entries_.emplace_back(static_cast<int>(i), defaults[i]);
}

const wchar_t* TextSection::operator[](std::size_t index) const {
    return index < entries_.size() ? entries_[index].current() : L"";
}

std::array<TextSection*, 14> TextTable::sections() {
    return {&controls, &about, &list_column, &list_status_cat, &list_status, &list_tooltip, &join_button,
            &settings, &menu,  &menu_popup,  &messages,        &tooltips,    &updater, &verify};
}

std::array<const TextSection*, 14> TextTable::sections() const {
    std::array<const TextSection*, 14> result{};
    const auto all = const_cast<TextTable*>(this)->sections();
    std::copy(all.begin(), all.end(), result.begin());
    return result;
}

namespace {

// Only the texts whose English form holds control characters take escapes.
bool takes_escapes(const wchar_t* text) {
    for (; *text != L'\0'; ++text)
        if (*text < L' ') return true;
    return false;
}

// "%03d" of the index.
std::wstring entry_key(int index) {
    std::wstring key = std::to_wstring(index & 0xFFFF);
    if (key.size() < 3) key.insert(0, 3 - key.size(), L'0');
    return key;
}

void cut_to_limit(std::wstring& value) {
    if (value.size() <= LANGUAGE_VALUE_MAX) return;
    value.resize(LANGUAGE_VALUE_MAX);
    // Never keep half of a surrogate pair.
    const wchar_t last = value.back();
    if (sizeof(wchar_t) == 2 && last >= 0xD800 && last <= 0xDBFF) value.pop_back();
}

}  // namespace

std::wstring replace_escapes(std::wstring_view value) {
    std::wstring out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'\\' && i + 1 < value.size()) {
            const wchar_t next = value[i + 1];
            const wchar_t control = next == L'n' ? L'\n' : next == L'r' ? L'\r' : next == L't' ? L'\t' : L'\0';
            if (control != L'\0') {
                out += control;
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

void load_language_file(TextTable& texts, const TextLookup& lookup) {
    for (TextSection* section : texts.sections()) {
        for (TextEntry& entry : section->entries()) {
            std::wstring value = lookup(section->name(), entry_key(entry.index()));
            cut_to_limit(value);
            if (!value.empty() && takes_escapes(entry.default_text())) value = replace_escapes(value);
            if (value.empty() || placeholder_kinds(value) != placeholder_kinds(entry.default_text()))
                entry.reset();
            else
                entry.set_translation(std::move(value));
        }
    }
}

void reset_texts(TextTable& texts) {
    for (TextSection* section : texts.sections())
        for (TextEntry& entry : section->entries()) entry.reset();
}

}  // namespace mendlet
