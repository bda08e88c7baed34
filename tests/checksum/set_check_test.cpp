#include "checksum/set_check.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/checksum_values.h"

namespace mendlet {
namespace {

using namespace test_support;

const std::vector<std::wstring> PARTS{L"C:\\In\\movie.avi.001", L"C:\\In\\movie.avi.002", L"C:\\In\\movie.avi.003"};

ChecksumEntry crc(std::wstring name, std::string hex, std::wstring folder = {}) {
    return {std::move(name), DigestKind::crc32, std::move(hex), std::move(folder)};
}

ChecksumFile beside(std::wstring name, std::vector<ChecksumEntry> entries) {
    return {std::move(name), std::move(entries), L"C:\\In"};
}

SetChecks collect(const std::vector<ChecksumFile>& files, const std::vector<std::wstring>& parts = PARTS,
                  const std::set<std::wstring>& existing = {}) {
    SetCheckCollector collector({L"movie.avi"}, parts, [&](const std::wstring& path) { return existing.contains(path); });
    for (const ChecksumFile& file : files) collector.add(file);
    return std::move(collector).finish();
}

// The parts' CRC-32s as a job computed them: CRC_A for every part but those given.
PartDigest crcs(std::map<std::uint32_t, std::string> others = {}) {
    return [others](std::uint32_t part, DigestKind kind) {
        if (kind != DigestKind::crc32) return std::string();
        const auto other = others.find(part);
        return other == others.end() ? CRC_A : other->second;
    };
}

SetFacts facts(std::vector<std::uint32_t> ordinals = {1, 2, 3}) {
    return {ordinals, std::vector<bool>(ordinals.size(), true), [] { return true; }};
}

SetVerdict judge(const SetChecks& checks, const PartDigest& digest, const SetFacts& set_facts = facts()) {
    return judge_set(checks, digest, [](DigestKind) { return MD5_A; }, set_facts);
}

TEST(SetCheckCollector, OutputAndPartsByNameWithoutRegardToCaseEachValueOnce) {
    const SetChecks checks = collect({beside(L"x.md5", {{L"MOVIE.AVI", DigestKind::md5, MD5_A},
                                                         {L"movie.avi", DigestKind::md5, MD5_B},
                                                         {L"movie.avi", DigestKind::md5, MD5_A},
                                                         {L"other.avi", DigestKind::md5, MD5_B}}),
                                      beside(L"x.sfv", {crc(L"Movie.Avi.003", CRC_B), crc(L"movie.avi.004", CRC_B),
                                                        crc(L"movie.avi.00", CRC_B), crc(L"movie.avi", CRC_A)})});
    ASSERT_EQ(checks.whole_file.size(), 2u);
    EXPECT_EQ(checks.whole_file[0].kind, DigestKind::crc32);
    EXPECT_EQ(checks.whole_file[1].kind, DigestKind::md5);
    using Values = std::vector<std::pair<std::string, std::wstring>>;
    EXPECT_EQ(checks.whole_file[1].values, (Values{{MD5_A, L"x.md5"}, {MD5_B, L"x.md5"}}));
    ASSERT_EQ(checks.listings.size(), 1u);
    EXPECT_EQ(checks.listings[0].name, L"x.sfv");
    EXPECT_EQ(checks.listings[0].parts.size(), 1u);
    EXPECT_EQ(checks.part_kinds(2), DigestKinds{DigestKind::crc32});
    EXPECT_FALSE(checks.part_kinds(0).any());
    EXPECT_EQ(checks.whole_file_kinds(), (DigestKinds{DigestKind::crc32, DigestKind::md5}));
}

// Which listing speaks for the set, and what it makes of each part. Each row: the listings
// (by file, the CRC-32 each lists for parts 1 to 3, "" for none, "?" for two values), the
// CRC-32s the parts have, and the verdict.
TEST(SetVerdict, OneListingForTheWholeSet) {
    struct Row {
        const char* what;
        std::vector<std::pair<std::wstring, std::vector<std::string>>> listings;
        std::map<std::uint32_t, std::string> computed;
        std::vector<std::uint32_t> ordinals;
        const wchar_t* chosen;
        std::vector<PartMatch> parts;
        const wchar_t* verified_by;
        bool out_of_order = false;
    };
    using enum PartMatch;
    const std::vector<Row> rows{
        {"every part listed and matching", {{L"a.sfv", {CRC_A, CRC_A, CRC_A}}}, {}, {1, 2, 3}, L"a.sfv",
         {matches, matches, matches}, L"a.sfv"},
        {"two uploads mixed: the listing most parts match judges the others",
         {{L"a.sfv", {CRC_A, CRC_A, CRC_A}}, {L"a (1).sfv", {CRC_B, CRC_B, CRC_B}}}, {{1, CRC_B}}, {1, 2, 3}, L"a.sfv",
         {matches, differs, matches}, L""},
        {"ties go to the first found", {{L"b.sfv", {CRC_B, "", ""}}, {L"a.sfv", {"", CRC_B, ""}}},
         {{0, CRC_B}, {1, CRC_B}}, {1, 2, 3}, L"b.sfv", {matches, unlisted, unlisted}, L""},
        {"a part no listing of it matches is damaged whichever is chosen",
         {{L"a.sfv", {CRC_A, CRC_A, ""}}, {L"b.sfv", {"", "", CRC_B}}}, {}, {1, 2, 3}, L"a.sfv",
         {matches, matches, differs}, L""},
        {"two values for one part prove nothing", {{L"a.sfv", {CRC_A, "?", CRC_A}}}, {}, {1, 2, 3}, L"a.sfv",
         {matches, unproven, matches}, L""},
        {"a part not listed", {{L"a.sfv", {CRC_A, CRC_A, ""}}}, {}, {1, 2, 3}, L"a.sfv", {matches, matches, unlisted},
         L""},
        {"swapped: every part vouched for, out of order", {{L"a.sfv", {CRC_A, CRC_A, CRC_A}}}, {}, {2, 1, 3}, L"a.sfv",
         {matches, matches, matches}, L"", true},
        {"a part twice", {{L"a.sfv", {CRC_A, CRC_A, CRC_A}}}, {}, {1, 2, 2}, L"a.sfv", {matches, matches, matches}, L"",
         true},
        {"rising with a gap is not out of order, nor verified", {{L"a.sfv", {CRC_A, CRC_A, CRC_A}}}, {}, {1, 2, 4},
         L"a.sfv", {matches, matches, matches}, L""},
        {"nothing listed", {}, {}, {1, 2, 3}, nullptr, {unlisted, unlisted, unlisted}, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<ChecksumFile> files;
        for (const auto& [name, values] : row.listings) {
            ChecksumFile file = beside(name, {});
            for (std::size_t part = 0; part < values.size(); ++part) {
                const std::wstring part_name(last_name_component(PARTS[part]));
                if (values[part] == "?") {
                    file.entries.push_back(crc(part_name, CRC_A));
                    file.entries.push_back(crc(part_name, CRC_B));
                } else if (!values[part].empty()) {
                    file.entries.push_back(crc(part_name, values[part]));
                }
            }
            files.push_back(file);
        }
        const SetChecks checks = collect(files);
        const SetVerdict verdict = judge(checks, crcs(row.computed), facts(row.ordinals));
        EXPECT_EQ(verdict.chosen == nullptr ? L"none" : verdict.chosen->name, row.chosen == nullptr ? L"none" : row.chosen);
        EXPECT_EQ(verdict.parts, row.parts);
        EXPECT_EQ(verdict.verified_by, row.verified_by);
        EXPECT_EQ(verdict.out_of_order, row.out_of_order);
    }
}

TEST(SetVerdict, AStrayPartOrTheSameFileTwiceIsNeverVerified) {
    const SetChecks checks = collect({beside(L"a.sfv", {crc(L"movie.avi.001", CRC_A), crc(L"movie.avi.002", CRC_A),
                                                        crc(L"movie.avi.003", CRC_A)})});
    SetFacts stray = facts();
    stray.of_set[2] = false;
    EXPECT_EQ(judge(checks, crcs(), stray).verified_by, L"");
    SetFacts twice = facts();
    twice.distinct = [] { return false; };
    EXPECT_EQ(judge(checks, crcs(), twice).verified_by, L"");
    EXPECT_EQ(judge(checks, crcs(), facts()).verified_by, L"a.sfv");
}

// Whole-file values keep their rule: any one that matches verifies, whatever the parts' order.
TEST(SetVerdict, TheWholeFileMatchingAnyValueVerifies) {
    const SetChecks checks = collect({beside(L"a.md5", {{L"movie.avi", DigestKind::md5, MD5_B}}),
                                      beside(L"b.md5", {{L"movie.avi", DigestKind::md5, MD5_A}})});
    const SetVerdict verdict = judge(checks, crcs(), facts({2, 1, 3}));
    EXPECT_EQ(verdict.verified_by, L"b.md5");
    EXPECT_EQ(verdict.whole_file_failed, nullptr);
    const SetVerdict failed = judge_set(checks, crcs(), [](DigestKind) { return MD5_C; }, facts());
    ASSERT_NE(failed.whole_file_failed, nullptr);
    EXPECT_EQ(failed.whole_file_failed->values.front().second, L"a.md5");
    EXPECT_EQ(failed.verified_by, L"");
}

// CD1\x.001 and CD2\x.001 are two listings; an entry names the file in its folder where that
// exists, else any of its name; a file above the parts only what lies in their folder.
TEST(SetCheckCollector, EachFolderOfAListingIsAListingOfItsOwn) {
    const ChecksumFile cds = beside(L"cds.sfv", {crc(L"movie.avi.001", CRC_A, L"CD1"), crc(L"movie.avi.002", CRC_A, L"CD1"),
                                                 crc(L"movie.avi.001", CRC_B, L"CD2"),
                                                 crc(L"movie.avi.002", CRC_B, L"CD2")});
    const std::vector<std::wstring> flat{L"C:\\In\\movie.avi.001", L"C:\\In\\movie.avi.002"};
    const SetChecks flat_checks = collect({cds}, flat);
    ASSERT_EQ(flat_checks.listings.size(), 2u);
    const SetVerdict mixed = judge(flat_checks, crcs({{1, CRC_B}}), facts({1, 2}));
    EXPECT_EQ(mixed.parts, (std::vector<PartMatch>{PartMatch::matches, PartMatch::differs}));

    // The same listing with the files in their folders: each entry names its own file only.
    const std::vector<std::wstring> in_folders{L"C:\\In\\CD1\\movie.avi.001", L"C:\\In\\CD2\\movie.avi.002"};
    const std::set<std::wstring> existing{L"C:\\In\\CD1\\movie.avi.001", L"C:\\In\\CD1\\movie.avi.002",
                                          L"C:\\In\\CD2\\movie.avi.001", L"C:\\In\\CD2\\movie.avi.002"};
    const SetChecks folder_checks = collect({cds}, in_folders, existing);
    ASSERT_EQ(folder_checks.listings.size(), 2u);
    EXPECT_EQ(folder_checks.listings[0].parts.size(), 1u);
    EXPECT_EQ(folder_checks.listings[1].parts.size(), 1u);
    const SetVerdict verdict = judge(folder_checks, crcs({{1, CRC_B}}), facts({1, 2}));
    EXPECT_EQ(verdict.parts, (std::vector<PartMatch>{PartMatch::matches, PartMatch::unlisted}));
    EXPECT_EQ(verdict.verified_by, L"");

    // Above the parts, a listing counts only for the parts it names in their folder.
    ChecksumFile above{L"cds.sfv", cds.entries, L"C:", true};
    above.entries.push_back(crc(L"movie.avi.002", CRC_C));
    const SetChecks above_checks = collect({above}, {L"C:\\In\\movie.avi.001", L"C:\\In\\movie.avi.002"});
    EXPECT_TRUE(above_checks.listings.empty());
    const SetChecks cd1_checks = collect({above}, {L"C:\\CD1\\movie.avi.001", L"C:\\CD1\\movie.avi.002"});
    ASSERT_EQ(cd1_checks.listings.size(), 1u);
    EXPECT_EQ(judge(cd1_checks, crcs(), facts({1, 2})).verified_by, L"cds.sfv");
}

// The sidecars of the parts are one listing; each part's is the file a message names.
TEST(SetCheckCollector, TheSidecarsOfThePartsAreOneListing) {
    std::vector<ChecksumFile> files;
    for (const std::wstring& path : PARTS) {
        const std::wstring name(last_name_component(path));
        files.push_back({name + L".sfv", {crc(name, CRC_A)}, L"C:\\In", false, true});
    }
    const SetChecks checks = collect(files);
    ASSERT_EQ(checks.listings.size(), 1u);
    const SetVerdict verdict = judge(checks, crcs({{1, CRC_B}}));
    EXPECT_EQ(verdict.first_damaged(), 1u);
    EXPECT_EQ(verdict.file_of(1), L"movie.avi.002.sfv");
}

// Listing many values for one file costs no more than reading them: each is looked up once.
TEST(SetCheckCollector, ManyValuesForOneFileAreCollectedInLinearTime) {
    std::vector<ChecksumFile> files;
    for (int file = 0; file < 8; ++file) {
        ChecksumFile sfv = beside(L"many" + std::to_wstring(file) + L".sfv", {});
        for (int line = 0; line < 20000; ++line) {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08x", file * 20000 + line);
            sfv.entries.push_back(crc(L"movie.avi.001", hex));
            sfv.entries.push_back(crc(L"movie.avi", hex));
        }
        files.push_back(std::move(sfv));
    }
    const SetChecks checks = collect(files);
    ASSERT_EQ(checks.whole_file.size(), 1u);
    EXPECT_EQ(checks.whole_file[0].values.size(), 160000u);
    ASSERT_EQ(checks.listings.size(), 8u);
    EXPECT_TRUE(checks.listings[0].part(0)->values[0].conflicting);
}

// A name is of the first part's set when only its number differs, written as wide; those
// listed that the list lacks are named once each, with the first file that lists them.
TEST(SetParts, PartsOfTheSetDifferInTheirNumberAlone) {
    const wchar_t* const first = L"C:\\In\\Movie.avi.001";
    for (const wchar_t* name : {L"Movie.avi.001", L"MOVIE.AVI.004", L"movie.avi.999"})
        EXPECT_TRUE(is_part_of_set(name, first)) << name;
    for (const wchar_t* name : {L"Movie.avi", L"Movie.avi.0004", L"Movie.avi.04", L"Movie.avi.00a", L"Movie.mkv.002"})
        EXPECT_FALSE(is_part_of_set(name, first)) << name;
    EXPECT_FALSE(is_part_of_set(L"Movie.avi.002", L"C:\\In\\Movie.avi"));

    const std::vector<ChecksumFile> files{
        beside(L"Movie.avi.sfv", {crc(L"movie.avi.001", "00000000"), crc(L"MOVIE.AVI.003", "00000000"),
                                  crc(L"Movie.avi.005", "00000000")}),
        beside(L"Movie.avi.md5", {crc(L"movie.avi.003", "00000000"), crc(L"movie.avi.004", "00000000")})};
    const std::vector<UnlistedPart> unlisted = parts_not_in_list(files, {first, L"C:\\In\\Movie.avi.002"});
    ASSERT_EQ(unlisted.size(), 3u);
    EXPECT_EQ(unlisted[0].name, L"MOVIE.AVI.003");
    EXPECT_EQ(unlisted[0].checksum_file, L"Movie.avi.sfv");
    EXPECT_EQ(unlisted[1].name, L"Movie.avi.005");
    EXPECT_EQ(unlisted[2].name, L"movie.avi.004");
    EXPECT_EQ(unlisted[2].checksum_file, L"Movie.avi.md5");
    EXPECT_EQ(
        parts_not_in_list(files, {first, L"D:\\Other\\movie.avi.003", L"x\\Movie.avi.004", L"Movie.avi.005"}).size(),
        0u);
}

}  // namespace
}  // namespace mendlet
