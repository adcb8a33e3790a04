#pragma once
// A male talk table with its female counterpart ("dialog.tlk" with
// "dialogF.tlk"): finding the female table beside the male one, loading
// both, and what a pair can be found wanting in one entry.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/table_loader.h"
#include "core/talk_table.h"

namespace lexicarta {

// The female table of the table at path: for "X.tlk" (the extension in any
// case) a file "XF.tlk" in the same folder, its name compared without
// regard to ASCII case ("dialog.tlk" finds "dialogF.tlk", "DIALOG.TLK" finds
// "DIALOGF.TLK", "Dialog.tlk" finds "dialogf.TLK"). The spelling X + "F" +
// the table's own extension is preferred, then the first other one in byte
// order. nullopt when path does not end in ".tlk", when there is no such
// file or it is no regular file, or when it is the table itself (another
// name of the same file). The result keeps path's folder as written.
std::optional<std::string> FindFemaleTable(const std::string& path);

// Whether two paths name the same existing file (links followed).
bool IsSameFile(const std::string& a, const std::string& b);

struct ToldMessage {
    BoxKind kind = BoxKind::Plain;
    std::string text;
};

struct PairLoadResult {
    OpenResult male = OpenResult::Missing;
    OpenResult female = OpenResult::Missing;
    // Opened and cached (CacheFailed clear).
    bool maleLoaded = false;
    bool femaleLoaded = false;
    // What the female table's load had to say (its messages, in order): its
    // load runs beside the male's, where no dialog can be shown, so the
    // caller tells them, in its own words around them.
    std::vector<ToldMessage> femaleMessages;
    // Both loaded but with different entry counts.
    bool countsDiffer() const;
    std::uint32_t maleCount = 0;
    std::uint32_t femaleCount = 0;
};

// Loads both tables as LoadTableFile does, each with its own cache and
// journal numbers in its ProgramDirectory (the same folder may hold both):
// the female table in a thread of its own beside the male one, which reports
// through dialogs and progress as a single load does. The female's failure
// sets its flags in the female table only (CacheFailed) and StatisticsAborted
// in flags. A pair whose counts differ is loaded all the same: the caller
// decides what to do with it.
PairLoadResult LoadTablePair(TalkTable& male, const std::string& malePath, TalkTable& female,
                             const std::string& femalePath, Dialogs& dialogs, Progress& progress, RunFlags& flags);
// The same with the options of each load (the cache folder, the encoding).
PairLoadResult LoadTablePair(TalkTable& male, const std::string& malePath, const LoadOptions& maleOptions,
                             TalkTable& female, const std::string& femalePath, const LoadOptions& femaleOptions,
                             Dialogs& dialogs, Progress& progress, RunFlags& flags);

// What can be wrong with the female text of one entry of a pair.
enum class FemaleFinding {
    None,
    // The male table has a text there, the female table none (an empty text
    // or no entry at all).
    FemaleMissing,
    // The female text is the male one, where the reference pair (the
    // original game's, say) has different male and female texts.
    SameAsMale,
};

// The finding for one entry. female: nullopt when the female table has no
// such entry. referenceMale / referenceFemale: the reference pair's texts of
// the same StrRef, when a reference pair is given and has the entry.
FemaleFinding FemaleFindingFor(std::string_view male, std::optional<std::string_view> female,
                               std::optional<std::string_view> referenceMale = std::nullopt,
                               std::optional<std::string_view> referenceFemale = std::nullopt);

}  // namespace lexicarta
