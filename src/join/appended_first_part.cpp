#include "join/appended_first_part.h"

namespace mendlet {

void AppendedFirstPart::open(std::unique_ptr<JoinFile> file, std::wstring path) {
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    path_ = std::move(path);
    cut_back_ = false;
    cut_back_done_ = false;
}

bool AppendedFirstPart::cut_back() {
    std::lock_guard lock(mutex_);
    if (file_ == nullptr || !growing_.load(std::memory_order_relaxed)) return true;
    cut_back_ = true;
    if (!cut_back_done_) cut_back_done_ = file_->truncate(old_size_);
    return cut_back_done_;
}

std::optional<std::uint32_t> AppendedFirstPart::read(std::uint8_t* buffer, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    if (file_ == nullptr) return std::nullopt;
    return file_->read(buffer, size);
}

bool AppendedFirstPart::write(const std::uint8_t* data, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    return file_ != nullptr && !cut_back_ && file_->write(data, size);
}

bool AppendedFirstPart::seek(std::uint64_t offset) {
    std::lock_guard lock(mutex_);
    return file_ != nullptr && !cut_back_ && file_->seek(offset);
}

std::optional<std::uint64_t> AppendedFirstPart::seek_to_end() {
    std::lock_guard lock(mutex_);
    if (file_ == nullptr) return std::nullopt;
    const std::optional<std::uint64_t> end = file_->seek_to_end();
    if (end) {
        old_size_ = *end;
        growing_.store(true, std::memory_order_release);
    }
    return end;
}

bool AppendedFirstPart::truncate(std::uint64_t size) {
    std::lock_guard lock(mutex_);
    return file_ != nullptr && file_->truncate(size);
}

bool AppendedFirstPart::flush() {
    std::lock_guard lock(mutex_);
    return file_ != nullptr && file_->flush();
}

bool AppendedFirstPart::close() {
    std::lock_guard lock(mutex_);
    growing_.store(false, std::memory_order_release);
    if (file_ == nullptr) return true;
    const bool closed = file_->close();
    file_.reset();
    return closed;
}

}  // namespace mendlet
