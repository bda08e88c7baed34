#include "join/join_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/part_list.h"
#include "core/text_encoding.h"
#include "join/copy_pipeline.h"
#include "join/part_check.h"
#include "checksum/checksum_file.h"
#include "join/temporary_output.h"
#include "lang/text_table.h"
#include "settings/settings.h"
#include "support/digest_texts.h"
#include "support/faulty_join_files.h"
#include "support/par2_folder.h"
#include "support/par2_packets.h"
#include "support/recording_join_window.h"
#include "support/test_data.h"
#include "support/test_disk.h"

namespace mendlet {
namespace {

using test_support::blake2b_text;
using test_support::cut;
using test_support::operator+;
using test_support::blake3_text;
using test_support::crc_text;
using test_support::FaultyJoinFiles;
using test_support::md5_text;
using test_support::random_bytes;
using test_support::RecordingJoinWindow;
using test_support::sha1_text;
using test_support::sha256_text;
using test_support::sha512_text;
using test_support::TestDisk;
using Bytes = std::vector<std::uint8_t>;

Bytes prefix(const Bytes& bytes, std::size_t size) { return Bytes(bytes.begin(), bytes.begin() + size); }

Bytes text(const std::string& characters) { return Bytes(characters.begin(), characters.end()); }

class JoinWorkerTest : public ::testing::Test {
protected:
    JoinWorkerTest() {
        window.inputs.output_path = disk->path(L"joined.bin");
        window.flags = &flags;
        files.watched_io = &flags.file_io;
    }

    // Writes stem.001, stem.002, ... with the given sizes, lists them in that order and
    // returns all their bytes joined.
    Bytes add_parts(const std::wstring& stem, std::initializer_list<std::size_t> sizes, std::uint64_t seed = 1) {
        Bytes joined;
        for (const std::size_t size : sizes) {
            const Bytes bytes = random_bytes(size, seed++);
            wchar_t extension[8];
            swprintf(extension, 8, L".%03u", list.count() + 1);
            const std::wstring path = disk->write(stem + extension, bytes);
            list.add_part(NO_POSITION, false, path, size, STATUS_OK, false);
            joined.insert(joined.end(), bytes.begin(), bytes.end());
        }
        return joined;
    }

    Bytes file(const std::wstring& path) const { return disk->read(path).value_or(Bytes{}); }
    Bytes output() const { return file(window.inputs.output_path); }
    bool join() { return run_join(job); }
    void check() { run_check(job); }

    void expect_failure(std::size_t message) const {
        ASSERT_EQ(window.statuses.size(), 1u);
        EXPECT_EQ(window.statuses[0].text, texts.messages[message]);
        EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
        EXPECT_TRUE(window.statuses[0].timed);
        EXPECT_EQ(window.digest_calls, 0);
    }

    // The output's name shows what it showed before the job, and no unfinished file is left.
    void expect_output_as_before(const std::optional<Bytes>& before) const {
        EXPECT_EQ(disk->read(window.inputs.output_path), before);
        EXPECT_FALSE(disk->read(temporary_output_path(window.inputs.output_path)).has_value());
    }

    void expect_statuses(std::initializer_list<std::int32_t> statuses) const {
        std::vector<std::int32_t> actual;
        for (const PartEntry& entry : list) actual.push_back(entry.status);
        EXPECT_EQ(actual, std::vector<std::int32_t>(statuses));
    }

    std::unique_ptr<TestDisk> disk = test_support::make_test_disk();
    FaultyJoinFiles files{disk->files()};
    PartList list;
    Settings settings;
    TextTable texts;
    RecordingJoinWindow window;
    JoinFlags flags;
    JoinContext job{list, settings, texts, window, files, flags};
};

void expect_progress_rising_to_1000(const std::vector<std::uint32_t>& progress) {
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end(), std::less_equal<>()));
    EXPECT_GT(progress.front(), 0u);
    EXPECT_EQ(progress.back(), 1000u);
    EXPECT_LE(progress.size(), 1000u);
}

TEST_F(JoinWorkerTest, NormalAndAppendModeBuildTheSameFileWithTheSameDigests) {
    window.choices.remove_all_after_join = false;
    window.inputs.crc32_checked = true;
    window.inputs.md5_checked = true;
    const Bytes joined = add_parts(L"a.bin", {200003, 200003, 0, 3 * 65536 + 5, 1});

    EXPECT_FALSE(join());
    EXPECT_EQ(output(), joined);
    EXPECT_EQ(window.crc32, crc_text(joined));
    EXPECT_EQ(window.md5, md5_text(joined));
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, texts.messages[6]);
    EXPECT_EQ(window.statuses[0].colour, COLOUR_INFO);
    EXPECT_FALSE(window.statuses[0].timed);  // stays until the list changes
    expect_progress_rising_to_1000(window.progress);
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(files.flushes, 0);  // nothing to replace or delete: the system stores it in its own time

    RecordingJoinWindow append_window;
    append_window.inputs = window.inputs;
    append_window.inputs.append_to_first = true;
    JoinContext append_job{list, settings, texts, append_window, files, flags};
    EXPECT_FALSE(run_join(append_job));
    EXPECT_EQ(file(list.first()->path), joined);
    EXPECT_EQ(append_window.crc32, window.crc32);
    EXPECT_EQ(append_window.md5, window.md5);
    expect_progress_rising_to_1000(append_window.progress);
}

TEST_F(JoinWorkerTest, DigestsStayRightWhenTheBufferRingWrapsAround) {
    window.inputs.crc32_checked = true;
    window.inputs.md5_checked = true;
    const Bytes joined = add_parts(L"a.bin", {PIPELINE_MEMORY + 100, PIPELINE_MEMORY / 2 + 12345});

    EXPECT_FALSE(join());
    EXPECT_EQ(output(), joined);
    EXPECT_EQ(window.crc32, crc_text(joined));
    EXPECT_EQ(window.md5, md5_text(joined));
}

TEST_F(JoinWorkerTest, AppendModeReadsTheFirstPartOnlyForDigests) {
    const Bytes joined = add_parts(L"a.bin", {70000, 500});
    window.inputs.append_to_first = true;
    files.failing_read_path = list.first()->path;  // any read of it fails

    EXPECT_FALSE(join());
    EXPECT_EQ(file(list.first()->path), joined);
    expect_statuses({STATUS_OK, STATUS_OK});

    // With a digest the first part must be read: an unreadable one fails the job untouched.
    list.clear_parts();
    const Bytes second = add_parts(L"b.bin", {70000, 500}, 7);
    files.failing_read_path = list.first()->path;
    window.statuses.clear();
    window.inputs.md5_checked = true;
    EXPECT_FALSE(join());
    expect_failure(10);
    expect_statuses({STATUS_CANNOT_READ, STATUS_OK});
    EXPECT_EQ(file(list.first()->path), prefix(second, 70000));
}

TEST_F(JoinWorkerTest, EmptyPartsGiveAnEmptyFileAndTheDigestsOfNothing) {
    window.inputs.crc32_checked = true;
    window.inputs.md5_checked = true;
    add_parts(L"a.bin", {0, 0, 0});

    EXPECT_FALSE(join());
    ASSERT_TRUE(disk->read(window.inputs.output_path).has_value());
    EXPECT_TRUE(output().empty());
    EXPECT_TRUE(window.progress.empty());
    EXPECT_EQ(window.crc32, "00000000");
    EXPECT_EQ(window.md5, "d41d8cd98f00b204e9800998ecf8427e");
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, texts.messages[6]);
    EXPECT_TRUE(window.statuses[0].timed);  // the list is emptied, so the message falls back
}

TEST_F(JoinWorkerTest, APartGoneSinceListingStopsTheJobThere) {
    window.choices = {true, true, true, true};
    window.inputs.crc32_checked = true;
    const Bytes joined = add_parts(L"a.bin", {1000, 2000, 3000, 4000});
    disk->remove(list.at(2)->path);

    EXPECT_FALSE(join());
    expect_failure(10);
    expect_statuses({STATUS_OK, STATUS_OK, STATUS_CANNOT_READ, STATUS_OK});
    EXPECT_EQ(list.at(2)->category, 2);
    expect_output_as_before(std::nullopt);
    EXPECT_TRUE(window.opened_folders.empty());
    EXPECT_TRUE(disk->read(list.at(0)->path).has_value());  // nothing deleted
    EXPECT_EQ(list.count(), 4u);
}

TEST_F(JoinWorkerTest, AReadFailingPartWayFailsTheJobAndCutsAnAppendBack) {
    window.choices = {true, true, true, true};
    const Bytes joined = add_parts(L"a.bin", {100000, 300000, 1000});
    files.failing_read_path = list.at(1)->path;
    files.fail_read_after = 2 * JOIN_CHUNK_SIZE;

    EXPECT_FALSE(join());
    expect_failure(10);
    expect_statuses({STATUS_OK, STATUS_CANNOT_READ, STATUS_OK});
    expect_output_as_before(std::nullopt);
    EXPECT_TRUE(window.opened_files.empty());
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());

    const Bytes first = file(list.first()->path);
    window.statuses.clear();
    window.inputs.append_to_first = true;
    EXPECT_FALSE(join());
    expect_failure(10);
    EXPECT_EQ(file(list.first()->path), first);

    // A check marks the part and reads on: the third part is read to its end.
    window.statuses.clear();
    list.at(1)->set_status(STATUS_OK);
    check();
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"Parts checked: 1 of 3 cannot be read!");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    expect_statuses({STATUS_OK, STATUS_CANNOT_READ, STATUS_OK});
    EXPECT_EQ(window.progress.back(), progress_permille(100000 + 2 * JOIN_CHUNK_SIZE + 1000, 401000));
}

