#pragma once
// The first part of an append join, which the join grows in place and cuts back to its old
// size when it does not finish. The worker appends through it; the window's thread cuts the
// part back when the application has to end while the worker hangs in a read that never
// returns (a part on a share that stopped answering). Every operation on the part holds one
// lock, so no write follows a cut-back, whichever thread made it.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "join/join_files.h"

namespace mendlet {

class AppendedFirstPart : public JoinFile {
public:
    // Takes the part, open for reading and writing.
    void open(std::unique_ptr<JoinFile> file, std::wstring path);
    // Whether the part may have grown since seek_to_end; its path and old size are known then.
    bool growing() const { return growing_.load(std::memory_order_acquire); }
    const std::wstring& path() const { return path_; }
    std::uint64_t old_size() const { return old_size_; }

    // The part gets its old size back; later writes fail. Tried again after a failure, so
    // that the worker tries once more after the window. True when it has that size, or when
    // no part grows.
    bool cut_back();

    // The part as a file. seek_to_end takes the size it has as the one to cut back to; writes
    // fail once it has been cut back; close lets the part go, complete or cut back.
    std::optional<std::uint32_t> read(std::uint8_t* buffer, std::uint32_t size) override;
    bool write(const std::uint8_t* data, std::uint32_t size) override;
    std::optional<std::uint64_t> seek_to_end() override;
    bool seek(std::uint64_t offset) override;
    bool truncate(std::uint64_t size) override;
    bool flush() override;
    bool close() override;

private:
    std::mutex mutex_;
    std::unique_ptr<JoinFile> file_;
    bool cut_back_ = false;
    bool cut_back_done_ = false;
    // Written only while the part is not growing, and read by others only while it is.
    std::wstring path_;
    std::uint64_t old_size_ = 0;
    std::atomic<bool> growing_{false};
};

}  // namespace mendlet
