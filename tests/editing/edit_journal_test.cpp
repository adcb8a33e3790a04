// The edit journal on a loaded table: every change of an entry's state, the
// journal files and the offsets they move.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

#include "loaded_table.h"

namespace lexicarta::testing {
namespace {

// Texts of 10, 7, 0, 5 and 3 bytes.
const std::vector<std::string> SmallTexts = {"0123456789", "abcdefg", "", "hello", "end"};

TEST(EditJournal, TextEditsWriteTheStoredFormAndMoveLaterOffsets)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts(SmallTexts))));
    const auto before = t.entries();

    EXPECT_EQ(MarkEntryEdited(t.table, 0), EditedByUser);
    EXPECT_EQ(t.table.JournalSyncedTable[0], 0);
    EXPECT_TRUE(t.table.ChangesPending);
    // CR LF and a lone CR both become single LF bytes.
    ASSERT_TRUE(WriteJournalText(t.table, 0, StoredForm(DisplayForm("ab\r\ncd\ref")), t.dialogs));
    EXPECT_EQ(t.dir.read(t.journal(0)), "ab\ncd\nef");
    EXPECT_EQ(t.table.EntryTable[0].Length, 8u);
    EXPECT_EQ(t.table.EntryTable[0].Offset, before[0].Offset);
    // 10 -> 8 bytes: every later offset two lower, the empty entry's 0 wraps.
    EXPECT_EQ(t.table.EntryTable[1].Offset, before[1].Offset - 2);
    EXPECT_EQ(t.table.EntryTable[2].Offset, 0xFFFFFFFEu);
    EXPECT_EQ(t.table.EntryTable[4].Offset, before[4].Offset - 2);

    // 10 -> 4 bytes lowers by 6 in all, growing to 100,000 raises by the rest.
    ASSERT_TRUE(t.edit(0, "four"));
    EXPECT_EQ(t.table.EntryTable[3].Offset, before[3].Offset - 6);
    const std::string large(100000, 'x');
    ASSERT_TRUE(t.edit(0, large));
    EXPECT_EQ(t.table.EntryTable[3].Offset, before[3].Offset + 100000 - 10);
    EXPECT_EQ(t.dir.read(t.journal(0)).size(), 100000u);
    EXPECT_EQ(t.table.EntryTable[2].Offset, before[2].Offset + 100000 - 10);  // wrapped back to 99,990
    EXPECT_TRUE(t.dialogs.boxes.empty());
    EXPECT_FALSE(t.dir.exists(t.journal(0) + ".new"));
}

TEST(EditJournal, SoundEditsMarkOnlyUnchangedEntries)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts(SmallTexts))));
    t.table.JournalSyncedTable[1] = 1;
    EXPECT_EQ(MarkEntrySoundEdited(t.table, 1), EditedByUser);
    EXPECT_EQ(t.table.JournalSyncedTable[1], 0) << "a sound-only edit has no journal file yet";
    EXPECT_TRUE(t.table.ChangesPending);

    ASSERT_TRUE(AppendEntry(t.table, t.dialogs));
    t.table.ChangesPending = false;
    t.table.JournalSyncedTable[5] = 1;
    EXPECT_EQ(MarkEntrySoundEdited(t.table, 5), CreatedByUser);
    EXPECT_EQ(t.table.JournalSyncedTable[5], 1);

    EXPECT_EQ(SoundResRefFromText("ab"), (std::array<char, 8>{'a', 'b'}));
    EXPECT_EQ(SoundResRefFromText(""), (std::array<char, 8>{}));
    EXPECT_EQ(SoundResRefFromText("ABCDEFGH"), (std::array<char, 8>{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}));
}

TEST(EditJournal, RevertRestoresTheSavedEntryAndEveryLaterOffset)
{
    LoadedTable t;
    auto entries = Texts(SmallTexts);
    entries[1].soundResRef = {'S', 'N', 'D'};
    entries[1].flags = 5;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(entries)));
    const auto before = t.entries();

    ASSERT_TRUE(t.edit(1, "a much longer text than before"));
    t.table.EntryTable[1].Flags = 7;
    t.table.EntryTable[1].SoundResRef = SoundResRefFromText("OTHER");
    t.table.JournalSyncedTable[1] = 1;
    EXPECT_TRUE(RevertEditedEntry(t.table, 1));
    EXPECT_EQ(t.entries(), before);
    EXPECT_EQ(t.table.state(1), Original);
    EXPECT_EQ(t.table.JournalSyncedTable[1], 0);
    EXPECT_FALSE(t.dir.exists(t.journal(1)));

    // An edit never flushed has no file; reverting it is no failure.
    MarkEntryEdited(t.table, 3);
    EXPECT_TRUE(RevertEditedEntry(t.table, 3));
    EXPECT_EQ(t.entries(), before);
}

