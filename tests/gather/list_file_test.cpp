#include "gather/list_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace mendlet {
namespace {

// A list file in memory that records how it is read.
class MemoryList : public ListSource {
public:
    explicit MemoryList(std::string bytes) : bytes_(std::move(bytes)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t length = std::min({size, most_per_read, bytes_.size() - position_});
        bytes_.copy(buffer, length, position_);
        position_ += length;
        largest_read = std::max(largest_read, length);
        return length;
    }
    bool move_back(std::size_t bytes) override {
        if (!can_move_back) return false;
        position_ -= bytes;
        return true;
    }

    std::size_t largest_read = 0;
    bool can_move_back = true;
    // Reads give at most this much, as a source may before its end.
    std::size_t most_per_read = SIZE_MAX;

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

struct ListRead {
    ListReadEnd end;
    std::vector<std::string> lines;
};

ListRead read_all(MemoryList& file, std::uint64_t size) {
    ListRead result;
    result.end = read_list_lines(file, size, [&](std::string_view line) { result.lines.emplace_back(line); });
    return result;
}

ListRead read_all(const std::string& bytes) {
    MemoryList file(bytes);
    return read_all(file, bytes.size());
}

using Lines = std::vector<std::string>;

TEST(ListFile, AnyLineEndAndNoEmptyLines) {
    for (const char* bytes : {"a\nb b\n c\n", "a\r\nb b\r\n c\r\n", "a\rb b\r c\r", "\r\n\na\n\n\r\rb b\r\n\r\n c",
                              "a\nb b\r\n c"}) {
        const ListRead read = read_all(bytes);
        EXPECT_EQ(read.end, ListReadEnd::complete);
        EXPECT_EQ(read.lines, (Lines{"a", "b b", " c"})) << bytes;
    }
    EXPECT_TRUE(read_all("").lines.empty());
    EXPECT_TRUE(read_all("\r\n\r\n").lines.empty());
}

// 2.5 MiB of short lines, with lines across both piece boundaries: each line once, whole,
// and never more than one piece read at a time.
TEST(ListFile, LinesAcrossPiecesAreReadWholeFromTheNextPiece) {
    std::string bytes;
    Lines expected;
    for (int i = 0; bytes.size() < LIST_CHUNK_SIZE * 5 / 2; ++i) {
        expected.push_back("C:\\Parts\\file number " + std::to_string(i) + ".001");
        bytes += expected.back() + "\r\n";
    }
    ASSERT_NE(bytes[LIST_CHUNK_SIZE - 1], '\n');
    MemoryList file(bytes);
    const ListRead read = read_all(file, bytes.size());
    EXPECT_EQ(read.end, ListReadEnd::complete);
    EXPECT_EQ(read.lines, expected);
    EXPECT_EQ(file.largest_read, LIST_CHUNK_SIZE);
}

TEST(ListFile, LineThatFillsAWholePieceStopsTheReading) {
    EXPECT_EQ(read_all(std::string(LIST_CHUNK_SIZE, 'x') + "\r\nC:\\a.001\r\n").end, ListReadEnd::line_too_long);
    // One byte shorter, with its line end, it is a path like any other.
    const ListRead read = read_all(std::string(LIST_CHUNK_SIZE - 1, 'x') + "\nC:\\a.001");
    EXPECT_EQ(read.end, ListReadEnd::complete);
    EXPECT_EQ(read.lines, (Lines{std::string(LIST_CHUNK_SIZE - 1, 'x'), "C:\\a.001"}));
    // A long line after others: those before it stay read.
    const ListRead later = read_all("C:\\a.001\n" + std::string(LIST_CHUNK_SIZE + 10, 'y'));
    EXPECT_EQ(later.end, ListReadEnd::line_too_long);
    EXPECT_EQ(later.lines, (Lines{"C:\\a.001"}));
}

// Found by fuzzing: a read that gave less than asked was taken for the end of the file, and
// the line it stopped in was handed out cut in two.
TEST(ListFile, ShortReadsCutNoLine) {
    const std::string bytes = "C:\\Parts\\movie.avi.001\r\nC:\\Parts\\movie.avi.002\r\nD:\\x y.003";
    for (std::size_t most : {1, 2, 5, 16}) {
        MemoryList file(bytes);
        file.most_per_read = most;
        const ListRead read = read_all(file, bytes.size());
        EXPECT_EQ(read.end, ListReadEnd::complete) << most;
        EXPECT_EQ(read.lines, (Lines{"C:\\Parts\\movie.avi.001", "C:\\Parts\\movie.avi.002", "D:\\x y.003"})) << most;
    }
    // Across pieces too, where the cut line is read again after moving back.
    std::string long_lines;
    Lines expected;
    for (char c : {'x', 'y', 'z'}) {
        expected.emplace_back(LIST_CHUNK_SIZE * 3 / 5, c);
        long_lines += expected.back() + "\n";
    }
    MemoryList file(long_lines);
    file.most_per_read = LIST_CHUNK_SIZE / 3;
    const ListRead read = read_all(file, long_lines.size());
    EXPECT_EQ(read.end, ListReadEnd::complete);
    EXPECT_EQ(read.lines, expected);
}

TEST(ListFile, FailingToMoveBackStopsTheReading) {
    MemoryList file("C:\\a.001\n" + std::string(LIST_CHUNK_SIZE, 'y'));
    file.can_move_back = false;
    const ListRead read = read_all(file, LIST_CHUNK_SIZE + 9);
    EXPECT_EQ(read.end, ListReadEnd::cannot_move_back);
    EXPECT_EQ(read.lines, (Lines{"C:\\a.001"}));
}

}  // namespace
}  // namespace mendlet
