#include "support/temp_folder_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

namespace mendlet::test_support {

namespace {

// Removes a folder tree; the list of names passed to the shell ends with two NULs.
void remove_tree(const std::wstring& folder) {
    std::wstring from = folder;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

// With its backslash at the end.
std::wstring system_temporary_folder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
    return std::wstring(temp, length);
}

}  // namespace

TempFolder::TempFolder() : TempFolder(system_temporary_folder()) {}

TempFolder::TempFolder(const std::wstring& parent) {
    const std::wstring prefix = !parent.empty() && parent.back() == L'\\' ? parent : parent + L'\\';
    for (unsigned attempt = 0;; ++attempt) {
        path_ = prefix + L"mendlet-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(attempt);
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::TempFolder(const ExactPath& exact) : path_(exact.path), parents_made_(true) {
    remove_tree(path_);
    // Another test may be removing a folder above it, empty for a moment, as it ends.
    for (int attempt = 0; SHCreateDirectoryExW(nullptr, path_.c_str(), nullptr) != ERROR_SUCCESS; ++attempt)
        if (attempt == 2) throw std::runtime_error("cannot create a folder at its path");
}

TempFolder::~TempFolder() {
    remove_tree(path_);
    if (!parents_made_) return;
    for (std::size_t end = path_.rfind(L'\\'); end != std::wstring::npos && end > 2; end = path_.rfind(L'\\', end - 1))
        if (!RemoveDirectoryW(path_.substr(0, end).c_str())) break;
}

std::wstring TempFolder::file(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

std::wstring TempFolder::write(std::wstring_view name, std::string_view bytes) const {
    const std::wstring path = file(name);
    for (std::size_t end = name.find(L'\\'); end != std::wstring_view::npos; end = name.find(L'\\', end + 1))
        CreateDirectoryW(file(name.substr(0, end)).c_str(), nullptr);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    const BOOL ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a test file");
    return path;
}

std::vector<std::wstring> names_in(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::optional<std::string> read_file(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    std::string bytes;
    DWORD read = 0;
    if (GetFileSizeEx(file, &size)) bytes.resize(static_cast<std::size_t>(size.QuadPart));
    const BOOL ok = bytes.empty() || ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != bytes.size()) return std::nullopt;
    return bytes;
}

}  // namespace mendlet::test_support
