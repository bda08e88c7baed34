#include "recovery/recovery_set.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "recovery/par2_names.h"
#include "recovery/recovery_slices.h"
#include "support/par2_packets.h"
#include "support/test_data.h"

namespace mendlet {
namespace {

using namespace test_support;
using Sets = std::vector<RecoverySet>;

// A file in memory that fails the test on a read beyond its end and counts what is read.
class CountingFile : public MemoryFile {
public:
    CountingFile(Bytes bytes, std::uint64_t& bytes_read) : MemoryFile(std::move(bytes)), bytes_read_(bytes_read) {}
    std::size_t read_at(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
        EXPECT_LE(offset + length, size()) << "read beyond the file";
        bytes_read_ += length;
        return MemoryFile::read_at(offset, buffer, length);
    }

private:
    std::uint64_t& bytes_read_;
};

class MemoryFolder : public RecoveryFolder {
public:
    explicit MemoryFolder(std::map<std::wstring, Bytes> files) : files_(std::move(files)) {}
    std::unique_ptr<ReadableFile> open(const std::wstring& name) override {
        const auto found = files_.find(name);
        if (found == files_.end()) return nullptr;
        return std::make_unique<CountingFile>(found->second, bytes_read_[name]);
    }
    std::uint64_t bytes_read(const std::wstring& name) { return bytes_read_[name]; }

private:
    std::map<std::wstring, Bytes> files_;
    std::map<std::wstring, std::uint64_t> bytes_read_;
};

// Files read in this order.
using Files = std::vector<std::pair<std::wstring, Bytes>>;

Sets read(const Files& files) {
    std::vector<std::wstring> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    MemoryFolder folder({files.begin(), files.end()});
    return read_recovery_sets(folder, names);
}

const HandMadeSet A(8, {{"a.001", random_bytes(20, 1)}, {"sub/b.002", random_bytes(9, 2)}, {"c.txt", {}}}, 2);
const HandMadeSet B(16, {{"other.bin", random_bytes(40, 3)}}, 1);
const HandMadeSet C(4, {{"CD1/sub\\x.bin", {1}}, {"\xc3\xa4.bin", {2}}, {"\xe4.bin", {3}}, {std::string("n.bin\0x", 7), {4}}},
                    4);

// Where the set's file i stands in the main packet's order.
std::size_t in_main(const HandMadeSet& set, std::size_t i) {
    const std::vector<SetFile> files = set.expected_files();
    return static_cast<std::size_t>(
        std::find_if(files.begin(), files.end(), [&](const SetFile& f) { return f.id == set.file_id(i); }) -
        files.begin());
}

RecoverySet a_set(const std::function<void(RecoverySet&)>& change = {}, std::vector<std::wstring> read_from = {L"a.par2"}) {
    RecoverySet set = A.expected(std::move(read_from));
    if (change) change(set);
    return set;
}

// A's first file as it is without its description packet, or without its slice checksums.
void undescribed(RecoverySet& set) {
    SetFile& file = set.files[in_main(A, 0)];
    file = SetFile{file.id, false, {}, {}, 0, {}, {}, {}, file.recoverable};
}
void unchecked(RecoverySet& set) { set.files[in_main(A, 0)].slices.clear(); }

Bytes a_main_with(std::uint64_t slice_size, std::uint32_t recoverable, const Bytes& more = {}) {
    Bytes body = A.main_body();
    body = with_u64_at(body, 0, slice_size);
    for (int i = 0; i < 4; ++i) body[8 + i] = static_cast<std::uint8_t>(recoverable >> (8 * i));
    return par2_packet(A.id(), MAIN_TYPE, body + more);
}

Md5Digest hash_of(const Bytes& packet) {
    Md5Digest hash;
    std::copy(packet.begin() + 16, packet.begin() + 32, hash.begin());
    return hash;
}

// Each row: the PAR 2.0 files, read in this order, and the sets they give. No row reads a
// byte beyond a file.
TEST(RecoverySets, PacketsByMagicAndMd5OfTheirOwnSetOnly) {
    const Bytes desc0 = A.description(0);
    const Bytes rest = A.description(1) + A.checksums(0) + A.checksums(1) + A.description(2) + A.creator();
    const Bytes rest_without_checksums0 = A.description(1) + A.checksums(1) + A.description(2);
    const Bytes garbage{'P', 'A', 'R', '2', 0, 'P', 'K', 0, 1, 2, 3};
    const std::size_t length_field = 8;
    // A description of A's first file under B's set ID, with another name.
    const Bytes b_description = par2_packet(B.id(), DESCRIPTION_TYPE, cut(A.description_body(0), 56) + Bytes{'x', 0, 0, 0});
    const Bytes short_checksums = par2_packet(A.id(), CHECKSUMS_TYPE, cut(A.checksums_body(0), 16 + 20 * 2));
    const Bytes huge_length = par2_packet(A.id(), DESCRIPTION_TYPE, with_u64_at(A.description_body(0), 48, 1ull << 62));
    // Valid, but its name's zeros make it longer than a body is read.
    const Bytes too_long = par2_packet(A.id(), DESCRIPTION_TYPE, A.description_body(0) + Bytes(PACKET_BODY_LIMIT, 0));
    const Bytes recovery0 = A.recovery(0), recovery1 = A.recovery(1), recovery2 = A.recovery(2);
    // Bytes lost from its data: its length now reaches into the next packet.
    const Bytes lying_recovery = cut(A.recovery(3), recovery0.size() - 4);
    const Bytes wrong_size_recovery = par2_packet(A.id(), RECOVERY_TYPE, Bytes(4 + 12, 7));
    struct Row {
        const char* what;
        Files files;
        Sets sets;
    };
    const std::vector<Row> rows{
        {"every packet once, the main packet last", {{L"a.par2", desc0 + rest + A.main()}}, {a_set()}},
        {"garbage before, between and after the packets",
         {{L"a.par2", garbage + A.main() + garbage + garbage + desc0 + Bytes(13, 0) + rest + garbage}}, {a_set()}},
        {"a damaged packet among good ones", {{L"a.par2", A.main() + flipped(desc0, 100) + rest}}, {a_set(undescribed)}},
        {"a damaged magic", {{L"a.par2", A.main() + flipped(desc0, 3) + rest}}, {a_set(undescribed)}},
        {"a length beyond the file", {{L"a.par2", A.main() + with_u64_at(desc0, length_field, 1ull << 63) + rest}},
         {a_set(undescribed)}},
        {"a length not a multiple of 4",
         {{L"a.par2", A.main() + with_u64_at(desc0, length_field, desc0.size() + 2) + rest}}, {a_set(undescribed)}},
        {"a length shorter than a header", {{L"a.par2", A.main() + with_u64_at(desc0, length_field, 32) + rest}},
         {a_set(undescribed)}},
        {"a body longer than is read", {{L"a.par2", A.main() + too_long + rest}}, {a_set(undescribed)}},
        {"a file cut inside its last packet",
         {{L"a.par2", A.main() + desc0 + rest_without_checksums0 + cut(A.checksums(0), 70)}}, {a_set(unchecked)}},
        {"a file the main packet lists without its description", {{L"a.par2", A.main() + rest}}, {a_set(undescribed)}},
        {"slice checksums fewer than the length gives",
         {{L"a.par2", A.main() + desc0 + short_checksums + rest}}, {a_set(unchecked)}},
        {"a length of 2^62 bytes, whose slices no packet can hold",
         {{L"a.par2", A.main() + huge_length + rest}},
         {a_set([](RecoverySet& set) {
             unchecked(set);
             set.files[in_main(A, 0)].length = 1ull << 62;
         })}},
        {"packets of another set without its main packet do not mix in",
         {{L"a.par2", b_description + B.checksums(0) + A.main() + desc0 + rest}}, {a_set()}},
        {"two sets kept apart, in the order of their main packets",
         {{L"b.par2", B.index()}, {L"a.par2", A.index()}, {L"c.par2", B.index()}},
         {B.expected({L"b.par2", L"c.par2"}), a_set()}},
        {"main packets: slice size 0, not a multiple of 4, too large; more recoverable files than IDs; IDs cut",
         {{L"a.par2", a_main_with(0, 2) + a_main_with(6, 2) + a_main_with(SLICE_SIZE_LIMIT + 4, 2) +
                          a_main_with(8, 4) + a_main_with(8, 2, Bytes(8, 1)) + desc0 + rest}},
         {}},
        {"names: folders either way, UTF-8, else Latin-1, up to a NUL",
         {{L"c.par2", C.index()}},
         {[] {
             RecoverySet set = C.expected({L"c.par2"});
             set.files[in_main(C, 1)].name = L"\u00e4.bin";
             set.files[in_main(C, 2)].name = L"\u00e4.bin";
             set.files[in_main(C, 3)].name = L"n.bin";
             return set;
         }()}},
        {"recovery slices: located, not counted with another size, dropped where another packet starts inside",
         {{L"x.par2", A.index()},
          {L"x.vol0+1.par2", recovery0 + A.index()},
          {L"x.vol1+2.par2", recovery1 + wrong_size_recovery + recovery2 + A.index()},
          {L"x.vol3+1.par2", lying_recovery + A.index()}},
         {a_set(
             [&](RecoverySet& set) {
                 set.recovery_slices = {{1, 68, 0, hash_of(recovery0)},
                                        {2, 68, 1, hash_of(recovery1)},
                                        {2, recovery1.size() + wrong_size_recovery.size() + 68, 2, hash_of(recovery2)}};
             },
             {L"x.par2", L"x.vol0+1.par2", L"x.vol1+2.par2", L"x.vol3+1.par2"})}},
    };
    for (const Row& row : rows) EXPECT_EQ(read(row.files), row.sets) << row.what;
}

// Recovery slices are located by their headers alone, and a file whose headers send the
// reader back and forth (each claims the rest of the file, none is whole) is read at most
// 4 times its size plus 1 MiB.
TEST(RecoverySets, ReadingIsBoundedByWhatTheFilesHold) {
    const HandMadeSet set(1 << 16, {{"d.bin", random_bytes(200000, 5)}}, 1);
    Bytes volume;
    for (std::uint32_t exponent = 0; exponent < 10; ++exponent) put(volume, set.recovery(exponent));
    put(volume, set.index());
    Bytes nested;
    for (std::size_t i = 0; i < 4000; ++i) put(nested, par2_packet(set.id(), MAIN_TYPE, Bytes(0)));
    for (std::size_t at = 0; at < nested.size(); at += 64) nested = with_u64_at(nested, at + 8, nested.size() - at);

    MemoryFolder folder({{L"d.vol0+10.par2", volume}, {L"nested.par2", nested}});
    const Sets sets = read_recovery_sets(folder, {L"nested.par2", L"d.vol0+10.par2"});
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].recovery_slices.size(), 10u);
    EXPECT_LT(folder.bytes_read(L"d.vol0+10.par2"), set.index().size() + 10 * 200);
    EXPECT_LE(folder.bytes_read(L"nested.par2"), 4 * nested.size() + (1u << 20));
}

