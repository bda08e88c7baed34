#pragma once
// List files: one path per line in UTF-8. Lines end at any CR or LF, and empty lines are
// skipped. The file is read in pieces of at most LIST_CHUNK_SIZE bytes, so that a list of
// any length needs only that much memory; a line cut off at the end of a piece is read
// again from the start of the next one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace mendlet {

inline constexpr std::size_t LIST_CHUNK_SIZE = 0x100000;

// The open list file.
class ListSource {
public:
    virtual ~ListSource() = default;
    // Reads up to size bytes; 0 at the end of the file or when reading fails.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Moves the reading position back; false when it cannot.
    virtual bool move_back(std::size_t bytes) = 0;
};

enum class ListReadEnd { complete, line_too_long, cannot_move_back };

// Hands every non-empty line to take_line, as its bytes, in file order.
ListReadEnd read_list_lines(ListSource& source, std::uint64_t file_size,
                            const std::function<void(std::string_view)>& take_line);

}  // namespace mendlet
