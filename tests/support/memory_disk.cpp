// Files held in memory, behind the same file layer as real ones.

#include <algorithm>
#include <map>
#include <mutex>

#include "checksum/checksum_finder.h"
#include "recovery/par2_names.h"
#include "recovery/recovery_set.h"
#include "gather/siblings.h"
#include "support/test_disk.h"

namespace mendlet::test_support {

namespace {

using Bytes = std::vector<std::uint8_t>;

// As Linux folders count a name: in bytes of UTF-8, of which they take 255.
std::size_t utf8_length(std::wstring_view name) {
    std::size_t bytes = 0;
    for (const wchar_t c : name) {
        const auto unit = static_cast<std::uint32_t>(c);
        bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : (unit >= 0xD800 && unit <= 0xDFFF) ? 2 : unit < 0x10000 ? 3 : 4;
    }
    return bytes;
}

class MemoryFile : public JoinFile {
public:
    explicit MemoryFile(std::shared_ptr<Bytes> bytes) : bytes_(std::move(bytes)) {}

    std::optional<std::uint32_t> read(std::uint8_t* buffer, std::uint32_t size) override {
        const std::uint64_t left = position_ < bytes_->size() ? bytes_->size() - position_ : 0;
        const auto n = static_cast<std::uint32_t>(left < size ? left : size);
        std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(position_), n, buffer);
        position_ += n;
        return n;
    }
    bool write(const std::uint8_t* data, std::uint32_t size) override {
        if (bytes_->size() < position_ + size) bytes_->resize(position_ + size);
        std::copy_n(data, size, bytes_->begin() + static_cast<std::ptrdiff_t>(position_));
        position_ += size;
        return true;
    }
    std::optional<std::uint64_t> seek_to_end() override { return position_ = bytes_->size(); }
    bool seek(std::uint64_t offset) override {
        position_ = offset;
        return true;
    }
    bool truncate(std::uint64_t size) override {
        bytes_->resize(size);
        position_ = size;
        return true;
    }
    bool flush() override { return true; }
    bool close() override { return true; }
    // As the disk identifies the file by its path.
    std::optional<FileIdentity> identity() override {
        return FileIdentity{1, reinterpret_cast<std::uintptr_t>(bytes_.get())};
    }

private:
    std::shared_ptr<Bytes> bytes_;
    std::uint64_t position_ = 0;
};

class MemoryDisk : public TestDisk, public JoinFiles {
    // The disk's files directly in one folder, as the checksum and recovery file readers
    // see them.
    class MemoryFolder : public ChecksumFolder, public RecoveryFolder {
    public:
        MemoryFolder(const MemoryDisk& disk, const std::wstring& folder)
            : disk_(disk), folder_(folder), prefix_(folder.ends_with(L'\\') ? folder : folder + L"\\") {}
        const std::wstring& path() const override { return folder_; }
        std::vector<std::wstring> file_names() override {
            std::lock_guard lock(disk_.mutex_);
            std::vector<std::wstring> names;
            for (const auto& [path, bytes] : disk_.files_)
                if (path.starts_with(prefix_) && path.find(L'\\', prefix_.size()) == std::wstring::npos)
                    names.push_back(path.substr(prefix_.size()));
            return names;
        }
        std::optional<std::string> read_start(const std::wstring& name, std::size_t most) override {
            const std::optional<Bytes> bytes = disk_.read(prefix_ + name);
            if (!bytes) return std::nullopt;
            return std::string(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(std::min(most, bytes->size())));
        }
        std::unique_ptr<ReadableFile> open(const std::wstring& name) override {
            std::optional<Bytes> bytes = disk_.read(prefix_ + name);
            if (!bytes) return nullptr;
            return std::make_unique<mendlet::MemoryFile>(std::move(*bytes));
        }

