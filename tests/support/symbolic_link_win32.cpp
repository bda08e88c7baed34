#include "support/symbolic_link_win32.h"

#include <windows.h>

#include <functional>

#include "support/program_win32.h"

namespace mendlet::test_support {

namespace {

constexpr DWORD UNIX_COMMAND_TIME_LIMIT_MS = 10000;

using UnixFileName = char*(CDECL*)(const wchar_t* path);

// Wine's name of a Windows path on Linux; none outside Wine.
std::wstring unix_path(const std::wstring& path) {
    const auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) return {};
    char* name = convert(path.c_str());
    if (name == nullptr) return {};
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
    HeapFree(GetProcessHeap(), 0, name);
    wide.pop_back();
    return wide;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Under Wine a Linux program starts like any other, but with no handle to wait on (and a
// thread handle that is none): what it does is waited for on the disk.
bool run_unix_command(std::wstring command_line, const std::function<bool()>& done) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    if (process.hProcess != nullptr) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return becomes_true(done, UNIX_COMMAND_TIME_LIMIT_MS);
}

}  // namespace

SymbolicLink::SymbolicLink(const std::wstring& path, const std::wstring& target, bool to_folder)
    : path_(path), linux_path_(unix_path(path)), to_folder_(to_folder) {
    if (!linux_path_.empty()) {
        made_ = run_unix_command(L"/bin/ln -s -- \"" + target + L"\" \"" + linux_path_ + L"\"",
                                 [&path] { return exists(path); });
        return;
    }
    const DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE | (to_folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    made_ = CreateSymbolicLinkW(path.c_str(), target.c_str(), flags) != FALSE;
}

// Under Wine the system's calls reach through a link to a folder and cannot remove it.
SymbolicLink::~SymbolicLink() {
    if (!made_) return;
    if (!linux_path_.empty())
        run_unix_command(L"/bin/rm -f -- \"" + linux_path_ + L"\"", [this] { return !exists(path_); });
    else if (to_folder_)
        RemoveDirectoryW(path_.c_str());
    else
        DeleteFileW(path_.c_str());
}

}  // namespace mendlet::test_support
