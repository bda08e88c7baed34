#pragma once
// Wraps a join's file layer and makes one part's reads, the writes, the flush, the close, the
// cut-back or the deletion fail where told, or one part's reads wait: the faults real disks
// seldom show on demand.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "join/cancellable_io.h"
#include "join/join_files.h"

namespace mendlet::test_support {

class FaultyJoinFiles : public JoinFiles {
public:
    explicit FaultyJoinFiles(JoinFiles& real) : real_(real) {}

    // The first read of this file that starts at or after byte `after` fails.
    std::wstring failing_read_path;
    std::uint64_t fail_read_after = 0;
    // Once this many bytes have been written in all, every further write fails.
    std::optional<std::uint64_t> fail_write_after;
    // The finished file cannot take the output's name, as when another program holds it.
    bool rename_fails = false;
    bool flush_fails = false;
    // The system reports at the close that it could not store what was written.
    bool close_fails = false;
    bool truncate_fails = false;
    // Files stay, as when another program holds them.
    bool delete_fails = false;
    // Called before each read of failing_read_path that starts at or after fail_read_after,
    // instead of failing it: a read that does not return until the test lets it.
    std::function<void()> read_waits;
    int flushes = 0;
    // Files asked by path which they are.
    int identities_asked = 0;
    // The worker's state of cancellable I/O, looked at in every read and write and every
    // step of its clean-up (cut-back, flush, deletion): only the first may be cancellable.
    CancellableIo* watched_io = nullptr;
    int uncancellable_reads_and_writes = 0;
    int clean_ups = 0;
    int cancellable_clean_ups = 0;

    std::unique_ptr<JoinFile> open_part(const std::wstring& path) override { return wrap(real_.open_part(path), path); }
    std::unique_ptr<JoinFile> open_for_append(const std::wstring& path) override {
        return wrap(real_.open_for_append(path), path);
    }
    std::unique_ptr<JoinFile> create_output(const std::wstring& path) override {
        return wrap(real_.create_output(path), path);
    }
    bool rename_output(const std::wstring& path, const std::wstring& output_path, bool replace) override {
        return !rename_fails && real_.rename_output(path, output_path, replace);
    }
    std::vector<ChecksumFile> checksum_files(const std::wstring& folder, const std::vector<std::wstring>& output_names,
                                             const std::vector<std::wstring>& part_names,
                                             const std::function<bool()>& stopped) override {
        return real_.checksum_files(folder, output_names, part_names, stopped);
    }
    RecoveryFiles recovery_files(const std::wstring& folder, const std::vector<std::wstring>& subject_names) override {
        return real_.recovery_files(folder, subject_names);
    }
    std::unique_ptr<RecoveryFolder> recovery_folder(const std::wstring& folder) override {
        return real_.recovery_folder(folder);
    }
    ExistingOutput existing(const std::wstring& path) override { return real_.existing(path); }
    std::uint32_t highest_part_number(const std::wstring& first_part) override {
        return real_.highest_part_number(first_part);
    }
    std::optional<FileIdentity> identity(const std::wstring& path) override {
        ++identities_asked;
        return real_.identity(path);
    }
    bool delete_files(const std::vector<std::wstring>& paths, bool use_recycle_bin) override {
        count_clean_up();
        return !delete_fails && real_.delete_files(paths, use_recycle_bin);
    }

private:
    class File : public JoinFile {
    public:
        File(std::unique_ptr<JoinFile> real, FaultyJoinFiles& owner, bool read_fails)
            : real_(std::move(real)), owner_(owner), read_fails_(read_fails) {}
        std::optional<std::uint32_t> read(std::uint8_t* buffer, std::uint32_t size) override {
            owner_.count_read_or_write();
            if (read_fails_ && position_ >= owner_.fail_read_after) {
                if (!owner_.read_waits) return std::nullopt;
                owner_.read_waits();
            }
            const std::optional<std::uint32_t> n = real_->read(buffer, size);
            if (n) position_ += *n;
            return n;
        }
        bool write(const std::uint8_t* data, std::uint32_t size) override {
            owner_.count_read_or_write();
            if (owner_.fail_write_after && owner_.written_ + size > *owner_.fail_write_after) return false;
            owner_.written_ += size;
            return real_->write(data, size);
        }
        std::optional<std::uint64_t> seek_to_end() override { return real_->seek_to_end(); }
        bool seek(std::uint64_t offset) override { return real_->seek(offset); }
        bool truncate(std::uint64_t size) override {
            owner_.count_clean_up();
            return !owner_.truncate_fails && real_->truncate(size);
        }
        bool flush() override {
            owner_.count_clean_up();
            ++owner_.flushes;
            return !owner_.flush_fails && real_->flush();
        }
        bool close() override { return real_->close() && !owner_.close_fails; }
        std::optional<FileIdentity> identity() override { return real_->identity(); }

    private:
        std::unique_ptr<JoinFile> real_;
        FaultyJoinFiles& owner_;
        bool read_fails_;
        std::uint64_t position_ = 0;
    };

    void count_read_or_write() {
        if (watched_io != nullptr && !watched_io->inside()) ++uncancellable_reads_and_writes;
    }
    void count_clean_up() {
        ++clean_ups;
        if (watched_io != nullptr && watched_io->inside()) ++cancellable_clean_ups;
    }

    std::unique_ptr<JoinFile> wrap(std::unique_ptr<JoinFile> real, const std::wstring& path) {
        if (real == nullptr) return nullptr;
        return std::make_unique<File>(std::move(real), *this, path == failing_read_path);
    }

    JoinFiles& real_;
    std::uint64_t written_ = 0;
};

}  // namespace mendlet::test_support