// Also over an old output the user agreed to replace: it stays whole.
TEST_F(JoinWorkerTest, AFailedWriteFailsTheJobAndCutsAnAppendBack) {
    add_parts(L"a.bin", {3 * PIPELINE_SLOT_SIZE, 2 * PIPELINE_SLOT_SIZE + 5000});
    const Bytes old = random_bytes(7000, 98);
    disk->write(L"joined.bin", old);
    files.fail_write_after = PIPELINE_SLOT_SIZE;

    EXPECT_FALSE(join());
    EXPECT_EQ(window.questions.size(), 1u);
    expect_failure(12);
    expect_statuses({STATUS_OK, STATUS_OK});
    expect_output_as_before(old);

    const Bytes first = file(list.first()->path);
    files.fail_write_after = 2 * PIPELINE_SLOT_SIZE;  // counts all writes, the earlier ones too
    window.statuses.clear();
    window.inputs.append_to_first = true;
    window.inputs.crc32_checked = true;
    EXPECT_FALSE(join());
    expect_failure(12);
    EXPECT_EQ(file(list.first()->path), first);

    // The system could not store what it was given: a flush before the old output is
    // replaced or the parts deleted, or the close (a share reports its write-behind there).
    files.fail_write_after.reset();
    window.choices = {false, false, true, false};
    for (const bool append : {false, true}) {
        for (const bool close_fails : {false, true}) {
            window.statuses.clear();
            window.inputs.append_to_first = append;
            files.flush_fails = !close_fails;
            files.close_fails = close_fails;
            EXPECT_FALSE(join());
            expect_failure(12);
            EXPECT_EQ(file(list.first()->path), first);
            expect_output_as_before(old);
            for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());
        }
    }
}

TEST_F(JoinWorkerTest, StopLeavesTheOutputAsItWasAndCutsAnAppendBack) {
    window.choices = {true, true, true, true};
    window.inputs.crc32_checked = true;
    window.inputs.md5_checked = true;
    add_parts(L"a.bin", {40 * JOIN_CHUNK_SIZE, 40 * JOIN_CHUNK_SIZE});
    window.on_progress = [&](std::uint32_t permille) {
        if (permille >= 300) flags.stop_requested = true;
    };

    EXPECT_FALSE(join());
    EXPECT_TRUE(window.statuses.empty());
    EXPECT_EQ(window.digest_calls, 0);
    EXPECT_TRUE(window.opened_folders.empty());
    expect_output_as_before(std::nullopt);
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());

    const Bytes old = random_bytes(9000, 97);
    disk->write(L"joined.bin", old);
    flags.stop_requested = false;
    EXPECT_FALSE(join());
    expect_output_as_before(old);

    const Bytes first = file(list.first()->path);
    flags.stop_requested = false;
    window.inputs.append_to_first = true;
    EXPECT_FALSE(join());
    EXPECT_TRUE(window.statuses.empty());
    EXPECT_EQ(file(list.first()->path), first);

    // An unfinished file that cannot be deleted (an indexer holds it) is named, to be
    // deleted by hand; it may be gigabytes.
    flags.stop_requested = false;
    window.inputs.append_to_first = false;
    files.delete_fails = true;
    EXPECT_FALSE(join());
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"The unfinished file \"" + temporary_output_path(window.inputs.output_path) +
                                           L"\" could not be deleted.");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    EXPECT_FALSE(window.statuses[0].timed);
    // An exit cancels only what the worker reads and writes, never its clean-up.
    EXPECT_EQ(files.uncancellable_reads_and_writes, 0);
    EXPECT_EQ(files.cancellable_clean_ups, 0);
    EXPECT_GT(files.clean_ups, 0);

    // A stopped check says nothing and marks no part, not even one it finished.
    window.statuses.clear();
    window.progress.clear();
    flags.stop_requested = false;
    disk->write(L"a.bin.sfv", text("a.bin.001 00000000\n"));
    window.on_progress = [&](std::uint32_t permille) {
        if (permille >= 600) flags.stop_requested = true;
    };
    check();
    EXPECT_TRUE(window.statuses.empty());
    expect_statuses({STATUS_OK, STATUS_OK});
    EXPECT_LT(window.progress.back(), 700u);
}

// An append join that does not complete leaves the first part byte for byte as it was, or
// says that it could not: the joined file does not match its checksum file (only the parts
// need fetching again), or the cut-back itself fails. (A stop and failed reads and writes
// have tests of their own, and so has the window's cut-back while the worker hangs.)
TEST_F(JoinWorkerTest, AnAppendJoinThatDoesNotCompleteGivesTheFirstPartBackOrSaysSo) {
    window.inputs.append_to_first = true;
    window.choices = {true, true, true, true};
    add_parts(L"a.bin", {70000, 70000, 500});
    const std::wstring first_path = list.first()->path;
    const Bytes first = file(first_path);
    const std::wstring md5_file = disk->write(L"a.bin.md5", text(md5_text(text("another file")) + "  a.bin\n"));

    EXPECT_FALSE(join());
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"MD5 does not match a.bin.md5! The first part is back as it was.");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    EXPECT_FALSE(window.statuses[0].timed);
    EXPECT_EQ(file(first_path), first);
    EXPECT_TRUE(window.opened_files.empty());
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());

    disk->remove(md5_file);
    files.failing_read_path = list.at(1)->path;
    files.fail_read_after = JOIN_CHUNK_SIZE;
    files.truncate_fails = true;
    window.statuses.clear();
    EXPECT_FALSE(join());
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, std::wstring(texts.messages[10]) + L" " + first_path +
                                           L" could not be cut back to its old size of 70000 bytes!");
    EXPECT_FALSE(window.statuses[0].timed);
}

// Linux folders, and shares served from them, take 255 bytes of UTF-8 in a name: 118
// Cyrillic letters with ".avi.001" fit, with ".mendlet-unfinished" they do not. The join
// writes under a short name beside the output then, and leaves nothing of it behind.
TEST_F(JoinWorkerTest, NamesNearTheByteLimitOfAFolderAreJoined) {
    const std::wstring stem = std::wstring(118, L'\u0436') + L".avi";
    window.inputs.output_path = disk->path(stem);
    const Bytes joined = add_parts(stem, {70000, 123});

    EXPECT_FALSE(join());
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, texts.messages[6]);
    EXPECT_EQ(output(), joined);
    for (const std::wstring& unfinished : temporary_output_paths(window.inputs.output_path))
        EXPECT_FALSE(disk->read(unfinished).has_value());
}

TEST_F(JoinWorkerTest, AnExistingOutputIsReplacedOnlyWhenTheUserSaysYes) {
    const Bytes joined = add_parts(L"a.bin", {5000, 10});
    // Longer than the join: none of it may stay behind the joined bytes.
    const Bytes old = random_bytes(9000, 99);
    disk->write(L"joined.bin", old);
    window.answer = false;

    EXPECT_FALSE(join());
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].text, texts.messages[15]);
    EXPECT_EQ(window.questions[0].caption, L"Mendlet");
    EXPECT_EQ(window.questions[0].icon, Question::Icon::question);
    EXPECT_FALSE(window.questions[0].yes_is_default);
    // "Ready" in the normal colour, whatever the status line showed before.
    EXPECT_EQ(window.events, (std::vector<std::string>{"inputs", "question", "reset_status"}));
    EXPECT_TRUE(window.statuses.empty());
    EXPECT_EQ(output(), old);

    window.answer = true;
    EXPECT_FALSE(join());
    expect_output_as_before(joined);
}

// The old output is held open by another program, say: the joined file stays whole under its
// own name, shown, and the status line says where; nothing of "When done" runs.
TEST_F(JoinWorkerTest, AFileThatCannotTakeTheOutputsNameIsKeptUnderItsOwn) {
    window.choices = {true, true, true, true};
    const Bytes joined = add_parts(L"a.bin", {5000, 10});
    const Bytes old = random_bytes(100, 96);
    disk->write(L"joined.bin", old);
    files.rename_fails = true;

    EXPECT_FALSE(join());
    const std::wstring kept = temporary_output_path(window.inputs.output_path);
    EXPECT_EQ(disk->read(kept), joined);
    EXPECT_EQ(output(), old);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text,
              std::wstring(texts.messages[11]) + L" The joined file is kept as \"" + kept + L"\".");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    EXPECT_FALSE(window.statuses[0].timed);
    EXPECT_TRUE(window.opened_folders.empty());
    EXPECT_EQ(list.count(), 2u);
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());
}

