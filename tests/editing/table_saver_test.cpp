// Saving: the bytes written, read back by the independent reader, the
// backups, the journal consumed and the cache rebuilt, and every failure
// leaving the target and the journal as they were.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <map>

#include "core/file_io.h"
#include "editing/table_saver.h"
#include "loaded_table.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

SaveResult Save(LoadedTable& t, const std::string& target, bool backup = true, bool truncateBackup = false,
                bool skipCacheUpdate = false)
{
    SaveRequest request;
    request.target = target;
    request.makeBackup = backup;
    request.makeTruncateBackup = truncateBackup;
    request.skipCacheUpdate = skipCacheUpdate;
    return SaveTalkTable(t.table, request, t.progress, t.dialogs, t.flags);
}

std::vector<std::string> JournalFiles(const LoadedTable& t)
{
    std::vector<std::string> names;
    for (const std::string& name : t.dir.list())
        if (name.find("ts") != std::string::npos) names.push_back(name);
    return names;
}

TEST(SaveTalkTable, EditedTableIsWrittenBackedUpAndBecomesTheNewStart)
{
    LoadedTable t;
    tlkgen::GeneratorOptions options;
    options.entries = 300;
    options.seed = 4;
    const auto generated = tlkgen::GenerateTalkTable(options);
    ASSERT_TRUE(t.load(generated.bytes));
    ASSERT_TRUE(t.edit(10, "New text\r\nwith a break"));
    ASSERT_TRUE(t.edit(200, ""));
    MarkEntrySoundEdited(t.table, 50);
    t.table.EntryTable[50].SoundResRef = SoundResRefFromText("SOUND_8C");
    ASSERT_TRUE(t.edit(50, generated.entries[50].text));

    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_TRUE(t.dialogs.boxes.empty()) << t.dialogs.texts().front();
    EXPECT_EQ(t.dir.read("dialog.tlk.bak"), generated.bytes);
    EXPECT_FALSE(t.dir.exists("dialog.tlk.trc.bak"));

    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    const auto old = ParseReferenceTable(generated.bytes);
    ASSERT_EQ(saved->entryCount, 300u);
    EXPECT_EQ(saved->signature, old->signature);
    EXPECT_EQ(saved->stringDataOffset, old->stringDataOffset);
    for (std::uint32_t i = 0; i < 300; ++i) {
        const ReferenceEntry& entry = saved->entries[i];
        const std::string expected = i == 10 ? "New text\nwith a break" : i == 200 ? "" : old->entries[i].text;
        EXPECT_EQ(entry.text, expected) << i;
        EXPECT_EQ(entry.volumeVariance, old->entries[i].volumeVariance);
        EXPECT_EQ(entry.pitchVariance, old->entries[i].pitchVariance);
        EXPECT_EQ(entry.soundResRef, i == 50 ? SoundResRefFromText("SOUND_8C") : old->entries[i].soundResRef) << i;
        if (i != 10 && i != 200 && i != 50) {
            EXPECT_EQ(entry.flags, old->entries[i].flags) << i;
        }
    }

    // The journal is consumed and the cache holds the saved string data.
    EXPECT_TRUE(JournalFiles(t).empty());
    EXPECT_EQ(t.table.firstPendingSlot(), -1);
    EXPECT_FALSE(t.table.ChangesPending);
    EXPECT_EQ(t.dir.read("lexic0.tmp"), t.dir.read("dialog.tlk").substr(saved->stringDataOffset));
    EXPECT_EQ(t.entries(), std::vector<StrRefEntry>(t.table.BaselineEntryTable.get(),
                                                    t.table.BaselineEntryTable.get() + 300));
    EXPECT_EQ(t.table.ReadCachedString(10), "New text\nwith a break");
    EXPECT_EQ(t.table.CachedEntryCount, 300u);
    EXPECT_TRUE(t.table.TableLoaded);
    EXPECT_EQ(t.progress.statuses, (std::vector<std::string>{"Writing StrRefs...", "Writing Strings...",
                                                              "Updating string cache...", "Finishing operations..."}));
    EXPECT_EQ(t.progress.titles.front(), "Saving talk table file... Please wait.");
    EXPECT_FALSE(t.progress.barVisible);
    // Nothing of the save's own files stays behind.
    EXPECT_EQ(t.dir.list(), (std::vector<std::string>{"dialog.tlk", "dialog.tlk.bak", "lexic0.tmp"}));
}

