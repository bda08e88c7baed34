#pragma once
// Which file each checksum entry checks: the joined file or one of the parts. Names are
// compared by their last component, without regard to case (compare_names_ignoring_case).
// An entry that names neither the output nor a part checks nothing.

#include <string>
#include <string_view>
#include <vector>

#include "checksum/checksum_file.h"

namespace mendlet {

// What one file has to hash to in one kind of digest.
struct ExpectedDigest {
    DigestKind kind = DigestKind::crc32;
    // Every value listed for the file, each once, in the order met. Two or more come from
    // listings of two files of one name (CD1\x.001 and CD2\x.001) or of an old and a new
    // download: the file passes when it equals one of them.
    std::vector<std::string> hex;

    bool operator==(const ExpectedDigest&) const = default;
};

// Whether a digest (in lower case, as format_crc32 and format_md5 give it) is what is
// expected of its file: equal to one of the values listed.
bool digest_agrees(const ExpectedDigest& expected, std::string_view hex);

struct ChecksumChecks {
    // What the joined file is checked against, at most one for each kind, in kind order.
    std::vector<ExpectedDigest> whole_file;
    // The same for each part, in list order.
    std::vector<std::vector<ExpectedDigest>> parts;
};

// The names the joined file goes by (the output's, and the set's when the user named the
// output otherwise) and the parts' paths or file names; every part of that name is checked,
// as the output is when a part has its name too.
ChecksumChecks match_checksum_entries(const std::vector<ChecksumEntry>& entries,
                                      const std::vector<std::wstring_view>& output_names,
                                      const std::vector<std::wstring>& part_names);

}  // namespace mendlet
