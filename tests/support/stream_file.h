#pragma once
// A file on disk read at any offset through the standard library, for the native tests and
// benchmarks of the PAR 2.0 reader (the program reads through the system).

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "recovery/recovery_set.h"

namespace mendlet::test_support {

class StreamFile : public ReadableFile {
public:
    explicit StreamFile(const std::filesystem::path& path)
        : stream_(path, std::ios::binary), size_(std::filesystem::file_size(path)) {}
    std::uint64_t size() override { return size_; }
    std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(offset));
        stream_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(length));
        return static_cast<std::size_t>(stream_.gcount());
    }

private:
    std::ifstream stream_;
    std::uint64_t size_;
};

class StreamFolder : public RecoveryFolder {
public:
    explicit StreamFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::unique_ptr<ReadableFile> open(const std::wstring& name) override {
        std::error_code error;
        if (!std::filesystem::is_regular_file(folder_ / name, error)) return nullptr;
        return std::make_unique<StreamFile>(folder_ / name);
    }

private:
    std::filesystem::path folder_;
};

}  // namespace mendlet::test_support