TEST_F(JoinWorkerTest, AnOutputThatIsOneOfThePartsIsRefusedBeforeAnyQuestion) {
    const Bytes joined = add_parts(L"a.bin", {5000, 10});
    window.inputs.output_path = list.at(1)->path;

    EXPECT_FALSE(join());
    expect_failure(11);
    EXPECT_TRUE(window.questions.empty());
    EXPECT_EQ(file(list.at(1)->path), Bytes(joined.begin() + 5000, joined.end()));
}

TEST_F(JoinWorkerTest, AnOutputThatCannotBeMadeCreatesNothing) {
    add_parts(L"a.bin", {5000, 10});
    window.inputs.output_path.clear();
    EXPECT_FALSE(join());
    expect_failure(16);

    window.statuses.clear();
    window.inputs.output_path = disk->path(L"missing folder\\out.bin");
    EXPECT_FALSE(join());
    expect_failure(11);
    EXPECT_FALSE(disk->read(window.inputs.output_path).has_value());
}

// A part's file name as a checksum file lists it; the tests' names are ASCII.
// Text of characters below U+0100 in UTF-8, written in Latin-1 as a Western Windows writes
// it in its ANSI code page.
std::string latin1_of(const std::string& utf8_text) {
    const std::wstring text = decode_utf8(utf8_text).value();
    return std::string(text.begin(), text.end());
}

std::string utf16_of(const std::string& utf8_text, bool little_endian) {
    std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : to_utf16(decode_utf8(utf8_text).value())) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::string listed_name(const std::wstring& path) {
    const std::wstring_view name = last_name_component(path);
    return std::string(name.begin(), name.end());
}

// Checksum files beside the parts check the joined file and every part they list, in SFV,
// md5sum's and sha256sum's lines: a join that passes them all names the first of them, and
// the boxes show only the digests ticked, though the MD5 was computed for its check. What the
// check found stays on the status line.
TEST_F(JoinWorkerTest, ChecksumFilesBesideThePartsVerifyTheJoin) {
    window.inputs.output_path = disk->path(L"a.bin");
    window.inputs.crc32_checked = true;
    const Bytes joined = add_parts(L"a.bin", {70000, 0, 123});
    std::string sfv = "; a.bin in three parts\r\n";
    for (const PartEntry& entry : list) sfv += listed_name(entry.path) + " " + crc_text(file(entry.path)) + "\r\n";
    disk->write(L"a.sfv", text(sfv));
    disk->write(L"a.bin.md5", text(md5_text(joined) + " *a.bin\n"));
    disk->write(L"SHA256SUMS", text(sha256_text(file(list.at(2)->path)) + "  parts/a.bin.003\n"));

    EXPECT_FALSE(join());
    EXPECT_EQ(output(), joined);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"Files joined and verified with a.bin.md5");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_INFO);
    EXPECT_FALSE(window.statuses[0].timed);
    EXPECT_EQ(window.crc32, crc_text(joined));
    EXPECT_FALSE(window.md5.has_value());
}

// The files people publish, each alone beside a set whose name is no ASCII, in the encodings
// their tools write: each verifies the join, under the name it has.
TEST_F(JoinWorkerTest, EveryFormAndEncodingOfChecksumFileVerifiesAJoin) {
    enum Encoding { utf8, utf8_marked, utf16_le, utf16_be, ansi };
    struct Row {
        const wchar_t* file;
        Encoding encoding;
        // "NAME" stands for the joined file's name; the digests of the joined file and the
        // parts' CRC-32s follow their kinds' names in braces.
        std::string text;
    };
    const std::vector<Row> rows{
        {L"\u00e9t\u00e9.bin.sha256", utf8, "{SHA256}"},
        {L"\u00e9t\u00e9.sha512.txt", utf8_marked, "{SHA512}\r\n"},
        {L"SHA1SUMS", utf8, "{SHA1}  NAME\n"},
        {L"sha512sums.txt", utf8, "SHA512 (NAME) = {SHA512}\n"},
        {L"checksums.txt", utf8, "SHA2-256(NAME)= {SHA256}\n"},
        {L"\u00e9t\u00e9.bin.md5sum", ansi, "//\r\n// File Checksum Integrity Verifier\r\n//\r\n{MD5} c:\\dl\\NAME\r\n"},
        {L"\u00e9t\u00e9.sha256sum", utf16_le,
         "SHA256 hash of file NAME:\r\n{SHA256 PAIRS}\r\nCertUtil: -hashfile command completed successfully.\r\n"},
        {L"\u00e9t\u00e9.bin.sha1", utf16_le,
         "\r\nAlgorithm : SHA1\r\nHash      : {SHA1}\r\nPath      : C:\\Users\\me\\NAME\r\n\r\n\r\n"},
        {L"CHECKSUMS", utf16_be,
         "\r\nAlgorithm       Hash        Path\r\n---------       ----        ----\r\nSHA256  {SHA256}  C:\\NAME\r\n"},
        {L"release.sfv", ansi, "; made by a tool\r\nNAME.001 {CRC 1}\r\nNAME.002 {CRC 2}\r\n"},
        {L"B2SUMS", utf8, "{BLAKE2B}  NAME\n"},
        {L"b3sums.txt", utf8, "{BLAKE3}  NAME\n"},
        {L"SHA256SUMS", utf8, "\\{SHA256}  dl\\\\NAME\n"},
        {L"\u00e9t\u00e9.bin.md5", utf8, "{MD5}\tNAME\n"},
        {L"CHECKSUMS", utf8, "CRC32 (NAME.001) = {CRC 1}\nCRC32 (NAME.002) = {CRC 2}\n"},
        {L"MD5SUMS", utf8, std::string("{MD5}  NAME") + '\0'},
    };
    const std::wstring name = L"\u00e9t\u00e9.bin";
    window.inputs.output_path = disk->path(name);
    const Bytes joined = add_parts(name, {70000, 123});
    std::string sha256_pairs;
    for (std::size_t i = 0; i < 64; i += 2) sha256_pairs += sha256_text(joined).substr(i, 2) + " ";
    const std::vector<std::pair<std::string, std::string>> values{
        {"NAME", "\xc3\xa9t\xc3\xa9.bin"},
        {"{MD5}", md5_text(joined)},
        {"{SHA1}", sha1_text(joined)},
        {"{SHA256 PAIRS}", sha256_pairs},
        {"{SHA256}", sha256_text(joined)},
        {"{SHA512}", sha512_text(joined)},
        {"{CRC 1}", crc_text(file(list.at(0)->path))},
        {"{CRC 2}", crc_text(file(list.at(1)->path))},
        {"{BLAKE2B}", blake2b_text(joined)},
        {"{BLAKE3}", blake3_text(joined)},
    };
    for (const Row& row : rows) {
        std::string utf8_text = row.text;
        for (const auto& [key, value] : values)
            for (std::size_t at; (at = utf8_text.find(key)) != std::string::npos;) utf8_text.replace(at, key.size(), value);
        std::string bytes = row.encoding == utf8_marked ? "\xEF\xBB\xBF" + utf8_text : utf8_text;
        if (row.encoding == ansi) bytes = latin1_of(utf8_text);
        if (row.encoding == utf16_le || row.encoding == utf16_be) bytes = utf16_of(utf8_text, row.encoding == utf16_le);
        const std::wstring checksum_file = disk->write(row.file, text(bytes));
        window.statuses.clear();

        join();
        ASSERT_EQ(window.statuses.size(), 1u);
        EXPECT_EQ(window.statuses[0].text, L"Files joined and verified with " + std::wstring(row.file));
        EXPECT_EQ(output(), joined);
        disk->remove(checksum_file);
        disk->remove(window.inputs.output_path);
    }
}

// A joined file that does not match is kept for the user to judge, and nothing is done with
// it: no "When done" action, no part deleted, the list kept.
TEST_F(JoinWorkerTest, AJoinedFileThatDoesNotMatchIsKeptAndNothingIsDoneWithIt) {
    window.inputs.output_path = disk->path(L"a.bin");
    window.choices = {true, true, true, true};
    const Bytes joined = add_parts(L"a.bin", {70000, 123});
    disk->write(L"a.bin.sha256", text(sha256_text(text("another file")) + "  A.BIN\n"));

    EXPECT_FALSE(join());
    EXPECT_EQ(output(), joined);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"SHA-256 does not match a.bin.sha256! The joined file is damaged.");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    EXPECT_FALSE(window.statuses[0].timed);
    EXPECT_TRUE(window.opened_folders.empty() && window.opened_files.empty());
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "empty_list"), 0);
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());
}