TEST(SaveTalkTable, UneditedTableIsRewrittenWithItsLayoutRules)
{
    // Entry 0 "abc"; entry 1 empty at offset 0; entry 2 "de" at 5 behind two
    // bytes nobody uses; the data region ends with three more unused bytes.
    std::vector<tlkgen::GeneratedEntry> entries = Texts({"abc", "", "de"});
    std::string bytes = tlkgen::MakeTalkTable(entries, 7);
    const std::size_t data = 18 + 3 * 26;
    bytes.insert(data + 3, "XY");
    bytes[18 + 2 * 26 + 18] = 5;  // entry 2's offset
    bytes += "ZZZ";
    LoadedTable t;
    ASSERT_TRUE(t.load(bytes));
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);

    std::string expected = bytes.substr(0, data + 7);
    expected[data + 3] = expected[data + 4] = '\0';
    expected[18 + 26 + 18] = 3;  // the empty entry now continues entry 0
    EXPECT_EQ(t.dir.read("dialog.tlk"), expected);
    EXPECT_EQ(t.table.EntryTable[1].Offset, 3u);
}

TEST(SaveTalkTable, LengthChangesAndNewEntriesMoveTheTexts)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"one", "two", "three"}))));
    const std::string before = t.dir.read("dialog.tlk");
    ASSERT_TRUE(t.edit(0, "one+5"));
    ASSERT_TRUE(t.edit(0, "one++++5"));
    ASSERT_EQ(AppendEntry(t.table, t.dialogs), 3);
    ASSERT_TRUE(t.edit(3, "four"));
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);

    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entryCount, 4u);
    EXPECT_EQ(saved->stringDataOffset, 18u + 4 * 26);
    EXPECT_EQ(saved->entries[1].offset, 8u);
    EXPECT_EQ(saved->entries[2].offset, 11u);
    EXPECT_EQ(saved->entries[3].offset, 16u);
    EXPECT_EQ(saved->entries[3].flags, 3);
    EXPECT_EQ(saved->entries[3].text, "four");
    EXPECT_EQ(t.dir.read("dialog.tlk").size(), before.size() + 5 + 26 + 4);
}

TEST(SaveTalkTable, EditsOfShuffledTextsNeverOverwriteAnotherText)
{
    tlkgen::GeneratorOptions options;
    options.entries = 400;
    options.seed = 21;
    options.textsInStrRefOrder = false;
    const auto generated = tlkgen::GenerateTalkTable(options);
    LoadedTable t;
    ASSERT_TRUE(t.load(generated.bytes));
    std::map<std::uint32_t, std::string> edits;
    for (std::uint32_t n : {1u, 7u, 42u, 99u, 250u, 399u}) {
        edits[n] = std::string(generated.entries[n].text.size() + 37, 'g');
        ASSERT_TRUE(t.edit(static_cast<std::int32_t>(n), edits[n]));
    }
    edits[3] = "";
    ASSERT_TRUE(t.edit(3, ""));
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);
    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    for (std::uint32_t i = 0; i < 400; ++i) {
        const auto edit = edits.find(i);
        EXPECT_EQ(saved->entries[i].text, edit != edits.end() ? edit->second : generated.entries[i].text) << i;
    }
    // Unedited, the shuffled order is kept as it was (but for a text at
    // offset 0 after the first entry, which continues the text before).
    LoadedTable u;
    ASSERT_TRUE(u.load(generated.bytes));
    ASSERT_EQ(Save(u, u.path), SaveResult::Saved);
    const auto kept = ReadReferenceTable(u.path);
    for (std::uint32_t i = 0; i < 400; ++i) {
        EXPECT_EQ(kept->entries[i].text, generated.entries[i].text);
        if (generated.entries[i].length > 0 && (i == 0 || generated.entries[i].offset > 0)) {
            EXPECT_EQ(kept->entries[i].offset, generated.entries[i].offset) << i;
        }
    }
}

