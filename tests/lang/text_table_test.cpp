#include "lang/text_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace mendlet {
namespace {

// A language file as a table of (section, key) -> value.
using LanguageFile = std::map<std::pair<std::wstring, std::wstring>, std::wstring>;

TextLookup lookup_in(const LanguageFile& file) {
    return [&file](std::wstring_view section, std::wstring_view key) {
        const auto found = file.find({std::wstring(section), std::wstring(key)});
        return found == file.end() ? std::wstring() : found->second;
    };
}

// Every current text, section by section.
std::vector<std::wstring> all_texts(const TextTable& texts) {
    std::vector<std::wstring> result;
    for (const TextSection* section : texts.sections())
        for (std::size_t i = 0; i < section->count(); ++i) result.emplace_back((*section)[i]);
    return result;
}

TEST(TextTable, FourteenSectionsOfDefaultTexts) {
    const TextTable texts;
    const std::pair<const wchar_t*, std::size_t> expected[] = {
        {L"controls", 14},    {L"about", 6},       {L"list_column", 3}, {L"list_status_cat", 3}, {L"list_status", 8},
        {L"list_tooltip", 2}, {L"join_button", 2}, {L"settings", 20},   {L"menu", 12},           {L"menu_popup", 6},
        {L"messages", 35},    {L"tooltips", 22},   {L"updater", 3},     {L"verify", 32},
    };
    std::size_t total = 0;
    for (std::size_t i = 0; i < 14; ++i) {
        EXPECT_STREQ(texts.sections()[i]->name(), expected[i].first);
        EXPECT_EQ(texts.sections()[i]->count(), expected[i].second) << expected[i].first;
        total += texts.sections()[i]->count();
    }
    EXPECT_EQ(total, 168u);
    for (const std::wstring& text : all_texts(texts)) EXPECT_FALSE(text.empty());

    EXPECT_STREQ(texts.controls[0], L"Auto");
    EXPECT_STREQ(texts.controls[13], L"Exit");
    EXPECT_STREQ(texts.list_tooltip[1], L"Path:\t %s\r\nSize:\t %s\r\nOrdinal:\t %d\r\nStatus:\t %s");
    EXPECT_STREQ(texts.menu[1], L"Always on &top\tCtrl + T");
    EXPECT_STREQ(texts.messages[1], L"Can't create thread :(");
    EXPECT_STREQ(texts.messages[23], L"\n\nAre you sure that you wish to continue join operation?");
    EXPECT_STREQ(texts.messages[24], L"Custom path: \"%s\"");
    EXPECT_STREQ(texts.messages[25], L"-output");
    EXPECT_STREQ(texts.tooltips[21], L"Open output folder when done (only on successful join)");
    EXPECT_STREQ(texts.updater[0], L"Mendlet %s (%s) is available. Would you like to open download page?");
    EXPECT_STREQ(texts.messages[26], L"The joined file is kept as \"%s\".");
    EXPECT_STREQ(texts.messages[29], L"%s could not be cut back to its old size of %s bytes!");
    EXPECT_STREQ(texts.messages[33], L"Files added: %d; %d other files left out.");
    EXPECT_STREQ(texts.messages[texts.messages.count()], L"");
}

TEST(LoadLanguageFile, OneValueChangesOneText) {
    TextTable texts;
    const std::vector<std::wstring> english = all_texts(texts);
    const LanguageFile file{{{L"messages", L"003"}, L"Bereit"}, {{L"messages", L"004"}, L""}};
    load_language_file(texts, lookup_in(file));
    EXPECT_STREQ(texts.messages[3], L"Bereit");
    std::vector<std::wstring> now = all_texts(texts);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < now.size(); ++i) changed += now[i] != english[i];
    EXPECT_EQ(changed, 1u);
    // An empty value counts as missing.
    EXPECT_STREQ(texts.messages[4], L"Joining...");
}

