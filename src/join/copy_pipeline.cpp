#include "join/copy_pipeline.h"

#include <chrono>
#include <new>
#include <system_error>

#include "join/join_files.h"

namespace mendlet {

namespace {

// A thread that has to wait for the other looks again and again for this long, giving way
// to other threads in between, before it sleeps: longer than the copy takes for a chunk, so
// that a digest faster than the copy never sleeps. A thread that sleeps does so until a
// batch of slots is ready for it: each wake-up is a trip through the system, too dear to
// make for every slot.
constexpr auto SPIN_TIME = std::chrono::microseconds(200);
constexpr std::uint64_t WAKE_BATCH = PIPELINE_SLOT_COUNT / 2;

// Waits until ready(), looking for a while and then sleeping on the condition until
// awake() (which implies ready()); waiting tells the other thread to wake this one.
template <typename Ready, typename Awake>
void wait_until(Ready ready, Awake awake, std::mutex& mutex, std::condition_variable& condition,
                std::atomic<bool>& waiting) {
    const auto give_up = std::chrono::steady_clock::now() + SPIN_TIME;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= give_up) {
            std::unique_lock lock(mutex);
            waiting = true;
            condition.wait(lock, awake);
            waiting = false;
            return;
        }
        std::this_thread::yield();
    }
}

// Wakes the other thread if it sleeps and what it waits for has come. The mutex is taken
// so that the other thread is either still to look or already asleep.
void wake(bool come, std::mutex& mutex, std::condition_variable& condition, const std::atomic<bool>& waiting) {
    if (!come || !waiting) return;
    { std::lock_guard lock(mutex); }
    condition.notify_one();
}

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
    if (digester_.joinable() && filling_ - released_ >= PIPELINE_SLOT_COUNT) {
        const auto batch_free = [this] { return filling_ - released_ <= PIPELINE_SLOT_COUNT - WAKE_BATCH; };
        wait_until(batch_free, batch_free, mutex_, slot_released_, reader_waiting_);
    }
    lengths_[filling_ % PIPELINE_SLOT_COUNT] = 0;
    parts_[filling_ % PIPELINE_SLOT_COUNT] = part_;
    holding_ = true;
}

void CopyPipeline::publish_slot() {
    if (digester_.joinable()) {
        published_ = filling_ + 1;
        wake(filling_ + 1 - released_ >= WAKE_BATCH, mutex_, slot_published_, digester_waiting_);
    }
    ++filling_;
    holding_ = false;
}

// False once the reading thread has ended and every slot is digested.
bool CopyPipeline::wait_for_slot(std::uint64_t sequence) {
    wait_until([&] { return published_ > sequence || closing_; },
               [&] { return published_ - sequence >= WAKE_BATCH || closing_; }, mutex_, slot_published_,
               digester_waiting_);
    return published_ > sequence;
}

void CopyPipeline::digest_slots() {
    for (std::uint64_t sequence = 0; wait_for_slot(sequence); ++sequence) {
        // The reading thread leaves a published slot alone until it is released.
        const std::size_t slot = sequence % PIPELINE_SLOT_COUNT;
        sink_->digest(parts_[slot], slot_data(sequence), lengths_[slot]);
        released_ = sequence + 1;
        wake(published_ - (sequence + 1) <= PIPELINE_SLOT_COUNT - WAKE_BATCH, mutex_, slot_released_,
             reader_waiting_);
    }
}

void CopyPipeline::finish() {
    if (holding_ && lengths_[filling_ % PIPELINE_SLOT_COUNT] > 0) publish_slot();
    holding_ = false;
    if (!digester_.joinable()) return;
    closing_ = true;
    wake(true, mutex_, slot_published_, digester_waiting_);
    digester_.join();
}

}  // namespace mendlet