TEST(SaveTalkTable, EmptyTablesAndLargeTexts)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable({})));
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);
    EXPECT_EQ(t.dir.read("dialog.tlk").size(), 18u);
    ASSERT_EQ(AppendEntry(t.table, t.dialogs), 0);
    const std::string large(100000, 'L');
    ASSERT_TRUE(t.edit(0, large));
    ASSERT_EQ(Save(t, t.path), SaveResult::Saved);
    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entryCount, 1u);
    EXPECT_EQ(saved->stringDataOffset, 44u);
    EXPECT_EQ(saved->entries[0].text, large);
    EXPECT_EQ(t.table.ReadCachedString(0), large);
}

TEST(SaveTalkTable, BackupsAreCopiesOfTheLoadedFile)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
    const std::string loaded = t.dir.read("dialog.tlk");
    t.dir.write("dialog.tlk.bak", "an older backup");
    ASSERT_TRUE(t.edit(1, "gamma"));
    ASSERT_EQ(Save(t, t.path, true, true), SaveResult::Saved);
    EXPECT_EQ(t.dir.read("dialog.tlk.bak"), loaded);
    EXPECT_EQ(t.dir.read("dialog.tlk.trc.bak"), loaded);

    // Saved elsewhere: the backup is of the loaded file, which stays as it
    // was; the new file is the current table from then on.
    ASSERT_TRUE(t.edit(1, "delta"));
    const std::string current = t.dir.read("dialog.tlk");
    ASSERT_EQ(Save(t, t.dir.file("other.tlk"), true), SaveResult::Saved);
    EXPECT_EQ(t.dir.read("dialog.tlk"), current);
    EXPECT_EQ(t.dir.read("dialog.tlk.bak"), current);
    EXPECT_EQ(t.table.CurrentTablePath, t.dir.file("other.tlk"));
    EXPECT_EQ(t.table.LastOpenedPath, t.dir.file("other.tlk"));
    EXPECT_EQ(ReadReferenceTable(t.dir.file("other.tlk"))->entries[1].text, "delta");

    // No backup asked for, none made.
    ASSERT_TRUE(t.edit(0, "epsilon"));
    ASSERT_EQ(Save(t, t.table.CurrentTablePath, false), SaveResult::Saved);
    EXPECT_FALSE(t.dir.exists("other.tlk.bak"));
}

