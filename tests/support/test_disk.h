#pragma once
// Files for the join tests: in memory in the native build, where the sanitizers watch the
// worker, and real files in a temporary folder under Windows.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "join/join_files.h"

namespace mendlet::test_support {

class TestDisk {
public:
    virtual ~TestDisk() = default;
    // The file layer the worker uses on this disk.
    virtual JoinFiles& files() = 0;
    virtual std::wstring path(std::wstring_view name) const = 0;
    // Writes a file and returns its path.
    virtual std::wstring write(std::wstring_view name, const std::vector<std::uint8_t>& bytes) = 0;
    // None when there is no such file.
    virtual std::optional<std::vector<std::uint8_t>> read(const std::wstring& path) const = 0;
    virtual void remove(const std::wstring& path) = 0;
};

std::unique_ptr<TestDisk> make_test_disk();

}  // namespace mendlet::test_support