TEST(EditJournal, NewEntriesFollowTheLastOne)
{
    LoadedTable t;
    tlkgen::GeneratorOptions options;
    options.entries = 100;
    ASSERT_TRUE(t.load(tlkgen::GenerateTalkTable(options).bytes));
    const std::uint32_t dataOffset = t.table.StringDataOffset;
    const StrRefEntry last = t.table.EntryTable[99];
    // A slot used before keeps nothing of its former entry.
    t.table.EntryTable[100].VolumeVariance = 77;
    t.dir.write(t.journal(100), "left over");

    const auto created = AppendEntry(t.table, t.dialogs);
    ASSERT_EQ(created, 100);
    const StrRefEntry& entry = t.table.EntryTable[100];
    EXPECT_EQ(entry.Offset, last.Offset + last.Length);
    EXPECT_EQ(entry.Length, 0u);
    EXPECT_EQ(entry.Flags, 3);
    EXPECT_EQ(entry.SoundResRef, (std::array<char, 8>{}));
    EXPECT_EQ(entry.VolumeVariance, 0u);
    EXPECT_EQ(entry.PitchVariance, 0u);
    EXPECT_EQ(t.table.EntryCount, 101u);
    EXPECT_EQ(t.table.StringDataOffset, dataOffset + 26);
    EXPECT_EQ(t.table.state(100), CreatedByUser);
    EXPECT_EQ(t.table.CurrentStrRef, 100);
    EXPECT_TRUE(t.table.ChangesPending);
    EXPECT_EQ(t.dir.read(t.journal(100)), "");
}

TEST(EditJournal, NewEntryIsRefusedWhenItCannotExist)
{
    {
        LoadedTable t;  // full tables: no slot left
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"a"}))));
        t.table.EntryCount = EntryCapacity;
        EXPECT_FALSE(AppendEntry(t.table, t.dialogs));
        EXPECT_EQ(t.table.EntryCount, EntryCapacity);
        EXPECT_TRUE(t.dialogs.boxes.empty());
    }
    {
        LoadedTable t;  // a journal file that cannot be created
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"a"}))));
        const std::uint32_t dataOffset = t.table.StringDataOffset;
        t.table.ProgramDirectory = "/proc/lexicarta-missing/";
        EXPECT_FALSE(AppendEntry(t.table, t.dialogs));
        EXPECT_EQ(t.dialogs.onlyText(), "Cannot create file \"/proc/lexicarta-missing/0ts1.tmp\". No such file or directory.");
        EXPECT_EQ(t.dialogs.boxes.front().kind, BoxKind::Error);
        EXPECT_EQ(t.table.EntryCount, 1u);
        EXPECT_EQ(t.table.StringDataOffset, dataOffset);
        EXPECT_EQ(t.table.state(1), NoEntry);
    }
    {
        LoadedTable t;  // a table of no entries gets its first one at offset 0
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable({})));
        EXPECT_EQ(AppendEntry(t.table, t.dialogs), 0);
        EXPECT_EQ(t.table.EntryTable[0].Offset, 0u);
        EXPECT_EQ(t.table.EntryCount, 1u);
    }
}

TEST(EditJournal, FailedJournalWriteKeepsFileAndTables)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts(SmallTexts))));
    ASSERT_TRUE(t.edit(0, "first"));
    const auto before = t.entries();
    // The new file cannot take the journal file's place.
    ASSERT_EQ(::mkdir(t.dir.file(t.journal(0) + ".new").c_str(), 0755), 0);
    MarkEntryEdited(t.table, 0);
    EXPECT_FALSE(WriteJournalText(t.table, 0, "second, longer", t.dialogs));
    ASSERT_EQ(t.dialogs.boxes.size(), 1u);
    EXPECT_EQ(t.dialogs.boxes.front().kind, BoxKind::Error);
    EXPECT_EQ(t.dialogs.boxes.front().text, "Error writing file \"" + t.dir.file(t.journal(0)) + "\". Is a directory.");
    EXPECT_EQ(t.dir.read(t.journal(0)), "first");
    EXPECT_EQ(t.entries(), before);
}