// A part that does not match its checksum file fails the join: the part is named and marked,
// nothing is left under the output's name (in append mode the first part gets its size
// back), and the job reads on no further than the digests lag behind the copy (the ring).
TEST_F(JoinWorkerTest, APartThatDoesNotMatchFailsTheJoinAndIsNamed) {
    window.inputs.output_path = disk->path(L"a.bin");
    window.choices = {true, true, true, true};
    constexpr std::size_t PART_SIZE = PIPELINE_MEMORY + PIPELINE_MEMORY / 2;
    add_parts(L"a.bin", {PART_SIZE, PART_SIZE, PART_SIZE, PART_SIZE});
    std::string sfv;
    for (std::uint32_t i = 0; i < list.count(); ++i) {
        const std::wstring& path = list.at(i)->path;
        sfv += listed_name(path) + " " + (i == 1 ? "00000000" : crc_text(file(path))) + "\n";
    }
    disk->write(L"a.bin.sfv", text(sfv));

    EXPECT_FALSE(join());
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, L"a.bin.002 does not match a.bin.sfv! Get this part again.");
    EXPECT_EQ(window.statuses[0].colour, COLOUR_ERROR);
    EXPECT_FALSE(window.statuses[0].timed);
    expect_statuses({STATUS_OK, STATUS_CHECKSUM_MISMATCH, STATUS_OK, STATUS_OK});
    EXPECT_EQ(list.at(1)->category, 2);
    expect_output_as_before(std::nullopt);
    const std::uint64_t most_read = 2 * PART_SIZE + PIPELINE_MEMORY + PIPELINE_SLOT_SIZE;
    EXPECT_LE(window.progress.back(), progress_permille(most_read, 4 * PART_SIZE));
    EXPECT_TRUE(window.opened_folders.empty());
    for (const PartEntry& entry : list) EXPECT_TRUE(disk->read(entry.path).has_value());

    const Bytes first = file(list.first()->path);
    window.statuses.clear();
    window.inputs.append_to_first = true;
    EXPECT_FALSE(join());
    EXPECT_EQ(window.statuses[0].text, L"a.bin.002 does not match a.bin.sfv! Get this part again.");
    EXPECT_EQ(file(list.first()->path), first);
}

// What a join may claim, in download folders as users have them. Checksum files are read
// whatever Exit and "Disable hash" say; "verified" only when the joined file itself matched,
// or one listing vouches for every part of one set, each once and in order; a part is judged
// by the listing most parts match. A join that fails a check never takes the place of an
// older output, and only a join whose word is good deletes the parts or closes the window.

// A part in the list: its number, the upload it comes from (a second upload holds other
// bytes under the same names), the folder it lies in, and the name of its set.
struct ClaimPart {
    int number;
    int upload = 1;
    const wchar_t* folder = L"";
    const wchar_t* stem = L"a.bin";
};

// A line of a checksum file: the name it lists, and the CRC-32 of which part of which upload
// it gives; upload 0 gives a value no part has.
struct ClaimLine {
    std::wstring listed;
    int number;
    int upload = 1;
};

struct ClaimFile {
    std::wstring name;
    std::vector<ClaimLine> lines;
};

// What is left under the output's name: nothing, the joined file, or the older output with
// the joined file beside it as "a (2).bin".
enum class ClaimOutput { nothing, joined, old_and_joined_beside };

struct Claim {
    const char* name;
    std::vector<ClaimPart> list{{1}, {2}, {3}};
    // Beside the first part's folder; a name with a folder is one folder above it.
    std::vector<ClaimFile> files{};
    // For the whole file: 0 nothing, 1 a.bin.md5 with its digest, 2 the same after an old
    // wrong line, 3 a.bin.sha512 with its bare digest, 4 a.bin.sha256 with nothing to read,
    // 5 a.bin.md5 with the digest of the older output.
    int whole_file = 0;
    bool renamed = false;
    bool exit_ticked = false;
    bool hashing_disabled = false;
    // An older output lies under the output's name, and the user agrees to replace it.
    bool old_output = false;
    const wchar_t* status = L"";
    // Blue, and "When done" went on.
    bool passes = false;
    bool deletes = false;
    ClaimOutput output = ClaimOutput::nothing;
};

void PrintTo(const Claim& claim, std::ostream* out) { *out << claim.name; }

// The lines of a.bin.00N for each number, as the given upload has them.
std::vector<ClaimLine> lines_of(std::initializer_list<int> numbers, int upload = 1, const std::wstring& folder = L"") {
    std::vector<ClaimLine> lines;
    for (const int number : numbers) lines.push_back({folder + L"a.bin.00" + std::to_wstring(number), number, upload});
    return lines;
}

std::vector<ClaimLine> operator+(std::vector<ClaimLine> a, const std::vector<ClaimLine>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class JoinClaimTest : public JoinWorkerTest, public ::testing::WithParamInterface<Claim> {
protected:
    // The bytes of a part of an upload, made on first use.
    const Bytes& bytes_of(int number, int upload) {
        Bytes& bytes = uploads_[{number, upload}];
        if (bytes.empty()) bytes = random_bytes(number == 3 ? 123 : 70000, static_cast<std::uint64_t>(number + 10 * upload));
        return bytes;
    }

    std::map<std::pair<int, int>, Bytes> uploads_;
};

TEST_P(JoinClaimTest, VerifiedOnlyWhenTrueAndNothingGoesOnAfterAFailedCheck) {
    const Claim& claim = GetParam();
    window.choices = {true, false, true, true};
    settings.use_recycle_bin = false;
    window.inputs.exit_when_done = claim.exit_ticked;
    window.inputs.hashing_disabled = claim.hashing_disabled;
    const std::wstring folder = claim.list.front().folder;
    const std::wstring out_folder = folder.empty() ? L"" : folder + L"\\";
    window.inputs.output_path = disk->path(out_folder + (claim.renamed ? L"renamed.bin" : L"a.bin"));
    Bytes joined;
    std::vector<std::wstring> parts;
    for (const ClaimPart& part : claim.list) {
        const Bytes& bytes = bytes_of(part.number, part.upload);
        const std::wstring name = std::wstring(part.folder) + (*part.folder ? L"\\" : L"") + part.stem + L".00" +
                                  std::to_wstring(part.number);
        parts.push_back(disk->write(name, bytes));
        list.add_part(NO_POSITION, false, parts.back(), bytes.size(), STATUS_OK, false);
        joined.insert(joined.end(), bytes.begin(), bytes.end());
    }
    const Bytes in_order = [&] {
        Bytes whole;
        for (const int number : {1, 2, 3}) whole.insert(whole.end(), bytes_of(number, 1).begin(), bytes_of(number, 1).end());
        return whole;
    }();
    for (const ClaimFile& checksum_file : claim.files) {
        std::string sfv;
        for (const ClaimLine& line : checksum_file.lines)
            sfv += std::string(line.listed.begin(), line.listed.end()) + " " +
                   (line.upload == 0 ? "0badc0de" : crc_text(bytes_of(line.number, line.upload))) + "\r\n";
        const bool above = checksum_file.name.find(L'\\') != std::wstring::npos;
        disk->write(above ? checksum_file.name.substr(checksum_file.name.find(L'\\') + 1) : out_folder + checksum_file.name,
                    text(sfv));
    }
    const Bytes old = text("an older joined file");
    if (claim.whole_file == 1 || claim.whole_file == 2)
        disk->write(out_folder + L"a.bin.md5", text((claim.whole_file == 2 ? md5_text(text("old")) + "  a.bin\n" : "") +
                                                    md5_text(in_order) + "  a.bin\n"));
    if (claim.whole_file == 3) disk->write(out_folder + L"a.bin.sha512", text(sha512_text(in_order)));
    if (claim.whole_file == 4) disk->write(out_folder + L"a.bin.sha256", text("see the download page\n"));
    if (claim.whole_file == 5) disk->write(out_folder + L"a.bin.md5", text(md5_text(old) + " *a.bin\n"));
    if (claim.old_output) disk->write(out_folder + (claim.renamed ? L"renamed.bin" : L"a.bin"), old);

    EXPECT_EQ(join(), claim.exit_ticked && claim.deletes);
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, claim.status);
    EXPECT_EQ(window.statuses[0].colour, claim.passes ? COLOUR_INFO : COLOUR_ERROR);
    EXPECT_EQ(window.opened_folders.size(), claim.passes ? 1u : 0u);
    for (const std::wstring& part : parts) EXPECT_EQ(disk->read(part).has_value(), !claim.deletes);
    // At most the output is asked which file it is, lest it be a part: the parts said so as
    // the copy opened them, and none is opened again. An older output is compared with every
    // part before anything is written.
    EXPECT_LE(files.identities_asked, claim.old_output ? 1 + static_cast<int>(parts.size()) : 1);
    const std::wstring beside = disk->path(out_folder + (claim.renamed ? L"renamed (2).bin" : L"a (2).bin"));
    switch (claim.output) {
        case ClaimOutput::nothing:
            EXPECT_EQ(disk->read(window.inputs.output_path), claim.old_output ? std::optional(old) : std::nullopt);
            break;
        case ClaimOutput::joined:
            EXPECT_EQ(output(), joined);
            break;
        case ClaimOutput::old_and_joined_beside:
            EXPECT_EQ(output(), old);
            EXPECT_EQ(file(beside), joined);
            break;
    }
    if (claim.output != ClaimOutput::old_and_joined_beside) {
        EXPECT_FALSE(disk->read(beside).has_value());
    }
    EXPECT_FALSE(disk->read(temporary_output_path(window.inputs.output_path)).has_value());
}

