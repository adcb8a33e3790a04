#pragma once
// A talk table loaded as the program loads one, with the engine over it and
// doubles for the windows, the progress window and the result file.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/table_loader.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "search/search_engine.h"
#include "temp_dir.h"
#include "tlk_generator.h"

namespace lexicarta::testing {

struct PresentedMatch {
    std::int32_t entry;
    std::int64_t position;
    std::int64_t inStringStart;
    std::string savedText;
    std::int64_t length = 0;  // bytes of the occurrence
    bool operator==(const PresentedMatch&) const = default;
};

class FakeSearchHost : public SearchHost {
public:
    SearchOptions currentOptions() override
    {
        ++optionReads;
        return options;
    }
    void setSuppressMemoChange(bool suppress) override
    {
        if (suppress) ++suppressSets;
        suppressed = suppress;
    }
    bool presentMatch(const FoundMatch& match) override
    {
        presented.push_back(
            {match.entry, match.stringMatchPos, match.inStringStart, std::string(match.savedText), match.matchLength});
        return onPresent ? onPresent(match) : true;
    }
    void offerRestart() override { ++restartOffers; }

    SearchOptions options;
    std::vector<PresentedMatch> presented;
    std::function<bool(const FoundMatch&)> onPresent;
    int restartOffers = 0;
    int optionReads = 0;
    int suppressSets = 0;
    bool suppressed = false;
};

class RecordingResultFile : public ResultFile {
public:
    bool append(std::int32_t strRef) override
    {
        values.push_back(strRef);
        return !failing;
    }
    std::vector<std::int32_t> values;
    bool failing = false;
};

struct SearchFixture {
    SearchFixture()
        : table(std::make_unique<TalkTable>()),
          progress(flags),
          engine(*table, flags, dialogs, progress, host)
    {
        table->ProgramDirectory = dir.path();
        engine.setPumpInterval(std::chrono::microseconds(0));
        engine.setResultFile(&results);
    }

    // Loads the talk table bytes; false (with the test failed by the caller) when it cannot.
    bool load(const std::string& bytes)
    {
        dir.write("dialog.tlk", bytes);
        if (LoadTableFile(*table, dir.file("dialog.tlk"), dialogs, progress, flags) != OpenResult::Opened ||
            table->CacheFailed)
            return false;
        dialogs.clear();
        progress.titles.clear();
        progress.statuses.clear();
        progress.positions.clear();
        progress.pumps = 0;
        return true;
    }
    bool load(const std::vector<std::string>& texts)
    {
        std::vector<tlkgen::GeneratedEntry> entries(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) entries[i].text = texts[i];
        return load(tlkgen::MakeTalkTable(entries));
    }

    // Every match of term from the start of the data, through the batch loop
    // in counting mode.
    std::int32_t count(const std::string& term)
    {
        flags.WordCountingMode = true;
        flags.KeepRunning = true;
        engine.startItem(0, term, 0, 12);
        engine.RunBatch();
        return engine.MatchCount;
    }
    // The StrRefs appended in advanced mode, one per match.
    std::vector<std::int32_t> advancedResults(const std::string& term, std::int64_t startStrRef = 0)
    {
        flags.WordCountingMode = false;
        flags.AdvancedSearchActive = true;
        flags.KeepRunning = true;
        results.values.clear();
        engine.startItem(startStrRef, term, 0, 1);
        engine.RunBatch();
        return results.values;
    }
    // Interactive steps until the restart is offered: the presented matches.
    std::vector<PresentedMatch> interactive(const std::string& term, std::int64_t startStrRef = 0)
    {
        flags.WordCountingMode = false;
        flags.AdvancedSearchActive = false;
        flags.KeepRunning = true;
        host.presented.clear();
        host.restartOffers = 0;
        engine.startItem(startStrRef, term, 0, 1);
        for (int guard = 0; guard < 100000 && host.restartOffers == 0; ++guard) engine.search();
        return host.presented;
    }

    TempDir dir;
    FakeDialogs dialogs;
    RunFlags flags;
    std::unique_ptr<TalkTable> table;
    FakeProgress progress;
    FakeSearchHost host;
    RecordingResultFile results;
    SearchEngine engine;
};

}  // namespace lexicarta::testing
