#include "join/copy_pipeline.h"

#include <new>
#include <system_error>

#include "join/join_files.h"

namespace mendlet {

namespace {

// A thread that had to wait sleeps until half the ring is ready for it: each wake-up is a
// trip through the system, too dear to make for every slot.
constexpr std::uint64_t WAKE_BATCH = PIPELINE_SLOT_COUNT / 2;

}  // namespace

CopyPipeline::~CopyPipeline() { finish(); }

void CopyPipeline::AlignedDelete::operator()(std::uint8_t* memory) const {
    ::operator delete[](memory, std::align_val_t{PIPELINE_ALIGNMENT});
}

bool CopyPipeline::allocate() {
    memory_.reset(static_cast<std::uint8_t*>(
        ::operator new[](PIPELINE_MEMORY, std::align_val_t{PIPELINE_ALIGNMENT}, std::nothrow)));
    return memory_ != nullptr;
}

bool CopyPipeline::start(DigestSink* sink) {
    sink_ = sink;
    if (sink_ == nullptr) return true;
    try {
        digester_ = std::thread([this] { digest_slots(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

std::uint8_t* CopyPipeline::slot_data(std::uint64_t sequence) const {
    return memory_.get() + (sequence % PIPELINE_SLOT_COUNT) * PIPELINE_SLOT_SIZE;
}

void CopyPipeline::begin_part(std::uint32_t part) {
    part_ = part;
    if (!holding_) return;
    if (lengths_[filling_ % PIPELINE_SLOT_COUNT] > 0)
        publish_slot();
    else
        parts_[filling_ % PIPELINE_SLOT_COUNT] = part;
}

// Without a digest thread nothing reads the ring behind the writes: the room of one chunk,
// used again and again, stays in the processor's cache.
std::uint8_t* CopyPipeline::chunk_space() {
    if (!digester_.joinable()) return memory_.get();
    if (!holding_) acquire_slot();
    return slot_data(filling_) + lengths_[filling_ % PIPELINE_SLOT_COUNT];
}

bool CopyPipeline::commit(std::uint32_t n, bool write) {
    if (!digester_.joinable()) return !write || output_->write(memory_.get(), n);
    std::uint32_t& length = lengths_[filling_ % PIPELINE_SLOT_COUNT];
    if (write && !output_->write(slot_data(filling_) + length, n)) return false;
    length += n;
    if (PIPELINE_SLOT_SIZE - length < JOIN_CHUNK_SIZE) publish_slot();
    return true;
}

void CopyPipeline::acquire_slot() {
    if (digester_.joinable()) {
        std::unique_lock lock(mutex_);
        if (filling_ - released_ >= PIPELINE_SLOT_COUNT) {
            reader_waiting_ = true;
            slot_released_.wait(lock, [this] { return filling_ - released_ <= PIPELINE_SLOT_COUNT - WAKE_BATCH; });
            reader_waiting_ = false;
        }
    }
    lengths_[filling_ % PIPELINE_SLOT_COUNT] = 0;
    parts_[filling_ % PIPELINE_SLOT_COUNT] = part_;
    holding_ = true;
}

void CopyPipeline::publish_slot() {
    if (digester_.joinable()) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            published_ = filling_ + 1;
            wake = digester_waiting_ && published_ - released_ >= WAKE_BATCH;
        }
        if (wake) slot_published_.notify_one();
    }
    ++filling_;
    holding_ = false;
}

void CopyPipeline::digest_slots() {
    for (std::uint64_t sequence = 0;; ++sequence) {
        {
            std::unique_lock lock(mutex_);
            if (published_ <= sequence && !closing_) {
                digester_waiting_ = true;
                slot_published_.wait(lock, [&] { return published_ - sequence >= WAKE_BATCH || closing_; });
                digester_waiting_ = false;
            }
            if (published_ <= sequence) return;
        }
        // The reading thread leaves a published slot alone until it is released.
        const std::size_t slot = sequence % PIPELINE_SLOT_COUNT;
        sink_->digest(parts_[slot], slot_data(sequence), lengths_[slot]);
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            released_ = sequence + 1;
            wake = reader_waiting_ && published_ - released_ <= PIPELINE_SLOT_COUNT - WAKE_BATCH;
        }
        if (wake) slot_released_.notify_one();
    }
}

void CopyPipeline::finish() {
    if (holding_ && lengths_[filling_ % PIPELINE_SLOT_COUNT] > 0) publish_slot();
    holding_ = false;
    if (!digester_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    slot_published_.notify_one();
    digester_.join();
}

}  // namespace mendlet
