#pragma once
// Loading a talk table: closing the previous table, opening and checking the
// new file, choosing the cache number and building the string cache, and the
// one routine that does it all for every caller (LoadTableFile).

#include <cstdint>
#include <optional>
#include <string>

#include "core/dialogs.h"
#include "core/file_io.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"
#include "core/text_encoding.h"
#include "core/tlk_format.h"
#include "core/unique_fd.h"

namespace lexicarta {

inline constexpr const char* CannotOpenFileMessage =
    "Cannot open file! This error also occurs if the .tlk file is Read-Only. ";
inline constexpr const char* CacheCreationFailedMessage = "Error while creating temporary file. Memory might be low.";
inline constexpr const char* CannotLoadStringMessage = "Cannot load string due to error";
inline constexpr const char* CannotReadCacheMessage = "Error while reading temporary file";

// A folder, a named pipe or a device given as a talk table.
std::string NotRegularFileMessage(const std::string& path);

enum class OpenResult { Opened, Missing, Unreadable, BadSignature, Refused };

struct OpenedTalkTable {
    UniqueFd file;
    std::uint64_t fileSize = 0;
    TlkHeader header;
    FileStamp stamp;
};

// Releases the cache (mapping and handle), deletes its file and every journal
// file of the table; CachePath empty, TableLoaded false. Failures are ignored.
void CloseTable(TalkTable& table);

// Opens path for reading and writing, reads and checks the header, and
// refuses files the tables cannot hold and anything but a regular file
// (without waiting on a named pipe). Every failure is reported through
// dialogs with its message; nothing of the table is changed. With
// forWriting false (a table that is only read, never saved back) a
// read-only file is opened too; with it true, what saves of the file killed
// on their way left beside it is removed.
OpenResult OpenTalkTableFile(const std::string& path, Dialogs& dialogs, OpenedTalkTable& out, bool forWriting = true);

// The smallest N >= 0 for which no "lexic"N".tmp" exists in directory: where
// the build of the cache begins to look for a name it can claim.
std::uint32_t ChooseCacheNumber(const std::string& directory);

// Where the string cache's bytes are kept: in a copy file at CachePath, or,
// for a table that is only read, in memory (no file; CachePath unused).
enum class CacheKind { Copy, InPlace };

// Takes the header into the table and builds the string cache from the
// string data up to the furthest byte an entry refers to: a copy claims the
// first free cache name from CacheNumber on, in CachePath's directory
// (CacheNumber and CachePath follow, CachePath empty when none can be
// claimed), and holds it until the table is closed;
// reads the records, resets the journal states and the baseline. On failure
// reports "Error while creating temporary file. Memory might be low.", sets
// CacheFailed and StatisticsAborted and returns false. The file stays open.
bool BuildStringCache(TalkTable& table, OpenedTalkTable& file, Progress& progress, Dialogs& dialogs, RunFlags& flags,
                      CacheKind kind = CacheKind::Copy);

// How a table is loaded: where its string cache goes and in which encoding
// its texts are read.
struct LoadOptions {
    // The folder of the string cache copy (with trailing '/'); the table's
    // ProgramDirectory when empty.
    std::string cacheDirectory;
    // Where the search for a free cache number begins; the smallest number
    // free in the folder when not given.
    std::optional<std::uint32_t> cacheNumber;
    CacheKind cacheKind = CacheKind::Copy;
    // A table that is only read is opened without asking for write access
    // (a read-only file loads too).
    bool forWriting = true;
    // The encoding of the texts: the one given; else, with detectEncoding,
    // the one the texts show (DetectTextEncoding with singleByteFallback);
    // else Encoding stays as it is.
    std::optional<TextEncoding> encoding;
    bool detectEncoding = false;
    TextEncoding singleByteFallback = TextEncoding::Windows1252;
};

struct LoadOutcome {
    OpenResult opened = OpenResult::Missing;
    // The string cache was built (Opened only): when not, CacheFailed is set
    // and the failure was reported.
    bool cached = false;
    // errno of the failed cache build.
    int cacheError = 0;
    // The size of the file as it was opened.
    std::uint64_t fileSize = 0;
};

// The whole load of path into a table that is closed (new, or CloseTable):
// CurrentTablePath := path; the file opened and checked (every refusal
// reported through dialogs, the table left as it was); the string cache
// built as options say; then CachedEntryCount, TlkFileSize, LastOpenedPath,
// the encoding, and entry 0 current. The windows and lexicarta-cli load
// through it.
LoadOutcome LoadTableFile(TalkTable& table, const std::string& path, const LoadOptions& options, Dialogs& dialogs,
                          Progress& progress, RunFlags& flags);
// The same with the default options: a cache copy in ProgramDirectory, the
// file opened for writing, the encoding left as it is.
OpenResult LoadTableFile(TalkTable& table, const std::string& path, Dialogs& dialogs, Progress& progress, RunFlags& flags);

}  // namespace lexicarta