TEST(SaveTalkTable, TargetKeepsItsPermissionsAndLinks)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha"}))));
    ASSERT_EQ(::chmod(t.path.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(t.path.c_str(), t.dir.file("link.tlk").c_str()), 0);
    ASSERT_TRUE(t.edit(0, "beta"));
    ASSERT_EQ(Save(t, t.dir.file("link.tlk"), false), SaveResult::Saved);
    struct stat st {};
    ASSERT_EQ(::lstat(t.dir.file("link.tlk").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(t.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadReferenceTable(t.path)->entries[0].text, "beta");
}

// Failures that stop the save: the target stays as it was, the journal and
// the states stay for another try, one message, the progress window closed.
TEST(SaveTalkTable, FailuresLeaveTargetAndJournalUntouched)
{
    struct Case {
        const char* name;
        std::function<std::string(LoadedTable&)> prepare;  // returns the target
        std::string message;                                // "" : the target's creation message
        BoxKind kind;
        SaveResult result;
    };
    const Case cases[] = {
        {"journal file deleted from outside",
         [](LoadedTable& t) {
             std::remove(t.dir.file(t.journal(2)).c_str());
             return t.path;
         },
         JournalMissingMessage(2, ENOENT), BoxKind::Plain, SaveResult::Failed},
        {"journal file shorter than its entry",
         [](LoadedTable& t) {
             t.dir.write(t.journal(2), "x");
             return t.path;
         },
         JournalReadFailedMessage, BoxKind::Plain, SaveResult::Failed},
        {"target directory missing",
         [](LoadedTable&) { return std::string("/proc/lexicarta-missing/dialog.tlk"); },
         "Cannot create file \"/proc/lexicarta-missing/dialog.tlk\". No such file or directory.", BoxKind::Error,
         SaveResult::Failed},
        {"target read-only",
         [](LoadedTable& t) {
             ::chmod(t.path.c_str(), 0444);
             return t.path;
         },
         "", BoxKind::Error, SaveResult::Failed},
        {"target is a directory",
         [](LoadedTable& t) {
             ::mkdir(t.dir.file("folder.tlk").c_str(), 0755);
             return t.dir.file("folder.tlk");
         },
         "", BoxKind::Error, SaveResult::Failed},
        {"cache handle and file gone",
         [](LoadedTable& t) {
             t.table.Cache.release();
             t.table.CachePath = t.dir.file("no-such-cache.tmp");
             return t.path;
         },
         SaveStreamFailedMessage, BoxKind::Plain, SaveResult::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedTable t;
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta", "gamma", "delta"}))));
        ASSERT_TRUE(t.edit(1, "BETA"));
        ASSERT_TRUE(t.edit(2, "GAMMA!"));
        const auto entries = t.entries();
        const std::string target = c.prepare(t);
        const std::string before = FileExists(target) ? t.dir.read(target.substr(t.dir.path().size())) : "";
        const auto files = t.dir.list();
        t.flags.KeepRunning = true;
        t.flags.ProcessFinished = false;

        EXPECT_EQ(Save(t, target, false), c.result);
        ASSERT_EQ(t.dialogs.boxes.size(), 1u);
        const std::string expected =
            c.message.empty() ? "Cannot create file \"" + target + "\". " +
                                    (std::string(c.name) == "target read-only" ? "Permission denied." : "Is a directory.")
                              : c.message;
        EXPECT_EQ(t.dialogs.boxes.front().text, expected);
        EXPECT_EQ(t.dialogs.boxes.front().kind, c.kind);
        EXPECT_FALSE(t.progress.shown);
        if (!before.empty()) {
            EXPECT_EQ(t.dir.read(target.substr(t.dir.path().size())), before);
        }
        EXPECT_EQ(t.dir.list(), files);
        EXPECT_EQ(t.entries(), entries);
        EXPECT_EQ(t.table.state(1), EditedByUser);
        EXPECT_TRUE(t.table.ChangesPending);
        EXPECT_EQ(t.table.CurrentTablePath, t.path);
    }
}

TEST(SaveTalkTable, SavingOnExitLeavesCacheAndStates)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
    const std::string cache = t.dir.read("lexic0.tmp");
    ASSERT_TRUE(t.edit(0, "ALPHA"));
    ASSERT_EQ(Save(t, t.path, true, false, true), SaveResult::Saved);
    EXPECT_EQ(ReadReferenceTable(t.path)->entries[0].text, "ALPHA");
    EXPECT_TRUE(JournalFiles(t).empty());
    EXPECT_EQ(t.dir.read("lexic0.tmp"), cache);
    EXPECT_EQ(t.table.state(0), EditedByUser);
    for (const std::string& status : t.progress.statuses) EXPECT_NE(status, "Updating string cache...");
}

TEST(SaveTalkTable, CacheThatCannotBeRebuiltLeavesTheStatesOfTheSavedFile)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
    ASSERT_TRUE(t.edit(1, "BETA"));
    t.table.CachePath = "/proc/lexicarta-missing/lexic0.tmp";
    EXPECT_FALSE(UpdateStringCache(t.table, t.path, t.progress, t.dialogs, t.flags));
    EXPECT_EQ(t.dialogs.onlyText(), CacheCreationFailedMessage);
    EXPECT_TRUE(t.table.CacheFailed);
    EXPECT_FALSE(t.table.TableLoaded);
    EXPECT_TRUE(t.flags.StatisticsAborted);
    EXPECT_FALSE(t.progress.shown);
    EXPECT_EQ(t.table.state(1), Original);
    EXPECT_EQ(t.table.BaselineEntryTable[1], t.table.EntryTable[1]);
}

}  // namespace
}  // namespace lexicarta::testing