const wchar_t* const JOINED = L"Files joined successfully!";
const wchar_t* const NOT_VERIFIED = L"Files joined successfully! The parts were not deleted: the join could not be verified.";
const wchar_t* const VERIFIED_BY_SFV = L"Files joined and verified with a.bin.sfv";
const std::vector<ClaimFile> SFV{{L"a.bin.sfv", lines_of({1, 2, 3})}};
const std::vector<ClaimFile> TWO_UPLOADS{{L"a.bin.sfv", lines_of({1, 2, 3})}, {L"a.bin (1).sfv", lines_of({1, 2, 3}, 2)}};
const std::vector<ClaimFile> CDS{{L"cds.sfv", lines_of({1, 2, 3}, 1, L"CD1\\") + lines_of({1, 2, 3}, 2, L"CD2\\")}};
const std::vector<ClaimFile> CDS_ABOVE{{L"..\\cds.sfv", CDS[0].lines}};
constexpr ClaimOutput JOINED_FILE = ClaimOutput::joined;

// One claim a row.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Claims, JoinClaimTest,
    ::testing::Values(
        Claim{.name = "EveryPartListedInOrder", .files = SFV, .status = VERIFIED_BY_SFV, .passes = true,
              .deletes = true, .output = JOINED_FILE},
        Claim{.name = "TheWholeFileMatched", .whole_file = 1, .status = L"Files joined and verified with a.bin.md5",
              .passes = true, .deletes = true, .output = JOINED_FILE},
        Claim{.name = "TheWholeFileMatchedTheNewerOfTwoLines", .whole_file = 2,
              .status = L"Files joined and verified with a.bin.md5", .passes = true, .deletes = true,
              .output = JOINED_FILE},
        Claim{.name = "TheWholeFileMatchedABareSha512", .whole_file = 3,
              .status = L"Files joined and verified with a.bin.sha512", .passes = true, .deletes = true,
              .output = JOINED_FILE},
        Claim{.name = "NothingReadFromAFileNamedAfterTheOutput", .whole_file = 4,
              .status = L"Files joined, but a.bin.sha256 could not be read: nothing was verified. The parts were not "
                        L"deleted: the join could not be verified.",
              .passes = true, .output = JOINED_FILE},
        Claim{.name = "NothingReadFromOneButAnotherVerified", .files = SFV, .whole_file = 4, .status = VERIFIED_BY_SFV,
              .passes = true, .deletes = true, .output = JOINED_FILE},
        Claim{.name = "LastPartsNotDownloaded", .files = {{L"a.bin.sfv", lines_of({1, 2, 3}) + lines_of({4, 5}, 0)}},
              .status = L"a.bin.004 is listed in a.bin.sfv but not in the list! The join would be incomplete."},
        Claim{.name = "APartTwice", .list = {{1}, {2}, {2}, {3}}, .files = SFV,
              .status = L"The parts are not in the order of their numbers! The joined file is not what a.bin.sfv "
                        L"describes.",
              .output = JOINED_FILE},
        Claim{.name = "PartsSwappedWithAutoOff", .list = {{2}, {1}, {3}}, .files = SFV,
              .status = L"The parts are not in the order of their numbers! The joined file is not what a.bin.sfv "
                        L"describes.",
              .output = JOINED_FILE},
        Claim{.name = "PartsSwappedAndTheWholeFileListed", .list = {{2}, {1}, {3}}, .whole_file = 1,
              .status = L"MD5 does not match a.bin.md5! The joined file is damaged.", .output = JOINED_FILE},
        Claim{.name = "APartNotListed", .files = {{L"a.bin.sfv", lines_of({1, 2})}}, .status = NOT_VERIFIED,
              .passes = true, .output = JOINED_FILE},
        Claim{.name = "NoChecksumFile", .status = JOINED, .passes = true, .deletes = true, .output = JOINED_FILE},
        Claim{.name = "TheOutputRenamed", .files = SFV, .renamed = true, .status = VERIFIED_BY_SFV, .passes = true,
              .deletes = true, .output = JOINED_FILE},
        Claim{.name = "TheOutputRenamedAndAPartDamaged", .files = {{L"a.bin.sfv", lines_of({1, 3}) + lines_of({2}, 0)}},
              .renamed = true, .status = L"a.bin.002 does not match a.bin.sfv! Get this part again."},
        Claim{.name = "ExitTicked", .files = SFV, .exit_ticked = true, .status = VERIFIED_BY_SFV, .passes = true,
              .deletes = true, .output = JOINED_FILE},
        Claim{.name = "ExitTickedAndNothingRead", .whole_file = 4, .exit_ticked = true,
              .status = L"Files joined, but a.bin.sha256 could not be read: nothing was verified. The parts were not "
                        L"deleted: the join could not be verified.",
              .passes = true, .output = JOINED_FILE},
        Claim{.name = "ExitTickedAndAPartDamaged", .files = {{L"a.bin.sfv", lines_of({1, 2}) + lines_of({3}, 0)}},
              .exit_ticked = true, .status = L"a.bin.003 does not match a.bin.sfv! Get this part again."},
        Claim{.name = "HashingDisabledAndAPartDamaged", .files = {{L"a.bin.sfv", lines_of({1}, 0) + lines_of({2, 3})}},
              .hashing_disabled = true, .status = L"a.bin.001 does not match a.bin.sfv! Get this part again."},
        Claim{.name = "TwoUploadsOfTheSet", .files = TWO_UPLOADS, .status = VERIFIED_BY_SFV, .passes = true,
              .deletes = true, .output = JOINED_FILE},
        Claim{.name = "TwoUploadsMixed", .list = {{1}, {2, 2}, {3}}, .files = TWO_UPLOADS,
              .status = L"a.bin.002 does not match a.bin.sfv! Get this part again."},
        Claim{.name = "TwoUploadsMixedTheOtherWay", .list = {{1, 2}, {2}, {3, 2}}, .files = TWO_UPLOADS,
              .status = L"a.bin.002 does not match a.bin (1).sfv! Get this part again."},
        Claim{.name = "CdFoldersWithThePartsFlat", .files = CDS, .status = L"Files joined and verified with cds.sfv",
              .passes = true, .deletes = true, .output = JOINED_FILE},
        Claim{.name = "CdFoldersMixedWithThePartsFlat", .list = {{1}, {2, 2}, {3}}, .files = CDS,
              .status = L"a.bin.002 does not match cds.sfv! Get this part again."},
        Claim{.name = "CdFoldersWithThePartsInOne", .list = {{1, 1, L"CD1"}, {2, 1, L"CD1"}, {3, 1, L"CD1"}},
              .files = CDS_ABOVE, .status = L"Files joined and verified with cds.sfv", .passes = true, .deletes = true,
              .output = JOINED_FILE},
        Claim{.name = "CdFoldersWithThePartsInBothMixed", .list = {{1, 1, L"CD1"}, {2, 2, L"CD2"}, {3, 1, L"CD1"}},
              .files = CDS_ABOVE, .status = NOT_VERIFIED, .passes = true, .output = JOINED_FILE},
        Claim{.name = "AStrayPartOfAnotherSet", .list = {{1}, {2}, {3, 1, L"", L"b.bin"}},
              .files = {{L"a.bin.sfv", lines_of({1, 2})}, {L"b.bin.sfv", {{L"b.bin.003", 3}}}}, .status = NOT_VERIFIED,
              .passes = true, .output = JOINED_FILE},
        Claim{.name = "AListingThatNamesAPartTwice", .files = {{L"a.bin.sfv", lines_of({1, 2, 3}) + lines_of({2}, 0)}},
              .status = NOT_VERIFIED, .passes = true, .output = JOINED_FILE},
        Claim{.name = "AnOlderOutputKeptWhenTheJoinedFileDoesNotMatch", .list = {{1}, {2, 2}, {3}}, .whole_file = 5,
              .old_output = true,
              .status = L"MD5 does not match a.bin.md5! The joined file is damaged. The old a.bin is kept; the joined "
                        L"file is a (2).bin.",
              .output = ClaimOutput::old_and_joined_beside},
        Claim{.name = "AnOlderOutputKeptWhenThePartsAreOutOfOrder", .list = {{2}, {1}, {3}}, .files = SFV,
              .renamed = true, .old_output = true,
              .status = L"The parts are not in the order of their numbers! The joined file is not what a.bin.sfv "
                        L"describes. The old renamed.bin is kept; the joined file is renamed (2).bin.",
              .output = ClaimOutput::old_and_joined_beside},
        Claim{.name = "AnOlderOutputReplacedByAVerifiedJoin", .files = SFV, .old_output = true,
              .status = VERIFIED_BY_SFV, .passes = true, .deletes = true, .output = JOINED_FILE}),
    [](const ::testing::TestParamInfo<Claim>& info) { return std::string(info.param.name); });
// clang-format on

// A check of a.bin.001 to .005: what it says and how it marks the rows, by what lies beside
// the parts. It writes nothing and leaves the list as it was.
struct CheckCase {
    const char* name;
    // The parts a.bin.sfv lists, by number, and those it lists wrongly.
    std::vector<int> in_sfv;
    std::vector<int> damaged;
    // For the whole file: 0 nothing, 1 a.bin.md5 with its digest, 2 with another's.
    int whole_file = 0;
    // A part deleted since it was listed, or 0.
    int gone = 0;
    const wchar_t* status = L"";
    bool passes = false;
    std::vector<std::int32_t> statuses;
};

void PrintTo(const CheckCase& check, std::ostream* out) { *out << check.name; }

