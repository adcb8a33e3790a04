// Damaged tables and faults around a save: each ends with one clear message,
// the table still usable, the file on disk intact and the typed texts kept.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"
#include "editing/table_saver.h"
#include "export/text_export.h"
#include "fault_injection.h"
#include "loaded_table.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

SaveResult Save(LoadedTable& t, const std::string& target)
{
    SaveRequest request;
    request.target = target;
    request.makeBackup = false;
    return SaveTalkTable(t.table, request, t.progress, t.dialogs, t.flags);
}

// Loads tablePath with programDirectory holding the cache and the journal.
bool LoadFrom(LoadedTable& t, const std::string& tablePath, const std::string& programDirectory)
{
    t.path = tablePath;
    t.table.ProgramDirectory = programDirectory;
    return LoadTableFile(t.table, tablePath, t.dialogs, t.progress, t.flags) == OpenResult::Opened && !t.table.CacheFailed;
}

std::string TextOf(const std::string& path, std::uint32_t n)
{
    const auto table = ReadReferenceTable(path);
    return table && n < table->entryCount ? table->entries[n].text : "<unreadable>";
}

void SetU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

TEST(SaveFaults, DeclaredLengthsBeyondTheDataYieldAndSaveOnlyTheBytesThatExist)
{
    // 62 bytes: entry 0 declares 0xFFFFFFFF bytes of which 18 exist.
    std::string bytes = tlkgen::MakeTalkTable(Texts({"eighteen bytes txt"}));
    ASSERT_EQ(bytes.size(), 62u);
    SetU32(bytes, 18 + 22, 0xFFFFFFFFu);
    LoadedTable t;
    ASSERT_TRUE(t.load(bytes));
    EXPECT_EQ(t.table.ReadCachedString(0), "eighteen bytes txt");

    ASSERT_TRUE(t.edit(0, "eighteen bytes txt"));  // edited and back: the entry goes through the journal
    RevertEditedEntry(t.table, 0);
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved) << t.dialogs.texts().front();
    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(t.dir.read("dialog.tlk").size(), 62u);
    EXPECT_EQ(saved->entries[0].length, 18u);
    EXPECT_EQ(saved->entries[0].text, "eighteen bytes txt");
    EXPECT_EQ(t.dir.read("lexic0.tmp").size(), 18u);
    EXPECT_EQ(t.table.EntryTable[0].Length, 18u);
}

TEST(SaveFaults, TextTypedButNotStoredStopsTheSave)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta", "gamma"}))));
    ASSERT_TRUE(t.edit(0, "ALPHA"));
    MarkEntryEdited(t.table, 2);  // typed; storing it failed
    const std::string before = t.dir.read("dialog.tlk");
    const auto files = t.dir.list();

    EXPECT_EQ(Save(t, t.path), SaveResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), UnsyncedEntryMessage(2));
    EXPECT_EQ(t.dir.read("dialog.tlk"), before);
    EXPECT_EQ(t.dir.list(), files);
    EXPECT_EQ(t.table.state(0), EditedByUser);
    EXPECT_FALSE(t.progress.shown);

    // Once stored, the same save goes through.
    ASSERT_TRUE(WriteJournalText(t.table, 2, "GAMMA", t.dialogs));
    EXPECT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_EQ(TextOf(t.path, 2), "GAMMA");
}