    private:
        const MemoryDisk& disk_;
        const std::wstring folder_;
        const std::wstring prefix_;
    };

public:
    JoinFiles& files() override { return *this; }
    std::wstring path(std::wstring_view name) const override { return L"M:\\" + std::wstring(name); }
    std::wstring write(std::wstring_view name, const Bytes& bytes) override {
        std::lock_guard lock(mutex_);
        files_[path(name)] = std::make_shared<Bytes>(bytes);
        return path(name);
    }
    std::optional<Bytes> read(const std::wstring& path) const override {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(path);
        if (found == files_.end()) return std::nullopt;
        return *found->second;
    }
    void remove(const std::wstring& path) override {
        std::lock_guard lock(mutex_);
        files_.erase(path);
    }

    std::unique_ptr<JoinFile> open_part(const std::wstring& path) override { return open(path); }
    std::unique_ptr<JoinFile> open_for_append(const std::wstring& path) override { return open(path); }
    std::unique_ptr<JoinFile> create_output(const std::wstring& path) override {
        if (path.find(L"missing folder") != std::wstring::npos) return nullptr;
        if (utf8_length(path.substr(path.find_last_of(L'\\') + 1)) > 255) return nullptr;
        std::lock_guard lock(mutex_);
        auto& bytes = files_[path];
        bytes = std::make_shared<Bytes>();
        return std::make_unique<MemoryFile>(bytes);
    }
    bool rename_output(const std::wstring& path, const std::wstring& output_path, bool replace) override {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(path);
        if (found == files_.end() || (!replace && files_.count(output_path) != 0)) return false;
        files_[output_path] = found->second;
        files_.erase(found);
        return true;
    }
    std::vector<ChecksumFile> checksum_files(const std::wstring& folder, const std::vector<std::wstring>& output_names,
                                             const std::vector<std::wstring>& part_names,
                                             const std::function<bool()>& stopped) override {
        MemoryFolder memory_folder(*this, folder);
        return find_checksum_files(memory_folder, output_names, part_names, stopped);
    }
    RecoveryFiles recovery_files(const std::wstring& folder, const std::vector<std::wstring>& subject_names) override {
        MemoryFolder memory_folder(*this, folder);
        return read_recovery_files(memory_folder, memory_folder.file_names(), subject_names);
    }
    std::unique_ptr<RecoveryFolder> recovery_folder(const std::wstring& folder) override {
        return std::make_unique<MemoryFolder>(*this, folder);
    }
    // A folder is there while a file lies in it.
    ExistingOutput existing(const std::wstring& path) override {
        std::lock_guard lock(mutex_);
        if (files_.count(path) != 0) return ExistingOutput::file;
        const auto after = files_.upper_bound(path + L'\\');
        const bool folder = after != files_.end() && after->first.starts_with(path + L'\\');
        return folder ? ExistingOutput::folder : ExistingOutput::none;
    }
    // The files whose paths differ from the first part's in the last three characters alone.
    std::uint32_t highest_part_number(const std::wstring& first_part) override {
        std::lock_guard lock(mutex_);
        const std::wstring stem = first_part.substr(0, first_part.size() - 3);
        std::vector<FolderEntry> listing;
        for (const auto& [path, bytes] : files_)
            if (path.size() == first_part.size() && path.compare(0, stem.size(), stem) == 0)
                listing.push_back({path.substr(path.find_last_of(L'\\') + 1), false, bytes->size()});
        return highest_sibling_number(listing);
    }
    std::optional<FileIdentity> identity(const std::wstring& path) override {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(path);
        if (found == files_.end()) return std::nullopt;
        return FileIdentity{1, reinterpret_cast<std::uintptr_t>(found->second.get())};
    }
    bool delete_files(const std::vector<std::wstring>& paths, bool) override {
        for (const std::wstring& path : paths) remove(path);
        return true;
    }

private:
    std::unique_ptr<JoinFile> open(const std::wstring& path) {
        std::lock_guard lock(mutex_);
        const auto found = files_.find(path);
        if (found == files_.end()) return nullptr;
        return std::make_unique<MemoryFile>(found->second);
    }

    mutable std::mutex mutex_;
    std::map<std::wstring, std::shared_ptr<Bytes>> files_;
};

}  // namespace

std::unique_ptr<TestDisk> make_test_disk() { return std::make_unique<MemoryDisk>(); }

}  // namespace mendlet::test_support