TEST(Par2Names, SetNamesAndTheFilesRead) {
    const std::vector<std::pair<std::wstring, std::optional<std::wstring>>> names{
        {L"v.bin.par2", L"v.bin"},           {L"v.bin.vol000+01.par2", L"v.bin"}, {L"V.BIN.VOL1-2.PAR2", L"V.BIN"},
        {L"v.bin.vol+1.par2", L"v.bin.vol+1"}, {L"v.bin.vol1+.par2", L"v.bin.vol1+"}, {L"v.vol1+2x.par2", L"v.vol1+2x"},
        {L"v.bin.par2.txt", std::nullopt},   {L"par2", std::nullopt},             {L"v.bin.pa2", std::nullopt},
    };
    for (const auto& [name, set] : names) EXPECT_EQ(par2_set_name(name), set) << name;

    const std::vector<std::wstring> listing{L"v.bin.001",     L"w.bin.par2",          L"v.bin.par2",
                                            L"x.par2.txt",    L"V.BIN.vol1+2.PAR2",   L"v.bin.001.vol0+1.par2"};
    EXPECT_EQ(par2_files_to_read(listing, {L"v.bin", L"v.bin.001"}),
              (std::vector<std::wstring>{L"v.bin.par2", L"V.BIN.vol1+2.PAR2", L"v.bin.001.vol0+1.par2"}));
    EXPECT_EQ(par2_files_to_read(listing, {L"z.bin"}),
              (std::vector<std::wstring>{L"w.bin.par2", L"v.bin.par2", L"V.BIN.vol1+2.PAR2", L"v.bin.001.vol0+1.par2"}));
    std::vector<std::wstring> many;
    for (int i = 0; i < 70; ++i) many.push_back(L"s" + std::to_wstring(i) + L".par2");
    EXPECT_EQ(par2_files_to_read(many, {L"z.bin"}), std::vector<std::wstring>(many.begin(), many.begin() + 64));

    // A file named after the download that gives no set is told apart; one of another name,
    // read only because none is named after it, is not.
    MemoryFolder folder(
        {{L"v.bin.par2", A.index()}, {L"v.bin.vol0+1.par2", random_bytes(100, 6)}, {L"w.par2", random_bytes(100, 7)}});
    const RecoveryFiles named =
        read_recovery_files(folder, {L"v.bin.par2", L"v.bin.vol0+1.par2", L"w.par2"}, {L"v.bin"});
    EXPECT_EQ(named.sets.size(), 1u);
    EXPECT_EQ(named.without_set, std::vector<std::wstring>{L"v.bin.vol0+1.par2"});
    const RecoveryFiles others = read_recovery_files(folder, {L"w.par2"}, {L"v.bin"});
    EXPECT_TRUE(others.sets.empty());
    EXPECT_TRUE(others.without_set.empty());
}

