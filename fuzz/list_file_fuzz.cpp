// List files split into lines, read through a source that the fuzzer steers.
//
// Input: four bytes of choices, then the file. Choices: byte 0 bit 0 gives reads of any
// length from 1 byte up (else each read fills what it is asked for), bit 1 makes the file
// shorter than the size the reader is told (by byte 3), bit 2 lets runs stand for long
// stretches of the file; byte 1 seeds the read lengths; byte 2 is how many moves back
// succeed before one fails (255: all do). With runs, a NUL byte in the file starts one:
// NUL L C M with L > 0 stands for L * L * 17 + M bytes C (more than a piece, 1 MiB, from
// L = 249), so that short inputs reach lines and files longer than a piece, up to two
// pieces and a little more in all; NUL NUL is one NUL. (Such files take long to read, so
// not every input has them.)
//
// Properties: every line handed out is non-empty and holds no CR or LF, the lines come out
// exactly as the file's lines in order, none twice and none cut; the reading completes
// unless a line fills a whole piece (then it says so) or a move back fails (then it says
// that), and when it completes every line has come out. Reads stay within the buffer, and
// moves back within what was read.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "gather/list_file.h"

namespace mendlet {
namespace {

constexpr std::size_t CHOICE_BYTES = 4;
constexpr std::size_t MOST_FILE_BYTES = 2 * LIST_CHUNK_SIZE + 4096;

// Into file, whose room is kept from one input to the next.
void expand_file(fuzz::Bytes bytes, bool runs, std::string& file) {
    if (!runs) {
        file.assign(bytes.begin(), bytes.end());
        return;
    }
    file.clear();
    for (std::size_t i = 0; i < bytes.size() && file.size() < MOST_FILE_BYTES; ++i) {
        if (bytes[i] != 0 || i + 1 == bytes.size()) {
            file += static_cast<char>(bytes[i]);
        } else if (bytes[i + 1] == 0) {
            file += '\0';
            ++i;
        } else if (i + 3 < bytes.size()) {
            const std::size_t count = std::size_t{bytes[i + 1]} * bytes[i + 1] * 17 + bytes[i + 3];
            file.append(std::min(count, MOST_FILE_BYTES - file.size()), static_cast<char>(bytes[i + 2]));
            i += 3;
        } else {
            file += '\0';
        }
    }
}

// The file's lines, split by memchr (the product's loop is what is being tested).
std::vector<std::string_view> lines_of(std::string_view file) {
    const auto next = [&file](char c, std::size_t from) {
        const void* found = std::memchr(file.data() + from, c, file.size() - from);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - file.data()) : file.size();
    };
    std::vector<std::string_view> lines;
    std::size_t cr = next('\r', 0), lf = next('\n', 0);
    for (std::size_t start = 0; start < file.size();) {
        if (cr < start) cr = next('\r', start);
        if (lf < start) lf = next('\n', start);
        const std::size_t end = std::min(cr, lf);
        if (end > start) lines.push_back(file.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool has_line_end(std::string_view line) {
    return std::memchr(line.data(), '\r', line.size()) || std::memchr(line.data(), '\n', line.size());
}

class SteeredList : public ListSource {
public:
    SteeredList(const std::string& file, bool short_reads, std::uint8_t read_seed, std::uint8_t moves_back)
        : file_(file), short_reads_(short_reads), choices_(read_seed), moves_back_left_(moves_back) {}

    std::size_t read(char* buffer, std::size_t size) override {
        FUZZ_CHECK(size > 0);
        std::size_t length = std::min(size, file_.size() - position_);
        if (short_reads_) length = choices_.up_to(length);
        // Touch both ends of the room the reader claims to have, so that the sanitizer checks it.
        buffer[0] = buffer[size - 1] = '\xA5';
        std::memcpy(buffer, file_.data() + position_, length);
        position_ += length;
        return length;
    }

    bool move_back(std::size_t bytes) override {
        FUZZ_CHECK(bytes > 0 && bytes <= position_);
        if (moves_back_left_ == 0) {
            refused_ = true;
            return false;
        }
        if (moves_back_left_ != 255) --moves_back_left_;
        position_ -= bytes;
        return true;
    }

    bool refused() const { return refused_; }

private:
    const std::string& file_;
    bool short_reads_;
    fuzz::Choices choices_;
    std::uint8_t moves_back_left_;
    std::size_t position_ = 0;
    bool refused_ = false;
};

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    if (size < CHOICE_BYTES) return 0;
    const bool short_reads = (data[0] & 1) != 0;
    const bool file_shrank = (data[0] & 2) != 0;
    const bool runs = (data[0] & 4) != 0;
    static std::string file;
    expand_file(fuzz::Bytes(data + CHOICE_BYTES, size - CHOICE_BYTES), runs, file);
    const std::vector<std::string_view> expected = lines_of(file);
    // A file that shrank after its size was taken reads as a shorter one.
    const std::uint64_t told_size = file.size() + (file_shrank ? std::uint64_t{data[3]} * 4099 + 1 : 0);

    SteeredList source(file, short_reads, data[1], data[2]);
    std::size_t handed = 0;
    const ListReadEnd end = read_list_lines(source, told_size, [&](std::string_view line) {
        FUZZ_CHECK(!line.empty());
        FUZZ_CHECK(!has_line_end(line));
        FUZZ_CHECK(handed < expected.size() && line == expected[handed]);
        ++handed;
    });

    bool line_fills_piece = false;
    for (std::string_view line : expected) line_fills_piece = line_fills_piece || line.size() >= LIST_CHUNK_SIZE;
    switch (end) {
        case ListReadEnd::complete:
            FUZZ_CHECK(handed == expected.size());
            FUZZ_CHECK(!line_fills_piece);
            break;
        case ListReadEnd::line_too_long:
            FUZZ_CHECK(handed < expected.size() && expected[handed].size() >= LIST_CHUNK_SIZE);
            break;
        case ListReadEnd::cannot_move_back:
            FUZZ_CHECK(source.refused() && handed < expected.size());
            break;
    }
    if (!line_fills_piece && !source.refused()) FUZZ_CHECK(end == ListReadEnd::complete);
    return 0;
}
