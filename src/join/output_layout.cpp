#include "join/output_layout.h"

#include <algorithm>

#include "checksum/checksum_file.h"
#include "core/path_compare.h"

namespace mendlet {

namespace {

// The PAR 2.0 format has constants for this many input slices.
constexpr std::size_t INPUT_SLICE_LIMIT = 32768;

const PlacedPart* placed_as(const OutputLayout& layout, std::wstring_view name) {
    for (const PlacedPart& place : layout.places)
        if (compare_names_ignoring_case(place.name, name) == 0) return &place;
    return nullptr;
}

bool is_output(const std::vector<std::wstring>& names, std::wstring_view name) {
    return std::any_of(names.begin(), names.end(),
                       [name](const std::wstring& own) { return compare_names_ignoring_case(own, name) == 0; });
}

}  // namespace

std::uint64_t OutputLayout::offset_of(std::uint32_t part) const {
    for (const PlacedPart& place : places)
        if (place.part == part) return place.offset;
    return length;
}

OutputLayout lay_out_parts(const std::vector<std::wstring>& paths, const std::vector<std::uint64_t>& sizes,
                           const std::vector<std::uint32_t>& ordinals, const RecoverySet* set,
                           const std::vector<MissingPart>& missing) {
    OutputLayout layout;
    const auto length_of = [set](std::wstring_view name, std::uint64_t size) {
        const SetFile* file = set != nullptr ? file_with_slices(*set, name) : nullptr;
        return file != nullptr ? file->length : size;
    };
    const auto place = [&layout, &length_of](std::optional<std::uint32_t> part, std::wstring_view name,
                                             std::uint64_t size) {
        const std::uint64_t length = length_of(name, size);
        layout.places.push_back({part, std::wstring(name), layout.length, length});
        layout.length += length;
    };
    std::vector<bool> placed(missing.size(), false);
    for (std::uint32_t i = 0; i < paths.size(); ++i) {
        for (std::size_t m = 0; m < missing.size(); ++m)
            if (!placed[m] && missing[m].ordinal < ordinals[i]) {
                placed[m] = true;
                place(std::nullopt, missing[m].name, 0);
            }
        place(i, last_name_component(paths[i]), sizes[i]);
    }
    for (std::size_t m = 0; m < missing.size(); ++m)
        if (!placed[m]) place(std::nullopt, missing[m].name, 0);
    return layout;
}

std::optional<std::vector<SliceSpan>> slices_in_output(const RecoverySet& set, const OutputLayout& layout,
                                                       const std::vector<std::wstring>& output_names) {
    std::vector<SliceSpan> spans;
    for (const SetFile& file : set.files) {
        if (!file.recoverable) break;
        if (!file.described) return std::nullopt;
        std::uint64_t start = 0;
        if (!is_output(output_names, file.name)) {
            const PlacedPart* place = placed_as(layout, file.name);
            if (place == nullptr) return std::nullopt;
            start = place->offset;
        }
        if (slice_count(file.length, set.slice_size) > INPUT_SLICE_LIMIT - spans.size()) return std::nullopt;
        for (std::uint64_t at = 0; at < file.length; at += set.slice_size)
            spans.push_back({start + at, std::min(set.slice_size, file.length - at)});
    }
    return spans;
}

std::vector<std::uint32_t> first_slices(const RecoverySet& set) {
    std::vector<std::uint32_t> firsts;
    std::uint64_t next = 0;
    for (const SetFile& file : set.files) {
        if (!file.recoverable) break;
        firsts.push_back(static_cast<std::uint32_t>(next));
        next += slice_count(file.length, set.slice_size);
    }
    return firsts;
}

}  // namespace mendlet
