// Real recovery sets, made by Debian's par2 in a temporary folder over parts the test
// writes, then damaged as downloads are.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "recovery/par2_names.h"
#include "recovery/recovery_set.h"
#include "recovery/slice_check.h"
#include "support/par2_folder.h"
#include "support/par2_packets.h"
#include "support/stream_file.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

namespace fs = std::filesystem;
using namespace test_support;

constexpr std::size_t CHUNK = 64 * 1024;

const std::vector<std::string> PARTS{"v.bin.001", "v.bin.002", "v.bin.003"};
const std::vector<Bytes> PART_BYTES{random_bytes(40000, 11), random_bytes(40000, 12), random_bytes(17000, 13)};

Bytes whole_file() { return PART_BYTES[0] + PART_BYTES[1] + PART_BYTES[2]; }

// What a join reads for a file of the set: the file of that name, or for the joined file
// ("v.bin") the parts in order; every piece in 64 KiB chunks.
SliceTally tally(const Par2Folder& folder, const RecoverySet& set, const SetFile& file) {
    std::vector<Bytes> pieces;
    if (fs::exists(folder.path() / file.name)) pieces.push_back(folder.read(file.name));
    else if (file.name == L"v.bin")
        for (const std::string& part : PARTS) pieces.push_back(folder.read(part));
    if (pieces.empty()) return missing_file_tally(file, set.slice_size);
    SliceChecker checker(file, set.slice_size);
    for (const Bytes& bytes : pieces)
        for (std::size_t at = 0; at < bytes.size(); at += CHUNK)
            checker.update(bytes.data() + at, std::min(CHUNK, bytes.size() - at));
    return checker.finish();
}

// The recovery slices whose packet's MD5 holds over what lies where the set locates them:
// all but those damaged.
std::size_t intact_recovery_slices(const Par2Folder& folder, const RecoverySet& set) {
    std::size_t intact = 0;
    for (const RecoverySlice& slice : set.recovery_slices) {
        const Bytes volume = folder.read(set.read_from[slice.volume]);
        if (slice.data_offset + set.slice_size > volume.size()) continue;
        Bytes hashed;
        put(hashed, set.id);
        put(hashed, RECOVERY_TYPE);
        put_u32(hashed, slice.exponent);
        hashed.insert(hashed.end(), volume.begin() + static_cast<std::ptrdiff_t>(slice.data_offset),
                      volume.begin() + static_cast<std::ptrdiff_t>(slice.data_offset + set.slice_size));
        if (md5_of(hashed) == slice.packet_hash) ++intact;
    }
    return intact;
}

