#pragma once
// The text of a checksum file, in whichever encoding the tool that wrote it chose:
// - UTF-16, little- or big-endian, after its byte-order mark (Notepad's "Unicode",
//   PowerShell 5's redirections);
// - UTF-8, with or without a byte-order mark (coreutils, OpenSSL, most tools);
// - otherwise the system's ANSI code page, as older Windows tools write it: bytes that are
//   no UTF-8 were written that way.

#include <cstddef>
#include <string>
#include <string_view>

namespace mendlet {

// At most this much of a checksum file is read.
inline constexpr std::size_t CHECKSUM_FILE_LIMIT = 0x100000;

// What is read of the first bytes of a file, read up to limit + 1 so that a longer file
// shows: all of them when there are at most limit; otherwise those before the last line end
// among them (CR or LF, a whole UTF-16 unit in a UTF-16 file), so that no line is read cut
// short; none when no line ends in time.
std::string_view whole_lines_within(std::string_view bytes, std::size_t limit);

// The file's text without its byte-order mark. A file marked as UTF-8 keeps those of its
// lines that are UTF-8; one unmarked is read in the ANSI code page when any byte of it is
// no UTF-8, so that a name is never read half one way and half another.
std::wstring checksum_file_text(std::string_view bytes);

}  // namespace mendlet
