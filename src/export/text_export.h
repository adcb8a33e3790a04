#pragma once
// Writing every text of the table, as last loaded or saved, into a text
// file: a readable listing (guided) or a byte copy of the string cache (raw).

#include <string>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"

namespace lexicarta {

inline constexpr const char* ExportSaveQuestion =
    "You have edited the talk table strings. You must save the TLK file first if you would like to Export the "
    "strings. Save TLK now?";
inline constexpr const char* ExportCreateFailedMessage = "Error creating output file!";
inline constexpr const char* ExportFailedMessage = "Export failed due to error.";
inline constexpr const char* ExportSucceededMessage = "Strings have been successfully exported to ";

// The export's target is the loaded table's own file (also under another name).
std::string ExportOntoTableMessage(const std::string& target);

struct ExportOptions {
    bool guided = true;
    // Guided only: a marker line before and after each text.
    bool numberStrings = false;
    // Guided only: also texts that are empty or nothing but spaces.
    bool writeEmptyStrings = false;
    // Guided only: an empty line after each text.
    bool spacelines = true;
};

enum class ExportResult { Exported, Cancelled, Failed };

// The save dialog of the export: "dialog.txt", text files, overwrite question.
FileDialogRequest ExportFileRequest();

// Prepares the progress window, asks for the file and exports into it.
ExportResult ExportText(TalkTable& table, const ExportOptions& options, Progress& progress, Dialogs& dialogs,
                        RunFlags& flags);

// Exports into target, reporting success or failure in one message and
// closing the progress window. The texts are those of the string cache at
// the baseline positions of the entries as of the last load or save. The
// file is written beside the target and takes its place when complete, so a
// failure leaves an existing target as it was; the loaded table's own file
// is refused as a target. The raw copy ends with the furthest text. The
// cache stays readable.
ExportResult ExportTextTo(TalkTable& table, const std::string& target, const ExportOptions& options,
                          Progress& progress, Dialogs& dialogs, RunFlags& flags);

}  // namespace lexicarta
