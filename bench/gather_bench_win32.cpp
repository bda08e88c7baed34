// Adding a folder of many files through the real main window, for bench/gather_bench.sh.
//
//   gather_bench FOLDER     prints: files, seconds of Add Folder, seconds of the reference,
//                           milliseconds to show the last row
//
// The reference is the least any adding can do: list the folder and open each file once.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "res/resource.h"
#include "ui/application_win32.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Lists the folder and opens every file once for reading; returns the number of files.
unsigned list_and_open(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    unsigned files = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::wstring path = folder + L"\\" + found.cFileName;
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        ++files;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: gather_bench FOLDER\n", stderr);
        return 2;
    }
    const std::wstring folder = argv[1];
    mendlet::Application application(GetModuleHandleW(nullptr));
    application.browse_for_folder = [&folder](BROWSEINFOW&) { return ILCreateFromPathW(folder.c_str()); };
    const HWND window = application.create_window();
    if (window == nullptr) return 1;

    auto start = std::chrono::steady_clock::now();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_ADD_FOLDER, BN_CLICKED), 0);
    const double adding = seconds_since(start);

    // The view must stay quick to use however long the list is.
    const HWND rows = GetDlgItem(window, IDC_PART_LIST);
    start = std::chrono::steady_clock::now();
    SendMessageW(rows, LVM_ENSUREVISIBLE, application.list().count() - 1, FALSE);
    UpdateWindow(rows);
    const double showing_last = seconds_since(start);

    start = std::chrono::steady_clock::now();
    const unsigned files = list_and_open(folder);
    const double reference = seconds_since(start);

    std::printf("%u %u %.3f %.3f %.1f\n", files, application.list().count(), adding, reference, showing_last * 1000);
    DestroyWindow(window);
    return 0;
}