// Each row: how the set is made over the parts (or over the whole file they join to), what
// befalls the files after, which PAR 2.0 files are read (the rule of par2_names.h, unless
// the row says), and then: the damaged slices counted for each file of the set that names
// the parts or the joined file, the recovery slices located and those intact there, the
// sets in all *.par2 files.
TEST(RealRecoverySets, DamagedSlicesCountedAsADownloadLeavesThem) {
    ASSERT_EQ(std::system("par2 -V >/dev/null 2>&1"), 0) << "Debian's par2 is missing: scripts/setup.sh installs it";
    const std::string over_parts = "-s4096 -c4 -n2 v.bin.par2 v.bin.001 v.bin.002 v.bin.003";
    const auto flip_part_2 = [](const Par2Folder& folder) {
        folder.write("v.bin.002", flipped(flipped(PART_BYTES[1], 5000), 30000));
    };
    struct Row {
        const char* what;
        std::function<void(const Par2Folder&)> make;
        std::function<void(const Par2Folder&)> befall;
        std::vector<std::wstring> read;
        std::map<std::wstring, SliceTally> tallies;
        std::size_t recovery_slices;
        std::size_t intact;
        std::size_t sets_in_all;
    };
    const auto make_over_parts = [&](const Par2Folder& folder) { folder.par2_create(over_parts); };
    const std::map<std::wstring, SliceTally> all_good{
        {L"v.bin.001", {10, 0, true}}, {L"v.bin.002", {10, 0, true}}, {L"v.bin.003", {5, 0, true}}};
    const std::vector<Row> rows{
        {"all good", make_over_parts, [](const Par2Folder&) {}, {}, all_good, 4, 4, 1},
        {"one part damaged in two slices", make_over_parts, flip_part_2, {},
         {{L"v.bin.001", {10, 0, true}}, {L"v.bin.002", {10, 2, true}}, {L"v.bin.003", {5, 0, true}}}, 4, 4, 1},
        {"a part cut inside its third slice", make_over_parts,
         [](const Par2Folder& folder) { folder.write("v.bin.003", cut(PART_BYTES[2], 10000)); }, {},
         {{L"v.bin.001", {10, 0, true}}, {L"v.bin.002", {10, 0, true}}, {L"v.bin.003", {5, 3, true}}}, 4, 4, 1},
        {"a part missing", make_over_parts, [](const Par2Folder& folder) { fs::remove(folder.path() / "v.bin.001"); }, {},
         {{L"v.bin.001", {10, 10, true}}, {L"v.bin.002", {10, 0, true}}, {L"v.bin.003", {5, 0, true}}}, 4, 4, 1},
        {"a volume file alone, its first packet's magic and a recovery slice's data damaged",
         [](const Par2Folder& folder) { folder.par2_create("-s4096 -c4 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003"); },
         [](const Par2Folder& folder) {
             Bytes volume = folder.read("v.bin.vol0+4.par2");
             const auto second_slice = std::search(volume.begin() + 64, volume.end(), RECOVERY_TYPE.begin(), RECOVERY_TYPE.end());
             folder.write("v.bin.vol0+4.par2", flipped(flipped(volume, 2), static_cast<std::size_t>(second_slice - volume.begin()) + 100));
         },
         {L"v.bin.vol0+4.par2"}, all_good, 3, 2, 1},
        {"a set over the whole file, the parts joined to it damaged",
         [](const Par2Folder& folder) {
             folder.write("v.bin", whole_file());
             folder.par2_create("-s4096 -c2 -n1 v.bin.par2 v.bin");
             fs::remove(folder.path() / "v.bin");
         },
         flip_part_2, {}, {{L"v.bin", {24, 2, true}}}, 2, 2, 1},
        {"a set of another download beside it",
         [&](const Par2Folder& folder) {
             folder.par2_create(over_parts);
             folder.write("w.bin.001", random_bytes(5000, 21));
             folder.par2_create("-s4096 -c1 -n1 w.bin.par2 w.bin.001");
         },
         [](const Par2Folder&) {}, {}, all_good, 4, 4, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Par2Folder folder;
        for (std::size_t i = 0; i < PARTS.size(); ++i) folder.write(PARTS[i], PART_BYTES[i]);
        row.make(folder);
        row.befall(folder);
        std::vector<std::wstring> subjects{L"v.bin"};
        for (const std::string& part : PARTS) subjects.emplace_back(part.begin(), part.end());
        const std::vector<std::wstring> read = row.read.empty() ? par2_files_to_read(folder.listing(), subjects) : row.read;
        StreamFolder disk(folder.path());
        const std::vector<RecoverySet> sets = read_recovery_sets(disk, read);
        ASSERT_EQ(sets.size(), 1u);
        const RecoverySet& set = sets[0];
        EXPECT_EQ(set.read_from, read);
        EXPECT_EQ(set.slice_size, 4096u);
        std::map<std::wstring, SliceTally> tallies;
        for (const SetFile& file : set.files) {
            tallies[file.name] = tally(folder, set, file);
            const Bytes bytes = file.name == L"v.bin" ? whole_file() : PART_BYTES[file.name.back() - L'1'];
            EXPECT_TRUE(file.described && file.recoverable && file.folder.empty()) << file.name;
            EXPECT_EQ(file.length, bytes.size()) << file.name;
            EXPECT_EQ(file.md5, md5_of(bytes)) << file.name;
            EXPECT_EQ(file.md5_16k, md5_of(bytes.data(), 16384)) << file.name;
        }
        EXPECT_EQ(tallies, row.tallies);
        EXPECT_EQ(set.recovery_slices.size(), row.recovery_slices);
        EXPECT_EQ(intact_recovery_slices(folder, set), row.intact);
        std::vector<std::wstring> all_par2;
        for (const std::wstring& name : folder.listing())
            if (par2_set_name(name)) all_par2.push_back(name);
        EXPECT_EQ(read_recovery_sets(disk, all_par2).size(), row.sets_in_all);
    }
}

}  // namespace
}  // namespace mendlet
