#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace mendlet {
namespace {

INT_PTR CALLBACK inert_dialog_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog created from its template with a procedure that does nothing, so that the
// template itself is what is looked at.
class TemplateDialog {
public:
    explicit TemplateDialog(int id) {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, inert_dialog_proc, 0);
    }
    ~TemplateDialog() {
        if (window != nullptr) DestroyWindow(window);
    }
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    // Control ids in tab order, which is the order of the template.
    std::vector<int> control_ids() const {
        std::vector<int> ids;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            ids.push_back(GetDlgCtrlID(child));
        return ids;
    }
    LONG_PTR style(int id) const { return GetWindowLongPtrW(GetDlgItem(window, id), GWL_STYLE); }
    std::wstring class_of(int id) const {
        wchar_t name[64] = {};
        GetClassNameW(GetDlgItem(window, id), name, 64);
        return name;
    }
    // A control's rectangle in the dialog's client pixels.
    RECT rect(int id) const {
        RECT r;
        GetWindowRect(GetDlgItem(window, id), &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // A rectangle given in dialog units, in client pixels.
    RECT units(int x, int y, int width, int height) const {
        RECT r{x, y, x + width, y + height};
        MapDialogRect(window, &r);
        return r;
    }

    HWND window = nullptr;
};

constexpr int NO_ID = IDC_STATIC;

TEST(MainDialogTemplate, ControlsInTemplateOrder) {
    const TemplateDialog dialog(IDD_MAIN);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(dialog.control_ids(),
              (std::vector<int>{NO_ID, 1001, 1008, 1009, 1011, 1012, 1013, 1014, 1002, 1003, 1004, 1005, 1015, 1010,
                                1019,  1020, 1021, 1022, 1023, 1024, 1026, 1027, 1030, 1031, 1034, 1035, 1032, 1033}));
    wchar_t caption[32] = {};
    GetWindowTextW(dialog.window, caption, 32);
    EXPECT_STREQ(caption, L"Mendlet");
    EXPECT_TRUE(GetWindowLongPtrW(dialog.window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetMenuItemCount(GetMenu(dialog.window)), 3);
}

TEST(MainDialogTemplate, ControlKindsAndStates) {
    const TemplateDialog dialog(IDD_MAIN);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(dialog.class_of(IDC_PART_LIST), WC_LISTVIEWW);
    const LONG_PTR list = dialog.style(IDC_PART_LIST);
    EXPECT_EQ(list & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(list & LVS_OWNERDATA);
    EXPECT_TRUE(list & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(list & LVS_SINGLESEL);
    EXPECT_EQ(dialog.class_of(IDC_PROGRESS), PROGRESS_CLASSW);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog.window, IDC_PROGRESS)));
    EXPECT_EQ(dialog.style(IDC_JOIN) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    // The program draws the status line, and its tip needs the mouse.
    EXPECT_EQ(dialog.style(IDC_STATUS) & SS_TYPEMASK, SS_OWNERDRAW);
    EXPECT_TRUE(dialog.style(IDC_STATUS) & SS_NOTIFY);
    for (int digest : {IDC_CRC32_VALUE, IDC_MD5_VALUE}) {
        EXPECT_TRUE(dialog.style(digest) & ES_READONLY);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.window, digest)));
    }
    for (int box : {IDC_AUTO_SORT, IDC_APPEND_TO_FIRST, IDC_CRC32_CHECK, IDC_MD5_CHECK, IDC_DELETE_PARTS,
                    IDC_EXIT_WHEN_DONE, IDC_OPEN_OUTPUT_FILE, IDC_OPEN_OUTPUT_FOLDER})
        EXPECT_EQ(dialog.style(box) & BS_TYPEMASK, BS_AUTOCHECKBOX) << box;
    for (int icon_button : {IDC_SORT, IDC_MOVE_UP, IDC_MOVE_DOWN}) EXPECT_TRUE(dialog.style(icon_button) & BS_ICON);
}

TEST(MainDialogTemplate, Layout) {
    const TemplateDialog dialog(IDD_MAIN);
    ASSERT_NE(dialog.window, nullptr);
    const RECT list = dialog.rect(IDC_PART_LIST);
    const RECT expected = dialog.units(12, 12, 396, 114);
    EXPECT_EQ(list.left, expected.left);
    EXPECT_EQ(list.top, expected.top);
    EXPECT_EQ(list.right, expected.right);
    EXPECT_EQ(list.bottom, expected.bottom);
    // During a join the progress bar covers the output path box and the Browse button.
    const RECT progress = dialog.rect(IDC_PROGRESS);
    EXPECT_EQ(progress.left, dialog.rect(IDC_OUTPUT_PATH).left);
    EXPECT_EQ(progress.right, dialog.rect(IDC_BROWSE).right);
    EXPECT_EQ(progress.top, dialog.rect(IDC_OUTPUT_PATH).top);
    // The hash section lies above everything from the status line down.
    for (int id = IDC_HASH_GROUP; id <= IDC_CLEAR_HASH; ++id)
        EXPECT_LT(dialog.rect(id).bottom, dialog.rect(IDC_STATUS).top) << id;
    RECT client;
    GetClientRect(dialog.window, &client);
    EXPECT_EQ(client.right, dialog.units(0, 0, 450, 282).right);
    EXPECT_EQ(client.bottom, dialog.units(0, 0, 450, 282).bottom);
}

