#include "join/part_slices.h"

#include <algorithm>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"
#include "digest/md5.h"

namespace mendlet {

PartSlices::PartSlices(const std::vector<RecoverySet>& sets, const std::vector<std::wstring>& part_paths,
                       const std::vector<std::wstring>& output_names)
    : sets_(sets), parts_(part_paths.size()), tallies_(part_paths.size()) {
    const auto listed = [&sets](std::wstring_view name) {
        for (std::size_t set = 0; set < sets.size(); ++set)
            if (const SetFile* file = file_with_slices(sets[set], last_name_component(name))) return Listed{file, set};
        return Listed{};
    };
    for (std::size_t i = 0; i < part_paths.size(); ++i) parts_[i] = listed(part_paths[i]);
    for (const std::wstring& name : output_names)
        if (whole_.file == nullptr) whole_ = listed(name);
    if (whole_.file != nullptr) whole_checker_.emplace(*whole_.file, sets_[whole_.set].slice_size);
    if (!parts_.empty()) begin_part();
}

bool PartSlices::any() const {
    return whole_.file != nullptr ||
           std::any_of(parts_.begin(), parts_.end(), [](const Listed& part) { return part.file != nullptr; });
}

void PartSlices::feed(std::uint32_t part, const std::uint8_t* bytes, std::size_t length) {
    while (current_ < part) {
        end_part();
        ++current_;
        begin_part();
    }
    if (part_checker_) part_checker_->update(bytes, length);
    if (whole_checker_) whole_checker_->update(bytes, length);
}

void PartSlices::finish() {
    if (finished_ || parts_.empty()) return;
    finished_ = true;
    end_part();
    while (current_ + 1 < parts_.size()) {
        ++current_;
        begin_part();
        end_part();
    }
    whole_tally_ = damaged(whole_checker_, whole_);
}

void PartSlices::begin_part() {
    const Listed& listed = parts_[current_];
    if (listed.file != nullptr) part_checker_.emplace(*listed.file, sets_[listed.set].slice_size);
}

void PartSlices::end_part() { tallies_[current_] = damaged(part_checker_, parts_[current_]); }

std::string PartSlices::proven_md5(std::uint32_t index) const {
    if (!finished_ || !tallies_[index]) return {};
    return tallies_[index]->intact ? format_md5(parts_[index].file->md5) : "not as listed";
}

std::optional<DamagedSlices> PartSlices::damaged(std::optional<SliceChecker>& checker, const Listed& listed) {
    if (!checker) return std::nullopt;
    const SliceTally tally = checker->finish();
    std::optional<DamagedSlices> damaged;
    if (tally.checked)
        damaged = DamagedSlices{tally.damaged, listed.set, checker->damaged_slices(),
                                tally.damaged == 0 && checker->length() == listed.file->length};
    checker.reset();
    return damaged;
}

}  // namespace mendlet
