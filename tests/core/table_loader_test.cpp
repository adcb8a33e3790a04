#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "core/table_loader.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

namespace lexicarta {
namespace {

using testing::FakeDialogs;
using testing::FakeProgress;
using testing::TempDir;

// A table loaded through the core steps, as the main window sequences them.
struct Loaded {
    TempDir dir;
    TalkTable table;
    RunFlags flags;
    FakeDialogs dialogs;
    FakeProgress progress{flags};

    Loaded() { table.ProgramDirectory = dir.path(); }

    OpenResult load(const std::string& path, CacheKind kind = CacheKind::Copy)
    {
        CloseTable(table);
        OpenedTalkTable file;
        const OpenResult result = OpenTalkTableFile(path, dialogs, file);
        if (result != OpenResult::Opened) return result;
        table.CacheNumber = ChooseCacheNumber(table.ProgramDirectory);
        table.CachePath = table.ProgramDirectory + TalkTable::CacheFileName(table.CacheNumber);
        BuildStringCache(table, file, progress, dialogs, flags, kind);
        table.CachedEntryCount = table.EntryCount;
        return result;
    }
};

TEST(TableLoader, LoadCopiesTheStringDataAndEveryRecord)
{
    Loaded l;
    tlkgen::GeneratorOptions options;
    options.entries = 3000;
    options.seed = 9;
    const auto generated = tlkgen::GenerateTalkTable(options);
    l.dir.write("dialog.tlk", generated.bytes);
    ASSERT_EQ(l.load(l.dir.file("dialog.tlk")), OpenResult::Opened);
    EXPECT_TRUE(l.dialogs.boxes.empty());

    const auto reference = ParseReferenceTable(generated.bytes);
    ASSERT_TRUE(reference);
    const TalkTable& t = l.table;
    EXPECT_TRUE(t.TableLoaded);
    EXPECT_FALSE(t.CacheFailed);
    EXPECT_EQ(t.EntryCount, 3000u);
    EXPECT_EQ(t.StringDataOffset, reference->stringDataOffset);
    EXPECT_EQ(std::string(t.Signature.data(), 8), "TLK V1  ");
    EXPECT_EQ(l.dir.read("lexic0.tmp"), generated.bytes.substr(reference->stringDataOffset));
    for (std::uint32_t n = 0; n < t.EntryCount; ++n) {
        const auto& want = reference->entries[n];
        const StrRefEntry& got = t.EntryTable[n];
        ASSERT_EQ(got.Flags, want.flags) << n;
        ASSERT_EQ(got.SoundResRef, want.soundResRef) << n;
        ASSERT_EQ(got.VolumeVariance, want.volumeVariance) << n;
        ASSERT_EQ(got.PitchVariance, want.pitchVariance) << n;
        ASSERT_EQ(got.Offset, want.offset) << n;
        ASSERT_EQ(got.Length, want.length) << n;
        ASSERT_EQ(t.BaselineEntryTable[n], got) << n;
        ASSERT_EQ(t.state(static_cast<std::int32_t>(n)), Original) << n;
        ASSERT_EQ(t.ReadCachedString(static_cast<std::int32_t>(n)), want.text) << n;
    }
    EXPECT_EQ(t.state(3000), NoEntry);
    EXPECT_EQ(t.state(EntryCapacity - 1), NoEntry);
    EXPECT_EQ(t.firstPendingSlot(), -1);
}

TEST(TableLoader, ProgressShowsTheLoadSteps)
{
    Loaded l;
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    l.dir.write("dialog.tlk", tlkgen::GenerateTalkTable(options).bytes);
    l.flags.ProcessFinished = false;
    ASSERT_EQ(l.load(l.dir.file("dialog.tlk")), OpenResult::Opened);
    EXPECT_EQ(l.progress.titles, std::vector<std::string>{"Loading talk table... Please wait."});
    EXPECT_EQ(l.progress.statuses, (std::vector<std::string>{"Reading data...", "Caching data..."}));
    EXPECT_EQ(l.progress.positions, (std::vector<int>{0, 1000}));
    EXPECT_FALSE(l.progress.barVisible);
    EXPECT_FALSE(l.progress.hintVisible);
    EXPECT_TRUE(l.flags.ProcessFinished);
    EXPECT_FALSE(l.progress.shown);  // closed, the close rule allowing it
}

TEST(TableLoader, RefusalsLeaveTheTableAlone)
{
    tlkgen::GeneratorOptions options;
    options.entries = 5;
    const std::string good = tlkgen::GenerateTalkTable(options).bytes;
    auto withU32 = [&good](std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        OpenResult result;
        BoxKind kind;
        std::string message;
    } cases[] = {
        {"empty file", "", OpenResult::Unreadable, BoxKind::Error, CannotOpenFileMessage},
        {"17 bytes", good.substr(0, 17), OpenResult::Unreadable, BoxKind::Error, CannotOpenFileMessage},
        {"lower-case signature", "tlk " + good.substr(4), OpenResult::BadSignature, BoxKind::Plain,
         "Corrupt or bad talk table file: signature invalid"},
        {"TLKX", "TLKX" + good.substr(4), OpenResult::BadSignature, BoxKind::Plain,
         "Corrupt or bad talk table file: signature invalid"},
        {"too many entries", withU32(10, EntryCapacity + 1), OpenResult::Refused, BoxKind::Error,
         "This talk table declares more entries than Lexicarta can hold (at most 1000001)."},
        {"records past the end", withU32(10, 1000000), OpenResult::Refused, BoxKind::Error,
         "This talk table is damaged: its entry table runs past the end of the file."},
        {"string data inside the records", withU32(14, 0), OpenResult::Refused, BoxKind::Error,
         "This talk table is damaged: its string data would begin inside its header or entry table."},
        {"string data past the end", withU32(14, static_cast<std::uint32_t>(good.size() + 1)), OpenResult::Refused,
         BoxKind::Error, "This talk table is damaged: its string data would begin beyond the end of the file."},
    };
    for (const auto& c : cases) {
        Loaded l;
        l.dir.write("bad.tlk", c.bytes);
        EXPECT_EQ(l.load(l.dir.file("bad.tlk")), c.result) << c.name;
        ASSERT_EQ(l.dialogs.boxes.size(), 1u) << c.name;
        EXPECT_EQ(l.dialogs.boxes[0].kind, c.kind) << c.name;
        EXPECT_EQ(l.dialogs.boxes[0].text, c.message) << c.name;
        EXPECT_FALSE(l.table.TableLoaded) << c.name;
        EXPECT_EQ(l.dir.list(), std::vector<std::string>{"bad.tlk"}) << c.name;
    }
}

TEST(TableLoader, AcceptsTheLimitsOfTheFormat)
{
    // No entries: no text, whatever bytes follow StringDataOffset.
    std::string empty = "TLK V1  ";
    empty += std::string("\x07\x00", 2) + std::string(4, '\0') + std::string("\x12\0\0\0", 4) + "xyz";
    // The string data begins exactly at the end of the file.
    std::vector<tlkgen::GeneratedEntry> entries(2);
    const std::string noData = tlkgen::MakeTalkTable(entries);
    const struct {
        const char* name;
        std::string bytes;
        std::uint32_t count;
        std::string cache;
    } cases[] = {{"no entries", empty, 0, ""}, {"no string data", noData, 2, ""}};
    for (const auto& c : cases) {
        Loaded l;
        l.dir.write("t.tlk", c.bytes);
        ASSERT_EQ(l.load(l.dir.file("t.tlk")), OpenResult::Opened) << c.name;
        EXPECT_TRUE(l.dialogs.boxes.empty()) << c.name;
        EXPECT_EQ(l.table.EntryCount, c.count) << c.name;
        EXPECT_EQ(l.dir.read("lexic0.tmp"), c.cache) << c.name;
        EXPECT_EQ(l.table.LanguageId, c.count == 0 ? 7 : 0) << c.name;
    }
}

// A named pipe (with a writer, so that nothing waits), a folder and a
// device are refused by what they are, before anything is read.
TEST(TableLoader, OnlyARegularFileIsATable)
{
    Loaded l;
    const std::string pipe = l.dir.file("pipe.tlk");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const UniqueFd writer(::open(pipe.c_str(), O_RDWR | O_CLOEXEC));
    ::mkdir(l.dir.file("folder.tlk").c_str(), 0700);
    for (const std::string& path : {pipe, l.dir.file("folder.tlk"), std::string("/dev/zero")})
        for (const bool forWriting : {true, false}) {
            l.dialogs.clear();
            OpenedTalkTable file;
            EXPECT_EQ(OpenTalkTableFile(path, l.dialogs, file, forWriting), OpenResult::Refused) << path;
            EXPECT_EQ(l.dialogs.onlyText(), path + " is not a regular file");
        }
}

// A small table made 2 GB long by a hole: the cache holds the texts only.
TEST(TableLoader, CacheEndsWithTheFurthestText)
{
    Loaded l;
    const std::string bytes = tlkgen::MakeTalkTable(std::vector<tlkgen::GeneratedEntry>{{0, {}, 0, 0, 0, 0, "only"}});
    l.dir.write("sparse.tlk", bytes);
    ASSERT_EQ(::truncate(l.dir.file("sparse.tlk").c_str(), std::int64_t{1} << 31), 0);
    for (const CacheKind kind : {CacheKind::Copy, CacheKind::InPlace}) {
        ASSERT_EQ(l.load(l.dir.file("sparse.tlk"), kind), OpenResult::Opened);
        ASSERT_TRUE(l.table.Cache.map());
        ASSERT_EQ(l.table.Cache.view().size(), 4u);
        EXPECT_EQ(std::string(l.table.Cache.view().data(), l.table.Cache.view().size()), "only");
        if (kind == CacheKind::Copy) {
            EXPECT_EQ(l.dir.read("lexic0.tmp"), "only");
        }
    }
}

TEST(TableLoader, MissingFileNamesThePath)
{
    Loaded l;
    const std::string path = l.dir.file("gone.tlk");
    EXPECT_EQ(l.load(path), OpenResult::Missing);
    ASSERT_EQ(l.dialogs.boxes.size(), 1u);
    EXPECT_EQ(l.dialogs.boxes[0].kind, BoxKind::Warning);
    EXPECT_EQ(l.dialogs.boxes[0].text, path + " does not exist. It was probably moved or deleted since the last time "
                                              "you opened it in Lexicarta.");
}

TEST(TableLoader, ReadOnlyFileCannotBeLoaded)
{
    Loaded l;
    tlkgen::GeneratorOptions options;
    options.entries = 3;
    l.dir.write("ro.tlk", tlkgen::GenerateTalkTable(options).bytes);
    ::chmod(l.dir.file("ro.tlk").c_str(), 0444);
    EXPECT_EQ(l.load(l.dir.file("ro.tlk")), OpenResult::Unreadable);
    EXPECT_EQ(l.dialogs.onlyText(), CannotOpenFileMessage);
}

TEST(TableLoader, CacheNumberIsTheFirstFreeOneAndStaleCachesStay)
{
    Loaded first;
    tlkgen::GeneratorOptions options;
    options.entries = 4;
    first.dir.write("dialog.tlk", tlkgen::GenerateTalkTable(options).bytes);
    first.dir.write("lexic0.tmp", "stale");
    first.dir.write("lexic2.tmp", "stale too");
    ASSERT_EQ(first.load(first.dir.file("dialog.tlk")), OpenResult::Opened);
    EXPECT_EQ(first.table.CacheNumber, 1u);

    // A second program in the same directory takes the next free number and
    // each deletes only its own cache.
    TalkTable second;
    second.ProgramDirectory = first.dir.path();
    RunFlags flags;
    FakeProgress progress(flags);
    OpenedTalkTable file;
    ASSERT_EQ(OpenTalkTableFile(first.dir.file("dialog.tlk"), first.dialogs, file), OpenResult::Opened);
    second.CacheNumber = ChooseCacheNumber(second.ProgramDirectory);
    second.CachePath = second.ProgramDirectory + TalkTable::CacheFileName(second.CacheNumber);
    ASSERT_TRUE(BuildStringCache(second, file, progress, first.dialogs, flags));
    EXPECT_EQ(second.CacheNumber, 3u);

    CloseTable(first.table);
    EXPECT_EQ(first.dir.list(), (std::vector<std::string>{"dialog.tlk", "lexic0.tmp", "lexic2.tmp", "lexic3.tmp"}));
    EXPECT_TRUE(second.ReadCachedString(0).has_value());
    CloseTable(second);
    EXPECT_EQ(first.dir.list(), (std::vector<std::string>{"dialog.tlk", "lexic0.tmp", "lexic2.tmp"}));
}

TEST(TableLoader, ClosingDropsTheJournalOfTheTable)
{
    Loaded l;
    tlkgen::GeneratorOptions options;
    options.entries = 6;
    l.dir.write("dialog.tlk", tlkgen::GenerateTalkTable(options).bytes);
    ASSERT_EQ(l.load(l.dir.file("dialog.tlk")), OpenResult::Opened);
    l.table.EntryStateTable[2] = EditedByUser;
    l.table.EntryStateTable[5] = CreatedByUser;
    l.table.ChangesPending = true;
    l.dir.write("0ts2.tmp", "edited");
    l.dir.write("0ts5.tmp", "created");
    l.dir.write("0ts3.tmp", "not ours: entry 3 is unedited");

    CloseTable(l.table);
    EXPECT_EQ(l.dir.list(), (std::vector<std::string>{"0ts3.tmp", "dialog.tlk"}));
    EXPECT_FALSE(l.table.TableLoaded);
    EXPECT_FALSE(l.table.ChangesPending);
    EXPECT_TRUE(l.table.CachePath.empty());
    EXPECT_EQ(l.table.state(2), NoEntry);
}

TEST(TableLoader, UnreadableCacheDirectoryFailsWithTheCacheMessage)
{
    Loaded l;
    tlkgen::GeneratorOptions options;
    options.entries = 8;
    l.dir.write("dialog.tlk", tlkgen::GenerateTalkTable(options).bytes);
    l.table.ProgramDirectory = "/proc/no-such-directory/";
    ASSERT_EQ(l.load(l.dir.file("dialog.tlk")), OpenResult::Opened);
    EXPECT_EQ(l.dialogs.onlyText(), CacheCreationFailedMessage);
    EXPECT_TRUE(l.table.CacheFailed);
    EXPECT_FALSE(l.table.TableLoaded);
    EXPECT_TRUE(l.flags.StatisticsAborted);
    EXPECT_TRUE(l.flags.ProcessFinished);
    EXPECT_FALSE(l.progress.shown);
    EXPECT_FALSE(l.table.ReadCachedString(0).has_value());
    // The records are still the file's, so the display can show them.
    EXPECT_EQ(l.table.EntryCount, 8u);
    EXPECT_EQ(l.table.state(7), Original);
}

TEST(TableLoader, CachedTextStopsAtTheEndOfTheCache)
{
    std::vector<tlkgen::GeneratedEntry> entries(2);
    entries[0].text = "abc";
    entries[1].text = "defgh";
    std::string bytes = tlkgen::MakeTalkTable(entries);
    // Entry 1 claims 10 bytes; only 5 exist.
    bytes[18 + 26 + 22] = 10;
    Loaded l;
    l.dir.write("t.tlk", bytes);
    ASSERT_EQ(l.load(l.dir.file("t.tlk")), OpenResult::Opened);
    EXPECT_EQ(l.table.ReadCachedString(1), "defgh");
    l.table.BaselineEntryTable[1].Offset = 100;
    EXPECT_EQ(l.table.ReadCachedString(1), "");
}

TEST(TableLoader, TextsHeldInMemoryAreTheCopysTexts)
{
    std::vector<tlkgen::GeneratedEntry> two(2);
    two[0].text = "abc";
    two[1].text = std::string("de\0fgh", 6);
    std::string clipped = tlkgen::MakeTalkTable(two);
    clipped[18 + 26 + 22] = 10;  // entry 1 claims 10 bytes; 6 exist
    tlkgen::GeneratorOptions shuffled;
    shuffled.entries = 400;
    shuffled.seed = 3;
    shuffled.textsInStrRefOrder = false;
    // The string data begins 5000 bytes after the records, inside a page.
    std::string gap = tlkgen::GenerateTalkTable({.entries = 300, .seed = 5}).bytes;
    const std::uint32_t records = 18 + 26 * 300;
    gap.insert(records, std::string(5000, 'x'));
    const std::uint32_t offset = records + 5000;
    std::memcpy(gap.data() + 14, &offset, 4);
    const struct {
        const char* name;
        std::string bytes;
    } layouts[] = {
        {"in order", tlkgen::GenerateTalkTable({.entries = 500, .seed = 2}).bytes},
        {"shuffled", tlkgen::GenerateTalkTable(shuffled).bytes},
        {"gap before the texts", gap},
        {"record past the end", clipped},
        {"no entries", tlkgen::MakeTalkTable({})},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Loaded copy;
        Loaded memory;
        copy.dir.write("t.tlk", layout.bytes);
        memory.dir.write("t.tlk", layout.bytes);
        ASSERT_EQ(copy.load(copy.dir.file("t.tlk")), OpenResult::Opened);
        ASSERT_EQ(memory.load(memory.dir.file("t.tlk"), CacheKind::InPlace), OpenResult::Opened);
        EXPECT_TRUE(memory.table.TableLoaded);
        EXPECT_TRUE(memory.dialogs.boxes.empty());
        EXPECT_FALSE(memory.dir.exists("lexic0.tmp"));
        for (std::int32_t n = 0; n < static_cast<std::int32_t>(copy.table.EntryCount); ++n)
            ASSERT_EQ(memory.table.ReadCachedString(n), copy.table.ReadCachedString(n)) << n;
        ASSERT_TRUE(copy.table.Cache.map());
        ASSERT_TRUE(memory.table.Cache.map());
        const auto a = copy.table.Cache.view();
        const auto b = memory.table.Cache.view();
        EXPECT_EQ(std::string(a.data(), a.size()), std::string(b.data(), b.size()));
        // Unmapped and mapped again, the texts come back.
        memory.table.Cache.unmap();
        ASSERT_TRUE(memory.table.Cache.map());
        EXPECT_EQ(memory.table.Cache.view().size(), a.size());
        if (copy.table.EntryCount == 0) continue;
        memory.table.BaselineEntryTable[0].Offset = static_cast<std::uint32_t>(b.size());
        EXPECT_EQ(memory.table.ReadCachedString(0), "");
    }
}

}  // namespace
}  // namespace lexicarta