struct MenuItem {
    UINT id;
    bool checked;
    bool grayed;
    bool operator==(const MenuItem&) const = default;
};

void PrintTo(const MenuItem& item, std::ostream* out) {
    *out << item.id << (item.checked ? " checked" : "") << (item.grayed ? " grayed" : "");
}

std::vector<MenuItem> items_of(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        // Separators have id 0 and count as grayed; only commands' states matter.
        if (state & MF_SEPARATOR)
            items.push_back({0, false, false});
        else
            items.push_back({GetMenuItemID(menu, i), (state & MF_CHECKED) != 0, (state & MF_GRAYED) != 0});
    }
    return items;
}

TEST(MenuTemplates, MainMenu) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(items_of(GetSubMenu(menu, 0)), (std::vector<MenuItem>{{40001, false, false},
                                                                    {40002, false, false},
                                                                    {0, false, false},
                                                                    {40003, false, false},
                                                                    {40004, true, false},
                                                                    {0, false, false},
                                                                    {40005, false, false}}));
    EXPECT_EQ(items_of(GetSubMenu(menu, 1)), (std::vector<MenuItem>{{40220, true, false}, {0, false, false}}));
    EXPECT_EQ(items_of(GetSubMenu(menu, 2)), (std::vector<MenuItem>{{40014, false, false},
                                                                    {40015, false, false},
                                                                    {0, false, false},
                                                                    {40223, false, false},
                                                                    {40016, false, false}}));
    wchar_t text[64] = {};
    GetMenuStringW(menu, 40001, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Always on &top\tCtrl + T");
    DestroyMenu(menu);
}

TEST(MenuTemplates, ListPopupMenu) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(items_of(GetSubMenu(menu, 0)), (std::vector<MenuItem>{{40227, false, true},
                                                                    {0, false, false},
                                                                    {40232, false, true},
                                                                    {0, false, false},
                                                                    {40228, false, false},
                                                                    {40229, false, true},
                                                                    {0, false, false},
                                                                    {40230, false, true},
                                                                    {40231, false, true}}));
    DestroyMenu(menu);
}

TEST(DialogTemplates, SettingsDialog) {
    const TemplateDialog dialog(IDD_SETTINGS);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(dialog.control_ids(),
              (std::vector<int>{1056, 1038, 1039, 1054, 1055, 1052, 1046, 1047, 1051,     1040, 1041,
                                1042, 1045, 1053, 1049, 1050, 1043, 1048, IDOK, IDCANCEL, 1057}));
    EXPECT_TRUE(dialog.style(IDC_SAME_AS_INPUT) & WS_GROUP);
    EXPECT_EQ(dialog.style(IDC_USE_CUSTOM_PATH) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.window, IDC_CUSTOM_PATH)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.window, IDC_BROWSE_CUSTOM_PATH)));
    EXPECT_EQ(dialog.style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST(DialogTemplates, AboutDialog) {
    const TemplateDialog dialog(IDD_ABOUT);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(dialog.control_ids(),
              (std::vector<int>{1036, NO_ID, NO_ID, 1017, 1016, IDCANCEL, 1057, 1059, 1060, NO_ID, 1061, 1062}));
    for (int link : {IDC_WEB_LINK, IDC_CONTACT_LINK}) EXPECT_TRUE(dialog.style(link) & SS_NOTIFY);
    wchar_t version[16] = {};
    GetWindowTextW(GetWindow(GetDlgItem(dialog.window, IDC_PRODUCT_NAME), GW_HWNDNEXT), version, 16);
    EXPECT_STREQ(version, L" v2.4.0");
}

TEST(ProgramResources, IconsAtTheSizesTheyAreUsedIn) {
    for (int id : {IDI_MAIN, IDI_ARROW_DOWN, IDI_SORT, IDI_ARROW_UP}) {
        for (int size : {16, 32}) {
            HICON icon = static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << id << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bitmap{};
            GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

// A setting of the manifest as the system reads it, which it does only in the setting's
// own namespace and place; empty when it finds none.
std::wstring manifest_setting(const wchar_t* name_space, const wchar_t* name) {
    wchar_t value[32] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, name_space, name, value, std::size(value), &written)) return {};
    return value;
}

TEST(ProgramResources, ManifestAsksForCommonControls6DpiAwarenessAndLongPaths) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(data, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_EQ(manifest_setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"longPathAware"), L"true");
}

TEST(ProgramResources, VersionOfTheProgram) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"mendlet.exe");
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(4, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    wchar_t* product_version = nullptr;
    UINT text_size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&product_version), &text_size));
    EXPECT_STREQ(product_version, L"2.4.0");
}

}  // namespace
}  // namespace mendlet
