// Real files in a temporary folder, through the program's own file layer.

#include "join/join_files_win32.h"
#include "support/temp_folder_win32.h"
#include "support/test_disk.h"

namespace mendlet::test_support {

namespace {

class RealDisk : public TestDisk {
public:
    JoinFiles& files() override { return files_; }
    std::wstring path(std::wstring_view name) const override { return folder_.file(name); }
    std::wstring write(std::wstring_view name, const std::vector<std::uint8_t>& bytes) override {
        return folder_.write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    std::optional<std::vector<std::uint8_t>> read(const std::wstring& path) const override {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::nullopt;
        LARGE_INTEGER size{};
        std::vector<std::uint8_t> bytes;
        DWORD read = 0;
        if (GetFileSizeEx(file, &size)) bytes.resize(static_cast<std::size_t>(size.QuadPart));
        const BOOL ok = bytes.empty() || ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        if (!ok || read != bytes.size()) return std::nullopt;
        return bytes;
    }
    void remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }

private:
    TempFolder folder_;
    Win32JoinFiles files_;
};

}  // namespace

std::unique_ptr<TestDisk> make_test_disk() { return std::make_unique<RealDisk>(); }

}  // namespace mendlet::test_support
