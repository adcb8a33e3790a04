// A male and a female table saved as one: whatever fails on the way, both
// files end either both old or both new, the edits of both stay pending
// until both are saved, and one message says what happened to which file.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <memory>

#include "core/file_io.h"
#include "core/table_pair.h"
#include "editing/edit_journal.h"
#include "editing/table_pair_saver.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "fault_injection.h"
#include "loaded_table.h"
#include "reference_tlk.h"
#include "temp_dir.h"

namespace lexicarta::testing {
namespace {

const std::string Big(100 * 1024, 'x');
const std::vector<std::string> MaleTexts = {"Hello, sir.", Big + "m", "Farewell."};
const std::vector<std::string> FemaleTexts = {"Hello, madam.", Big + "f", "Farewell."};

struct Pair {
    TempDir program;  // caches and journals
    std::string folder;
    std::string femaleFolder;
    FakeDialogs dialogs;
    RunFlags flags;
    FakeProgress progress{flags};
    TalkTable male;
    TalkTable female;
    std::string malePath, femalePath, maleOld, femaleOld;

    // Writes the pair into folder (the female one into femaleFolder), loads
    // it and edits entry 0 of both tables and entry 2 of the female one.
    void load(const std::string& tableFolder, const std::string& femaleTableFolder)
    {
        folder = tableFolder;
        femaleFolder = femaleTableFolder;
        malePath = folder + "dialog.tlk";
        femalePath = femaleFolder + "dialogF.tlk";
        maleOld = tlkgen::MakeTalkTable(Texts(MaleTexts));
        femaleOld = tlkgen::MakeTalkTable(Texts(FemaleTexts));
        ASSERT_TRUE(WriteWholeFile(malePath, maleOld));
        ASSERT_TRUE(WriteWholeFile(femalePath, femaleOld));
        male.ProgramDirectory = female.ProgramDirectory = program.path();
        const PairLoadResult loaded = LoadTablePair(male, malePath, female, femalePath, dialogs, progress, flags);
        ASSERT_TRUE(loaded.maleLoaded && loaded.femaleLoaded && !loaded.countsDiffer());
        ASSERT_NE(male.CacheNumber, female.CacheNumber);
        edit(male, 0, "Hi, sir.");
        edit(female, 0, "Hi, madam.");
        edit(female, 2, "Farewell, my lady.");
    }

    void edit(TalkTable& table, std::int32_t n, const std::string& text)
    {
        MarkEntryEdited(table, n);
        ASSERT_TRUE(WriteJournalText(table, n, text, dialogs));
    }

    SaveResult save(PairSaveOutcome& outcome, bool femaleBackup = true)
    {
        SaveRequest maleRequest, femaleRequest;
        maleRequest.target = malePath;
        femaleRequest.target = femalePath;
        femaleRequest.makeBackup = femaleBackup;
        return SaveTablePair(male, maleRequest, female, femaleRequest, progress, dialogs, flags, &outcome);
    }

