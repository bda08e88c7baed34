#include "join/copy_pipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "join/join_files.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;

// An output that keeps what is written to it.
class KeptOutput : public JoinFile {
public:
    Bytes bytes;
    std::optional<std::uint32_t> read(std::uint8_t*, std::uint32_t) override { return std::nullopt; }
    bool write(const std::uint8_t* data, std::uint32_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::optional<std::uint64_t> seek_to_end() override { return bytes.size(); }
    bool seek(std::uint64_t) override { return false; }
    bool truncate(std::uint64_t) override { return false; }
    bool flush() override { return true; }
    bool close() override { return true; }
};

// Keeps what it is handed on the digest thread, taking its time over each slot if told to.
class KeptDigests : public DigestSink {
public:
    explicit KeptDigests(microseconds pause) : pause_(pause) {}
    Bytes bytes;
    std::vector<std::uint32_t> part_of_each_byte;
    void digest(std::uint32_t part, const std::uint8_t* data, std::size_t length) override {
        std::this_thread::sleep_for(pause_);
        bytes.insert(bytes.end(), data, data + length);
        part_of_each_byte.insert(part_of_each_byte.end(), length, part);
    }

private:
    microseconds pause_;
};

// The two threads hand the ring's slots to each other: whichever side is slower, the other
// waits for it, first looking and then asleep, and must be woken. Every byte reaches the
// output and the digests, in order and with its part, and the end waits for the last slot.
// The pauses only make one side the slower; what is checked does not depend on them.
TEST(CopyPipeline, EveryByteReachesBothSidesWhicheverIsSlower) {
    struct Case {
        const char* name;
        microseconds reader_pause;
        microseconds digest_pause;
    };
    const Case cases[] = {{"digests slower", microseconds(0), microseconds(1000)},
                          {"reader slower", microseconds(1000), microseconds(0)},
                          {"neither held back", microseconds(0), microseconds(0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TestRandom random(0x5EED7001ull);
        KeptOutput output;
        KeptDigests digests(c.digest_pause);
        Bytes expected;
        std::vector<std::uint32_t> expected_parts;
        {
            CopyPipeline pipeline;
            ASSERT_TRUE(pipeline.allocate());
            ASSERT_TRUE(pipeline.start(&digests));
            pipeline.set_output(output);
            // Twice the ring in three parts, in chunks whole and short as reads may return.
            for (std::uint32_t part = 0; part < 3; ++part) {
                pipeline.begin_part(part);
                for (int chunk = 0; chunk < 2 * static_cast<int>(PIPELINE_SLOT_COUNT) / 3; ++chunk) {
                    std::this_thread::sleep_for(c.reader_pause);
                    const auto length = static_cast<std::uint32_t>(
                        random.below(4) == 0 ? 1 + random.below(JOIN_CHUNK_SIZE) : JOIN_CHUNK_SIZE);
                    std::uint8_t* space = pipeline.chunk_space();
                    for (std::uint32_t i = 0; i < length; ++i) space[i] = static_cast<std::uint8_t>(random.next());
                    expected.insert(expected.end(), space, space + length);
                    expected_parts.insert(expected_parts.end(), length, part);
                    ASSERT_TRUE(pipeline.commit(length, true));
                }
            }
            pipeline.finish();
        }
        EXPECT_TRUE(output.bytes == expected);
        EXPECT_TRUE(digests.bytes == expected);
        EXPECT_TRUE(digests.part_of_each_byte == expected_parts);
    }
}

}  // namespace
}  // namespace mendlet
