#include "lang/ini_lookup_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "lang/text_table.h"
#include "support/temp_folder_win32.h"

namespace mendlet {
namespace {

using test_support::utf16_file;

TEST(IniFileLookup, ReadsAUtf16LanguageFileWithEscapesAndLimits) {
    const test_support::TempFolder folder;
    const std::wstring path =
        folder.write(L"deutsch.lng", utf16_file(L"[translation]\r\nlang=Deutsch\r\nlaid=1031\r\n"
                                                L"[messages]\r\n003=Bereit \u00fc\u00df\u20ac\r\n004=\r\n"
                                                L"[menu]\r\n001=Immer &oben\\tStrg + T\r\n002=Verkn\\tpfen\r\n"
                                                L"[tooltips]\r\n005=" +
                                                std::wstring(600, L'x') + L"\r\n"));
    TextTable texts;
    load_language_file(texts, ini_file_lookup(path));
    EXPECT_STREQ(texts.messages[3], L"Bereit \u00fc\u00df\u20ac");
    EXPECT_STREQ(texts.messages[4], L"Joining...");
    EXPECT_STREQ(texts.menu[1], L"Immer &oben\tStrg + T");
    EXPECT_STREQ(texts.menu[2], L"Verkn\\tpfen");
    EXPECT_EQ(std::wstring(texts.tooltips[5]), std::wstring(511, L'x'));
    EXPECT_STREQ(texts.menu[0], L"&Options");
}

TEST(IniFileLookup, ReadsAPlainTextFile) {
    const test_support::TempFolder folder;
    const std::wstring path = folder.write(L"plain.lng", "[list_column]\r\n000=Pfad\r\n002 = Zustand \r\n");
    TextTable texts;
    load_language_file(texts, ini_file_lookup(path));
    EXPECT_STREQ(texts.list_column[0], L"Pfad");
    EXPECT_STREQ(texts.list_column[1], L"Size");
    EXPECT_STREQ(texts.list_column[2], L"Zustand");
}

TEST(IniFileLookup, AMissingFileLeavesEnglish) {
    const test_support::TempFolder folder;
    TextTable texts;
    texts.messages.entries()[3].set_translation(L"Bereit");
    load_language_file(texts, ini_file_lookup(folder.file(L"absent.lng")));
    EXPECT_STREQ(texts.messages[3], L"Ready");
}

}  // namespace
}  // namespace mendlet