TEST(SaveFaults, FileChangedOnDiskIsReplacedOnlyWhenTheUserAgrees)
{
    const struct {
        const char* name;
        void (*change)(LoadedTable&);
        bool deleted;
    } cases[] = {
        {"rewritten longer", [](LoadedTable& t) { t.dir.write("dialog.tlk", t.dir.read("dialog.tlk") + "x"); }, false},
        {"touched",
         [](LoadedTable& t) {
             struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
             ::utimensat(AT_FDCWD, t.path.c_str(), times, 0);
         },
         false},
        {"replaced",
         [](LoadedTable& t) {
             t.dir.write("other.tlk", t.dir.read("dialog.tlk"));
             ::rename(t.dir.file("other.tlk").c_str(), t.path.c_str());
         },
         false},
        {"deleted", [](LoadedTable& t) { ::unlink(t.path.c_str()); }, true},
    };
    for (const auto& c : cases) {
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            SCOPED_TRACE(std::string(c.name) + (answer == Answer::Yes ? " / Yes" : " / No"));
            LoadedTable t;
            ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
            ASSERT_TRUE(t.edit(1, "BETA"));
            c.change(t);
            const bool existed = t.dir.exists("dialog.tlk");
            const std::string theirs = existed ? t.dir.read("dialog.tlk") : "";
            t.dialogs.answers.push_back(answer);

            const SaveResult result = Save(t, t.path);
            ASSERT_EQ(t.dialogs.boxes.size(), 1u);
            EXPECT_EQ(t.dialogs.boxes[0].buttons, Buttons::YesNo);
            EXPECT_EQ(t.dialogs.boxes[0].text,
                      c.deleted ? DeletedOnDiskQuestion(t.path) : ChangedOnDiskQuestion(t.path));
            if (answer == Answer::No) {
                EXPECT_EQ(result, SaveResult::Cancelled);
                EXPECT_EQ(t.dir.exists("dialog.tlk"), existed);
                if (existed) {
                    EXPECT_EQ(t.dir.read("dialog.tlk"), theirs);
                }
                EXPECT_EQ(t.table.state(1), EditedByUser);
                EXPECT_TRUE(t.dir.exists(t.journal(1)));
                EXPECT_FALSE(t.progress.shown);
            } else {
                EXPECT_EQ(result, SaveResult::Saved);
                EXPECT_EQ(TextOf(t.path, 1), "BETA");
                // The saved file is the new reference: the next save asks nothing.
                t.dialogs.clear();
                ASSERT_TRUE(t.edit(0, "ALPHA"));
                EXPECT_EQ(Save(t, t.path), SaveResult::Saved);
                EXPECT_TRUE(t.dialogs.boxes.empty());
            }
        }
    }
}

TEST(SaveFaults, CacheDeletedFromOutsideIsReadThroughTheHeldHandle)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta", "gamma"}))));
    ASSERT_TRUE(t.edit(1, "BETA"));
    ASSERT_EQ(::unlink(t.table.CachePath.c_str()), 0);
    EXPECT_FALSE(t.table.Cache.map());  // the search's reopening fails...
    EXPECT_EQ(t.table.ReadCachedString(2), "gamma");  // ...the held handle still reads

    ASSERT_EQ(Save(t, t.path), SaveResult::Saved) << t.dialogs.texts().front();
    EXPECT_TRUE(t.dialogs.boxes.empty());
    EXPECT_EQ(TextOf(t.path, 2), "gamma");
    EXPECT_EQ(TextOf(t.path, 1), "BETA");
    EXPECT_EQ(t.table.ReadCachedString(1), "BETA");
    EXPECT_TRUE(t.dir.exists("lexic0.tmp"));
}

TEST(SaveFaults, RebuildingTheCacheNeedsRoomForOneCacheOnly)
{
    // The program directory has room for one cache of the table, not two.
    SmallFileSystem programDirectory(512 * 1024);
    if (!programDirectory.unavailable().empty()) GTEST_SKIP() << programDirectory.unavailable();
    LoadedTable t;
    t.dir.write("dialog.tlk", tlkgen::MakeTalkTable(Texts({std::string(300 * 1024, 'a'), "b"})));
    ASSERT_TRUE(LoadFrom(t, t.dir.file("dialog.tlk"), programDirectory.path()));
    ASSERT_TRUE(t.edit(1, "B"));

    EXPECT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_TRUE(t.dialogs.boxes.empty()) << t.dialogs.texts().front();
    EXPECT_FALSE(t.table.CacheFailed);
    EXPECT_EQ(t.table.ReadCachedString(1), "B");
}

TEST(SaveFaults, FullDiskDuringFlushOrSaveKeepsFileAndJournal)
{
    SmallFileSystem disk(1024 * 1024);
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    LoadedTable t;
    const std::string path = disk.path() + "dialog.tlk";
    ASSERT_TRUE(WriteWholeFile(path, tlkgen::MakeTalkTable(Texts({std::string(200 * 1024, 'a'), "b", "c"}))));
    ASSERT_TRUE(LoadFrom(t, path, disk.path()));
    const std::string original = *ReadWholeFile(path);
    ASSERT_TRUE(t.edit(1, "BBB"));
    disk.fill(64 * 1024);

    // The flush: the text cannot be stored, the save refuses to go on without it.
    MarkEntryEdited(t.table, 2);
    EXPECT_FALSE(WriteJournalText(t.table, 2, std::string(100 * 1024, 'c'), t.dialogs));
    EXPECT_NE(t.dialogs.onlyText().find("No space left on device"), std::string::npos) << t.dialogs.onlyText();
    t.dialogs.clear();
    EXPECT_EQ(Save(t, path), SaveResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), UnsyncedEntryMessage(2));
    t.dialogs.clear();

    // The save proper: the new file does not fit.
    ASSERT_TRUE(WriteJournalText(t.table, 2, "C", t.dialogs));
    EXPECT_EQ(Save(t, path), SaveResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), DiskFullMessage(path));
    EXPECT_EQ(*ReadWholeFile(path), original);
    EXPECT_EQ(*ReadWholeFile(t.table.journalFilePath(1)), "BBB");
    EXPECT_EQ(t.table.state(1), EditedByUser);

    // With room again, the same table saves.
    disk.removeFiller();
    t.dialogs.clear();
    EXPECT_EQ(Save(t, path), SaveResult::Saved);
    EXPECT_TRUE(t.dialogs.boxes.empty()) << t.dialogs.texts().front();
    EXPECT_EQ(TextOf(path, 1), "BBB");
    EXPECT_EQ(TextOf(path, 2), "C");
}

