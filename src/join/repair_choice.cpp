#include "join/repair_choice.h"

#include <algorithm>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

std::optional<std::size_t> file_index(const RecoverySet& set, std::wstring_view name) {
    const SetFile* file = file_with_slices(set, name);
    if (file == nullptr || !file->recoverable) return std::nullopt;
    return static_cast<std::size_t>(file - set.files.data());
}

std::optional<std::size_t> output_file_index(const RecoverySet& set, const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names)
        if (const std::optional<std::size_t> index = file_index(set, name)) return index;
    return std::nullopt;
}

// Moves to the left go first, front to back, then those to the right, back to front: a
// part's new place then never covers bytes of a part yet to move.
std::vector<PartMove> part_moves(const OutputLayout& layout, const std::vector<std::uint64_t>& copied) {
    std::vector<PartMove> left;
    std::vector<PartMove> right;
    std::uint64_t from = 0;
    for (const PlacedPart& place : layout.places) {
        if (!place.part) continue;
        const std::uint64_t length = std::min(copied[*place.part], place.length);
        if (place.offset < from) left.push_back({from, place.offset, length});
        if (place.offset > from) right.push_back({from, place.offset, length});
        from += copied[*place.part];
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

class Chooser {
public:
    explicit Chooser(const JoinDamage& damage) : damage_(damage) {
        for (std::uint32_t part = 0; part < damage.verdict.parts.size(); ++part)
            if (damage.verdict.parts[part] == PartMatch::differs) refuted_.push_back(part);
    }

    RepairDecision choose() {
        if (!damage_.missing.empty() || !refuted_.empty()) return over_parts();
        return over_joined_file();
    }

private:
    // The set must speak for every part refuted and every part missing, and find no damage
    // in the others: where it does, it is not the parts' own set.
    RepairDecision over_parts() {
        std::optional<std::size_t> set = damage_.missing_set;
        if (!set) {
            const std::optional<DamagedSlices> first = damage_.slices.part(refuted_.front());
            if (!first) return {};
            set = first->set;
        }
        const RecoverySet& recovery = damage_.sets[*set];
        const OutputLayout layout =
            lay_out_parts(damage_.part_paths, damage_.copied, damage_.ordinals, &recovery, damage_.missing);
        const std::optional<std::vector<SliceSpan>> spans = slices_in_output(recovery, layout, {});
        if (!spans) return {};
        RepairChoice choice{*set, part_moves(layout, damage_.copied), *spans, {}, {}, layout.length};
        const std::vector<std::uint32_t> firsts = first_slices(recovery);
        for (std::uint32_t part = 0; part < damage_.part_paths.size(); ++part) {
            const bool refuted = std::find(refuted_.begin(), refuted_.end(), part) != refuted_.end();
            const std::optional<DamagedSlices> slices = damage_.slices.part(part);
            const bool listed = slices && slices->set == *set;
            if (refuted && !listed) return {};
            if (!listed || (!refuted && slices->count == 0)) continue;
            if (!refuted) return {};
            const std::size_t file = *file_index(recovery, last_name_component(damage_.part_paths[part]));
            for (const std::uint64_t at : slices->at)
                choice.damaged.push_back(firsts[file] + static_cast<std::uint32_t>(at));
            choice.rebuilt_files.emplace_back(file, layout.offset_of(part));
            // The first part of an append join is the joined file's start, and stays as it was.
            if (damage_.append && part == 0) return {};
        }
        for (const PlacedPart& place : layout.places) {
            if (place.part) continue;
            const std::optional<std::size_t> file = file_index(recovery, place.name);
            if (!file) return {};
            const std::uint64_t count = slice_count(recovery.files[*file].length, recovery.slice_size);
            for (std::uint64_t at = 0; at < count; ++at)
                choice.damaged.push_back(firsts[*file] + static_cast<std::uint32_t>(at));
            choice.rebuilt_files.emplace_back(*file, place.offset);
        }
        std::sort(choice.damaged.begin(), choice.damaged.end());
        return decided(std::move(choice));
    }

    RepairDecision over_joined_file() {
        const std::optional<DamagedSlices> whole = damage_.slices.whole_file();
        if (!whole || whole->count == 0) return {};
        const RecoverySet& recovery = damage_.sets[whole->set];
        const OutputLayout layout = lay_out_parts(damage_.part_paths, damage_.copied, damage_.ordinals, nullptr, {});
        const std::optional<std::vector<SliceSpan>> spans = slices_in_output(recovery, layout, damage_.joined_names);
        const std::optional<std::size_t> file = output_file_index(recovery, damage_.joined_names);
        if (!spans || !file) return {};
        RepairChoice choice{whole->set, {}, *spans, {}, {{*file, 0}}, recovery.files[*file].length};
        const std::uint32_t first = first_slices(recovery)[*file];
        for (const std::uint64_t at : whole->at) {
            choice.damaged.push_back(first + static_cast<std::uint32_t>(at));
            if (damage_.append && (*spans)[choice.damaged.back()].offset < damage_.copied.front()) return {};
        }
        return decided(std::move(choice));
    }

    RepairDecision decided(RepairChoice choice) const {
        const std::uint64_t held = usable_recovery_slices(damage_.sets[choice.set]);
        if (choice.damaged.size() > held)
            return {std::nullopt, TooFewRecoverySlices{choice.set, choice.damaged.size(), held}};
        return {std::move(choice), std::nullopt};
    }

    const JoinDamage& damage_;
    std::vector<std::uint32_t> refuted_;
};

}  // namespace

RepairDecision choose_repair(const JoinDamage& damage) { return Chooser(damage).choose(); }

}  // namespace mendlet
