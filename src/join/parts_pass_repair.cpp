// The repair side of a pass over the parts: what the damage found calls for, and the repair
// of the unfinished output.

#include <memory>
#include <vector>

#include "core/part_list.h"
#include "core/path_compare.h"
#include "join/join_files.h"
#include "join/parts_pass.h"
#include "lang/text_format.h"
#include "lang/text_names.h"
#include "lang/text_table.h"
#include "recovery/par2_names.h"

namespace mendlet {

namespace {

constexpr std::uint32_t REHASH_PIECE = 1u << 20;

}  // namespace

RepairDecision PartsPass::repair_decision(const SetVerdict& verdict, bool append) const {
    if (!slices_) return {};
    std::vector<std::uint32_t> ordinals;
    for (const PartEntry& entry : list_) ordinals.push_back(entry.ordinal);
    const JoinDamage damage{recovery_sets_, *slices_,       verdict,      part_paths_,   ordinals,
                            copied_,        missing_parts_, missing_set_, joined_names_, append};
    return choose_repair(damage);
}

OutputRepairOutcome PartsPass::repair(const RepairChoice& choice, JoinFile& output) {
    const CancellableIoScope repairing(job_.flags.file_io);
    const std::unique_ptr<RecoveryFolder> folder = job_.files.recovery_folder(parts_folder());
    if (folder == nullptr) return {OutputRepairEnd::read_failed};
    const OutputRepairJob repair_job{output, recovery_sets_[choice.set], *folder, choice.spans, choice.damaged,
                                     choice.rebuilt_files, choice.moves, choice.final_length,
                                     [this] { return job_.flags.stop_requested.load(); },
                                     // The bar starts again for the rebuilding, the longest step.
                                     [this](std::uint32_t permille) { window_.show_progress(permille); }};
    const OutputRepairOutcome outcome = repair_output(repair_job);
    if (outcome.end != OutputRepairEnd::repaired) return outcome;
    if (!rehash_output(output))
        return {job_.flags.stop_requested ? OutputRepairEnd::stopped : OutputRepairEnd::read_failed};
    return outcome;
}

// The digests of the bytes that passed describe the file before its repair.
bool PartsPass::rehash_output(JoinFile& output) {
    const bool wanted = !digests_->checks().whole_file.empty() || digests_->shown(DigestKind::crc32) ||
                        digests_->shown(DigestKind::md5);
    if (!wanted) return true;
    PartDigests& digests = digests_->rehash_whole_file();
    if (!output.seek(0)) return false;
    std::vector<std::uint8_t> piece(REHASH_PIECE);
    for (;;) {
        if (job_.flags.stop_requested) return false;
        const std::optional<std::uint32_t> n = output.read(piece.data(), REHASH_PIECE);
        if (!n) return false;
        if (*n == 0) break;
        digests.feed(0, piece.data(), *n);
    }
    digests.finish();
    return true;
}

std::wstring PartsPass::missing_part_text() const {
    return format_text(texts().messages[MSG_MISSING_REBUILDABLE],
                       {missing_parts_.front().name, recovery_set_file_name(recovery_sets_[*missing_set_])});
}

std::wstring PartsPass::too_few_text(const TooFewRecoverySlices& too_few) const {
    const wchar_t* format = counted(texts().verify, VERIFY_TOO_FEW_RECOVERY_SLICES,
                                    VERIFY_TOO_FEW_RECOVERY_SLICES_ONE_HELD, static_cast<std::int64_t>(too_few.held));
    return format_text(
        format, {count_arg(too_few.damaged), recovery_set_file_name(recovery_sets_[too_few.set]), count_arg(too_few.held)});
}

}  // namespace mendlet
