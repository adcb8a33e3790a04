#pragma once
// The one loaded talk table of the process: its header values, the fixed
// entry and state tables, the string cache, and the names of its temporary
// files.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/file_io.h"
#include "core/string_cache.h"
#include "core/text_encoding.h"
#include "core/tlk_format.h"
#include "core/utf8_survey.h"

namespace lexicarta {

enum EntryState : std::uint8_t {
    Original = 0,
    EditedByUser = 1,
    CreatedByUser = 2,
    NoEntry = 255,
};

class TalkTable {
public:
    // Allocates the fixed tables once (EntryCapacity slots each).
    TalkTable();
    TalkTable(const TalkTable&) = delete;
    TalkTable& operator=(const TalkTable&) = delete;

    std::array<char, 8> Signature{};
    std::uint16_t LanguageId = 0;
    std::uint32_t EntryCount = 0;
    std::uint32_t StringDataOffset = 0;
    std::uint32_t CachedEntryCount = 0;
    std::int32_t CurrentStrRef = 0;
    std::uint32_t TlkFileSize = 0;
    std::string CurrentTablePath;
    std::string LastOpenedPath;
    std::string ProgramDirectory;  // with trailing '/'
    std::uint32_t CacheNumber = 0;
    std::string CachePath;
    // How the table's bytes are read as text and text written as bytes.
    TextEncoding Encoding = TextEncoding::Windows1252;
    // What the load found out about the texts being UTF-8 (see DetectTextEncoding).
    std::optional<Utf8SurveyResult> LoadSurvey;
    bool TableLoaded = false;
    bool CacheFailed = false;
    bool LastStepFailed = false;
    bool ChangesPending = false;
    // False after a failed StrRef entry: no entry is current, and the edit
    // operations leave the table alone until one is chosen.
    bool EntryIsCurrent = false;
    // The loaded (or last saved) file as it was then, so that a save can
    // tell when another program changed, replaced or deleted it meanwhile.
    std::optional<FileStamp> LoadedFileStamp;

    std::unique_ptr<StrRefEntry[]> EntryTable;
    std::unique_ptr<StrRefEntry[]> BaselineEntryTable;
    std::unique_ptr<std::uint8_t[]> EntryStateTable;
    std::unique_ptr<std::uint8_t[]> JournalSyncedTable;

    StringCache Cache;

    EntryState state(std::int32_t strRef) const { return static_cast<EntryState>(EntryStateTable[strRef]); }
    bool isEdited(std::int32_t strRef) const
    {
        const auto s = state(strRef);
        return s == EditedByUser || s == CreatedByUser;
    }
    bool validStrRef(std::int64_t strRef) const { return strRef >= 0 && strRef < EntryCount; }

    // "lexic" + N + ".tmp"
    static std::string CacheFileName(std::uint32_t cacheNumber);
    // ProgramDirectory + N + "ts" + StrRef + ".tmp"
    std::string journalFilePath(std::int32_t strRef) const;
    // ProgramDirectory + N + "t" + k + ".tmp"
    std::string resultFilePath(std::int32_t expressionIndex) const;

    // The unedited text of strRef: the cache bytes at its baseline position
    // (bytes past the end of the cache are left out). nullopt when the cache
    // cannot be read.
    std::optional<std::string> ReadCachedString(std::int32_t strRef) const;

    // Every slot Original below EntryCount and NoEntry above; every synced flag 0.
    void resetJournalStates();
    // Baseline := all EntryCapacity slots of EntryTable.
    void copyEntriesToBaseline();
    // Deletes the journal file of every edited or created slot; failures are ignored.
    void DeleteAllJournalFiles() const;
    // First slot below EntryCount whose state is not Original, or -1.
    std::int64_t firstPendingSlot() const;
    // Whether any of the first EntryCount records has Flags exactly 7.
    bool anyEntryHasFlags7() const;
};

}  // namespace lexicarta