TEST(LoadLanguageFile, EscapesOnlyInTheFourControlCharacterTexts) {
    TextTable texts;
    const LanguageFile file{
        {{L"menu", L"001"}, L"Immer &oben\\tStrg + T"},
        {{L"menu", L"002"}, L"Verkn\\tpfen"},
        {{L"messages", L"023"}, L"\\n\\nWeiter?\\n"},
        {{L"tooltips", L"000"}, L"a\\\\n\\x\\r\\"},
        {{L"list_tooltip", L"001"}, L"P %s\\r\\nS %s\\r\\nO %d\\r\\nZ %s"},
    };
    load_language_file(texts, lookup_in(file));
    EXPECT_STREQ(texts.menu[1], L"Immer &oben\tStrg + T");
    EXPECT_STREQ(texts.menu[2], L"Verkn\\tpfen");
    EXPECT_STREQ(texts.messages[23], L"\n\nWeiter?\n");
    EXPECT_STREQ(texts.tooltips[0], L"a\\\n\\x\r\\");
    EXPECT_STREQ(texts.list_tooltip[1], L"P %s\r\nS %s\r\nO %d\r\nZ %s");
}

TEST(LoadLanguageFile, ValuesAreCutAt511Characters) {
    TextTable texts;
    const LanguageFile file{{{L"tooltips", L"005"}, std::wstring(600, L'x')}};
    load_language_file(texts, lookup_in(file));
    EXPECT_EQ(std::wstring(texts.tooltips[5]), std::wstring(511, L'x'));
}

TEST(LoadLanguageFile, FormatTextsWithOtherPlaceholdersStayEnglish) {
    TextTable texts;
    const LanguageFile file{
        {{L"messages", L"013"}, L"Dateien: %s"},                        // other kind
        {{L"messages", L"018"}, L"%s fehlen, Nummern %d."},             // other order
        {{L"messages", L"014"}, L"Automatisch geladen: %d %d"},         // one too many
        {{L"updater", L"000"}, L"Mendlet %s ist da (%s). 100%% neu!"},  // same, with a percent sign
        {{L"list_status", L"000"}, L"gut %s"},                          // a plain text that grew one
    };
    load_language_file(texts, lookup_in(file));
    EXPECT_STREQ(texts.messages[13], L"Files added: %d");
    EXPECT_STREQ(texts.messages[18], L"You seem to be missing %d part(s) with ordinal(s): %s.");
    EXPECT_STREQ(texts.messages[14], L"Files auto loaded: %d");
    EXPECT_STREQ(texts.updater[0], L"Mendlet %s ist da (%s). 100%% neu!");
    EXPECT_STREQ(texts.list_status[0], L"ok");
}

TEST(LoadLanguageFile, ASecondFileReplacesTheFirstEntirely) {
    TextTable texts;
    const LanguageFile german{{{L"messages", L"003"}, L"Bereit"}, {{L"menu", L"000"}, L"&Optionen"}};
    const LanguageFile french{{{L"menu", L"000"}, L"&Options FR"}};
    load_language_file(texts, lookup_in(german));
    load_language_file(texts, lookup_in(french));
    EXPECT_STREQ(texts.messages[3], L"Ready");
    EXPECT_STREQ(texts.menu[0], L"&Options FR");
}

TEST(ResetTexts, GivesExactlyTheDefaults) {
    TextTable texts;
    const std::vector<std::wstring> english = all_texts(texts);
    LanguageFile everything;
    for (const TextSection* section : texts.sections())
        for (const TextEntry& entry : section->entries())
            everything[{section->name(), (entry.index() < 10 ? L"00" : L"0") + std::to_wstring(entry.index())}] =
                std::wstring(L"T ") + entry.default_text();
    load_language_file(texts, lookup_in(everything));
    for (const TextSection* section : texts.sections())
        for (const TextEntry& entry : section->entries()) EXPECT_TRUE(entry.translated()) << section->name();
    reset_texts(texts);
    EXPECT_EQ(all_texts(texts), english);
}

}  // namespace
}  // namespace mendlet
