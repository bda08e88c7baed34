#pragma once
// The slices that a recovery set lists for the parts, or for the joined file, checked as the
// bytes go by beside the digests: how many of them are damaged, for a message to say
// whether the set can rebuild them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recovery/recovery_set.h"
#include "recovery/slice_check.h"

namespace mendlet {

// The damaged slices of one file, and the set that lists it.
struct DamagedSlices {
    std::uint64_t count = 0;
    std::size_t set = 0;
    // Their indices in the file, in order.
    std::vector<std::uint64_t> at;
    // No slice damaged and no byte beyond the listed length: the file is as listed.
    bool intact = false;
};

class PartSlices {
public:
    // For each part, the first set that lists the slices of a file of its name; for the
    // joined file, the first that lists one of its names. The sets must outlive this.
    PartSlices(const std::vector<RecoverySet>& sets, const std::vector<std::wstring>& part_paths,
               const std::vector<std::wstring>& output_names);

    bool any() const;
    // The next bytes of a part. Parts come in list order; a part passed over is empty, and
    // so all its slices are damaged.
    void feed(std::uint32_t part, const std::uint8_t* bytes, std::size_t length);
    // Ends the part being fed and every later one.
    void finish();

    // Once finished; none where no set lists the file's slices.
    std::optional<DamagedSlices> part(std::uint32_t index) const { return tallies_[index]; }
    // Whether a set lists the slices of the part, and then, once finished, the MD5 they
    // prove it has in lower-case hex (that listed, where it is intact), else a text that is
    // no digest; empty before.
    bool lists(std::uint32_t index) const { return parts_[index].file != nullptr; }
    std::string proven_md5(std::uint32_t index) const;
    std::optional<DamagedSlices> whole_file() const { return whole_tally_; }

private:
    struct Listed {
        const SetFile* file = nullptr;
        std::size_t set = 0;
    };
    void begin_part();
    void end_part();
    static std::optional<DamagedSlices> damaged(std::optional<SliceChecker>& checker, const Listed& listed);

    const std::vector<RecoverySet>& sets_;
    std::vector<Listed> parts_;
    Listed whole_;
    std::uint32_t current_ = 0;
    bool finished_ = false;
    std::optional<SliceChecker> part_checker_;
    std::optional<SliceChecker> whole_checker_;
    std::vector<std::optional<DamagedSlices>> tallies_;
    std::optional<DamagedSlices> whole_tally_;
};

}  // namespace mendlet
