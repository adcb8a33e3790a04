#pragma once
// Removing every entry from a given StrRef to the end of the table and
// saving the shortened table at once over the loaded file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/dialogs.h"
#include "core/talk_table.h"
#include "editing/table_saver.h"

namespace lexicarta {

inline constexpr const char* TruncateFromZeroMessage =
    "Cannot truncate from string 0: it would erase the whole talk table...";
inline constexpr const char* TruncateChangesPendingMessage =
    "Please save or discard your changes before using this option. You can use F5/Alt+S to save, ALT+Z to discard "
    "them.";
inline constexpr const char* TruncateWarningQuestion =
    "WARNING: this can be a dangerous option if you are not sure what you are doing. Continue to Truncate settings?";

// "Please specify an integer between 1 and " + largest.
std::string TruncateRangeMessage(std::int64_t largest);
// The refusal of every value for a table of fewer than two entries.
std::string TooFewToTruncateMessage(std::uint32_t entryCount);
// What a truncation that found the disk full says instead of the save's text
// (which offers to save again, and a plain save would not truncate).
std::string TruncateDiskFullMessage(const std::string& path, std::uint32_t entryCount);
// "Truncate has been successful. " + erased + " string(s) were erased. The new file has " + entryCount + " strings."
std::string TruncateSuccessMessage(std::uint32_t erased, std::uint32_t entryCount);

// The check of the "Truncate from string" field: the first StrRef to remove
// when it is one of 1 .. entryCount - 1; otherwise its refusal is shown and
// nullopt returned (the caller puts the focus back into the field). A table
// of fewer than two entries refuses every value, saying so.
std::optional<std::uint32_t> CheckTruncateStrRef(const std::string& fieldText, std::uint32_t entryCount,
                                                 Dialogs& dialogs);

enum class TruncateResult { Refused, NotSaved, Truncated };

// Checks the field, drops the entries from n on (their records leave the
// file, so the string data begin 26 bytes earlier for each) and runs save,
// which writes the loaded file with the ".trc.bak" backup when asked for and
// reports through the port it is given. A save that did not write the file
// (failed, or cancelled at its question) has told the user why: the table
// is then left as it was (NotSaved) and nothing else happens. Otherwise
// showNewState runs (the program shows entry 0 of the shortened table) and
// the success message follows.
TruncateResult TruncateTable(TalkTable& table, const std::string& fieldText, Dialogs& dialogs,
                             const std::function<SaveResult(Dialogs&)>& save,
                             const std::function<void()>& showNewState);

}  // namespace lexicarta
