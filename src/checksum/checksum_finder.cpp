#include "checksum/checksum_finder.h"

#include <algorithm>

#include "checksum/checksum_names.h"
#include "checksum/checksum_text.h"

namespace mendlet {

std::vector<ChecksumFile> find_checksum_files(ChecksumFolder& folder, const std::vector<std::wstring>& output_names,
                                              const std::vector<std::wstring>& part_names,
                                              const std::function<bool()>& stopped) {
    std::vector<ChecksumFile> files;
    for (ChecksumFileToRead& file : checksum_files_to_read(folder.file_names(), output_names, part_names)) {
        if (stopped()) break;
        // One byte more than is read shows whether the file goes on beyond the limit.
        const std::optional<std::string> bytes = folder.read_start(file.name, CHECKSUM_FILE_LIMIT + 1);
        std::vector<ChecksumEntry> entries;
        if (bytes) entries = parse_checksum_file(file.name, whole_lines_within(*bytes, CHECKSUM_FILE_LIMIT), file.subject);
        if (!entries.empty() || !file.subject.empty())
            files.push_back({std::move(file.name), std::move(entries), folder.path(), false, file.sidecar});
    }
    return files;
}

const ChecksumFile* first_unreadable(const std::vector<ChecksumFile>& files) {
    const auto found =
        std::find_if(files.begin(), files.end(), [](const ChecksumFile& file) { return file.entries.empty(); });
    return found == files.end() ? nullptr : &*found;
}

}  // namespace mendlet
