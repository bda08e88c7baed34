#pragma once
// Which files of a folder are PAR 2.0 files of a download's recovery set. Tools name them
// after what they protect: "v.bin.par2", and the volume files "v.bin.vol000+01.par2",
// "v.bin.vol001+02.par2", ... ("v.bin.vol0-1.par2" in the PAR 2.0 format's own examples).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recovery/recovery_set.h"

namespace mendlet {

// At most this many PAR 2.0 files are read when none is named after the download.
inline constexpr std::size_t PAR2_FILES_READ = 64;

// The name of the set a file of that name belongs to ("v.bin" for both "v.bin.par2" and
// "v.bin.vol001+02.par2"): its name without ".par2" (in any case) and without the volume's
// ".volN+N" or ".volN-N"; none for a name that does not end in ".par2".
std::optional<std::wstring> par2_set_name(std::wstring_view name);

// The PAR 2.0 files of a folder's listing to read for a download, in listing order: those
// whose set name is one of `subject_names` (the output and the parts; compared without
// regard to case); when there are none, every *.par2 file, at most PAR2_FILES_READ.
std::vector<std::wstring> par2_files_to_read(const std::vector<std::wstring>& folder_names,
                                             const std::vector<std::wstring>& subject_names);

// What a download's PAR 2.0 files gave: its sets, and those of its files named after one of
// the subjects that gave no set at all (they could not be read, or hold nothing whole), which
// a check must not pass over in silence.
struct RecoveryFiles {
    std::vector<RecoverySet> sets;
    std::vector<std::wstring> without_set;
};

// The PAR 2.0 files of the folder that par2_files_to_read chooses, read.
RecoveryFiles read_recovery_files(RecoveryFolder& folder, const std::vector<std::wstring>& folder_names,
                                  const std::vector<std::wstring>& subject_names);

// The file a set is named by in messages: the one of its files named after its set without a
// volume's number ("v.bin.par2"), else the first it was read from.
std::wstring recovery_set_file_name(const RecoverySet& set);

}  // namespace mendlet
