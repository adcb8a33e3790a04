// Soak test, outside the default test run (build/tests/soak_test): 100 rounds
// of random edits, new entries, reverts, undo-alls and saves on a table of
// 200,000 entries; every saved file, read by the independent reader, must
// hold exactly what a plain model of the table says.

#include <gtest/gtest.h>

#include <random>

#include "editing/table_saver.h"
#include "loaded_table.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

struct ModelEntry {
    std::uint16_t flags;
    std::array<char, 8> sound;
    std::uint32_t volume;
    std::uint32_t pitch;
    std::string text;
    bool operator==(const ModelEntry&) const = default;
};

std::vector<ModelEntry> ModelOf(const ReferenceTable& table)
{
    std::vector<ModelEntry> model;
    model.reserve(table.entries.size());
    for (const ReferenceEntry& e : table.entries)
        model.push_back({e.flags, e.soundResRef, e.volumeVariance, e.pitchVariance, e.text});
    return model;
}

std::string RandomText(std::mt19937_64& random)
{
    static const std::string pieces[] = {"Hello", " <CHARNAME>", "\n", " and", " \xE9t\xE9", "!", " a long way", ""};
    std::string text;
    const int parts = static_cast<int>(random() % 12);
    for (int i = 0; i < parts; ++i) text += pieces[random() % std::size(pieces)];
    return text;
}

TEST(Soak, HundredRoundsOfEditsAndSavesMatchTheModel)
{
    LoadedTable t;
    tlkgen::GeneratorOptions options;
    options.entries = 200000;
    options.seed = 2024;
    const std::string path = t.dir.file("dialog.tlk");
    ASSERT_TRUE(tlkgen::WriteTalkTable(path, options));
    ASSERT_TRUE(t.load(*ReadWholeFile(path)));
    std::vector<ModelEntry> model = ModelOf(*ReadReferenceTable(path));
    std::vector<ModelEntry> baseline = model;
    std::mt19937_64 random(77);

    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int operations = 1 + static_cast<int>(random() % 200);
        for (int k = 0; k < operations; ++k) {
            const auto count = static_cast<std::uint32_t>(model.size());
            const auto n = static_cast<std::int32_t>(random() % count);
            switch (random() % 20) {
            case 0:  // undo all
                RestoreEditedEntries(t.table);
                {
                    std::uint32_t deleted = 0;
                    ASSERT_TRUE(DeleteCreatedEntries(t.table, t.dialogs, deleted));
                }
                model = baseline;
                break;
            case 1:
            case 2:  // new entry, then typed into
                if (const auto created = AppendEntry(t.table, t.dialogs)) {
                    const std::string text = RandomText(random);
                    MarkEntryEdited(t.table, *created);
                    ASSERT_TRUE(WriteJournalText(t.table, *created, text, t.dialogs));
                    model.push_back({3, {}, 0, 0, text});
                }
                break;
            case 3:
            case 4:  // revert
                if (t.table.state(n) == EditedByUser) {
                    RevertEditedEntry(t.table, n);
                    model[n] = baseline[n];
                }
                break;
            case 5: {  // sound changed, the entry's text stored as it stands
                const EntryState state = MarkEntrySoundEdited(t.table, n);
                if (state != EditedByUser && state != CreatedByUser) break;
                const auto sound = SoundResRefFromText("SND" + std::to_string(random() % 100000));
                t.table.EntryTable[n].SoundResRef = sound;
                model[n].sound = sound;
                ASSERT_TRUE(WriteJournalText(t.table, n, model[n].text, t.dialogs));
                break;
            }
            default: {  // text edit
                const std::string text = RandomText(random);
                MarkEntryEdited(t.table, n);
                ASSERT_TRUE(WriteJournalText(t.table, n, text, t.dialogs));
                model[n].text = text;
                break;
            }
            }
        }
        SaveRequest request;
        request.target = path;
        request.makeBackup = round % 10 == 0;
        ASSERT_EQ(SaveTalkTable(t.table, request, t.progress, t.dialogs, t.flags), SaveResult::Saved)
            << t.dialogs.texts().front();
        const auto saved = ReadReferenceTable(path);
        ASSERT_TRUE(saved);
        ASSERT_EQ(saved->entryCount, model.size());
        const std::vector<ModelEntry> written = ModelOf(*saved);
        for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(written[i], model[i]) << "StrRef " << i;
        baseline = model;
        ASSERT_TRUE(t.dialogs.boxes.empty());
    }
}

}  // namespace
}  // namespace lexicarta::testing