class PartCheckTest : public JoinWorkerTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(PartCheckTest, EveryPartIsReadAndEachListedOneMarked) {
    const CheckCase& c = GetParam();
    const Bytes joined = add_parts(L"a.bin", {70000, 70000, 70000, 70000, 123});
    std::string sfv;
    for (const int number : c.in_sfv) {
        const bool right = number <= 5 && std::find(c.damaged.begin(), c.damaged.end(), number) == c.damaged.end();
        sfv += "a.bin.00" + std::to_string(number) + " " +
               (right ? crc_text(file(list.at(number - 1)->path)) : "0badc0de") + "\n";
    }
    if (!sfv.empty()) disk->write(L"a.bin.sfv", text(sfv));
    if (c.whole_file != 0)
        disk->write(L"a.bin.md5", text(md5_text(c.whole_file == 1 ? joined : text("other")) + "  a.bin\n"));
    if (c.gone != 0) disk->remove(list.at(c.gone - 1)->path);
    const std::vector<std::wstring> paths = [&] {
        std::vector<std::wstring> listed;
        for (const PartEntry& entry : list) listed.push_back(entry.path);
        return listed;
    }();

    check();
    ASSERT_EQ(window.statuses.size(), 1u);
    EXPECT_EQ(window.statuses[0].text, c.status);
    EXPECT_EQ(window.statuses[0].colour, c.passes ? COLOUR_INFO : COLOUR_ERROR);
    // What a check found stays until the next command.
    EXPECT_FALSE(window.statuses[0].timed);
    std::vector<std::int32_t> statuses;
    for (const PartEntry& entry : list) statuses.push_back(entry.status);
    EXPECT_EQ(statuses, c.statuses);
    for (std::uint32_t i = 0; i < list.count(); ++i) EXPECT_EQ(list.at(i)->path, paths[i]);
    // Refused before anything is read; otherwise every part is read to its end.
    EXPECT_EQ(window.progress.empty(), c.in_sfv.size() > 5);
    if (c.gone == 0 && c.in_sfv.size() <= 5) {
        EXPECT_EQ(window.progress.back(), 1000u);
    }
    EXPECT_EQ(window.digest_calls, 0);
    EXPECT_FALSE(disk->read(window.inputs.output_path).has_value());
    EXPECT_FALSE(disk->read(temporary_output_path(window.inputs.output_path)).has_value());
}

const std::vector<std::int32_t> UNMARKED(5, STATUS_OK);
constexpr std::int32_t MATCH = STATUS_CHECKSUM_MATCHES;
constexpr std::int32_t WRONG = STATUS_CHECKSUM_MISMATCH;
constexpr std::int32_t GONE = STATUS_CANNOT_READ;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Checks, PartCheckTest,
    ::testing::Values(
        CheckCase{"TwoDamagedPartsNamedAtOnce", {1, 2, 3, 4, 5}, {2, 4}, 0, 0,
                  L"Parts checked: 2 of 5 do not match a.bin.sfv! Get them again.", false,
                  {MATCH, WRONG, MATCH, WRONG, MATCH}},
        CheckCase{"AllMatch", {1, 2, 3, 4, 5}, {}, 0, 0, L"Parts checked: all 5 match a.bin.sfv", true,
                  {MATCH, MATCH, MATCH, MATCH, MATCH}},
        CheckCase{"OnlyTheListedPartsCount", {1, 2, 3}, {}, 0, 0,
                  L"Parts checked: 3 listed in a.bin.sfv match; 2 are not listed.", true,
                  {MATCH, MATCH, MATCH, STATUS_OK, STATUS_OK}},
        CheckCase{"ADamagedPartBesideAWholeFileThatMatches", {1, 2, 3, 4, 5}, {3}, 1, 0,
                  L"Parts checked: 1 of 5 does not match a.bin.sfv! Get it again.", false,
                  {MATCH, MATCH, WRONG, MATCH, MATCH}},
        CheckCase{"OnlyTheWholeFileListed", {}, {}, 1, 0, L"Parts checked: all 5 match a.bin.md5", true, UNMARKED},
        CheckCase{"OnlyTheWholeFileListedAndItDoesNotMatch", {}, {}, 2, 0,
                  L"The parts together do not match a.bin.md5! One of them is damaged.", false, UNMARKED},
        CheckCase{"OnlyTheWholeFileListedAndAPartGone", {}, {}, 1, 2, L"Parts checked: 1 of 5 cannot be read!", false,
                  {STATUS_OK, GONE, STATUS_OK, STATUS_OK, STATUS_OK}},
        CheckCase{"APartGoneAndADamagedOneAfterIt", {1, 2, 3, 4, 5}, {5}, 0, 3,
                  L"Parts checked: 1 of 5 does not match a.bin.sfv! Get it again.", false,
                  {MATCH, MATCH, GONE, MATCH, WRONG}},
        CheckCase{"NoChecksumFile", {}, {}, 0, 0, L"Parts checked: all 5 can be read; no checksum file lists them.",
                  true, UNMARKED},
        CheckCase{"NoChecksumFileAndAPartGone", {}, {}, 0, 4, L"Parts checked: 1 of 5 cannot be read!", false,
                  {STATUS_OK, STATUS_OK, STATUS_OK, GONE, STATUS_OK}},
        CheckCase{"APartOfTheSetNotInTheList", {1, 2, 3, 4, 5, 6}, {}, 0, 0,
                  L"a.bin.006 is listed in a.bin.sfv but not in the list! The join would be incomplete.", false,
                  UNMARKED}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });
// clang-format on

