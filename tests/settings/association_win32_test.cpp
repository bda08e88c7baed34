// The ".001" association in the real registry: what adding writes, what removing deletes,
// when the menu shows it in place, and the shell opening a first part with the program.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/association_win32.h"
#include "support/program_win32.h"
#include "support/temp_folder_win32.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"

namespace mendlet {
namespace {

using test_support::RunningProgram;
using test_support::TempFolder;

struct RegistryValue {
    DWORD type;
    // Every unit stored, the terminating NUL included.
    std::wstring data;
    bool operator==(const RegistryValue&) const = default;
};

// The default value of a key under the classes root; none when the key or value is missing.
std::optional<RegistryValue> default_value(const std::wstring& key_path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key_path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value{};
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &value.type, nullptr, &size);
    value.data.resize(size / sizeof(wchar_t));
    if (status == ERROR_SUCCESS)
        status = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool key_exists(const wchar_t* key_path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key_path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void write_default_value(const wchar_t* key_path, const std::wstring& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring with_nul(const std::wstring& text) { return text + L'\0'; }

// The association is one for the whole system: tests in other processes wait for it.
class AssociationTest : public ::testing::Test {
protected:
    AssociationTest() : registry_lock(CreateMutexW(nullptr, FALSE, L"mendlet-association-test")) {
        WaitForSingleObject(registry_lock, 120000);
        remove_keys();
    }
    ~AssociationTest() override {
        close();
        remove_keys();
        ReleaseMutex(registry_lock);
        CloseHandle(registry_lock);
    }

    static void remove_keys() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, ASSOCIATION_EXTENSION);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID);
    }

    // The main window as the program at home's path starts it.
    void start() {
        close();
        application = std::make_unique<Application>(GetModuleHandleW(nullptr), std::wstring(), program_path());
        application->message_box = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
            boxes.push_back({owner, text, caption, style});
            return IDOK;
        };
        window = application->create_window();
        ASSERT_NE(window, nullptr);
    }

    void close() {
        if (window != nullptr) DestroyWindow(window);
        window = nullptr;
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        application.reset();
    }

    std::wstring program_path() const { return home.file(L"mendlet.exe"); }
    bool checked() const { return menu_checked(window, IDM_ASSOCIATE); }
    void toggle() const { SendMessageW(window, WM_COMMAND, IDM_ASSOCIATE, 0); }

    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT style;
    };

    const HANDLE registry_lock;
    TempFolder home;
    std::unique_ptr<Application> application;
    HWND window = nullptr;
    std::vector<Box> boxes;
};

TEST_F(AssociationTest, AddingWritesTheFourValuesAndTheNextStartShowsThem) {
    start();
    EXPECT_FALSE(checked());
    toggle();
    EXPECT_TRUE(checked());
    EXPECT_TRUE(boxes.empty());
    const std::wstring quoted = L"\"" + program_path() + L"\"";
    const std::wstring type = ASSOCIATION_PROG_ID;
    EXPECT_EQ(default_value(L".001"), (RegistryValue{REG_SZ, with_nul(type)}));
    EXPECT_EQ(default_value(type), (RegistryValue{REG_SZ, with_nul(L"First part of a larger file")}));
    EXPECT_EQ(default_value(type + L"\\DefaultIcon"), (RegistryValue{REG_SZ, with_nul(quoted + L",0")}));
    EXPECT_EQ(default_value(type + L"\\shell\\open\\command"),
              (RegistryValue{REG_EXPAND_SZ, with_nul(quoted + L" \"%1\"")}));
    start();
    EXPECT_TRUE(checked());
}

TEST_F(AssociationTest, RemovingDeletesTheExtensionAndTheWholeType) {
    start();
    toggle();
    ASSERT_TRUE(checked());
    toggle();
    EXPECT_FALSE(checked());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(key_exists(ASSOCIATION_EXTENSION));
    EXPECT_FALSE(key_exists(ASSOCIATION_PROG_ID));
    start();
    EXPECT_FALSE(checked());
}

// Only ".001" naming exactly this type, and the type's key, count.
TEST_F(AssociationTest, AnythingButTheExactTypeNameIsNoAssociation) {
    write_default_value(ASSOCIATION_PROG_ID, L"First part of a larger file");
    for (const std::wstring& name : {std::wstring(ASSOCIATION_PROG_ID) + L"x", std::wstring(L"Tessvane.Other.001"),
                                     std::wstring(L"Tessvane.Mendlet.00")}) {
        SCOPED_TRACE(name);
        write_default_value(ASSOCIATION_EXTENSION, name);
        EXPECT_FALSE(association_present());
    }
    write_default_value(ASSOCIATION_EXTENSION, ASSOCIATION_PROG_ID);
    EXPECT_TRUE(association_present());
    // ".001" right but the type gone.
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID);
    EXPECT_FALSE(association_present());
}

TEST_F(AssociationTest, TheTypeWithoutTheExtensionStartsUncheckedAndIsAddedTo) {
    write_default_value(ASSOCIATION_PROG_ID, L"First part of a larger file");
    start();
    EXPECT_FALSE(checked());
    toggle();
    EXPECT_TRUE(checked());
    EXPECT_EQ(default_value(L".001"), (RegistryValue{REG_SZ, with_nul(ASSOCIATION_PROG_ID)}));
}

TEST_F(AssociationTest, RemovingATypeSomeoneElseDeletedShowsTheErrorAndStaysChecked) {
    start();
    toggle();
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ASSOCIATION_PROG_ID);
    toggle();
    EXPECT_TRUE(checked());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_EQ(boxes[0].text, L"Error managing .001 file association! Please try running as administrator.");
    EXPECT_EQ(boxes[0].caption, L"Mendlet");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONERROR | MB_TOPMOST));
}

// The shell starts the program with the opened file as its one argument, and the program
// loads the whole set from it.
TEST_F(AssociationTest, OpeningAFirstPartStartsTheProgramWithItsSet) {
    ASSERT_TRUE(CopyFileW(test_support::built_program_path().c_str(), program_path().c_str(), FALSE));
    const std::wstring first = home.write(L"holiday video.avi.001", "first ");
    home.write(L"holiday video.avi.002", "second");
    start();
    toggle();
    ASSERT_TRUE(checked());
    RunningProgram program(RunningProgram::OpenedFile{first});
    ASSERT_NE(program.window(), nullptr);
    const HWND rows = GetDlgItem(program.window(), IDC_PART_LIST);
    EXPECT_TRUE(test_support::becomes_true([&] { return SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0) == 2; }, 10000));
    // Another process's text comes by asking its control.
    wchar_t output[MAX_PATH] = {};
    SendDlgItemMessageW(program.window(), IDC_OUTPUT_PATH, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(output));
    EXPECT_EQ(output, home.file(L"holiday video.avi"));
}

}  // namespace
}  // namespace mendlet
