#include "core/part_list.h"

#include <algorithm>
#include <iterator>

#include "core/ordering.h"
#include "lang/text_format.h"
#include "lang/text_table.h"

namespace mendlet {

std::int32_t status_category(std::int32_t status) {
    if (status == STATUS_OK || status == STATUS_CHECKSUM_MATCHES) return 0;
    return status < STATUS_CANNOT_WRITE ? 1 : 2;
}

void PartEntry::set_status(std::int32_t new_status) {
    status = new_status;
    category = status_category(new_status);
}

PartEntry& PartList::add_part(std::int32_t position, bool sorted, std::wstring_view path, std::uint64_t size,
                              std::int32_t status, bool by_path) {
    PartEntry entry;
    entry.size = size;
    entry.ordinal = extract_ordinal(path);
    entry.set_status(status);
    entry.path.assign(path);
    const std::wstring size_text = format_size(size);
    std::copy(size_text.begin(), size_text.end(), entry.sizeText);

    std::uint32_t index = count();
    if (sorted)
        index = sorted_position(*this, entry, by_path);
    else if (position >= 0 && static_cast<std::uint32_t>(position) < count())
        index = static_cast<std::uint32_t>(position);
    return *entries_.insert(entries_.begin() + index, std::move(entry));
}

void PartList::remove_part_at(std::uint32_t index) {
    if (index < count()) entries_.erase(entries_.begin() + index);
}

void PartList::clear_parts() {
    entries_.clear();
    entries_.shrink_to_fit();
}

void PartList::swap_parts(std::uint32_t a, std::uint32_t b) {
    if (a < count() && b < count()) std::swap(entries_[a], entries_[b]);
}

bool PartList::sort_parts(bool by_path) {
    if (entries_.empty()) return false;
    // Entries with equal keys keep their order, so a stable sort decides which comes first.
    std::vector<std::size_t> order(entries_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return compare_parts(entries_[a], entries_[b], by_path) < 0;
    });
    std::vector<PartEntry> sorted;
    sorted.reserve(entries_.size());
    for (std::size_t i : order) sorted.push_back(std::move(entries_[i]));
    entries_ = std::move(sorted);
    return order.front() != 0;
}

void PartList::sort_in(std::uint32_t from, bool by_path) {
    if (from >= count()) return;
    const auto less = [by_path](const PartEntry& a, const PartEntry& b) { return compare_parts(a, b, by_path) < 0; };
    if (!std::is_sorted(entries_.begin(), entries_.begin() + from, less)) {
        // A list put out of order by hand: each entry goes in by the rule itself.
        std::vector<PartEntry> added(std::make_move_iterator(entries_.begin() + from),
                                     std::make_move_iterator(entries_.end()));
        entries_.erase(entries_.begin() + from, entries_.end());
        for (PartEntry& entry : added)
            entries_.insert(entries_.begin() + sorted_position(*this, entry, by_path), std::move(entry));
        return;
    }
    // In a sorted list an entry goes after the last one when it is not smaller, else before
    // the first one that is not smaller: among equal entries to the back when none is larger,
    // else to the front. A rank per entry records that, and one sort places them all.
    std::vector<std::int64_t> rank(entries_.size());
    for (std::uint32_t i = 0; i < from; ++i) rank[i] = i;
    const PartEntry* largest = from > 0 ? &entries_[from - 1] : nullptr;
    for (std::uint32_t i = from; i < count(); ++i) {
        const std::int64_t step = i - from + 1;
        if (largest == nullptr || !less(entries_[i], *largest)) {
            rank[i] = from + step;
            largest = &entries_[i];
        } else {
            rank[i] = -step;
        }
    }
    std::vector<std::size_t> order(entries_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int sign = compare_parts(entries_[a], entries_[b], by_path);
        return sign != 0 ? sign < 0 : rank[a] < rank[b];
    });
    std::vector<PartEntry> placed;
    placed.reserve(entries_.size());
    for (std::size_t i : order) placed.push_back(std::move(entries_[i]));
    entries_ = std::move(placed);
}

std::wstring format_size(std::uint64_t size) {
    static constexpr wchar_t UNIT_LETTERS[] = L" KMGTPEZY";
    std::uint64_t value = 0;
    std::uint64_t tenths = 0;
    int unit = 0;
    bool with_fraction = false;
    if (size < (1ull << 10)) {
        value = size;
    } else if (size < (1ull << 20)) {
        value = (size >> 10) + ((size & 0x3FF) > 500 ? 1 : 0);
        unit = 1;
    } else if (size < (1ull << 30)) {
        value = (size >> 20) + ((size & 0xFFFFF) > 500000 ? 1 : 0);
        unit = 2;
    } else {
        // Whole mebibytes, then one 1024 step at a time; the digit after the point is the
        // remainder of the last step in hundreds (0 to 10).
        value = size >> 20;
        unit = 2;
        std::uint64_t remainder = 0;
        do {
            remainder = value & 0x3FF;
            value >>= 10;
            ++unit;
        } while (value >= 1024);
        tenths = remainder / 100;
        with_fraction = true;
    }
    std::wstring text = std::to_wstring(value);
    if (with_fraction) text += L'.' + std::to_wstring(tenths);
    text += L' ';
    text += UNIT_LETTERS[unit];
    text += L'B';
    return text;
}

const wchar_t* part_text(const PartList& list, const TextTable& texts, std::uint32_t index, int column) {
    const PartEntry* entry = list.at(index);
    if (entry == nullptr) return nullptr;
    switch (column) {
        case 0:
            return entry->path.c_str();
        case 1:
            return entry->sizeText;
        default:
            return texts.list_status_cat[static_cast<std::size_t>(entry->category)];
    }
}

std::optional<std::wstring> part_tooltip_text(const PartList& list, const TextTable& texts, std::uint32_t index) {
    const PartEntry* entry = list.at(index);
    if (entry == nullptr) return std::nullopt;
    return format_text(
        texts.list_tooltip[1],
        {std::wstring_view(entry->path), std::wstring_view(entry->sizeText), static_cast<std::int32_t>(index + 1),
         std::wstring_view(texts.list_status[static_cast<std::size_t>(entry->status)])});
}

}  // namespace mendlet
