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
        const std::optional<std::string> bytes = read_file(path);
        if (!bytes) return std::nullopt;
        return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
    }
    void remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }

private:
    TempFolder folder_;
    Win32JoinFiles files_;
};

}  // namespace

std::unique_ptr<TestDisk> make_test_disk() { return std::make_unique<RealDisk>(); }

}  // namespace mendlet::test_support
