// Load, a fuzzed script of edits, saves and reload: after every save the file,
// read by the independent reader, holds exactly what a plain model of the
// table says, and the program loads it again.
//
// Input: one byte L, L bytes of script, then the talk table (any bytes).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/file_io.h"
#include "core/table_loader.h"
#include "core/talk_table.h"
#include "editing/edit_journal.h"
#include "editing/table_saver.h"
#include "fuzz_support.h"
#include "reference_tlk.h"

using namespace lexicarta;

namespace {

struct ModelEntry {
    std::uint16_t flags;
    std::array<char, 8> sound;
    std::uint32_t volume;
    std::uint32_t pitch;
    std::string text;
};

std::vector<ModelEntry> ModelOf(const ReferenceTable& reference)
{
    std::vector<ModelEntry> model;
    for (const ReferenceEntry& e : reference.entries)
        model.push_back({e.flags, e.soundResRef, e.volumeVariance, e.pitchVariance, e.text});
    return model;
}

class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_at >= m_size; }
    std::uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::string bytes(std::size_t count)
    {
        std::string out;
        while (count-- > 0 && !done()) out += static_cast<char>(next());
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

void CheckSavedFile(const std::string& path, const std::vector<ModelEntry>& model, TalkTable& table)
{
    const auto saved = ReadReferenceTable(path);
    FUZZ_CHECK(saved.has_value());
    FUZZ_CHECK(saved->entryCount == model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        const ReferenceEntry& e = saved->entries[i];
        FUZZ_CHECK(e.text == model[i].text);
        FUZZ_CHECK(e.length == model[i].text.size());
        FUZZ_CHECK(e.flags == model[i].flags);
        FUZZ_CHECK(e.soundResRef == model[i].sound);
        FUZZ_CHECK(e.volumeVariance == model[i].volume);
        FUZZ_CHECK(e.pitchVariance == model[i].pitch);
        FUZZ_CHECK(table.ReadCachedString(static_cast<std::int32_t>(i)) == model[i].text);
    }
    fuzz::SilentDialogs dialogs;
    OpenedTalkTable again;
    FUZZ_CHECK(OpenTalkTableFile(path, dialogs, again) == OpenResult::Opened);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
    Script script(data + 1, scriptSize);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1 + scriptSize, size - 1 - scriptSize);

    static TalkTable table;
    fuzz::SilentDialogs dialogs;
    fuzz::SilentProgress progress;
    RunFlags flags;
    const std::string& folder = fuzz::ScratchFolder();
    const std::string path = folder + "dialog.tlk";
    table.ProgramDirectory = folder;
    CloseTable(table);
    WriteWholeFile(path, bytes);
    if (LoadTableFile(table, path, dialogs, progress, flags) != OpenResult::Opened) return 0;
    FUZZ_CHECK(!table.CacheFailed);

    const auto loaded = ParseReferenceTable(bytes);
    FUZZ_CHECK(loaded.has_value());
    std::vector<ModelEntry> model = ModelOf(*loaded);
    std::vector<ModelEntry> baseline = model;

    auto save = [&] {
        SaveRequest request;
        request.target = path;
        request.makeBackup = false;
        const SaveResult result = SaveTalkTable(table, request, progress, dialogs, flags);
        FUZZ_CHECK(result == SaveResult::Saved);
        CheckSavedFile(path, model, table);
        baseline = model;
    };

    while (!script.done()) {
        const std::uint8_t op = script.next() % 7;
        const std::uint32_t count = table.EntryCount;
        const auto n = static_cast<std::int32_t>(count == 0 ? 0 : script.next() % count);
        switch (op) {
        case 0: {  // a text typed and stored
            if (count == 0) break;
            const std::string text = script.bytes(script.next() % 24);
            MarkEntryEdited(table, n);
            if (table.isEdited(n) && WriteJournalText(table, n, text, dialogs)) model[n].text = text;
            break;
        }
        case 1: {  // a sound typed, then the entry's text stored as it stands
            if (count == 0) break;
            const auto sound = SoundResRefFromText(script.bytes(script.next() % 10));
            const EntryState state = MarkEntrySoundEdited(table, n);
            if (state != EditedByUser && state != CreatedByUser) break;
            table.EntryTable[n].SoundResRef = sound;
            model[n].sound = sound;
            FUZZ_CHECK(WriteJournalText(table, n, model[n].text, dialogs));
            break;
        }
        case 2: {  // a new entry, stored empty
            const auto created = AppendEntry(table, dialogs);
            if (!created) break;
            FUZZ_CHECK(WriteJournalText(table, *created, "", dialogs));
            model.push_back({3, {}, 0, 0, ""});
            break;
        }
        case 3:  // revert
            if (count == 0 || table.state(n) != EditedByUser) break;
            RevertEditedEntry(table, n);
            model[n] = baseline[n];
            break;
        case 4:  // delete a user-made entry
            if (count == 0 || table.state(n) != CreatedByUser) break;
            table.CurrentStrRef = n;
            if (DeleteCreatedEntry(table, dialogs)) model.erase(model.begin() + n);
            break;
        case 5: {  // undo all
            RestoreEditedEntries(table);
            std::uint32_t deleted = 0;
            FUZZ_CHECK(DeleteCreatedEntries(table, dialogs, deleted));
            model = baseline;
            break;
        }
        case 6:
            save();
            break;
        }
        FUZZ_CHECK(table.EntryCount == model.size());
    }
    save();
    CloseTable(table);
    return 0;
}
