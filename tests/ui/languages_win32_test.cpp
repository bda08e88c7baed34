// Languages on the real main window: the files found in the "lang" folder, the automatic
// choice, the Language menu, and every text on the window following the choice.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <set>
#include <string>

#include "lang/ini_lookup_win32.h"
#include "lang/language_files_win32.h"
#include "res/resource.h"
#include "settings/settings_file.h"
#include "support/modal_dialog_win32.h"
#include "support/program_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {
namespace {

using test_support::TempFolder;
using test_support::utf16_file;

bool menu_checked(HWND window, UINT item) {
    return (GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::wstring menu_text(HMENU menu, UINT item, bool by_position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, item, text, 256, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
    return text;
}

std::wstring column_text(HWND window, int column) {
    wchar_t text[64] = {};
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = 64;
    SendDlgItemMessageW(window, IDC_PART_LIST, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                        reinterpret_cast<LPARAM>(&header));
    return text;
}

std::wstring control_text(HWND window, int control) { return window_text(GetDlgItem(window, control)); }

// A language file of a name, a number and some sections, as a translator writes it.
std::string language_file(const wchar_t* name, int laid, const std::wstring& sections = {}) {
    std::wstring text = L"[translation]\r\n";
    if (name != nullptr) text += std::wstring(L"lang=") + name + L"\r\n";
    text += L"laid=" + std::to_wstring(laid) + L"\r\n" + sections;
    return utf16_file(text);
}

class LanguagesTest : public ::testing::Test {
protected:
    LanguagesTest() { CreateDirectoryW(lang_folder().c_str(), nullptr); }
    ~LanguagesTest() override {
        if (window != nullptr) DestroyWindow(window);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    std::wstring lang_folder() const { return home.file(L"lang"); }
    void write_language(const std::wstring& file_name, const std::string& bytes) const {
        home.write(L"lang\\" + file_name, bytes);
    }
    void save_language_id(std::uint32_t language_id) const {
        WindowState window_state;
        window_state.language_id = language_id;
        const auto record = encode_settings_file(Settings{}, window_state);
        home.write(L"mendlet", std::string(record.begin(), record.end()));
    }

    HWND start(LANGID ui_language = 1033) {
        application = std::make_unique<Application>(GetModuleHandleW(nullptr), std::wstring(), home.file(L"mendlet.exe"));
        application->ui_language = [ui_language] { return ui_language; };
        window = application->create_window();
        return window;
    }

    // The file name of the language in use; empty for English.
    std::wstring current_file() const {
        const LanguageEntry* current = application->languages().current();
        return current != nullptr ? current->file_name : std::wstring();
    }

    // Destroyed after the window, which it owns the files of.
    TempFolder home;
    std::unique_ptr<Application> application;
    HWND window = nullptr;
};

TEST_F(LanguagesTest, OnlyFilesWithALanguageNameAreOffered) {
    write_language(L"alpha.lng", language_file(L"Alpha", 7));
    write_language(L"nameless.lng", language_file(nullptr, 8));
    write_language(L"gamma.lng", language_file(L"Gamma", 12));
    write_language(L"other.txt", language_file(L"Other", 13));
    CreateDirectoryW((lang_folder() + L"\\folder.lng").c_str(), nullptr);
    ASSERT_NE(start(), nullptr);
    const auto& entries = application->languages().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].menu_id, 40219u);
    EXPECT_EQ(entries[1].menu_id, 40218u);
    const HMENU language_menu = GetSubMenu(GetMenu(window), 1);
    EXPECT_EQ(GetMenuItemCount(language_menu), 4);
    for (const LanguageEntry& entry : entries)
        EXPECT_EQ(menu_text(language_menu, entry.menu_id, false), entry.file_name == L"alpha.lng" ? L"Alpha" : L"Gamma");
    EXPECT_TRUE(menu_checked(window, IDM_LANG_ENGLISH));
}

// A saved English number keeps English, on any interface language and whatever the files.
TEST_F(LanguagesTest, ASavedEnglishNumberKeepsEnglish) {
    write_language(L"german.lng", language_file(L"Deutsch", 1031, L"[join_button]\r\n001=&Zusammenf\u00fcgen\r\n"));
    write_language(L"british.lng", language_file(L"British", 2057, L"[join_button]\r\n001=&Join up\r\n"));
    for (const std::uint32_t saved : {1033u, 2057u}) {
        save_language_id(saved);
        ASSERT_NE(start(1031), nullptr);
        EXPECT_EQ(current_file(), L"") << saved;
        EXPECT_TRUE(menu_checked(window, IDM_LANG_ENGLISH));
        EXPECT_EQ(control_text(window, IDC_JOIN), L"&Join");
        DestroyWindow(window);
        window = nullptr;
    }
    // A saved number that a file carries chooses it.
    save_language_id(1031);
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(current_file(), L"german.lng");
    EXPECT_EQ(control_text(window, IDC_JOIN), L"&Zusammenf\u00fcgen");
}

struct UiCase {
    std::vector<int> files;
    int chosen;
};

class InterfaceLanguageTest : public LanguagesTest, public ::testing::WithParamInterface<UiCase> {};

TEST_P(InterfaceLanguageTest, ChoosesTheClosestFileForGerman) {
    for (const int laid : GetParam().files)
        write_language(std::to_wstring(laid) + L".lng", language_file(L"Deutsch", laid,
                                                                      L"[messages]\r\n003=Bereit " + std::to_wstring(laid)));
    ASSERT_NE(start(1031), nullptr);
    EXPECT_EQ(current_file(), std::to_wstring(GetParam().chosen) + L".lng");
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Bereit " + std::to_wstring(GetParam().chosen));
    EXPECT_FALSE(menu_checked(window, IDM_LANG_ENGLISH));
    EXPECT_TRUE(menu_checked(window, application->languages().current()->menu_id));
}

INSTANTIATE_TEST_SUITE_P(Files, InterfaceLanguageTest,
                         ::testing::Values(UiCase{{7, 1031}, 1031}, UiCase{{2055, 7}, 7}, UiCase{{2055}, 2055}),
                         [](const ::testing::TestParamInfo<UiCase>& info) {
                             return "Chooses" + std::to_string(info.param.chosen);
                         });

// Every text of the window in German, then every English default back.
TEST_F(LanguagesTest, SwitchingBackToEnglishRestoresEveryDefault) {
    ASSERT_TRUE(CopyFileW((test_support::built_languages_folder() + L"\\German.lng").c_str(),
                          (lang_folder() + L"\\German.lng").c_str(), TRUE));
    ASSERT_NE(start(), nullptr);
    ASSERT_EQ(application->languages().entries().size(), 1u);
    const UINT german = application->languages().entries()[0].menu_id;
    const TextLookup lookup = ini_file_lookup(lang_folder() + L"\\German.lng");
    const TextTable english;
    const HMENU menu = GetMenu(window);

    SendMessageW(window, WM_COMMAND, german, 0);
    EXPECT_TRUE(menu_checked(window, german));
    EXPECT_FALSE(menu_checked(window, IDM_LANG_ENGLISH));
    EXPECT_EQ(control_text(window, IDC_JOIN), lookup(L"join_button", L"001"));
    EXPECT_EQ(control_text(window, IDC_WHEN_DONE_LABEL), lookup(L"controls", L"009"));
    EXPECT_EQ(column_text(window, 2), lookup(L"list_column", L"002"));
    EXPECT_EQ(menu_text(menu, 0, true), lookup(L"menu", L"000"));
    EXPECT_EQ(menu_text(menu, IDM_SETTINGS, false), lookup(L"menu", L"005"));
    EXPECT_EQ(control_text(window, IDC_STATUS), lookup(L"messages", L"003"));

    SendMessageW(window, WM_COMMAND, IDM_LANG_ENGLISH, 0);
    EXPECT_TRUE(menu_checked(window, IDM_LANG_ENGLISH));
    EXPECT_FALSE(menu_checked(window, german));
    const std::array<std::pair<UINT, bool>, 12> items = {{{0, true}, {IDM_ALWAYS_ON_TOP, false}, {IDM_ASSOCIATE, false},
                                                          {IDM_DISABLE_HASH, false}, {IDM_REMOVE_ALL_AFTER_JOIN, false},
                                                          {IDM_SETTINGS, false}, {1, true}, {2, true},
                                                          {IDM_ONLINE_HELP, false}, {IDM_WEBPAGE, false},
                                                          {IDM_ABOUT, false}, {IDM_CHECK_UPDATE, false}}};
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(menu_text(menu, items[i].first, items[i].second), english.menu[i]) << i;
    const std::array<int, 14> controls = {IDC_AUTO_SORT, IDC_ADD_FILES, IDC_ADD_FOLDER, IDC_REMOVE, IDC_REMOVE_ALL,
                                          IDC_BROWSE, IDC_APPEND_TO_FIRST, IDC_HASH_GROUP, IDC_CLEAR_HASH,
                                          IDC_WHEN_DONE_LABEL, IDC_OPEN_OUTPUT_FILE, IDC_OPEN_OUTPUT_FOLDER,
                                          IDC_DELETE_PARTS, IDC_EXIT_WHEN_DONE};
    for (std::size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(control_text(window, controls[i]), english.controls[i]) << i;
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(column_text(window, column), english.list_column[static_cast<std::size_t>(column)]);
    EXPECT_EQ(control_text(window, IDC_JOIN), L"&Join");
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Ready");
    for (const TextSection* section : application->texts().sections())
        for (const TextEntry& entry : section->entries()) EXPECT_FALSE(entry.translated()) << section->name();
}

// A translated format text whose placeholders differ from the English one is not used.
TEST_F(LanguagesTest, AFormatTextWithOtherPlaceholdersStaysEnglish) {
    write_language(L"german.lng", language_file(L"Deutsch", 1031,
                                                L"[messages]\r\n013=%s Dateien hinzugef\u00fcgt\r\n"
                                                L"014=%d Teile automatisch geladen\r\n"));
    ASSERT_NE(start(1031), nullptr);
    home.write(L"a.bin.001", "Mend");
    home.write(L"a.bin.002", "let");
    const std::wstring answer = home.path() + L'\0' + L"a.bin.001" + L'\0' + L"a.bin.002" + L'\0' + L'\0';
    application->open_file_name = [&](OPENFILENAMEW& dialog) {
        std::copy(answer.begin(), answer.end(), dialog.lpstrFile);
        return true;
    };
    SendMessageW(window, WM_COMMAND, IDC_ADD_FILES, 0);
    EXPECT_EQ(application->list().count(), 2u);
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Files added: 2");
    EXPECT_STREQ(application->texts().messages[14], L"%d Teile automatisch geladen");
}

// The worker keeps the texts it started with; the window shows the new ones at once.
TEST_F(LanguagesTest, ASwitchDuringAJoinShowsTheNewStopAndLeavesTheJobItsTexts) {
    write_language(L"german.lng", language_file(L"Deutsch", 1031,
                                                L"[join_button]\r\n000=&Stopp\r\n001=&Zusammenf\u00fcgen\r\n"
                                                L"[messages]\r\n004=Wird zusammengef\u00fcgt...\r\n006=Fertig!\r\n"));
    ASSERT_NE(start(), nullptr);
    const UINT german = application->languages().entries().at(0).menu_id;
    application->list().add_part(NO_POSITION, false, home.write(L"a.bin.001", "Mend"), 4, STATUS_OK, false);
    application->list().add_part(NO_POSITION, false, home.write(L"a.bin.002", "let"), 3, STATUS_OK, false);
    const std::wstring output = home.write(L"a.bin", "old");
    SetDlgItemTextW(window, IDC_OUTPUT_PATH, output.c_str());
    std::wstring join_text;
    std::wstring status_text;
    // The overwrite question comes while the job runs.
    application->message_box = [&](HWND, const wchar_t*, const wchar_t*, UINT) {
        SendMessageW(window, WM_COMMAND, german, 0);
        join_text = control_text(window, IDC_JOIN);
        status_text = control_text(window, IDC_STATUS);
        return IDYES;
    };
    SendMessageW(window, WM_COMMAND, IDC_JOIN, 0);
    ASSERT_TRUE(test_support::becomes_true_pumping([&] { return !application->join_thread().alive(); }, 20000));
    EXPECT_EQ(join_text, L"&Stopp");
    EXPECT_EQ(status_text, L"Wird zusammengef\u00fcgt...");
    EXPECT_EQ(test_support::read_file(output), "Mendlet");
    EXPECT_EQ(control_text(window, IDC_STATUS), L"Files joined successfully!");
    EXPECT_EQ(control_text(window, IDC_JOIN), L"&Zusammenf\u00fcgen");
}

// The About box in English: no translation credit, its name in the status font, and
// links that show the hand and are drawn in blue.
TEST_F(LanguagesTest, TheAboutBoxInEnglishCreditsNoTranslator) {
    ASSERT_NE(start(), nullptr);
    const auto status_font = SendDlgItemMessageW(window, IDC_STATUS, WM_GETFONT, 0, 0);
    ASSERT_TRUE(test_support::in_modal_dialog(window, IDM_ABOUT, IDC_TRANSLATION_LABEL, [&](HWND about) {
        EXPECT_EQ(window_text(about), L"About Mendlet");
        EXPECT_EQ(control_text(about, IDC_TRANSLATION_LABEL), L"");
        EXPECT_EQ(control_text(about, IDC_TRANSLATOR), L"");
        EXPECT_EQ(control_text(about, IDCANCEL), L"OK");
        EXPECT_EQ(SendDlgItemMessageW(about, IDC_PRODUCT_NAME, WM_GETFONT, 0, 0), status_font);
        const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
        const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
        const HDC context = GetDC(about);
        for (const int control : {IDC_WEB_LINK, IDC_CONTACT_LINK}) {
            const HWND link = GetDlgItem(about, control);
            SetCursor(arrow);
            EXPECT_TRUE(SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            EXPECT_EQ(GetCursor(), hand);
            SetTextColor(context, 0);
            SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context), reinterpret_cast<LPARAM>(link));
            EXPECT_EQ(GetTextColor(context), RGB(0, 0, 255));
        }
        SetTextColor(context, 0);
        SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                     reinterpret_cast<LPARAM>(GetDlgItem(about, IDC_TRANSLATOR)));
        EXPECT_EQ(GetTextColor(context), RGB(0, 0, 0));
        ReleaseDC(about, context);
    }));
}

// A translator's name from the selected file is credited under its label; a file without
// one shows neither.
TEST_F(LanguagesTest, TheAboutBoxCreditsTheTranslatorOnlyWhenNamed) {
    write_language(L"named.lng", language_file(L"Named", 7, L"name=Erika Mustermann\r\n[about]\r\n000=\u00dcber %s\r\n001=Gut\r\n"));
    write_language(L"anonymous.lng", language_file(L"Anonymous", 8));
    ASSERT_NE(start(), nullptr);
    for (const LanguageEntry& entry : application->languages().entries()) {
        SCOPED_TRACE(entry.file_name);
        application->select_language_by_command(entry.menu_id);
        const bool named = entry.file_name == L"named.lng";
        ASSERT_TRUE(test_support::in_modal_dialog(window, IDM_ABOUT, IDC_TRANSLATION_LABEL, [&](HWND about) {
            EXPECT_EQ(window_text(about), named ? L"\u00dcber Mendlet" : L"About Mendlet");
            EXPECT_EQ(control_text(about, IDCANCEL), named ? L"Gut" : L"OK");
            EXPECT_EQ(control_text(about, IDC_TRANSLATION_LABEL), named ? L"Translation:" : L"");
            EXPECT_EQ(control_text(about, IDC_TRANSLATOR), named ? L"Erika Mustermann" : L"");
        }));
    }
}

// The translations that ship beside the program translate every text, with the English
// placeholders, and each names its language and number.
TEST(ShippedLanguages, TranslateEveryText) {
    const std::wstring folder = test_support::built_languages_folder();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*.lng").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::set<std::wstring> numbers;
    do {
        const TextLookup lookup = ini_file_lookup(folder + L"\\" + found.cFileName);
        TextTable texts;
        load_language_file(texts, lookup);
        std::size_t translated = 0;
        for (const TextSection* section : texts.sections())
            for (const TextEntry& entry : section->entries()) translated += entry.translated() ? 1 : 0;
        EXPECT_EQ(translated, 139u) << found.cFileName;
        EXPECT_FALSE(lookup(L"translation", L"lang").empty()) << found.cFileName;
        EXPECT_FALSE(lookup(L"translation", L"name").empty()) << found.cFileName;
        numbers.insert(lookup(L"translation", L"laid"));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(numbers, (std::set<std::wstring>{L"1031", L"1036"}));
}

}  // namespace
}  // namespace mendlet
