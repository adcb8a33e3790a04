#pragma once
// Saving a male talk table and its female counterpart as one: both new
// files are written and flushed before either replaces its table, and a
// female table that cannot take its place puts the male one back, so that
// the pair on disk is either both old or both new.

#include <string>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"
#include "editing/table_saver.h"

namespace lexicarta {

enum class PairSide { None, Male, Female };

struct PairSaveOutcome {
    SaveResult result = SaveResult::Saved;
    // The table whose save failed, and why.
    PairSide failedSide = PairSide::None;
    SaveFailure failure;
    // The male table had replaced its file when the female one could not
    // replace its own: restored tells whether it was put back. When not,
    // the male file holds the new version, maleOldVersion the old one, and
    // the female file still the old one.
    bool maleReplaced = false;
    bool maleRestored = false;
    std::string maleOldVersion;
};

// Saves both tables (each with its own request: target, backups, cache
// rebuild) as SaveTalkTable saves one: the checks and questions of both
// first (the female file changed on disk is asked about as the male one),
// then both new files written and flushed, the backups made, and only then
// the male file replaced and the female one after it. Before the male file
// is replaced its current version is kept under another name, so that a
// female file that cannot be replaced lets the male one be put back. Any
// failure leaves both tables' journals, states and ChangesPending untouched
// and is reported with one message: the window's message of the failed step
// and, for the female table, what became of the male one. Saved when both
// are saved (SavedCacheFailed when a cache could not be rebuilt).
SaveResult SaveTablePair(TalkTable& male, const SaveRequest& maleRequest, TalkTable& female,
                         const SaveRequest& femaleRequest, Progress& progress, Dialogs& dialogs, RunFlags& flags,
                         PairSaveOutcome* outcome = nullptr);

// The window's words for a failed pair save: the failed step's message, and
// for a failure of the female table, that the male table is as it was, or,
// when it could not be put back, which file holds which version.
std::string PairSaveFailureMessage(const PairSaveOutcome& outcome, const std::string& maleTarget,
                                   const std::string& femaleTarget);

}  // namespace lexicarta
