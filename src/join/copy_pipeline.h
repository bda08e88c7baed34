#pragma once
// Carries the joined bytes from the reading thread to a writer thread and, when an MD5 is
// wanted, an MD5 thread, through a ring of slots. Reading with the CRC-32, writing and the
// MD5 then run side by side, and the whole job needs only the ring's memory.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "join/md5.h"

namespace mendlet {

class JoinFile;

// Bytes read at a time: progress and the stop request are checked once per chunk.
inline constexpr std::uint32_t JOIN_CHUNK_SIZE = 65536;
inline constexpr std::uint32_t PIPELINE_SLOT_SIZE = 16 * JOIN_CHUNK_SIZE;
inline constexpr std::uint32_t PIPELINE_SLOT_COUNT = 8;
// All the memory a job uses for data, whatever the size of the parts.
inline constexpr std::uint32_t PIPELINE_MEMORY = PIPELINE_SLOT_SIZE * PIPELINE_SLOT_COUNT;

class CopyPipeline {
public:
    CopyPipeline() = default;
    ~CopyPipeline();
    CopyPipeline(const CopyPipeline&) = delete;
    CopyPipeline& operator=(const CopyPipeline&) = delete;

    // Allocates the ring; false when memory is short.
    bool allocate();
    // Starts the writer and, given a context, the MD5 thread; false when they cannot be
    // started.
    bool start(Md5Context* md5);
    // The file the written bytes go to; set before the first chunk that is written.
    void set_output(JoinFile& output) { output_ = &output; }

    // Room for the next chunk of up to JOIN_CHUNK_SIZE bytes; waits for a free slot.
    // Without write the bytes are only hashed.
    std::uint8_t* chunk_space(bool write);
    // Passes on the n bytes just read into chunk_space.
    void commit(std::uint32_t n);
    // Hands on what is left, then waits until every byte is written and hashed.
    void finish();
    // Set when a write failed or was short; nothing after it is written.
    bool write_failed() const { return write_failed_.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::uint32_t length = 0;
        bool write = false;
    };

    std::uint8_t* slot_data(std::uint64_t sequence) const;
    Slot& slot(std::uint64_t sequence) { return slots_[sequence % PIPELINE_SLOT_COUNT]; }
    void acquire_slot(bool write);
    void publish_slot();
    // The consumers' loop: waits for each published slot in turn, handles it, releases it.
    template <typename Handle>
    void consume(std::uint64_t& released, Handle handle);
    void write_slot(const Slot& slot, const std::uint8_t* data);

    std::unique_ptr<std::uint8_t[]> memory_;
    std::array<Slot, PIPELINE_SLOT_COUNT> slots_{};
    JoinFile* output_ = nullptr;
    Md5Context* md5_ = nullptr;

    // The reading thread's own state.
    std::uint64_t filling_ = 0;
    bool holding_ = false;

    std::mutex mutex_;
    std::condition_variable slot_published_;
    std::condition_variable slot_released_;
    std::uint64_t published_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t hashed_ = 0;
    bool closing_ = false;
    std::atomic<bool> write_failed_{false};

    std::thread writer_;
    std::thread hasher_;
};

}  // namespace mendlet
