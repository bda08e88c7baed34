#pragma once
// Tests for missing parts and inconsistent sizes: on every change of the list they mark
// entries with warnings; before a join they ask the user whether to go on.

#include <cstdint>
#include <string>
#include <vector>

namespace mendlet {

class PartList;
struct Settings;
struct TextTable;

// Re-marks the entries after the first. With force and both on-load tests off, or when the
// list does not start with a ".001" part numbered 1, every entry becomes "ok" but those
// that cannot be read or written, which keep their error.
void evaluate_statuses(PartList& list, bool force, const Settings& settings);

// A yes/no question put to the user.
struct Question {
    enum class Icon { warning, information, question };
    std::wstring text;
    std::wstring caption;
    Icon icon = Icon::warning;
    bool yes_is_default = false;
};

class Questioner {
public:
    virtual ~Questioner() = default;
    // True only for the answer Yes.
    virtual bool ask_yes_no(const Question& question) = 0;
};

// Runs the enabled tests on the list and asks about what they find; false when the user
// does not want the join to go on. highest_found: the highest number of the set's parts in
// the first part's folder (0 when not known); the missing test counts those after the last
// entry's ordinal up to it as missing, since the join would go without them. Parts numbered
// as in `rebuilt` are not missing: the join rebuilds them.
bool check_before_join(const PartList& list, bool test_missing, bool test_size, const TextTable& texts,
                       Questioner& questioner, std::uint32_t highest_found,
                       const std::vector<std::uint32_t>& rebuilt = {});

}  // namespace mendlet
