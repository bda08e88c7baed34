#pragma once
// One command's additions to the part list: files by path, the files of a folder, and the
// siblings of a first part. Every file is opened once to test that it can be read. When the
// list is kept sorted, new entries are appended as they come and sorted in by finish(), so
// that adding many files takes time in proportion to their number.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/part_list.h"
#include "gather/siblings.h"

namespace mendlet {

class PartAdder {
public:
    // cannot_open runs for each file that cannot be opened for reading.
    PartAdder(PartList& list, bool sorted, bool by_path, std::function<void()> cannot_open);

    // Position: before the entry at that index, or NO_POSITION; ignored while sorted. Size:
    // as listed, or SIZE_NOT_GIVEN. A file that cannot be read is listed with size 0 and
    // STATUS_CANNOT_READ.
    void add_path(std::int32_t position, const std::wstring& path, std::uint64_t size);
    void add_path_in_folder(std::int32_t position, std::wstring_view folder, std::wstring_view name,
                            std::uint64_t size);
    // A file found by a folder scan, with its listed size.
    struct FoundFile {
        std::wstring path;
        std::uint64_t size = 0;
    };
    // The files that choose_folder_files takes from the folder's tree, in the order the folder
    // lists them, a sub-folder's files where it is met when recursing; a sub-folder that is a
    // link to another folder is not entered. The caller adds them where its command puts them.
    std::vector<FoundFile> scan_folder(const std::wstring& folder, bool recurse);
    // A first part brings its siblings, one after another from the position; any other
    // file comes alone. True when the path was taken as a first part.
    bool auto_load_siblings(std::int32_t position, const std::wstring& path);
    // The file name of the part that auto_load_siblings stopped at while later parts lie in
    // the folder; empty when it stopped at none such.
    const std::wstring& missing_sibling() const { return missing_sibling_; }
    // The first part that auto_load_siblings went past because a recovery set beside the
    // parts can rebuild it, and that set's file; empty when it went past none.
    const std::wstring& rebuilt_sibling() const { return rebuilt_sibling_; }
    const std::wstring& rebuilding_set() const { return rebuilding_set_; }
    // How many files this command's folder scans left out.
    std::uint32_t left_out() const { return left_out_; }

    // Sorts the new entries in; returns how many entries this command added.
    std::uint32_t finish();

private:
    SiblingSet siblings_past_rebuilt(const std::wstring& path, const std::vector<FolderEntry>& listing);

    PartList& list_;
    bool sorted_;
    bool by_path_;
    std::function<void()> cannot_open_;
    std::uint32_t count_before_;
    std::wstring missing_sibling_;
    std::wstring rebuilt_sibling_;
    std::wstring rebuilding_set_;
    std::uint32_t left_out_ = 0;
};

}  // namespace mendlet
