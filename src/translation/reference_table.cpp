#include "translation/reference_table.h"

#include <sys/stat.h>

#include "core/dialogs.h"
#include "core/encoding_detection.h"
#include "core/run_flags.h"
#include "core/table_loader.h"

namespace lexicarta {
namespace {

// Keeps the load's messages for the caller to show as it likes.
class KeptMessages : public Dialogs {
public:
    void message(BoxKind, const std::string& text) override { keep(text); }
    Answer confirm(BoxKind, Buttons, const std::string& text) override
    {
        keep(text);
        return Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }

    std::string text;

private:
    void keep(std::string shown)
    {
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        text += (text.empty() ? "" : " ") + shown;
    }
};

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

ReferenceTable::ReferenceTable(std::unique_ptr<TalkTable> table, std::string path)
    : m_table(std::move(table)), m_path(std::move(path)), m_texts(*m_table)
{
}

ReferenceTable::~ReferenceTable() { CloseTable(*m_table); }

ReferenceLoad LoadReferenceTable(const std::string& path, const std::string& tablePath,
                                 std::optional<TextEncoding> encoding, TextEncoding fallback, Progress* progress)
{
    ReferenceLoad load;
    if (!tablePath.empty() && SameFile(path, tablePath)) {
        load.message = ReferenceIsTableMessage;
        return load;
    }
    KeptMessages messages;
    OpenedTalkTable file;
    if (OpenTalkTableFile(path, messages, file, false) != OpenResult::Opened) {
        load.message = messages.text;
        return load;
    }
    auto table = std::make_unique<TalkTable>();
    table->CurrentTablePath = path;
    table->LastOpenedPath = path;
    RunFlags flags;
    SilentProgress silent;
    if (!BuildStringCache(*table, file, progress ? *progress : silent, messages, flags, CacheKind::InPlace)) {
        CloseTable(*table);
        load.message = messages.text;
        return load;
    }
    table->CachedEntryCount = table->EntryCount;
    table->TlkFileSize = static_cast<std::uint32_t>(file.fileSize);
    table->EntryIsCurrent = true;
    table->Encoding = encoding ? *encoding : DetectTextEncoding(*table, fallback);
    load.reference = std::make_unique<ReferenceTable>(std::move(table), path);
    return load;
}

}  // namespace lexicarta