// 103 entries of which 101 and 102 are user-made.
void MakeTwoCreated(LoadedTable& t)
{
    tlkgen::GeneratorOptions options;
    options.entries = 101;
    ASSERT_TRUE(t.load(tlkgen::GenerateTalkTable(options).bytes));
    for (const char* text : {"made first", "made second"}) {
        const auto k = AppendEntry(t.table, t.dialogs);
        ASSERT_TRUE(k);
        ASSERT_TRUE(t.edit(*k, text));
    }
}

TEST(EditJournal, DeletingAUserMadeEntryMovesTheLaterOnesDown)
{
    LoadedTable t;
    MakeTwoCreated(t);
    const std::uint32_t dataOffset = t.table.StringDataOffset;
    StrRefEntry expected = t.table.EntryTable[102];
    expected.Offset -= t.table.EntryTable[101].Length;

    t.table.CurrentStrRef = 101;
    ASSERT_TRUE(DeleteCreatedEntry(t.table, t.dialogs));
    EXPECT_TRUE(t.dialogs.boxes.empty());
    EXPECT_EQ(t.table.EntryCount, 102u);
    EXPECT_EQ(t.table.StringDataOffset, dataOffset - 26);
    EXPECT_EQ(t.table.CurrentStrRef, 101);
    EXPECT_EQ(t.table.EntryTable[101], expected);
    EXPECT_EQ(t.table.state(101), CreatedByUser);
    EXPECT_EQ(t.table.state(102), NoEntry);
    EXPECT_EQ(t.dir.read(t.journal(101)), "made second");
    EXPECT_FALSE(t.dir.exists(t.journal(102)));

    // Deleting the last entry moves the current entry to the one before.
    ASSERT_TRUE(DeleteCreatedEntry(t.table, t.dialogs));
    EXPECT_EQ(t.table.CurrentStrRef, 100);
    EXPECT_EQ(t.table.EntryCount, 101u);
    EXPECT_EQ(t.table.StringDataOffset, dataOffset - 52);
    EXPECT_FALSE(t.dir.exists(t.journal(101)));
    EXPECT_EQ(t.table.firstPendingSlot(), -1);
}

TEST(EditJournal, FailedDeletionOfAUserMadeEntryChangesNothing)
{
    struct Case {
        const char* name;
        std::int32_t current;
        const char* message;
    };
    for (const Case& c : {Case{"a later file is missing", 101, JournalReorganizeFailedMessage},
                          Case{"the last file cannot be deleted", 102, JournalDeleteFailedMessage}}) {
        SCOPED_TRACE(c.name);
        LoadedTable t;
        MakeTwoCreated(t);
        if (c.current == 101) {
            t.dir.write(t.journal(101), "made first");
            ASSERT_EQ(std::remove(t.dir.file(t.journal(102)).c_str()), 0);
        } else {
            // A directory in its place cannot be unlinked.
            ASSERT_EQ(std::remove(t.dir.file(t.journal(102)).c_str()), 0);
            ASSERT_EQ(::mkdir(t.dir.file(t.journal(102)).c_str(), 0755), 0);
            t.dir.write(t.journal(102) + "/keep", "x");
        }
        const auto before = t.entries();
        const auto files = t.dir.list();
        const std::uint32_t dataOffset = t.table.StringDataOffset;
        t.table.CurrentStrRef = c.current;
        EXPECT_FALSE(DeleteCreatedEntry(t.table, t.dialogs));
        EXPECT_EQ(t.dialogs.onlyText(), c.message);
        EXPECT_EQ(t.entries(), before);
        EXPECT_EQ(t.table.StringDataOffset, dataOffset);
        EXPECT_EQ(t.table.CurrentStrRef, c.current);
        EXPECT_EQ(t.dir.list(), files);
        if (c.current == 101) {
            EXPECT_EQ(t.dir.read(t.journal(101)), "made first");
        }
    }
}