// A PAR 2.0 set beside the parts, made by Debian's par2 over them (or over the file they
// join to): it is a listing like an SFV file, the first of those that tie; where a part does
// not match, Check parts counts its damaged slices and says how many recovery slices the
// set holds, and the join rebuilds them where there are enough, in the unfinished output
// alone: the joined file comes out whole and no part is written.
// Each row: how the set is made, what befalls the files after, a part left out of the list,
// whether the join appends or is stopped while it rebuilds slices, what a check and the join
// say (a stop, nothing), and whether the joined file is then whole. The par2 program runs
// natively only, so the Windows build reads hand-made sets from its disk instead
// (join_files_win32_test.cpp).
#if !defined(_WIN32)
TEST_F(JoinWorkerTest, ARecoverySetChecksThePartsAndRepairsTheJoinedFile) {
    ASSERT_EQ(std::system("par2 -V >/dev/null 2>&1"), 0) << "Debian's par2 is missing: scripts/setup.sh installs it";
    using test_support::Par2Folder;
    const std::vector<std::string> names{"v.bin.001", "v.bin.002", "v.bin.003"};
    const std::vector<Bytes> parts{random_bytes(40000, 11), random_bytes(40000, 12), random_bytes(17000, 13)};
    const Bytes whole = parts[0] + parts[1] + parts[2];
    const std::string over_parts = "-s4096 -c4 -n2 v.bin.par2 v.bin.001 v.bin.002 v.bin.003";
    struct Row {
        const char* what;
        std::string create;
        std::function<void(const Par2Folder&)> befall;
        const wchar_t* checked;
        const wchar_t* joined;
        bool whole = true;
        const char* unlisted = nullptr;
        bool append = false;
        bool stopped = false;
    };
    const auto damage = [&](std::size_t part, std::vector<std::size_t> at) {
        return [&parts, &names, part, at](const Par2Folder& folder) {
            Bytes damaged = parts[part];
            for (const std::size_t byte : at) damaged[byte] ^= 1;
            folder.write(names[part], damaged);
        };
    };
    const auto cut_part_3 = [&](const Par2Folder& folder) { folder.write("v.bin.003", cut(parts[2], 10000)); };
    // The data of the volume's first recovery slices changed, and the third part cut.
    const auto damage_recovery_slices = [&](std::size_t count) {
        return [&cut_part_3, count](const Par2Folder& folder) {
            Bytes volume = folder.read("v.bin.vol0+4.par2");
            const std::string type("PAR 2.0\0RecvSlic", 16);
            auto at = volume.begin();
            for (std::size_t damaged = 0; damaged < count; ++damaged, ++at) {
                at = std::search(at, volume.end(), type.begin(), type.end());
                ASSERT_LT(at + 100, volume.end());
                at[100] ^= 1;
            }
            folder.write("v.bin.vol0+4.par2", volume);
            cut_part_3(folder);
        };
    };
    const auto remove = [](const char* name) {
        return [name](const Par2Folder& folder) { std::filesystem::remove(folder.path() / name); };
    };
    const std::vector<Row> rows{
        {"all good", over_parts, [](const Par2Folder&) {}, L"Parts checked: all 3 match v.bin.par2",
         L"Files joined and verified with v.bin.par2"},
        {"one part damaged in two slices", over_parts, damage(1, {5000, 30000}),
         L"Parts checked: 1 of 3 does not match v.bin.par2! 2 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 2 slices rebuilt."},
        {"two parts damaged", over_parts,
         [&](const Par2Folder& folder) {
             damage(0, {100})(folder);
             damage(2, {16999})(folder);
         },
         L"Parts checked: 2 of 3 do not match v.bin.par2! 2 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 2 slices rebuilt."},
        {"a part cut inside its third slice", over_parts, cut_part_3,
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 3 slices rebuilt."},
        {"the same, appended to the first part", over_parts, cut_part_3,
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 3 slices rebuilt.", true, nullptr, true},
        {"a part grown at its end", over_parts,
         [&](const Par2Folder& folder) { folder.write("v.bin.001", parts[0] + random_bytes(5000, 14)); },
         L"Parts checked: 1 of 3 does not match v.bin.par2! 1 slice is damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 1 slice rebuilt."},
        {"stopped while the slices are rebuilt", over_parts, cut_part_3,
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 4 recovery slices.", nullptr,
         false, nullptr, false, true},
        // Every slice as listed, but more bytes: the part is not as listed, and is cut back.
        {"a part grown past its last slice, its padding zeros", over_parts,
         [&](const Par2Folder& folder) {
             folder.write("v.bin.003", parts[2] + Bytes(3480, 0) + random_bytes(100, 15));
         },
         L"Parts checked: 1 of 3 does not match v.bin.par2! 0 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 0 slices rebuilt."},
        {"too few recovery slices", "-s4096 -c2 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003", cut_part_3,
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 2 recovery slices.",
         L"v.bin.003 does not match v.bin.par2! 3 slices are damaged, but v.bin.par2 holds only 2 recovery slices: "
         L"get more of them or the parts again.",
         false},
        {"a recovery slice damaged: the others rebuild", "-s4096 -c4 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003",
         damage_recovery_slices(1),
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 3 slices rebuilt."},
        {"two recovery slices damaged: too few", "-s4096 -c4 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003",
         damage_recovery_slices(2),
         L"Parts checked: 1 of 3 does not match v.bin.par2! 3 slices are damaged; it holds 4 recovery slices.",
         L"v.bin.003 does not match v.bin.par2! 3 slices are damaged, but v.bin.par2 holds only 2 recovery slices: "
         L"get more of them or the parts again.",
         false},
        {"a part missing from the list and the folder", "-s4096 -c10 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003",
         remove("v.bin.002"), L"v.bin.002 is missing; v.bin.par2 can rebuild it. Parts checked: all 2 match v.bin.par2",
         L"Files joined and repaired with v.bin.par2: 10 slices rebuilt.", true, "v.bin.002"},
        {"a part gone since it was listed", over_parts, remove("v.bin.001"),
         L"Parts checked: 1 of 3 cannot be read! 10 slices are damaged; it holds 4 recovery slices.",
         L"File cannot be opened!", false},
        {"only a volume file, its first packet damaged", "-s4096 -c4 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003",
         [](const Par2Folder& folder) {
             std::filesystem::remove(folder.path() / "v.bin.par2");
             Bytes volume = folder.read("v.bin.vol0+4.par2");
             volume[2] ^= 1;
             folder.write("v.bin.vol0+4.par2", volume);
         },
         L"Parts checked: all 3 match v.bin.vol0+4.par2", L"Files joined and verified with v.bin.vol0+4.par2"},
        {"a set over the joined file", "-s4096 -c2 -n1 v.bin.par2 v.bin", damage(1, {5000, 30000}),
         L"The parts together do not match v.bin.par2! One of them is damaged. 2 slices are damaged; it holds 2 "
         L"recovery slices.",
         L"Files joined and repaired with v.bin.par2: 2 slices rebuilt."},
        {"a set over the joined file, too few for a part cut short", "-s4096 -c2 -n1 v.bin.par2 v.bin", cut_part_3,
         L"The parts together do not match v.bin.par2! One of them is damaged. 3 slices are damaged; it holds 2 "
         L"recovery slices.",
         L"MD5 does not match v.bin.par2! The joined file is damaged. 3 slices are damaged, but v.bin.par2 holds only "
         L"2 recovery slices: get more of them or the parts again.",
         false},
        {"an .md5 of the parts beside the set, a part damaged", over_parts,
         [&](const Par2Folder& folder) {
             folder.run("md5sum v.bin.001 v.bin.002 v.bin.003 > v.bin.md5");
             damage(1, {5000, 30000})(folder);
         },
         L"Parts checked: 1 of 3 does not match v.bin.par2! 2 slices are damaged; it holds 4 recovery slices.",
         L"Files joined and repaired with v.bin.par2: 2 slices rebuilt."},
        {"the set's only file unreadable", "-s4096 -c4 -n1 v.bin.par2 v.bin.001 v.bin.002 v.bin.003",
         [](const Par2Folder& folder) {
             std::filesystem::remove(folder.path() / "v.bin.vol0+4.par2");
             folder.write("v.bin.par2", random_bytes(3000, 22));
         },
         L"Parts checked: all 3 can be read; no checksum file lists them.",
         L"Files joined, but v.bin.par2 could not be read: nothing was verified."},
        {"a set of another download beside it", over_parts,
         [](const Par2Folder& folder) {
             folder.write("w.bin.001", random_bytes(5000, 21));
             folder.par2_create("-s4096 -c1 -n1 w.bin.par2 w.bin.001");
         },
         L"Parts checked: all 3 match v.bin.par2", L"Files joined and verified with v.bin.par2"},
    };
    window.inputs.output_path = disk->path(L"v.bin");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Par2Folder folder;
        for (std::size_t i = 0; i < names.size(); ++i) folder.write(names[i], parts[i]);
        folder.write("v.bin", whole);
        folder.par2_create(row.create);
        std::filesystem::remove(folder.path() / "v.bin");
        row.befall(folder);
        list.clear_parts();
        for (const std::wstring& name : folder.listing())
            disk->write(name, folder.read(std::filesystem::path(name)));
        for (const std::string& name : names) {
            if (row.unlisted != nullptr && name == row.unlisted) continue;
            const std::wstring path = disk->path(std::wstring(name.begin(), name.end()));
            list.add_part(NO_POSITION, false, path, file(path).size(), STATUS_OK, false);
            if (!std::filesystem::exists(folder.path() / name)) disk->remove(path);
        }
        window.statuses.clear();
        check();
        ASSERT_EQ(window.statuses.size(), 1u);
        EXPECT_EQ(window.statuses[0].text, row.checked);
        window.statuses.clear();
        window.inputs.append_to_first = row.append;
        // The bar starts again for the rebuilding.
        bool copied = false;
        window.on_progress = [&](std::uint32_t permille) {
            if (permille == 1000)
                copied = true;
            else if (copied && row.stopped)
                flags.stop_requested = true;
        };
        join();
        flags.stop_requested = false;
        window.on_progress = {};
        if (row.joined == nullptr) {
            EXPECT_TRUE(window.statuses.empty());
        } else {
            ASSERT_EQ(window.statuses.size(), 1u);
            EXPECT_EQ(window.statuses[0].text, row.joined);
        }
        const std::wstring joined_path = row.append ? list.first()->path : window.inputs.output_path;
        EXPECT_EQ(file(joined_path) == whole, row.whole);
        if (row.stopped) {
            EXPECT_FALSE(disk->read(joined_path)) << "what a stopped join wrote stays";
        }
        for (const std::string& name : names) {
            const std::wstring path = disk->path(std::wstring(name.begin(), name.end()));
            if (path != joined_path && std::filesystem::exists(folder.path() / name)) {
                EXPECT_EQ(file(path), folder.read(name)) << "a part was written: " << name;
            }
        }
        for (const std::wstring& name : folder.listing()) disk->remove(disk->path(name));
        disk->remove(window.inputs.output_path);
    }
    window.inputs.append_to_first = false;
}
#endif

TEST_F(JoinWorkerTest, ExitOrDisabledHashingShowsNoDigests) {
    window.inputs.crc32_checked = true;
    window.inputs.md5_checked = true;
    window.inputs.exit_when_done = true;
    const Bytes joined = add_parts(L"a.bin", {5000, 10});

    EXPECT_TRUE(join());
    EXPECT_EQ(output(), joined);
    EXPECT_EQ(window.digest_calls, 0);

    window.inputs.exit_when_done = false;
    window.inputs.hashing_disabled = true;
    EXPECT_FALSE(join());
    EXPECT_EQ(window.digest_calls, 0);
}

TEST_F(JoinWorkerTest, WhenDoneActionsRunInOrderAndDeleteExactlyTheParts) {
    window.choices = {true, true, true, true};
    settings.use_recycle_bin = false;
    const Bytes joined = add_parts(L"a.bin", {5000, 10, 7});
    const Bytes unrelated = random_bytes(10, 5);
    const std::wstring other = disk->write(L"a.bin.004", unrelated);

    EXPECT_FALSE(join());
    EXPECT_EQ(window.opened_folders, std::vector<std::wstring>{window.inputs.output_path});
    EXPECT_EQ(window.opened_files, std::vector<std::wstring>{window.inputs.output_path});
    for (const PartEntry& entry : list) EXPECT_FALSE(disk->read(entry.path).has_value());
    EXPECT_EQ(output(), joined);
    EXPECT_EQ(file(other), unrelated);
    const std::vector<std::string> tail(window.events.end() - 5, window.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"choices", "status", "open_folder", "open_file", "empty_list"}));

    list.clear_parts();
    const Bytes appended = add_parts(L"b.bin", {5000, 10, 7});
    const std::wstring first = list.first()->path;
    window.inputs.append_to_first = true;
    window.opened_files.clear();
    EXPECT_FALSE(join());
    EXPECT_EQ(window.opened_files, std::vector<std::wstring>{first});
    EXPECT_EQ(file(first), appended);
    EXPECT_FALSE(disk->read(list.at(1)->path).has_value());
    EXPECT_FALSE(disk->read(list.at(2)->path).has_value());

    // Only a join whose word is good deletes the parts: one verified, or one that nothing
    // could check and whose rows showed no warning (a part missing, say).
    struct Row {
        const char* what;
        bool sfv;
        bool warning;
        bool deletes;
    };
    window.inputs.append_to_first = false;
    for (const Row& row : {Row{"verified, beside a warning", true, true, true}, Row{"a warning", false, true, false},
                           Row{"nothing to check", false, false, true}}) {
        SCOPED_TRACE(row.what);
        list.clear_parts();
        window.statuses.clear();
        add_parts(L"c.bin", {5000, 10});
        if (row.warning) list.at(1)->set_status(STATUS_UNEXPECTED_ORDINAL);
        const std::wstring sfv =
            disk->write(L"c.bin.sfv", text(row.sfv ? "c.bin.001 " + crc_text(file(list.at(0)->path)) + "\nc.bin.002 " +
                                                         crc_text(file(list.at(1)->path)) + "\n"
                                                   : std::string()));
        if (!row.sfv) disk->remove(sfv);
        join();
        for (const PartEntry& entry : list) EXPECT_EQ(disk->read(entry.path).has_value(), !row.deletes);
        ASSERT_EQ(window.statuses.size(), 1u);
        EXPECT_EQ(window.statuses[0].text.ends_with(L" The parts were not deleted: the join could not be verified."),
                  !row.deletes);
        disk->remove(sfv);
        disk->remove(window.inputs.output_path);
    }
}

