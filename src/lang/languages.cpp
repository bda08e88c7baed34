#include "lang/languages.h"

namespace mendlet {

namespace {

constexpr std::uint32_t low_byte(std::uint32_t value) { return value & 0xFFu; }
constexpr bool is_english(std::uint32_t language_id) { return low_byte(language_id) == 9; }

}  // namespace

std::optional<std::uint32_t> Languages::add(std::int32_t language_id, std::wstring file_name) {
    if (full()) return std::nullopt;
    const auto menu_id = static_cast<std::uint32_t>(MENU_ID_ENGLISH - 1 - entries_.size());
    entries_.push_back({menu_id, language_id, std::move(file_name)});
    return menu_id;
}

bool Languages::full() const { return entries_.size() >= MENU_ID_ENGLISH - MENU_ID_LOWEST_LANGUAGE; }

const LanguageEntry* Languages::current() const { return current_ ? &entries_[*current_] : nullptr; }

std::uint32_t Languages::current_menu_id() const { return current_ ? entries_[*current_].menu_id : MENU_ID_ENGLISH; }

std::uint32_t Languages::current_language_id() const {
    return current_ ? static_cast<std::uint32_t>(entries_[*current_].language_id) : LANGUAGE_ID_ENGLISH;
}

std::optional<std::size_t> Languages::find_menu_id(std::uint32_t menu_id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].menu_id == menu_id) return i;
    return std::nullopt;
}

LanguageChoice choose_language_by_id(const Languages& languages, std::uint32_t language_id) {
    if (is_english(language_id)) return {true, std::nullopt};
    const auto& entries = languages.entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].language_id != 0 && static_cast<std::uint32_t>(entries[i].language_id) == language_id)
            return {true, i};
    return {};
}

LanguageChoice choose_language_for_ui(const Languages& languages, std::uint16_t ui_language) {
    if (is_english(ui_language)) return {true, std::nullopt};
    const std::uint32_t primary = low_byte(ui_language);
    std::optional<std::size_t> candidate;
    const auto& entries = languages.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto id = static_cast<std::uint32_t>(entries[i].language_id);
        if (id == 0) continue;
        if (id == ui_language) return {true, i};
        // The bare primary language outranks its variants, and a later one an earlier one.
        if (id == primary || (!candidate && low_byte(id) == primary)) candidate = i;
    }
    return {candidate.has_value(), candidate};
}

}  // namespace mendlet
