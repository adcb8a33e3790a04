// Truncation: the field check, the shortened file read back independently,
// both backups, and a save that did not happen changing nothing.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/file_io.h"
#include "editing/table_truncation.h"
#include "fault_injection.h"
#include "loaded_table.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

std::function<SaveResult(Dialogs&)> SaveOver(LoadedTable& t, bool backup = true, bool truncateBackup = true)
{
    return [&t, backup, truncateBackup](Dialogs& dialogs) {
        SaveRequest request;
        request.target = t.table.CurrentTablePath;
        request.makeBackup = backup;
        request.makeTruncateBackup = truncateBackup;
        return SaveTalkTable(t.table, request, t.progress, dialogs, t.flags);
    };
}

TEST(TruncateTable, FieldCheck)
{
    struct Case {
        std::uint32_t entries;
        const char* field;
        std::optional<std::uint32_t> accepted;
        std::string message;
    };
    const std::string range = "Please specify an integer between 1 and ";
    const Case cases[] = {
        {1000, "999", 999, ""},
        {1000, "1", 1, ""},
        {1000, "0", std::nullopt, TruncateFromZeroMessage},
        {1000, "1000", std::nullopt, range + "999"},
        {1000, "-3", std::nullopt, range + "999"},
        {1000, "abc", std::nullopt, range + "999"},
        {1, "1", std::nullopt, "This talk table has too few strings to truncate: it has 1 and needs at least 2."},
        {1, "0", std::nullopt, "This talk table has too few strings to truncate: it has 1 and needs at least 2."},
        {0, "1", std::nullopt, "This talk table has too few strings to truncate: it has 0 and needs at least 2."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " of " + std::to_string(c.entries));
        FakeDialogs dialogs;
        EXPECT_EQ(CheckTruncateStrRef(c.field, c.entries, dialogs), c.accepted);
        EXPECT_EQ(dialogs.onlyText(), c.message);
    }
}

TEST(TruncateTable, KeepsTheFirstEntriesAndBacksUpTheOldFile)
{
    for (const bool ordered : {true, false}) {
        for (const std::uint32_t n : {250u, 399u}) {
            SCOPED_TRACE(std::to_string(n) + (ordered ? " ordered" : " shuffled"));
            tlkgen::GeneratorOptions options;
            options.entries = 400;
            options.seed = 13;
            options.textsInStrRefOrder = ordered;
            const auto generated = tlkgen::GenerateTalkTable(options);
            LoadedTable t;
            ASSERT_TRUE(t.load(generated.bytes));
            bool shown = false;
            const auto result = TruncateTable(t.table, std::to_string(n), t.dialogs, SaveOver(t), [&] {
                shown = true;
                EXPECT_TRUE(t.dialogs.boxes.empty());
            });
            ASSERT_EQ(result, TruncateResult::Truncated);
            EXPECT_TRUE(shown);
            EXPECT_EQ(t.dialogs.onlyText(), "Truncate has been successful. " + std::to_string(400 - n) +
                                                " string(s) were erased. The new file has " + std::to_string(n) +
                                                " strings.");
            EXPECT_EQ(t.dialogs.boxes.front().kind, BoxKind::Information);

            EXPECT_EQ(t.dir.read("dialog.tlk.bak"), generated.bytes);
            EXPECT_EQ(t.dir.read("dialog.tlk.trc.bak"), generated.bytes);
            const auto old = ParseReferenceTable(generated.bytes);
            const auto saved = ReadReferenceTable(t.path);
            ASSERT_TRUE(saved);
            EXPECT_EQ(saved->entryCount, n);
            EXPECT_EQ(saved->stringDataOffset, old->stringDataOffset - 26 * (400 - n));
            for (std::uint32_t i = 0; i < n; ++i) {
                const ReferenceEntry& was = old->entries[i];
                const ReferenceEntry& now = saved->entries[i];
                EXPECT_TRUE(now.text == was.text && now.flags == was.flags && now.soundResRef == was.soundResRef &&
                            now.volumeVariance == was.volumeVariance && now.pitchVariance == was.pitchVariance)
                    << i;
                // An offset of 0 after the first entry is the one the save
                // rewrites; in the shuffled table that moves a text onto
                // another one, so the save lays all texts out afresh.
                if (ordered && (i == 0 || was.offset > 0)) {
                    EXPECT_EQ(now.offset, was.offset) << i;
                }
            }
            // The table now describes the shortened file.
            EXPECT_EQ(t.table.EntryCount, n);
            EXPECT_EQ(t.table.CachedEntryCount, n);
            EXPECT_EQ(t.table.state(static_cast<std::int32_t>(n)), NoEntry);
            EXPECT_EQ(t.table.ReadCachedString(static_cast<std::int32_t>(n - 1)), generated.entries[n - 1].text);
        }
    }
}

TEST(TruncateTable, FailedSaveChangesNothing)
{
    // A file the user may not write, and a full disk (which the truncation
    // words for itself: there are no changes to keep and save again).
    for (const bool fullDisk : {false, true}) {
        std::optional<SmallFileSystem> disk;
        if (fullDisk && !disk.emplace(1024 * 1024).unavailable().empty()) GTEST_SKIP() << disk->unavailable();
        LoadedTable t;
        t.table.ProgramDirectory = t.dir.path();
        t.path = (disk ? disk->path() : t.dir.path()) + "dialog.tlk";
        const std::string before = tlkgen::MakeTalkTable(Texts({std::string(200 * 1024, 'a'), "beta", "gamma", "delta"}));
        ASSERT_TRUE(WriteWholeFile(t.path, before));
        ASSERT_EQ(LoadTableFile(t.table, t.path, t.dialogs, t.progress, t.flags), OpenResult::Opened);
        const std::uint32_t dataOffset = t.table.StringDataOffset;
        if (disk) disk->fill(64 * 1024);
        else ::chmod(t.path.c_str(), 0444);
        bool shown = false;
        EXPECT_EQ(TruncateTable(t.table, "2", t.dialogs, SaveOver(t, false, false), [&] { shown = true; }),
                  TruncateResult::NotSaved);
        EXPECT_FALSE(shown);
        EXPECT_EQ(t.dialogs.onlyText(), fullDisk ? TruncateDiskFullMessage(t.path, 4)
                                                 : "Cannot create file \"" + t.path + "\". Permission denied.");
        EXPECT_EQ(ReadWholeFile(t.path), before);
        EXPECT_EQ(t.table.EntryCount, 4u);
        EXPECT_EQ(t.table.StringDataOffset, dataOffset);
        EXPECT_EQ(t.table.CachedEntryCount, 4u);
        EXPECT_EQ(t.table.state(3), Original);
    }
}

}  // namespace
}  // namespace lexicarta::testing
