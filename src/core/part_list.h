#pragma once
// The ordered list of part files that a join reads, one entry per file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mendlet {

struct TextTable;

// Status codes; each is also the index of its text in the list_status section.
enum PartStatus : std::int32_t {
    STATUS_OK = 0,
    STATUS_UNEXPECTED_ORDINAL = 1,
    STATUS_SIZE_MISMATCH = 2,
    STATUS_LAST_LARGER = 3,
    STATUS_CANNOT_WRITE = 4,
    STATUS_CANNOT_READ = 5,
    STATUS_CHECKSUM_MISMATCH = 6,
    // Set by a check of the parts; "ok" like STATUS_OK.
    STATUS_CHECKSUM_MATCHES = 7,
};

// 0 ok, 1 warning, 2 error: the index of the text in list_status_cat.
std::int32_t status_category(std::int32_t status);

struct PartEntry {
    std::uint64_t size = 0;
    std::uint32_t ordinal = 0;
    std::int32_t status = STATUS_OK;
    std::int32_t category = 0;
    std::wstring path;
    wchar_t sizeText[16] = {};

    // The category always follows the status.
    void set_status(std::int32_t new_status);
};

// Position argument of add_part: append, or the sorted place when sorting.
inline constexpr std::int32_t NO_POSITION = -1;
// Size argument of the adding operations: the size is to be asked of the file itself.
inline constexpr std::uint64_t SIZE_NOT_GIVEN = ~std::uint64_t{0};

class PartList {
public:
    std::uint32_t count() const { return static_cast<std::uint32_t>(entries_.size()); }
    bool empty() const { return entries_.empty(); }

    PartEntry* first() { return entries_.empty() ? nullptr : &entries_.front(); }
    PartEntry* last() { return entries_.empty() ? nullptr : &entries_.back(); }
    const PartEntry* first() const { return entries_.empty() ? nullptr : &entries_.front(); }
    const PartEntry* last() const { return entries_.empty() ? nullptr : &entries_.back(); }

    // The entry at a 0-based index, or none beyond the list.
    PartEntry* at(std::uint32_t index) { return index < count() ? &entries_[index] : nullptr; }
    const PartEntry* at(std::uint32_t index) const { return index < count() ? &entries_[index] : nullptr; }

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    // Creates the entry (ordinal from the path, size text) and inserts it: in sorted place
    // when sorted is set (by_path picks the comparison), else before the entry at position,
    // or at the end for NO_POSITION or a position at or beyond the end.
    PartEntry& add_part(std::int32_t position, bool sorted, std::wstring_view path, std::uint64_t size,
                        std::int32_t status, bool by_path);
    // An index at or beyond the end changes nothing.
    void remove_part_at(std::uint32_t index);
    void clear_parts();
    void swap_parts(std::uint32_t a, std::uint32_t b);
    // Stable sort by ordinal or whole path; returns whether another entry is now first.
    bool sort_parts(bool by_path);
    // Moves the entries from index `from` on, appended one after another, to the places
    // add_part with sorting would have given them one at a time; the rest keep their order.
    void sort_in(std::uint32_t from, bool by_path);

private:
    std::vector<PartEntry> entries_;
};

// Size as the list shows it: "500  B", "2 KB", "1.5 GB"; at most 10 characters.
std::wstring format_size(std::uint64_t size);

// Text of a list cell: column 0 the path, 1 the size text, any other the status category.
// None for an index beyond the list. The text belongs to the entry or the text table.
const wchar_t* part_text(const PartList& list, const TextTable& texts, std::uint32_t index, int column);

// The row's hover text: path, size, 1-based position and full status text.
std::optional<std::wstring> part_tooltip_text(const PartList& list, const TextTable& texts, std::uint32_t index);

}  // namespace mendlet
