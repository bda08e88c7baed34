#pragma once
// The texts that code picks one by one, by what they say: their index in their section of
// the text table. Language files key them by the same numbers.

#include <cstddef>
#include <cstdint>

#include "lang/text_table.h"

namespace mendlet {

// messages
inline constexpr std::size_t MSG_LOW_MEMORY = 0;
inline constexpr std::size_t MSG_NO_THREAD = 1;
inline constexpr std::size_t MSG_EXIT_DURING_JOB = 2;
inline constexpr std::size_t MSG_READY = 3;
inline constexpr std::size_t MSG_JOINING = 4;
inline constexpr std::size_t MSG_BUSY = 5;
inline constexpr std::size_t MSG_JOINED = 6;
inline constexpr std::size_t MSG_ONE_FILE = 7;
inline constexpr std::size_t MSG_NOTHING_SELECTED = 8;
inline constexpr std::size_t MSG_LIST_EMPTY = 9;
inline constexpr std::size_t MSG_CANNOT_OPEN = 10;
inline constexpr std::size_t MSG_CANNOT_CREATE = 11;
inline constexpr std::size_t MSG_WRITE_FAILED = 12;
inline constexpr std::size_t MSG_FILES_ADDED = 13;
inline constexpr std::size_t MSG_AUTO_LOADED = 14;
inline constexpr std::size_t MSG_OVERWRITE = 15;
inline constexpr std::size_t MSG_NO_OUTPUT_PATH = 16;
inline constexpr std::size_t MSG_MISSING_TITLE = 17;
inline constexpr std::size_t MSG_MISSING_PARTS = 18;
inline constexpr std::size_t MSG_MISSING_MORE_PARTS = 19;
inline constexpr std::size_t MSG_SIZE_TITLE = 20;
inline constexpr std::size_t MSG_SIZES_DIFFER = 21;
inline constexpr std::size_t MSG_LAST_NOT_SMALLER = 22;
inline constexpr std::size_t MSG_CONTINUE_QUESTION = 23;
inline constexpr std::size_t MSG_CUSTOM_PATH = 24;
inline constexpr std::size_t MSG_NO_DOT_SUFFIX = 25;
inline constexpr std::size_t MSG_KEPT_AS = 26;
inline constexpr std::size_t MSG_UNFINISHED_LEFT = 27;
inline constexpr std::size_t MSG_SIBLING_MISSING = 28;
inline constexpr std::size_t MSG_NOT_CUT_BACK = 29;
inline constexpr std::size_t MSG_OLD_OUTPUT_KEPT = 30;
inline constexpr std::size_t MSG_PARTS_NOT_DELETED = 31;
inline constexpr std::size_t MSG_OUTPUT_IS_FOLDER = 32;
inline constexpr std::size_t MSG_FILES_ADDED_LEFT_OUT = 33;
inline constexpr std::size_t MSG_MISSING_REBUILDABLE = 34;

// verify
inline constexpr std::size_t VERIFY_VERIFIED = 0;
inline constexpr std::size_t VERIFY_WHOLE_FILE_DAMAGED = 1;
inline constexpr std::size_t VERIFY_PART_DAMAGED = 2;
inline constexpr std::size_t VERIFY_PART_NOT_IN_LIST = 3;
inline constexpr std::size_t VERIFY_FIRST_PART_RESTORED = 4;
inline constexpr std::size_t VERIFY_NOTHING_VERIFIED = 5;
inline constexpr std::size_t VERIFY_ALL_MATCH = 6;
inline constexpr std::size_t VERIFY_SOME_DO_NOT_MATCH = 7;
inline constexpr std::size_t VERIFY_NONE_LISTED = 8;
inline constexpr std::size_t VERIFY_TOGETHER_DO_NOT_MATCH = 9;
inline constexpr std::size_t VERIFY_CHECKING = 10;
inline constexpr std::size_t VERIFY_SOME_LISTED_MATCH = 11;
inline constexpr std::size_t VERIFY_CANNOT_BE_READ = 12;
inline constexpr std::size_t VERIFY_OUT_OF_ORDER = 13;
// The same for a count of one, where a language says it otherwise.
inline constexpr std::size_t VERIFY_ALL_MATCH_ONE = 14;
inline constexpr std::size_t VERIFY_SOME_DO_NOT_MATCH_ONE = 15;
inline constexpr std::size_t VERIFY_NONE_LISTED_ONE = 16;
inline constexpr std::size_t VERIFY_ONE_LISTED_MATCHES = 17;
inline constexpr std::size_t VERIFY_ONE_NOT_LISTED = 18;
inline constexpr std::size_t VERIFY_ONE_LISTED_ONE_NOT = 19;
inline constexpr std::size_t VERIFY_CANNOT_BE_READ_ONE = 20;
// Where a recovery set speaks for the parts, the damaged slices follow what did not match.
inline constexpr std::size_t VERIFY_SOME_DO_NOT_MATCH_SET = 21;
inline constexpr std::size_t VERIFY_SOME_DO_NOT_MATCH_SET_ONE = 22;
inline constexpr std::size_t VERIFY_PART_DOES_NOT_MATCH_SET = 23;
inline constexpr std::size_t VERIFY_SLICES_DAMAGED = 24;
inline constexpr std::size_t VERIFY_ONE_SLICE_DAMAGED = 25;
inline constexpr std::size_t VERIFY_SLICES_DAMAGED_ONE_HELD = 26;
inline constexpr std::size_t VERIFY_ONE_SLICE_DAMAGED_ONE_HELD = 27;
// A join that rebuilt slices, or could not for too few recovery slices.
inline constexpr std::size_t VERIFY_REPAIRED = 28;
inline constexpr std::size_t VERIFY_REPAIRED_ONE = 29;
inline constexpr std::size_t VERIFY_TOO_FEW_RECOVERY_SLICES = 30;
inline constexpr std::size_t VERIFY_TOO_FEW_RECOVERY_SLICES_ONE_HELD = 31;

// The text for a count: the one for a count of one where the count is one.
inline const wchar_t* counted(const TextSection& section, std::size_t many, std::size_t one, std::int64_t count) {
    return section[count == 1 ? one : many];
}

}  // namespace mendlet
