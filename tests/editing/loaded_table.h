#pragma once
// A talk table loaded as the program loads it, without windows, in a fresh
// program directory, with scripted dialogs and a recording progress port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/table_loader.h"
#include "core/talk_table.h"
#include "editing/edit_journal.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "temp_dir.h"
#include "tlk_generator.h"

namespace lexicarta::testing {

struct LoadedTable {
    TempDir dir;
    FakeDialogs dialogs;
    RunFlags flags;
    FakeProgress progress{flags};
    TalkTable table;
    std::string path;

    // Writes bytes as name in the directory and loads it; true when loaded.
    bool load(const std::string& bytes, const std::string& name = "dialog.tlk")
    {
        dir.write(name, bytes);
        path = dir.file(name);
        table.ProgramDirectory = dir.path();
        if (LoadTableFile(table, path, dialogs, progress, flags) != OpenResult::Opened || table.CacheFailed) return false;
        progress.titles.clear();
        progress.statuses.clear();
        return true;
    }

    // The user typed text (editor form, CR LF breaks) into entry n and left the editor.
    bool edit(std::int32_t n, const std::string& editorText)
    {
        MarkEntryEdited(table, n);
        return WriteJournalText(table, n, StoredForm(DisplayForm(editorText)), dialogs);
    }

    std::string journal(std::int32_t n) const { return std::to_string(table.CacheNumber) + "ts" + std::to_string(n) + ".tmp"; }

    std::vector<StrRefEntry> entries() const
    {
        return std::vector<StrRefEntry>(table.EntryTable.get(), table.EntryTable.get() + table.EntryCount);
    }
};

inline std::vector<tlkgen::GeneratedEntry> Texts(const std::vector<std::string>& texts)
{
    std::vector<tlkgen::GeneratedEntry> entries(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        entries[i].text = texts[i];
        entries[i].flags = 1;
    }
    return entries;
}

}  // namespace lexicarta::testing
