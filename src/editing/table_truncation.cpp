#include "editing/table_truncation.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/tlk_format.h"

namespace lexicarta {

std::string TruncateRangeMessage(std::int64_t largest)
{
    return "Please specify an integer between 1 and " + std::to_string(largest);
}

std::string TooFewToTruncateMessage(std::uint32_t entryCount)
{
    return "This talk table has too few strings to truncate: it has " + std::to_string(entryCount) +
           " and needs at least 2.";
}

std::string TruncateDiskFullMessage(const std::string& path, std::uint32_t entryCount)
{
    return "Cannot truncate \"" + path + "\": the disk is full. The file was left as it was, with all its " +
           std::to_string(entryCount) + " strings; free some space and truncate again.";
}

std::string TruncateSuccessMessage(std::uint32_t erased, std::uint32_t entryCount)
{
    return "Truncate has been successful. " + std::to_string(erased) + " string(s) were erased. The new file has " +
           std::to_string(entryCount) + " strings.";
}

std::optional<std::uint32_t> CheckTruncateStrRef(const std::string& fieldText, std::uint32_t entryCount,
                                                 Dialogs& dialogs)
{
    if (entryCount < 2) {
        dialogs.message(BoxKind::Plain, TooFewToTruncateMessage(entryCount));
        return std::nullopt;
    }
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

namespace {

// The save's port during a truncation: its messages pass unchanged but for
// the full disk, which the truncation words for itself.
class TruncationDialogs : public Dialogs {
public:
    TruncationDialogs(Dialogs& user, const std::string& path, std::uint32_t entryCount)
        : m_user(user), m_path(path), m_entryCount(entryCount)
    {
    }
    void message(BoxKind kind, const std::string& text) override
    {
        m_user.message(kind, text == DiskFullMessage(m_path) ? TruncateDiskFullMessage(m_path, m_entryCount) : text);
    }
    Answer confirm(BoxKind kind, Buttons buttons, const std::string& text) override
    {
        return m_user.confirm(kind, buttons, text);
    }
    std::optional<std::string> openFile(const FileDialogRequest& request) override { return m_user.openFile(request); }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override { return m_user.saveFile(request); }

private:
    Dialogs& m_user;
    const std::string& m_path;
    std::uint32_t m_entryCount;
};

}  // namespace

TruncateResult TruncateTable(TalkTable& table, const std::string& fieldText, Dialogs& dialogs,
                             const std::function<SaveResult(Dialogs&)>& save,
                             const std::function<void()>& showNewState)
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

    // The path is copied: a save that completes makes its target the
    // current table.
    const std::string path = table.CurrentTablePath;
    TruncationDialogs saveDialogs(dialogs, path, count);
    const SaveResult result = save(saveDialogs);
    // Only a written file is truncated; every other outcome, a question
    // answered No included, leaves the table as the file still has it.
    if (result != SaveResult::Saved && result != SaveResult::SavedCacheFailed) {
        table.EntryCount = count;
        table.StringDataOffset = dataOffset;
        return TruncateResult::NotSaved;
    }
    if (showNewState) showNewState();
    dialogs.message(BoxKind::Information, TruncateSuccessMessage(count - *n, table.EntryCount));
    return TruncateResult::Truncated;
}

}  // namespace lexicarta
