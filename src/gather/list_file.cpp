#include "gather/list_file.h"

#include <algorithm>
#include <vector>

namespace mendlet {

ListReadEnd read_list_lines(ListSource& source, std::uint64_t file_size,
                            const std::function<void(std::string_view)>& take_line) {
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(file_size, LIST_CHUNK_SIZE)));
    for (;;) {
        // A read may give less than it was asked for before the end of the file, which only a
        // read that gives nothing marks.
        std::size_t length = 0;
        while (length < buffer.size()) {
            const std::size_t read = source.read(buffer.data() + length, buffer.size() - length);
            if (read == 0) break;
            length += read;
        }
        if (length == 0) return ListReadEnd::complete;
        const std::string_view piece(buffer.data(), length);
        std::size_t line_start = 0;
        for (std::size_t i = 0; i < length; ++i) {
            if (piece[i] != '\r' && piece[i] != '\n') continue;
            if (i > line_start) take_line(piece.substr(line_start, i - line_start));
            line_start = i + 1;
        }
        if (line_start == length) continue;
        // The piece ends inside a line.
        if (length < LIST_CHUNK_SIZE) {
            take_line(piece.substr(line_start));
        } else if (line_start == 0) {
            return ListReadEnd::line_too_long;
        } else if (!source.move_back(length - line_start)) {
            return ListReadEnd::cannot_move_back;
        }
    }
}

}  // namespace mendlet
