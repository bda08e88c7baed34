#pragma once
// The bytes of a file read at any offset, so that a PAR2 set is read the same way from disk
// and from memory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace mendlet {

class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // Its length in bytes, as it was opened.
    virtual std::uint64_t size() = 0;
    // Reads up to `length` bytes at `offset` into `buffer` and returns how many were read:
    // fewer only at the end of the file or on a read error.
    virtual std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) = 0;
};

// A file held in memory.
class MemoryFile : public ReadableFile {
public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() override { return bytes_.size(); }
    std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t count = std::min<std::uint64_t>(length, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.data() + offset, count);
        return count;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace mendlet
