#include "gather/list_file_win32.h"

#include <string_view>

#include "core/file_replacement_win32.h"
#include "core/part_list.h"
#include "gather/part_adder_win32.h"

namespace mendlet {

namespace {

// Bytes gathered before each write of an export.
constexpr std::size_t EXPORT_BUFFER_SIZE = 0x100000;

class OpenListFile : public ListSource {
public:
    explicit OpenListFile(HANDLE file) : file_(file) {}

    std::size_t read(char* buffer, std::size_t size) override {
        DWORD length = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(size), &length, nullptr)) return 0;
        return length;
    }
    bool move_back(std::size_t bytes) override {
        LARGE_INTEGER distance;
        distance.QuadPart = -static_cast<LONGLONG>(bytes);
        return SetFilePointerEx(file_, distance, nullptr, FILE_CURRENT) != FALSE;
    }

private:
    HANDLE file_;
};

std::wstring from_utf8(std::string_view bytes) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

void append_utf8(std::string& bytes, const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    const std::size_t start = bytes.size();
    bytes.resize(start + static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data() + start, length, nullptr,
                        nullptr);
}

}  // namespace

ListReadEnd import_list_file(HANDLE file, PartAdder& adder) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return ListReadEnd::complete;
    OpenListFile source(file);
    return read_list_lines(source, static_cast<std::uint64_t>(size.QuadPart), [&adder](std::string_view line) {
        adder.add_path(NO_POSITION, from_utf8(line), SIZE_NOT_GIVEN);
    });
}

ListWriteEnd export_list_file(const std::wstring& path, const PartList& list) {
    FileReplacement file(path);
    if (!file.is_open()) return ListWriteEnd::cannot_create;
    std::string bytes;
    bool written = true;
    for (const PartEntry& entry : list) {
        append_utf8(bytes, entry.path);
        bytes += "\r\n";
        if (bytes.size() >= EXPORT_BUFFER_SIZE) {
            written = written && file.write(bytes.data(), bytes.size());
            bytes.clear();
        }
    }
    if (!written || !file.write(bytes.data(), bytes.size())) return ListWriteEnd::write_failed;
    return file.commit() ? ListWriteEnd::written : ListWriteEnd::cannot_create;
}

}  // namespace mendlet
