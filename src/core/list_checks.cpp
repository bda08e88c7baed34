#include "core/list_checks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/part_list.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "lang/text_table.h"
#include "settings/settings.h"

namespace mendlet {

namespace {

// At most this many ordinals are listed in a question; more are shown as ", ..".
inline constexpr std::uint32_t LISTED_ORDINALS_MAX = 8;

// The tests only make sense for a list that starts with part number 1 named "….001".
bool starts_with_first_part(const PartList& list) {
    const PartEntry* first = list.first();
    if (first == nullptr || first->ordinal != 1) return false;
    const std::wstring& path = first->path;
    return path.size() >= 5 && path.compare(path.size() - 4, 4, L".001") == 0;
}

// A list of ordinals for a question: "2, 3, 4" and ", .." once it is full.
class OrdinalList {
public:
    // False once the list is full, when ", .." was written instead.
    bool add(std::uint32_t ordinal) {
        if (count_ == LISTED_ORDINALS_MAX) {
            text_ += L", ..";
            overflowed_ = true;
            return false;
        }
        if (count_ > 0) text_ += L", ";
        text_ += std::to_wstring(ordinal);
        ++count_;
        return true;
    }
    std::uint32_t count() const { return count_; }
    bool overflowed() const { return overflowed_; }
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
    std::uint32_t count_ = 0;
    bool overflowed_ = false;
};

// Lists the ordinals skipped between the expected one and the entry's own, but for those
// that the join will rebuild.
void list_missing(OrdinalList& missing, std::uint32_t expected_next, std::uint32_t ordinal,
                  const std::vector<std::uint32_t>& rebuilt) {
    if (ordinal < expected_next) {
        missing.add(expected_next);
        return;
    }
    for (std::uint32_t skipped = expected_next; skipped != ordinal; ++skipped)
        if (std::find(rebuilt.begin(), rebuilt.end(), skipped) == rebuilt.end() && !missing.add(skipped)) return;
}

}  // namespace

void evaluate_statuses(PartList& list, bool force, const Settings& settings) {
    if (list.empty()) return;
    const bool missing_test = !settings.skip_missing_test_on_load;
    const bool size_test = !settings.skip_size_test_on_load;
    // Warnings go, but an entry that cannot be read keeps saying so: "ok" would be a lie.
    if ((force && !missing_test && !size_test) || !starts_with_first_part(list)) {
        for (PartEntry& entry : list)
            if (entry.category != 2) entry.set_status(STATUS_OK);
        return;
    }
    std::uint32_t expected = 1;
    const std::uint64_t reference_size = list.first()->size;
    const std::uint32_t last_index = list.count() - 1;
    for (std::uint32_t i = 1; i <= last_index; ++i) {
        PartEntry& entry = *list.at(i);
        if (entry.category == 2) continue;
        if (missing_test) {
            const bool unexpected = entry.ordinal != expected + 1;
            expected = entry.ordinal;
            if (unexpected) {
                entry.set_status(STATUS_UNEXPECTED_ORDINAL);
                continue;
            }
        }
        if (size_test) {
            if (i == last_index && entry.size > reference_size) {
                entry.set_status(STATUS_LAST_LARGER);
                continue;
            }
            if (i != last_index && entry.size != reference_size) {
                entry.set_status(STATUS_SIZE_MISMATCH);
                continue;
            }
        }
        entry.set_status(STATUS_OK);
    }
}

bool check_before_join(const PartList& list, bool test_missing, bool test_size, const TextTable& texts,
                       Questioner& questioner, std::uint32_t highest_found, const std::vector<std::uint32_t>& rebuilt) {
    if (!starts_with_first_part(list)) return true;
    OrdinalList missing;
    OrdinalList mismatched;
    std::uint32_t expected = 1;
    const std::uint64_t reference_size = list.first()->size;
    bool last_part_smaller = true;
    const std::uint32_t last_index = list.count() - 1;
    for (std::uint32_t i = 1; i <= last_index; ++i) {
        const PartEntry& entry = *list.at(i);
        if (test_missing && !missing.overflowed()) {
            if (entry.ordinal != expected + 1) list_missing(missing, expected + 1, entry.ordinal, rebuilt);
            expected = entry.ordinal;
        }
        if (test_size) {
            if (i == last_index) {
                last_part_smaller = entry.size < reference_size;
            } else if (entry.size != reference_size && !mismatched.add(entry.ordinal)) {
                break;  // the size list is full: neither test looks further
            }
        }
    }

    // Later parts that lie in the folder but not in the list would be missing from the join too.
    const std::uint32_t last_ordinal = list.last()->ordinal;
    if (test_missing && !missing.overflowed() && highest_found > last_ordinal)
        list_missing(missing, last_ordinal + 1, highest_found + 1, rebuilt);

    const std::wstring_view question_end = texts.messages[MSG_CONTINUE_QUESTION];
    if (test_missing && missing.count() > 0) {
        const wchar_t* format = missing.overflowed() ? texts.messages[MSG_MISSING_MORE_PARTS] : texts.messages[MSG_MISSING_PARTS];
        Question question{format_text(format, {static_cast<std::int32_t>(missing.count()), missing.text()}),
                          texts.messages[MSG_MISSING_TITLE], Question::Icon::warning, false};
        question.text += question_end;
        if (!questioner.ask_yes_no(question)) return false;
    }
    if (test_size && mismatched.count() > 0) {
        Question question{
            format_text(texts.messages[MSG_SIZES_DIFFER], {static_cast<std::int32_t>(mismatched.count()), mismatched.text()}),
            texts.messages[MSG_SIZE_TITLE], Question::Icon::warning, false};
        question.text += question_end;
        if (!questioner.ask_yes_no(question)) return false;
    }
    if (test_size && !last_part_smaller) {
        Question question{std::wstring(texts.messages[MSG_LAST_NOT_SMALLER]) + std::wstring(question_end), texts.messages[MSG_SIZE_TITLE],
                          Question::Icon::information, true};
        if (!questioner.ask_yes_no(question)) return false;
    }
    return true;
}

}  // namespace mendlet