// A repair takes each exponent once, from a copy whose packet's MD5 holds over its data:
// a damaged copy gives way to the next one, and a slice is read where the set locates it.
TEST(RecoverySlices, OnlyIntactSlicesOfDistinctExponentsAreOffered) {
    const Bytes one = A.recovery(1);
    const Bytes volume = A.recovery(0) + flipped(one, one.size() - 1) + one + A.recovery(0) + A.recovery(2);
    MemoryFolder folder({{L"a.par2", A.index()}, {L"a.vol0+4.par2", volume}});
    const Sets sets = read_recovery_sets(folder, {L"a.par2", L"a.vol0+4.par2"});
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_EQ(sets[0].recovery_slices.size(), 5u);
    RecoverySlices slices(sets[0], folder);
    EXPECT_EQ(slices.offer(2, [] { return false; }), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(slices.offer(9, [] { return false; }), (std::vector<std::uint32_t>{0, 1, 2}));
    Bytes read(8);
    ASSERT_TRUE(slices.read(1, 0, read.data(), read.size()));
    EXPECT_EQ(read, Bytes(one.end() - 8, one.end()));

    RecoverySlices stopped(sets[0], folder);
    EXPECT_TRUE(stopped.offer(3, [] { return true; }).empty());
}

}  // namespace
}  // namespace mendlet
