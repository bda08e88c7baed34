#pragma once
// The text of a checksum file, in whichever encoding the tool that wrote it chose:
// - UTF-16, little- or big-endian, after its byte-order mark (Notepad's "Unicode",
//   PowerShell 5's redirections);
// - UTF-8, with or without a byte-order mark (coreutils, OpenSSL, most tools);
// - otherwise the system's ANSI code page, as older Windows tools write it: bytes that are
//   no UTF-8 were written that way.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace mendlet {

template <typename Char>
inline constexpr Char LINE_END_CHARACTERS[] = {Char('\r'), Char('\n'), Char('\0')};

// The characters that end lines: NUL alone, or CR and LF.
template <typename Char>
std::basic_string_view<Char> line_ends(bool at_nul) {
    const std::basic_string_view<Char> all(LINE_END_CHARACTERS<Char>, 3);
    return at_nul ? all.substr(2) : all.substr(0, 2);
}

// The characters that end a text's lines: NUL in a text that holds one, as sha256sum -z ends
// them (its names, written as they are, may hold line breaks); CR and LF in any other.
template <typename Char>
std::basic_string_view<Char> line_ends_of(std::basic_string_view<Char> text) {
    // Counted rather than searched for: the compiler counts many characters at a time, and
    // most texts hold no NUL, so that a search would look at every character one by one.
    return line_ends<Char>(std::count(text.begin(), text.end(), Char('\0')) != 0);
}

// At most this much of a checksum file is read.
inline constexpr std::size_t CHECKSUM_FILE_LIMIT = 0x100000;

// What is read of the first bytes of a file, read up to limit + 1 so that a longer file
// shows: all of them when there are at most limit; otherwise those before the last line end
// among them (line_ends_of them, a whole UTF-16 unit in a UTF-16 file), so that no line is
// read cut short; none when no line ends in time. A NUL that ends a line is kept with it,
// so that what is kept ends its lines at NUL too, and so it has to lie within the limit.
std::string_view whole_lines_within(std::string_view bytes, std::size_t limit);

// A piece of a file's text: whole lines, each with its end, but for the last piece, which
// ends where the file ends; the characters that end the text's lines (line_ends_of the whole
// text); and whether it is the last piece.
using TakeTextPiece = std::function<void(std::wstring_view piece, std::wstring_view line_ends, bool last)>;

// Hands the file's text without its byte-order mark to take_piece in pieces, each the lines
// of about 32 K characters of the file. A file marked as UTF-8 keeps those of its lines that
// are UTF-8; one unmarked is read in the ANSI code page when any byte of it is no UTF-8, so
// that a name is never read half one way and half another. Decoded whole, the text of a
// file of a megabyte took two or four more, in a block so large that the system gave it
// pages of its own, fresh for every file.
void for_each_text_piece(std::string_view bytes, const TakeTextPiece& take_piece);

}  // namespace mendlet