TEST_F(JoinWorkerTest, PreJoinChecksCanCallTheJobOff) {
    settings.test_missing_before_join = true;
    add_parts(L"a.bin", {5000, 5000, 10});
    list.remove_part_at(1);  // .002 is missing
    window.answer = false;

    EXPECT_FALSE(join());
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].caption, texts.messages[17]);
    EXPECT_EQ(window.events, (std::vector<std::string>{"inputs", "question", "reset_status"}));
    EXPECT_FALSE(disk->read(window.inputs.output_path).has_value());

    window.answer = true;
    EXPECT_FALSE(join());
    EXPECT_TRUE(disk->read(window.inputs.output_path).has_value());

    // Parts beyond a gap after the last listed one are found in the folder and missed too.
    list.clear_parts();
    add_parts(L"b.bin", {5000, 5000, 5000, 10});
    disk->remove(list.at(2)->path);
    list.remove_part_at(3);
    list.remove_part_at(2);
    window.questions.clear();
    window.answer = false;
    EXPECT_FALSE(join());
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].text,
              L"You seem to be missing 2 part(s) with ordinal(s): 3, 4." + std::wstring(texts.messages[23]));
}

TEST_F(JoinWorkerTest, PartsThatChangedSizeKeepProgressWithinBounds) {
    add_parts(L"a.bin", {300000, 300000});
    list.at(0)->size = 1000;  // grown since listed
    list.at(1)->size = 1000;
    EXPECT_FALSE(join());
    expect_progress_rising_to_1000(window.progress);

    list.at(0)->size = 0;  // nothing recorded at all
    list.at(1)->size = 0;
    window.progress.clear();
    EXPECT_FALSE(join());
    EXPECT_EQ(window.progress, std::vector<std::uint32_t>{1000});
    EXPECT_EQ(output().size(), 600000u);
}

TEST(ProgressPermille, TruncatesAndStaysWithinBounds) {
    EXPECT_EQ(progress_permille(0, 0), 0u);
    EXPECT_EQ(progress_permille(5, 0), 1000u);
    EXPECT_EQ(progress_permille(999, 1000), 999u);
    EXPECT_EQ(progress_permille(1000, 1000), 1000u);
    EXPECT_EQ(progress_permille(3000, 1000), 1000u);
    EXPECT_EQ(progress_permille(1, 3), 333u);
    const std::uint64_t huge = ~std::uint64_t{0};
    EXPECT_NEAR(progress_permille(huge / 2, huge), 500, 1);  // no exact product this far out
    EXPECT_EQ(progress_permille(huge - 1, huge), 999u);
}

// Parts of any size that read as zeros and an output that only counts: joins of many
// gigabytes without touching a disk.
class CountingFiles : public JoinFiles {
public:
    std::uint64_t written = 0;
    std::unique_ptr<JoinFile> open_part(const std::wstring& path) override {
        return std::make_unique<File>(*this, std::stoull(path));
    }
    std::unique_ptr<JoinFile> open_for_append(const std::wstring&) override { return nullptr; }
    std::unique_ptr<JoinFile> create_output(const std::wstring&) override { return std::make_unique<File>(*this, 0); }
    bool rename_output(const std::wstring&, const std::wstring&, bool) override { return true; }
    std::vector<ChecksumFile> checksum_files(const std::wstring&, const std::vector<std::wstring>&,
                                             const std::vector<std::wstring>&, const std::function<bool()>&) override {
        return {};
    }
    RecoveryFiles recovery_files(const std::wstring&, const std::vector<std::wstring>&) override { return {}; }
    std::unique_ptr<RecoveryFolder> recovery_folder(const std::wstring&) override { return nullptr; }
    ExistingOutput existing(const std::wstring&) override { return ExistingOutput::none; }
    std::uint32_t highest_part_number(const std::wstring&) override { return 0; }
    std::optional<FileIdentity> identity(const std::wstring&) override { return std::nullopt; }
    bool delete_files(const std::vector<std::wstring>&, bool) override { return true; }

private:
    class File : public JoinFile {
    public:
        File(CountingFiles& owner, std::uint64_t size) : owner_(owner), left_(size) {}
        std::optional<std::uint32_t> read(std::uint8_t*, std::uint32_t size) override {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(left_, size));
            left_ -= n;
            return n;
        }
        bool write(const std::uint8_t*, std::uint32_t size) override {
            owner_.written += size;
            return true;
        }
        std::optional<std::uint64_t> seek_to_end() override { return std::nullopt; }
        bool seek(std::uint64_t) override { return false; }
        bool truncate(std::uint64_t) override { return false; }
        bool flush() override { return false; }
        bool close() override { return true; }

    private:
        CountingFiles& owner_;
        std::uint64_t left_;
    };
};

TEST(JoinWorkerLarge, PartsBeyondFourGigabytesGiveFullProgressAndSize) {
    constexpr std::uint64_t GIB = 1ull << 30;
    const std::uint64_t sizes[] = {3 * GIB, 2 * GIB + 12345, 7};
    CountingFiles files;
    PartList list;
    for (const std::uint64_t size : sizes) list.add_part(NO_POSITION, false, std::to_wstring(size), size, 0, false);
    Settings settings;
    TextTable texts;
    RecordingJoinWindow window;
    window.inputs.output_path = L"out";
    JoinFlags flags;
    JoinContext job{list, settings, texts, window, files, flags};

    EXPECT_FALSE(run_join(job));
    EXPECT_EQ(files.written, sizes[0] + sizes[1] + sizes[2]);
    expect_progress_rising_to_1000(window.progress);
    EXPECT_EQ(window.progress.size(), 1000u);
}

TEST_F(JoinWorkerTest, TheWorkerThreadWrapsTheJobInTheWindowsBusyState) {
    window.inputs.exit_when_done = true;
    add_parts(L"a.bin", {10, 10});

    join_thread_main(job);
    EXPECT_FALSE(flags.join_running);
    ASSERT_GE(window.events.size(), 6u);
    const std::vector<std::string> head(window.events.begin(), window.events.begin() + 3);
    const std::vector<std::string> tail(window.events.end() - 3, window.events.end());
    EXPECT_EQ(head, (std::vector<std::string>{"job_started", "+busy", "+inputs"}));
    EXPECT_EQ(tail, (std::vector<std::string>{"+idle", "job_ended", "close"}));
    EXPECT_EQ(window.statuses.size(), 1u);

    // The window was closed while the job was starting: nothing is asked or written.
    window.events.clear();
    window.inputs.output_path += L".new";
    flags.stop_requested = true;
    join_thread_main(job);
    EXPECT_EQ(window.events, (std::vector<std::string>{"job_started", "+busy", "+idle", "job_ended"}));
    EXPECT_FALSE(disk->read(window.inputs.output_path).has_value());

    // A check says so while it runs, and Exit does not close after it.
    window.events.clear();
    flags.stop_requested = false;
    job.kind = JobKind::check;
    join_thread_main(job);
    ASSERT_GE(window.events.size(), 4u);
    EXPECT_EQ(window.events[1], "+busy_checking");
    EXPECT_EQ(window.events.back(), "job_ended");
    EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "close"), 0);
    EXPECT_FALSE(disk->read(window.inputs.output_path).has_value());
}

}  // namespace
}  // namespace mendlet
