#pragma once
// A temporary folder, natively, where Debian's par2 makes real recovery sets over files the
// test writes, and other tools their checksum files; removed with everything in it when the
// test ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace mendlet::test_support {

class Par2Folder {
public:
    Par2Folder() : path_(std::filesystem::temp_directory_path() / ("mendlet-par2-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~Par2Folder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> read(const std::filesystem::path& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void par2_create(const std::string& arguments) const { run("par2 create -q -q " + arguments + " >/dev/null"); }
    // A shell command run in the folder.
    void run(const std::string& command) const {
        const std::string in_folder = "cd '" + path_.string() + "' && " + command;
        ASSERT_EQ(std::system(in_folder.c_str()), 0) << in_folder;
    }
    std::vector<std::wstring> listing() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

}  // namespace mendlet::test_support
