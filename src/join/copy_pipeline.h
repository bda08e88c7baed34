#pragma once
// Carries the joined bytes from the reading thread, which also writes them, to a digest
// thread through a ring of slots: the copy and the digests then run side by side on
// separate cores, and the whole job needs only the ring's memory. Each chunk is written
// right after it was read, while it is still in the processor's cache, and the ring is
// small enough to stay in the caches too.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace mendlet {

class JoinFile;

// Takes the joined bytes on the digest thread, with the index of the part they come from.
class DigestSink {
public:
    virtual ~DigestSink() = default;
    virtual void digest(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) = 0;
};

// Bytes read and written at a time: progress and the stop request are checked per chunk.
inline constexpr std::uint32_t JOIN_CHUNK_SIZE = 65536;
inline constexpr std::uint32_t PIPELINE_SLOT_SIZE = JOIN_CHUNK_SIZE;
inline constexpr std::uint32_t PIPELINE_SLOT_COUNT = 32;
// All the memory a job uses for data, whatever the size of the parts.
inline constexpr std::uint32_t PIPELINE_MEMORY = PIPELINE_SLOT_SIZE * PIPELINE_SLOT_COUNT;
// The system copies between the buffer and its file cache about twice as fast when both
// start on the same cache-line boundary.
inline constexpr std::size_t PIPELINE_ALIGNMENT = 4096;

class CopyPipeline {
public:
    CopyPipeline() = default;
    ~CopyPipeline();
    CopyPipeline(const CopyPipeline&) = delete;
    CopyPipeline& operator=(const CopyPipeline&) = delete;

    // Allocates the ring; false when memory is short.
    bool allocate();
    // Starts the digest thread, which hands every chunk to the sink; without a sink there is
    // no thread. False when the thread cannot be started.
    bool start(DigestSink* sink);
    // Where commit writes; set before the first chunk that is written.
    void set_output(JoinFile& output) { output_ = &output; }

    // The chunks from now on are of this part: a slot holds the bytes of one part only.
    void begin_part(std::uint32_t part);
    // Room for the next chunk of up to JOIN_CHUNK_SIZE bytes; waits while the digest thread
    // still needs every slot.
    std::uint8_t* chunk_space();
    // Takes the n bytes just read into chunk_space: writes them when asked, then hands them
    // to the digest thread. False when the write failed or was short.
    bool commit(std::uint32_t n, bool write);
    // Hands on what is left and waits until the digest thread has had all of it.
    void finish();

private:
    std::uint8_t* slot_data(std::uint64_t sequence) const;
    void acquire_slot();
    void publish_slot();
    void digest_slots();
    bool wait_for_slot(std::uint64_t sequence);

    struct AlignedDelete {
        void operator()(std::uint8_t* memory) const;
    };
    std::unique_ptr<std::uint8_t[], AlignedDelete> memory_;
    std::array<std::uint32_t, PIPELINE_SLOT_COUNT> lengths_{};
    std::array<std::uint32_t, PIPELINE_SLOT_COUNT> parts_{};
    JoinFile* output_ = nullptr;
    DigestSink* sink_ = nullptr;

    // The reading thread's own state.
    std::uint64_t filling_ = 0;
    bool holding_ = false;
    std::uint32_t part_ = 0;

    // Slots handed on and given back, counted from the start. Each thread waits for the
    // other by looking at these for a while and only then sleeps, as a wake-up is a trip
    // through the system: the mutex and the conditions are for sleeping only. Each count
    // has a cache line of its own, so that a thread looking at one does not slow the
    // other's writes to anything else.
    alignas(64) std::atomic<std::uint64_t> published_{0};
    alignas(64) std::atomic<std::uint64_t> released_{0};
    alignas(64) std::atomic<bool> closing_{false};
    std::atomic<bool> reader_waiting_{false};
    std::atomic<bool> digester_waiting_{false};
    std::mutex mutex_;
    std::condition_variable slot_published_;
    std::condition_variable slot_released_;
    std::thread digester_;
};

}  // namespace mendlet
