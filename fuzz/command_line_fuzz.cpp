// The command line's part paths. Input: the command line as UTF-16 units, the program's
// name included, as Windows hands it over.
//
// Properties, from the rules in gather/command_line.h (an argument is quoted, the quotes
// dropped, or ends at a blank; an unclosed quote ends the list; blanks and empty quotes
// give nothing): no path is empty; a path holds no quote (it was quoted) or no blank (it
// was not), and never starts with a quote; the paths appear in the line in order; blanks
// added at the end change nothing; and the paths written out again, quoted where they hold
// a blank, after any program name, give the same paths.

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "gather/command_line.h"

namespace mendlet {
namespace {

bool has_blank(std::wstring_view text) { return text.find_first_of(L" \t") != std::wstring_view::npos; }

std::wstring written_out(std::wstring_view program, const std::vector<std::wstring>& paths) {
    std::wstring line(program);
    for (const std::wstring& path : paths) line += has_blank(path) ? L" \"" + path + L"\"" : L" " + path;
    return line;
}

}  // namespace
}  // namespace mendlet

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mendlet;
    const std::wstring line = fuzz::wide_units(fuzz::Bytes(data, size));
    const std::vector<std::wstring> paths = command_line_paths(line);

    std::size_t at = 0;
    for (const std::wstring& path : paths) {
        FUZZ_CHECK(!path.empty());
        FUZZ_CHECK(path.front() != L'"');
        FUZZ_CHECK(path.find(L'"') == std::wstring::npos || !has_blank(path));
        at = line.find(path, at);
        FUZZ_CHECK(at != std::wstring::npos);
        at += path.size();
    }

    FUZZ_CHECK(command_line_paths(line + L" \t ") == paths);
    FUZZ_CHECK(command_line_paths(written_out(L"mendlet.exe", paths)) == paths);
    FUZZ_CHECK(command_line_paths(written_out(L"\"C:\\Program Files\\Mendlet\\mendlet.exe\"", paths)) == paths);
    FUZZ_CHECK(command_line_paths(written_out(L"\"mendlet.exe\"", paths)) == paths);
    return 0;
}
