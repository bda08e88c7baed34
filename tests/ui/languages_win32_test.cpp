// Languages on the real main window: the files found in the "lang" folder, the automatic
// choice, the Language menu, and every text on the window following the choice.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lang/ini_lookup_win32.h"
#include "lang/language_files_win32.h"
#include "res/resource.h"
#include "settings/settings_file.h"
#include "support/modal_dialog_win32.h"
#include "support/program_win32.h"
#include "support/shown_texts_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"
#include "ui/window_text_win32.h"

namespace mendlet {
namespace {

using test_support::KeyRole;
using test_support::ShownItem;
using test_support::Surface;
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
    ~LanguagesTest() override { close_window(); }

    // The quit message it leaves would end the next modal dialog at once.
    void close_window() {
        if (window != nullptr) DestroyWindow(window);
        window = nullptr;
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

    // Runs the action while a join of two parts waits for the answer to its question whether
    // to overwrite the output: the window as a join shows it, Stop in place of Join.
    void while_joining(const std::function<void()>& action, int answer) {
        application->list().add_part(NO_POSITION, false, home.write(L"a.bin.001", "Mend"), 4, STATUS_OK, false);
        application->list().add_part(NO_POSITION, false, home.write(L"a.bin.002", "let"), 3, STATUS_OK, false);
        SetDlgItemTextW(window, IDC_OUTPUT_PATH, home.write(L"a.bin", "old").c_str());
        bool asked = false;
        application->message_box = [&](HWND, const wchar_t*, const wchar_t*, UINT) {
            asked = true;
            action();
            return answer;
        };
        SendMessageW(window, WM_COMMAND, IDC_JOIN, 0);
        ASSERT_TRUE(test_support::becomes_true_pumping([&] { return !application->join_thread().alive(); }, 20000));
        EXPECT_TRUE(asked);
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
    std::wstring join_text;
    std::wstring status_text;
    while_joining(
        [&] {
            SendMessageW(window, WM_COMMAND, german, 0);
            join_text = control_text(window, IDC_JOIN);
            status_text = control_text(window, IDC_STATUS);
        },
        IDYES);
    EXPECT_EQ(join_text, L"&Stopp");
    EXPECT_EQ(status_text, L"Wird zusammengef\u00fcgt...");
    EXPECT_EQ(test_support::read_file(home.file(L"a.bin")), "Mendlet");
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
    write_language(L"named.lng", language_file(L"Named", 7, L"name=Erika Mustermann\r\n[about]\r\n000=\u00dcber %s\r\n001=Gut\r\n"
                                                            L"002=Autor:\r\n005=\u00dcbersetzung:\r\n"));
    write_language(L"anonymous.lng", language_file(L"Anonymous", 8));
    ASSERT_NE(start(), nullptr);
    for (const LanguageEntry& entry : application->languages().entries()) {
        SCOPED_TRACE(entry.file_name);
        application->select_language_by_command(entry.menu_id);
        const bool named = entry.file_name == L"named.lng";
        ASSERT_TRUE(test_support::in_modal_dialog(window, IDM_ABOUT, IDC_TRANSLATION_LABEL, [&](HWND about) {
            EXPECT_EQ(window_text(about), named ? L"\u00dcber Mendlet" : L"About Mendlet");
            EXPECT_EQ(control_text(about, IDCANCEL), named ? L"Gut" : L"OK");
            EXPECT_EQ(control_text(about, IDC_AUTHOR_LABEL), named ? L"Autor:" : L"Author:");
            EXPECT_EQ(control_text(about, IDC_CONTACT_LABEL), L"Contact:");
            EXPECT_EQ(control_text(about, IDC_TRANSLATION_LABEL), named ? L"\u00dcbersetzung:" : L"");
            EXPECT_EQ(control_text(about, IDC_TRANSLATOR), named ? L"Erika Mustermann" : L"");
        }));
    }
}

// The translations that ship beside the program translate every text, with the English
// placeholders, and each names its language and number.
TEST(ShippedLanguages, TranslateEveryText) {
    const std::wstring folder = test_support::built_languages_folder();
    std::set<std::wstring> numbers;
    for (const std::wstring& name : test_support::names_in(folder)) {
        const TextLookup lookup = ini_file_lookup(folder + L"\\" + name);
        TextTable texts;
        load_language_file(texts, lookup);
        std::size_t translated = 0;
        for (const TextSection* section : texts.sections())
            for (const TextEntry& entry : section->entries()) translated += entry.translated() ? 1 : 0;
        std::size_t all = 0;
        for (const TextSection* section : texts.sections()) all += section->count();
        EXPECT_EQ(translated, all) << name;
        EXPECT_FALSE(lookup(L"translation", L"lang").empty()) << name;
        EXPECT_FALSE(lookup(L"translation", L"name").empty()) << name;
        numbers.insert(lookup(L"translation", L"laid"));
    }
    EXPECT_EQ(numbers, (std::set<std::wstring>{L"1031", L"1036"}));
}

// The languages that ship, each started as a user whose Windows speaks it starts the program:
// English, then every file the build copies into its "lang" folder.
class ShippedLanguagesTest : public LanguagesTest {
protected:
    struct Shipped {
        // The file's name; "English" for the built-in texts.
        std::wstring name;
        LANGID interface_language;
    };

    ShippedLanguagesTest() {
        for (const std::wstring& name : test_support::names_in(test_support::built_languages_folder())) {
            const std::wstring file = test_support::built_languages_folder() + L"\\" + name;
            CopyFileW(file.c_str(), (lang_folder() + L"\\" + name).c_str(), FALSE);
            const std::wstring laid = ini_file_lookup(file)(L"translation", L"laid");
            shipped.push_back({name, static_cast<LANGID>(std::wcstol(laid.c_str(), nullptr, 10))});
        }
    }

    void start_in(const Shipped& language) {
        close_window();
        // The language the last window saved would count before the system's.
        DeleteFileW(home.file(L"mendlet").c_str());
        ASSERT_NE(start(language.interface_language), nullptr);
        ASSERT_EQ(current_file(), english(language) ? L"" : language.name);
    }

    void switch_to(const Shipped& language) {
        UINT item = IDM_LANG_ENGLISH;
        for (const LanguageEntry& entry : application->languages().entries())
            if (entry.file_name == language.name) item = entry.menu_id;
        SendMessageW(window, WM_COMMAND, item, 0);
        ASSERT_EQ(current_file(), english(language) ? L"" : language.name);
    }

    static bool english(const Shipped& language) { return language.name == L"English"; }

    std::vector<Shipped> shipped{{L"English", 1033}};
};

std::wstring quoted(const ShownItem& item) { return item.place + L" \"" + item.text + L"\""; }

// In every shipped language, each menu and each window (the main window with its menu bar,
// also during a join) gives each access key to one item alone; and every button, check box
// and menu item that has one in English has one in every language.
TEST_F(ShippedLanguagesTest, AccessKeysAreUniqueAndKeptInEveryLanguage) {
    ASSERT_EQ(shipped.size(), 3u);
    // "surface, place" of each command, and its English key.
    std::map<std::wstring, wchar_t> english_keys;
    for (const Shipped& language : shipped) {
        SCOPED_TRACE(language.name);
        ASSERT_NO_FATAL_FAILURE(start_in(language));
        std::vector<Surface> surfaces = test_support::shown_surfaces(*application);
        while_joining([&] { surfaces.push_back(test_support::main_window_surface(window)); }, IDNO);
        surfaces.back().name = L"main window during a join";
        for (const Surface& surface : surfaces) {
            std::map<wchar_t, std::wstring> holders;
            for (const ShownItem& item : surface.items) {
                const wchar_t key = item.role == KeyRole::none ? 0 : test_support::access_key(item.text);
                if (key != 0) {
                    if (!holders[key].empty())
                        ADD_FAILURE() << surface.name << ": Alt+" << std::wstring(1, key) << " reaches " << holders[key]
                                      << " and " << quoted(item);
                    holders[key] += quoted(item);
                }
                if (item.role != KeyRole::command) continue;
                const std::wstring command = surface.name + L", " + item.place;
                if (english(language)) {
                    english_keys[command] = key;
                } else if (english_keys[command] != 0) {
                    EXPECT_NE(key, 0) << surface.name << ": " << quoted(item) << " has no access key";
                }
            }
        }
    }
}

// Every text of every menu and window, by "surface, place".
std::map<std::wstring, std::wstring> texts_of(const std::vector<Surface>& surfaces) {
    std::map<std::wstring, std::wstring> texts;
    for (const Surface& surface : surfaces)
        for (const ShownItem& item : surface.items) texts[surface.name + L", " + item.place] = item.text;
    return texts;
}

// From a start in each shipped language, every other one chosen in turn shows every menu and
// window, access keys included, as a start in it does.
TEST_F(ShippedLanguagesTest, ASwitchShowsWhatAStartInTheLanguageShows) {
    ASSERT_EQ(shipped.size(), 3u);
    std::map<std::wstring, std::map<std::wstring, std::wstring>> at_start;
    // By "first language, then chosen language".
    std::map<std::wstring, std::map<std::wstring, std::wstring>> after_switch;
    for (const Shipped& first : shipped) {
        ASSERT_NO_FATAL_FAILURE(start_in(first));
        at_start[first.name] = texts_of(test_support::shown_surfaces(*application));
        for (const Shipped& next : shipped) {
            if (next.name == first.name) continue;
            ASSERT_NO_FATAL_FAILURE(switch_to(next));
            after_switch[first.name + L", then " + next.name] = texts_of(test_support::shown_surfaces(*application));
        }
    }
    for (const Shipped& first : shipped) {
        for (const Shipped& next : shipped) {
            if (next.name == first.name) continue;
            SCOPED_TRACE(L"started in " + first.name + L", switched to " + next.name);
            const auto& shown = after_switch[first.name + L", then " + next.name];
            EXPECT_EQ(shown.size(), at_start[next.name].size());
            for (const auto& [place, text] : at_start[next.name]) {
                const auto found = shown.find(place);
                EXPECT_TRUE(found != shown.end() && found->second == text)
                    << place << ": \"" << (found != shown.end() ? found->second : L"(none)") << "\", at a start \""
                    << text << "\"";
            }
        }
    }
}

int dialog_units(HWND dialog, int horizontal_units) {
    RECT units{0, 0, horizontal_units, 0};
    MapDialogRect(dialog, &units);
    return units.right;
}

// Where a check box's or radio button's text starts after its glyph, a push button's edge on
// either side of its text, and a group box's frame on either side of its title.
constexpr int GLYPH_GAP_UNITS = 4;
constexpr int BUTTON_EDGE_UNITS = 2;
constexpr int GROUP_FRAME_UNITS = 6;

// The width a control gives its text, and how it draws it; none where the text is the user's
// data or the program draws it to fit (edit boxes, the list, the status line). A group box
// cuts its title where the title was measured to end.
struct TextRoom {
    int width;
    UINT format;
    bool cut_at_measure;
};

std::optional<TextRoom> room_for_text(HWND dialog, HWND control) {
    RECT client;
    GetClientRect(control, &client);
    wchar_t kind[32] = {};
    GetClassNameW(control, kind, 32);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (lstrcmpiW(kind, L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_OWNERDRAW) return std::nullopt;
        return TextRoom{client.right, (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0u, false};
    }
    if (lstrcmpiW(kind, L"Button") != 0) return std::nullopt;
    switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return TextRoom{client.right - 2 * dialog_units(dialog, GROUP_FRAME_UNITS), 0, true};
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return TextRoom{client.right - 2 * dialog_units(dialog, BUTTON_EDGE_UNITS), 0, false};
        default:
            return TextRoom{client.right - GetSystemMetrics(SM_CXMENUCHECK) - dialog_units(dialog, GLYPH_GAP_UNITS), 0,
                            false};
    }
}

// The text's width as measured on the control's context in its font, and the columns its
// letters cover when drawn: under Wine some (after a capital A) reach a pixel further.
struct TextWidth {
    int measured;
    int inked;
};

TextWidth text_width(HWND control, const std::wstring& text, UINT format) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HDC context = GetDC(control);
    const HGDIOBJ previous_font = SelectObject(context, font);
    RECT measured{};
    DrawTextW(context, text.c_str(), -1, &measured, format | DT_SINGLELINE | DT_CALCRECT);
    const HDC memory = CreateCompatibleDC(context);
    SelectObject(context, previous_font);
    ReleaseDC(control, context);

    // Drawn in black on white, with room beyond the measure for letters that reach past it.
    const int width = measured.right + measured.bottom;
    BITMAPINFO picture{};
    picture.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -measured.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &picture, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous_bitmap = SelectObject(memory, bitmap);
    SelectObject(memory, font);
    PatBlt(memory, 0, 0, width, measured.bottom, WHITENESS);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    RECT place{0, 0, width, measured.bottom};
    DrawTextW(memory, text.c_str(), -1, &place, format | DT_SINGLELINE | DT_NOCLIP);
    GdiFlush();
    int inked = 0;
    const auto* pixels = static_cast<const RGBQUAD*>(bits);
    for (int at = 0; at < width * measured.bottom; ++at) {
        const RGBQUAD& pixel = pixels[at];
        if (pixel.rgbRed + pixel.rgbGreen + pixel.rgbBlue < 3 * 128) inked = std::max(inked, at % width + 1);
    }
    SelectObject(memory, previous_bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return {measured.right, inked};
}

// The control with the least room to spare, for the log.
struct Tightest {
    int spare = INT_MAX;
    std::wstring control;
};

void expect_text_fits(HWND dialog, HWND control, const std::wstring& where, Tightest& tightest) {
    const std::wstring text = window_text(control);
    const auto room = room_for_text(dialog, control);
    if (text.empty() || !room) return;
    const TextWidth width = text_width(control, text, room->format);
    const std::wstring name = where + L", control " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\"";
    const int needed = std::max(width.measured, width.inked);
    EXPECT_LE(needed, room->width) << name << " needs " << needed << " pixels and has " << room->width;
    if (room->cut_at_measure) {
        EXPECT_LE(width.inked, width.measured) << name << " is drawn " << width.inked << " pixels wide and cut at "
                                               << width.measured;
    }
    if (room->width - needed < tightest.spare) tightest = {room->width - needed, name};
}

// Every control's text fits the control in every shipped language, measured in the control's
// font at the system's scale (win.display_scaling runs this at 96, 120, 144 and 192 dpi); so
// do the list's column titles and status words in their columns.
TEST_F(ShippedLanguagesTest, EveryTextFitsItsControl) {
    ASSERT_EQ(shipped.size(), 3u);
    for (const Shipped& language : shipped) {
        ASSERT_NO_FATAL_FAILURE(start_in(language));
        Tightest tightest;
        const auto measure = [&](HWND dialog, const wchar_t* name) {
            for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT))
                expect_text_fits(dialog, control, language.name + L", " + name, tightest);
        };
        measure(window, L"main window");
        while_joining([&] { measure(window, L"main window during a join"); }, IDNO);
        EXPECT_TRUE(test_support::in_modal_dialog(window, IDM_SETTINGS, IDC_TESTS_GROUP,
                                                  [&](HWND settings) { measure(settings, L"settings dialog"); }));
        EXPECT_TRUE(test_support::in_modal_dialog(window, IDM_ABOUT, IDC_TRANSLATION_LABEL,
                                                  [&](HWND about) { measure(about, L"About box"); }));

        const HWND rows = GetDlgItem(window, IDC_PART_LIST);
        const auto string_width = [&](const wchar_t* text) {
            return static_cast<int>(SendMessageW(rows, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
        };
        const TextTable& texts = application->texts();
        for (int column = 0; column < 3; ++column) {
            std::vector<const wchar_t*> shown{texts.list_column[static_cast<std::size_t>(column)]};
            if (column == 2) shown.insert(shown.end(), {texts.list_status_cat[0], texts.list_status_cat[1], texts.list_status_cat[2]});
            for (const wchar_t* text : shown)
                EXPECT_GT(SendMessageW(rows, LVM_GETCOLUMNWIDTH, column, 0), string_width(text) + string_width(L"  "))
                    << language.name << ", column " << column << " \"" << text << "\"";
        }
        const HDC screen = GetDC(window);
        std::printf("%ls at %d dpi: least room to spare %d pixels, %ls\n", language.name.c_str(),
                    GetDeviceCaps(screen, LOGPIXELSX), tightest.spare, tightest.control.c_str());
        ReleaseDC(window, screen);
    }
}

}  // namespace
}  // namespace mendlet
