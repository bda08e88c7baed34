#include "join/copy_pipeline.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "join/join_files.h"

namespace mendlet {

CopyPipeline::~CopyPipeline() { finish(); }

bool CopyPipeline::allocate() {
    memory_.reset(new (std::nothrow) std::uint8_t[PIPELINE_MEMORY]);
    return memory_ != nullptr;
}

bool CopyPipeline::start(Md5Context* md5) {
    md5_ = md5;
    try {
        writer_ = std::thread([this] {
            consume(written_, [this](const Slot& slot, const std::uint8_t* data) { write_slot(slot, data); });
        });
        if (md5_ != nullptr) {
            hasher_ = std::thread([this] {
                consume(hashed_,
                        [this](const Slot& slot, const std::uint8_t* data) { md5_update(*md5_, data, slot.length); });
            });
        }
    } catch (const std::system_error&) {
        finish();
        return false;
    }
    return true;
}

std::uint8_t* CopyPipeline::slot_data(std::uint64_t sequence) const {
    return memory_.get() + (sequence % PIPELINE_SLOT_COUNT) * PIPELINE_SLOT_SIZE;
}

std::uint8_t* CopyPipeline::chunk_space(bool write) {
    // A slot holds bytes of one kind only, so the writer can tell what to skip.
    if (holding_ && slot(filling_).write != write && slot(filling_).length > 0) publish_slot();
    if (!holding_) acquire_slot(write);
    slot(filling_).write = write;
    return slot_data(filling_) + slot(filling_).length;
}

void CopyPipeline::commit(std::uint32_t n) {
    Slot& current = slot(filling_);
    current.length += n;
    if (PIPELINE_SLOT_SIZE - current.length < JOIN_CHUNK_SIZE) publish_slot();
}

void CopyPipeline::acquire_slot(bool write) {
    std::unique_lock lock(mutex_);
    slot_released_.wait(lock, [this] {
        const std::uint64_t released = md5_ != nullptr ? std::min(written_, hashed_) : written_;
        return filling_ - released < PIPELINE_SLOT_COUNT;
    });
    lock.unlock();
    slot(filling_) = Slot{0, write};
    holding_ = true;
}

void CopyPipeline::publish_slot() {
    {
        std::lock_guard lock(mutex_);
        published_ = filling_ + 1;
    }
    slot_published_.notify_all();
    ++filling_;
    holding_ = false;
}

template <typename Handle>
void CopyPipeline::consume(std::uint64_t& released, Handle handle) {
    for (std::uint64_t sequence = 0;; ++sequence) {
        {
            std::unique_lock lock(mutex_);
            slot_published_.wait(lock, [&] { return published_ > sequence || closing_; });
            if (published_ <= sequence) return;
        }
        // The reading thread leaves a published slot alone until it is released.
        handle(slot(sequence), slot_data(sequence));
        {
            std::lock_guard lock(mutex_);
            released = sequence + 1;
        }
        slot_released_.notify_one();
    }
}

void CopyPipeline::write_slot(const Slot& slot, const std::uint8_t* data) {
    if (!slot.write || write_failed()) return;
    if (!output_->write(data, slot.length)) write_failed_.store(true, std::memory_order_relaxed);
}

void CopyPipeline::finish() {
    if (holding_ && slot(filling_).length > 0) publish_slot();
    holding_ = false;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    slot_published_.notify_all();
    if (writer_.joinable()) writer_.join();
    if (hasher_.joinable()) hasher_.join();
}

}  // namespace mendlet