    std::vector<std::string> textsOf(const std::string& path) const
    {
        std::vector<std::string> texts;
        if (const auto table = ReadReferenceTable(path))
            for (const auto& entry : table->entries) texts.push_back(entry.text);
        return texts;
    }
    bool bothNew() const
    {
        return textsOf(malePath) == std::vector<std::string>{"Hi, sir.", MaleTexts[1], "Farewell."} &&
               textsOf(femalePath) == std::vector<std::string>{"Hi, madam.", FemaleTexts[1], "Farewell, my lady."};
    }
    bool bothOld(const std::string& femaleNow) const
    {
        return ReadWholeFile(malePath) == maleOld && ReadWholeFile(femalePath) == femaleNow;
    }
    bool editsPending() const
    {
        return male.state(0) == EditedByUser && female.state(0) == EditedByUser && female.state(2) == EditedByUser &&
               FileExists(male.journalFilePath(0)) && FileExists(female.journalFilePath(2)) && male.ChangesPending &&
               female.ChangesPending;
    }
};

TEST(PairSave, EveryFaultLeavesBothTablesOldAndTheEditsPending)
{
    struct Case {
        const char* name;
        bool smallDisk;
        // Makes the fault; returns the female file's bytes the save must leave.
        std::function<std::string(Pair&)> fault;
        std::function<void(Pair&)> clear;
        std::vector<Answer> answers;
        SaveResult result;
        std::function<std::string(const Pair&)> message;
        bool femaleBackup = true;
    };
    std::unique_ptr<SmallFileSystem> disk;
    std::unique_ptr<ImmutableFolder> locked;
    bool canLock = false;
    {
        TempDir probe;
        canLock = ImmutableFolder(probe.path()).unavailable().empty();
    }
    const Case cases[] = {
        {"the disk fills during the female table's save", true,
         [&](Pair& p) {
             disk->fill(std::uint64_t{p.maleOld.size()} + 40 * 1024);
             return p.femaleOld;
         },
         [&](Pair&) { disk->removeFiller(); }, {}, SaveResult::Failed,
         [](const Pair& p) { return DiskFullMessage(p.femalePath) + " \"" + p.malePath + "\" was not saved either."; }},
        {"the female table is read-only", false,
         [](Pair& p) {
             ::chmod(p.femalePath.c_str(), 0444);
             return p.femaleOld;
         },
         [](Pair& p) { ::chmod(p.femalePath.c_str(), 0644); }, {}, SaveResult::Failed,
         [](const Pair& p) {
             return CannotCreateFileMessage(p.femalePath, EACCES) + " \"" + p.malePath + "\" was not saved either.";
         }},
        {"the female table changed on disk, not to be replaced", false,
         [](Pair& p) {
             const std::string theirs = tlkgen::MakeTalkTable(Texts({"a", "b", "c"}));
             WriteWholeFile(p.femalePath, theirs);
             return theirs;
         },
         [](Pair&) {}, {Answer::No}, SaveResult::Cancelled, [](const Pair&) { return std::string(); }},
        {"the female folder refuses the rename once both files are written", false,
         [&](Pair& p) {
             // Changed while the male table is written: asked about just
             // before the renames, when its folder gets locked.
             const std::string theirs = tlkgen::MakeTalkTable(Texts({"A", "B", "C"}));
             p.progress.onStatus = [&p, theirs, changed = false](const std::string& status) mutable {
                 if (status == "Writing StrRefs..." && !changed) changed = WriteWholeFile(p.femalePath, theirs);
             };
             p.dialogs.onBox = [&](const ShownBox&) {
                 if (!locked) locked = std::make_unique<ImmutableFolder>(p.femaleFolder);
             };
             return theirs;
         },
         [&](Pair&) { locked.reset(); }, {Answer::Yes}, SaveResult::Failed,
         [](const Pair& p) {
             return "Error writing file \"" + p.femalePath + "\". ";  // then the system's reason
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir tables, femaleTables;
        if (c.smallDisk) {
            disk = std::make_unique<SmallFileSystem>(1024 * 1024);
            if (!disk->unavailable().empty()) continue;  // no tmpfs to fill here
        }
        if (!c.femaleBackup && !canLock) continue;
        Pair p;
        p.load(c.smallDisk ? disk->path() : tables.path(), c.smallDisk ? disk->path() : femaleTables.path());
        const std::string femaleLeft = c.fault(p);
        p.dialogs.answers.assign(c.answers.begin(), c.answers.end());

        PairSaveOutcome outcome;
        EXPECT_EQ(p.save(outcome, c.femaleBackup), c.result);
        c.clear(p);
        p.progress.onStatus = nullptr;
        p.dialogs.onBox = nullptr;
        EXPECT_EQ(outcome.failedSide, PairSide::Female);
        EXPECT_TRUE(p.bothOld(femaleLeft));
        EXPECT_TRUE(p.editsPending());
        EXPECT_FALSE(p.progress.shown);
        const std::vector<std::string> texts = p.dialogs.texts();
        const std::string expected = c.message(p);
        if (!c.answers.empty()) {
            EXPECT_EQ(texts.front(), ChangedOnDiskQuestion(p.femalePath));
        }
        if (expected.empty()) {
            EXPECT_EQ(texts.size(), c.answers.size()) << texts.back();
        } else {
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back().rfind(expected, 0), 0u) << texts.back();
            EXPECT_EQ(outcome.maleReplaced, outcome.maleRestored);
            if (outcome.maleReplaced) {
                EXPECT_NE(texts.back().find("\"" + p.malePath + "\" was put back as it was"), std::string::npos);
            }
        }
        if (FileExists(p.malePath + ".bak")) {
            EXPECT_EQ(ReadWholeFile(p.malePath + ".bak"), p.maleOld);
        }

        // With the fault gone, the very same edits save into both tables.
        p.dialogs.clear();
        p.dialogs.answers = {Answer::Yes, Answer::Yes};
        ASSERT_EQ(p.save(outcome, c.femaleBackup), SaveResult::Saved) << p.dialogs.texts().back();
        EXPECT_TRUE(p.bothNew());
        EXPECT_EQ(ReadWholeFile(p.malePath + ".bak"), p.maleOld);
        if (c.femaleBackup) {
            EXPECT_EQ(ReadWholeFile(p.femalePath + ".bak"), femaleLeft);
        }
        EXPECT_EQ(p.female.state(2), Original);
        EXPECT_EQ(p.male.ReadCachedString(0), "Hi, sir.");
        EXPECT_EQ(p.female.ReadCachedString(0), "Hi, madam.");
        disk.reset();
    }
}

}  // namespace
}  // namespace lexicarta::testing
