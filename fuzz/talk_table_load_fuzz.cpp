// Any bytes as a talk table: the header and record checks, the string cache,
// and every text read back from it. Nothing may read or allocate more than
// the file holds.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/file_io.h"
#include "core/table_loader.h"
#include "core/talk_table.h"
#include "fuzz_support.h"

using namespace lexicarta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TalkTable table;
    fuzz::SilentDialogs dialogs;
    fuzz::SilentProgress progress;
    RunFlags flags;
    const std::string& folder = fuzz::ScratchFolder();
    const std::string path = folder + "dialog.tlk";
    WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    table.ProgramDirectory = folder;
    CloseTable(table);
    OpenedTalkTable file;
    const OpenResult opened = OpenTalkTableFile(path, dialogs, file);
    FUZZ_CHECK(dialogs.messages == (opened == OpenResult::Opened ? 0 : 1));
    if (opened != OpenResult::Opened) return 0;
    FUZZ_CHECK(file.header.EntryCount <= EntryCapacity);
    FUZZ_CHECK(file.header.StringDataOffset >= HeaderSize + std::uint64_t{RecordSize} * file.header.EntryCount);

    table.CurrentTablePath = path;
    table.CacheNumber = ChooseCacheNumber(folder);
    table.CachePath = folder + TalkTable::CacheFileName(table.CacheNumber);
    if (!BuildStringCache(table, file, progress, dialogs, flags)) return 0;
    table.CachedEntryCount = table.EntryCount;

    // Only the string data some entry refers to is copied, and never more
    // than the file holds.
    std::uint64_t referenced = 0;
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const StrRefEntry& entry = table.EntryTable[n];
        if (entry.Length > 0) referenced = std::max(referenced, std::uint64_t{entry.Offset} + entry.Length);
    }
    const std::uint64_t cacheSize = std::min<std::uint64_t>(referenced, size - table.StringDataOffset);
    FUZZ_CHECK(ReadWholeFile(table.CachePath)->size() == cacheSize);
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const auto text = table.ReadCachedString(static_cast<std::int32_t>(n));
        FUZZ_CHECK(text.has_value());
        const StrRefEntry& entry = table.EntryTable[n];
        const std::uint64_t available = entry.Offset >= cacheSize ? 0 : cacheSize - entry.Offset;
        FUZZ_CHECK(text->size() == std::min<std::uint64_t>(entry.Length, available));
        FUZZ_CHECK(text->compare(0, std::string::npos, reinterpret_cast<const char*>(data) + table.StringDataOffset +
                                                             std::min<std::uint64_t>(entry.Offset, cacheSize),
                                 text->size()) == 0);
    }
    CloseTable(table);
    return 0;
}
