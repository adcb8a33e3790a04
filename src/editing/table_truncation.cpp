#include "editing/table_truncation.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/tlk_format.h"

namespace lexicarta {

std::string TruncateRangeMessage(std::int64_t largest)
{
    return "Please specify an integer between 1 and " + std::to_string(largest);
}

std::string TruncateSuccessMessage(std::uint32_t erased, std::uint32_t entryCount)
{
    return "Truncate has been successful. " + std::to_string(erased) + " string(s) were erased. The new file has " +
           std::to_string(entryCount) + " strings.";
}

std::optional<std::uint32_t> CheckTruncateStrRef(const std::string& fieldText, std::uint32_t entryCount,
                                                 Dialogs& dialogs)
{
    const std::optional<std::int32_t> n = ParseInt32(fieldText);
    if (n && *n == 0) {
        dialogs.message(BoxKind::Plain, TruncateFromZeroMessage);
        return std::nullopt;
    }
    const std::int64_t largest = std::int64_t{entryCount} - 1;
    if (!n || *n < 0 || *n > largest) {
        dialogs.message(BoxKind::Plain, TruncateRangeMessage(largest));
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*n);
}

TruncateResult TruncateTable(TalkTable& table, const std::string& fieldText, Dialogs& dialogs,
                             const std::function<SaveResult()>& save, const std::function<void()>& showNewState)
{
    const auto n = CheckTruncateStrRef(fieldText, table.EntryCount, dialogs);
    if (!n) return TruncateResult::Refused;

    const std::uint32_t count = table.EntryCount;
    const std::uint32_t dataOffset = table.StringDataOffset;
    // The removed records leave the file. A damaged table whose string data
    // began inside its records still keeps the remaining records whole.
    const std::int64_t lowered = std::int64_t{dataOffset} - std::int64_t{RecordSize} * (count - *n);
    table.EntryCount = *n;
    table.StringDataOffset =
        static_cast<std::uint32_t>(std::max<std::int64_t>(lowered, HeaderSize + std::int64_t{RecordSize} * *n));

    const SaveResult result = save();
    if (result == SaveResult::Failed || result == SaveResult::FailedOnEntry) {
        table.EntryCount = count;
        table.StringDataOffset = dataOffset;
        return TruncateResult::SaveFailed;
    }
    if (showNewState) showNewState();
    dialogs.message(BoxKind::Information, TruncateSuccessMessage(count - *n, table.EntryCount));
    return TruncateResult::Truncated;
}

}  // namespace lexicarta
