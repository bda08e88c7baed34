#pragma once
// A fresh folder under the system's temporary folder, or under another folder, removed
// with everything in it when the test ends.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet::test_support {

// A path of the test's choice, C:\Users\Anna\Downloads\Holiday say, for pictures that show
// paths as a user's would be.
struct ExactPath {
    std::wstring path;
};

class TempFolder {
public:
    TempFolder();
    // Under a folder of the test's choice, for instance on a disk of its own.
    explicit TempFolder(const std::wstring& parent);
    // Exactly there, with the folders above it that are missing; those go at the end too,
    // where nothing else is left in them. One left by an interrupted run is emptied first.
    explicit TempFolder(const ExactPath& exact);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // Full path of a file in the folder.
    std::wstring file(std::wstring_view name) const;
    // Writes bytes to a file in the folder, or in a folder in it that it makes, and returns
    // its full path.
    std::wstring write(std::wstring_view name, std::string_view bytes) const;

private:
    std::wstring path_;
    bool parents_made_ = false;
};

// The bytes of a UTF-16LE file with a byte-order mark, as language files are written.
inline std::string utf16_file(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

// The names of what a folder holds, in the order the folder lists them.
std::vector<std::wstring> names_in(const std::wstring& folder);

// The whole content of a file; none when it cannot be read.
std::optional<std::string> read_file(const std::wstring& path);

}  // namespace mendlet::test_support