TEST(SaveFaults, FullDiskDuringAnExportKeepsThePreviousExport)
{
    SmallFileSystem disk(512 * 1024);
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({std::string(300 * 1024, 'a'), "b"}))));
    const std::string target = disk.path() + "dialog.txt";
    ASSERT_TRUE(WriteWholeFile(target, "an earlier export"));
    disk.fill(64 * 1024);

    EXPECT_EQ(ExportTextTo(t.table, target, ExportOptions{}, t.progress, t.dialogs, t.flags), ExportResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), ExportFailedMessage);
    EXPECT_EQ(*ReadWholeFile(target), "an earlier export");
    EXPECT_EQ(t.table.ReadCachedString(1), "b");

    disk.removeFiller();
    t.dialogs.clear();
    EXPECT_EQ(ExportTextTo(t.table, target, ExportOptions{}, t.progress, t.dialogs, t.flags), ExportResult::Exported);
}

TEST(SaveFaults, FolderThatRefusesNewFilesSuggestsAnotherFile)
{
    LoadedTable t;
    TempDir tableFolder;
    tableFolder.write("dialog.tlk", tlkgen::MakeTalkTable(Texts({"alpha", "beta"})));
    ASSERT_TRUE(LoadFrom(t, tableFolder.file("dialog.tlk"), t.dir.path()));
    ASSERT_TRUE(t.edit(1, "BETA"));
    const std::string original = tableFolder.read("dialog.tlk");
    ImmutableFolder locked(tableFolder.path());
    if (!locked.unavailable().empty()) GTEST_SKIP() << locked.unavailable();

    EXPECT_EQ(Save(t, t.path), SaveResult::Failed);
    std::string folder = tableFolder.path();
    folder.pop_back();
    EXPECT_EQ(t.dialogs.onlyText(), FolderRefusesMessage(t.path, folder, EPERM));
    EXPECT_EQ(tableFolder.read("dialog.tlk"), original);
    EXPECT_EQ(t.table.state(1), EditedByUser);

    locked.release();
    EXPECT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_EQ(TextOf(t.path, 1), "BETA");
}

TEST(SaveFaults, ProgramFolderMadeReadOnlyWhileATableIsOpen)
{
    LoadedTable t;
    TempDir tableFolder;
    tableFolder.write("dialog.tlk", tlkgen::MakeTalkTable(Texts({"alpha", "beta"})));
    ASSERT_TRUE(LoadFrom(t, tableFolder.file("dialog.tlk"), t.dir.path()));
    ASSERT_TRUE(t.edit(0, "ALPHA"));
    ImmutableFolder locked(t.dir.path());
    if (!locked.unavailable().empty()) GTEST_SKIP() << locked.unavailable();

    // No journal file can be written: the text stays typed, unsaved.
    MarkEntryEdited(t.table, 1);
    EXPECT_FALSE(WriteJournalText(t.table, 1, "BETA", t.dialogs));
    EXPECT_EQ(t.dialogs.boxes.size(), 1u);
    t.dialogs.clear();
    EXPECT_EQ(Save(t, t.path), SaveResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), UnsyncedEntryMessage(1));
    EXPECT_EQ(TextOf(t.path, 0), "alpha");

    // Once the folder takes files again, everything typed is saved.
    locked.release();
    t.dialogs.clear();
    ASSERT_TRUE(WriteJournalText(t.table, 1, "BETA", t.dialogs));
    EXPECT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_EQ(TextOf(t.path, 0), "ALPHA");
    EXPECT_EQ(TextOf(t.path, 1), "BETA");
}

}  // namespace
}  // namespace lexicarta::testing