TEST(EditJournal, UndoAllEqualsRevertingOneByOne)
{
    tlkgen::GeneratorOptions options;
    options.entries = 3000;
    options.seed = 9;
    for (const bool ordered : {true, false}) {
        SCOPED_TRACE(ordered ? "texts in StrRef order" : "texts shuffled");
        options.textsInStrRefOrder = ordered;
        const std::string tableBytes = tlkgen::GenerateTalkTable(options).bytes;
        LoadedTable oneByOne, onePass;
        ASSERT_TRUE(oneByOne.load(tableBytes));
        ASSERT_TRUE(onePass.load(tableBytes));
        std::mt19937 random(3);
        std::vector<std::int32_t> edited;
        for (int k = 0; k < 300; ++k) {
            const auto n = static_cast<std::int32_t>(random() % options.entries);
            const std::string text(random() % 40, 'a' + static_cast<char>(k % 26));
            for (LoadedTable* t : {&oneByOne, &onePass}) {
                ASSERT_TRUE(t->edit(n, text));
                t->table.EntryTable[n].Flags = 3;
                t->table.EntryTable[n].SoundResRef = SoundResRefFromText("EDIT");
            }
            edited.push_back(n);
        }
        for (LoadedTable* t : {&oneByOne, &onePass}) {
            const auto k = AppendEntry(t->table, t->dialogs);
            ASSERT_TRUE(k);
            ASSERT_TRUE(t->edit(*k, "user made"));
        }

        for (std::int32_t n = 0; n < static_cast<std::int32_t>(options.entries); ++n)
            if (oneByOne.table.state(n) == EditedByUser) RevertEditedEntry(oneByOne.table, n);
        EXPECT_TRUE(RestoreEditedEntries(onePass.table));
        EXPECT_EQ(onePass.entries(), oneByOne.entries());
        for (const std::int32_t n : edited) {
            EXPECT_EQ(onePass.table.state(n), Original);
            EXPECT_FALSE(onePass.dir.exists(onePass.journal(n)));
        }
        EXPECT_EQ(onePass.table.state(3000), CreatedByUser);
        EXPECT_EQ(onePass.dir.read(onePass.journal(3000)), "user made");
        // Only the user-made entry keeps its place past the original ones.
        std::vector<StrRefEntry> original = onePass.entries();
        original.pop_back();
        LoadedTable fresh;
        ASSERT_TRUE(fresh.load(tableBytes));
        EXPECT_EQ(original, fresh.entries());
    }
}

TEST(EditJournal, UndoAllDeletesUserMadeEntriesFromTheLast)
{
    LoadedTable t;
    MakeTwoCreated(t);
    const std::uint32_t dataOffset = t.table.StringDataOffset;
    std::uint32_t deleted = 0;
    EXPECT_TRUE(DeleteCreatedEntries(t.table, t.dialogs, deleted));
    EXPECT_EQ(deleted, 2u);
    EXPECT_EQ(t.table.EntryCount, 101u);
    EXPECT_EQ(t.table.StringDataOffset, dataOffset - 52);
    EXPECT_EQ(t.table.state(101), NoEntry);
    EXPECT_EQ(t.table.state(102), NoEntry);
    EXPECT_FALSE(t.dir.exists(t.journal(101)));
    EXPECT_FALSE(t.dir.exists(t.journal(102)));

    // A file that cannot be deleted stops it there with a warning.
    LoadedTable u;
    MakeTwoCreated(u);
    ASSERT_EQ(std::remove(u.dir.file(u.journal(101)).c_str()), 0);
    ASSERT_EQ(::mkdir(u.dir.file(u.journal(101)).c_str(), 0755), 0);
    u.dir.write(u.journal(101) + "/keep", "x");
    EXPECT_FALSE(DeleteCreatedEntries(u.table, u.dialogs, deleted));
    EXPECT_EQ(deleted, 1u);
    EXPECT_EQ(u.dialogs.onlyText(), CreatedEntriesNotDeletedMessage);
    EXPECT_EQ(u.dialogs.boxes.front().kind, BoxKind::Warning);
    EXPECT_EQ(u.table.EntryCount, 102u);
    EXPECT_EQ(u.table.state(101), CreatedByUser);
}

}  // namespace
}  // namespace lexicarta::testing
