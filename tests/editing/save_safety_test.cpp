// A save among other programs and planted files: a table changed while it is
// being saved, backups that are links or folders, and the records of empty
// entries after texts were shortened.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include "editing/table_saver.h"
#include "loaded_table.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

SaveResult Save(LoadedTable& t, const std::string& target, bool truncateBackup = false)
{
    SaveRequest request;
    request.target = target;
    request.makeTruncateBackup = truncateBackup;
    return SaveTalkTable(t.table, request, t.progress, t.dialogs, t.flags);
}

const std::string Other = tlkgen::MakeTalkTable(Texts({"written", "by another program"}));

TEST(SaveSafety, TableChangedOnDiskWhileSavingIsAskedAboutAgain)
{
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        LoadedTable t;
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
        ASSERT_TRUE(t.edit(1, "mine"));
        // Another program replaces the file after the check at the start.
        t.progress.onStatus = [&](const std::string& status) {
            if (status != "Writing Strings...") return;
            t.dir.write("other", Other);
            ::rename(t.dir.file("other").c_str(), t.path.c_str());
        };
        t.dialogs.answers = {answer};
        EXPECT_EQ(Save(t, t.path), answer == Answer::Yes ? SaveResult::Saved : SaveResult::Cancelled);
        EXPECT_EQ(t.dialogs.texts(), std::vector<std::string>{ChangedOnDiskQuestion(t.path)});
        EXPECT_EQ(ReadReferenceTable(t.path)->entries[1].text, answer == Answer::Yes ? "mine" : "by another program");
        EXPECT_EQ(t.table.state(1), answer == Answer::Yes ? Original : EditedByUser);
        EXPECT_EQ(t.dir.exists(t.journal(1)), answer == Answer::No);
        EXPECT_FALSE(t.progress.shown);
    }
}

// Backups are made as the table is: a new file renamed over the old name,
// never written through a link planted there, with the table's mode.
TEST(SaveSafety, BackupsReplaceLinksAndKeepTheTablesMode)
{
    for (const bool elsewhere : {false, true}) {
        for (const char* backup : {"dialog.tlk.bak", "dialog.tlk.trc.bak"}) {
            SCOPED_TRACE(std::string(backup) + (elsewhere ? " saving elsewhere" : ""));
            LoadedTable t;
            ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
            const std::string loaded = t.dir.read("dialog.tlk");
            ASSERT_EQ(::chmod(t.path.c_str(), 0600), 0);
            t.dir.write("victim", "not a backup");
            ASSERT_EQ(::symlink(t.dir.file("victim").c_str(), t.dir.file(backup).c_str()), 0);
            ASSERT_EQ(::mkdir(t.dir.file(std::string(backup) + ".new").c_str(), 0755), 0);  // a name in the way
            ASSERT_TRUE(t.edit(1, "gamma"));
            ASSERT_EQ(Save(t, elsewhere ? t.dir.file("other.tlk") : t.path, true), SaveResult::Saved);
            EXPECT_EQ(t.dir.read("victim"), "not a backup");
            struct stat st {};
            ASSERT_EQ(::lstat(t.dir.file(backup).c_str(), &st), 0);
            EXPECT_TRUE(S_ISREG(st.st_mode));
            EXPECT_EQ(st.st_mode & 07777, 0600u);
            EXPECT_EQ(t.dir.read(backup), loaded);
        }
    }
}

TEST(SaveSafety, BackupThatCannotBeMadeStopsTheSaveBeforeAnythingIsWritten)
{
    for (const bool truncation : {false, true}) {
        LoadedTable t;
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
        const std::string loaded = t.dir.read("dialog.tlk");
        const std::string backup = truncation ? "dialog.tlk.trc.bak" : "dialog.tlk.bak";
        ASSERT_EQ(::mkdir(t.dir.file(backup).c_str(), 0755), 0);
        ASSERT_TRUE(t.edit(1, "gamma"));
        const auto files = t.dir.list();
        EXPECT_EQ(Save(t, t.path, truncation), SaveResult::Failed);
        EXPECT_EQ(t.dialogs.texts(), std::vector<std::string>{BackupFailedMessage(t.dir.file(backup), EISDIR)});
        EXPECT_EQ(t.dir.read("dialog.tlk"), loaded);
        EXPECT_EQ(t.dir.list(), files);
        EXPECT_EQ(t.table.state(1), EditedByUser);
    }
}

TEST(SaveSafety, EmptyEntriesAfterAShortenedTextKeepOffsetsInsideTheData)
{
    // The empty entries have Offset 0; shortening entry 0 moves the later
    // offsets back, which wraps theirs around.
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"a long text", "", "short", "", "end"}))));
    ASSERT_TRUE(t.edit(0, "tiny"));
    ASSERT_EQ(Save(t, t.path, false), SaveResult::Saved);
    const auto saved = ReadReferenceTable(t.path);
    ASSERT_TRUE(saved);
    const std::vector<std::string> texts = {"tiny", "", "short", "", "end"};
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(saved->entries[i].text, texts[i]) << i;
        if (texts[i].empty()) {
            EXPECT_EQ(saved->entries[i].offset, 0u) << i;
        }
    }
}

}  // namespace
}  // namespace lexicarta::testing
