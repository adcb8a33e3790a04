#pragma once
// The reference of a translation: a second talk table, in the original
// language, read once into memory and never written. Nothing of it is kept
// in a file, and no file is opened for writing.

#include <memory>
#include <optional>
#include <string>

#include "core/progress.h"
#include "core/talk_table.h"
#include "core/text_encoding.h"
#include "translation/table_texts.h"

namespace lexicarta {

inline constexpr const char* ReferenceIsTableMessage =
    "The reference table is the table being edited. Choose the talk table in the original language.";

class ReferenceTable {
public:
    // Use LoadReferenceTable.
    explicit ReferenceTable(std::unique_ptr<TalkTable> table, std::string path);
    ~ReferenceTable();
    ReferenceTable(const ReferenceTable&) = delete;
    ReferenceTable& operator=(const ReferenceTable&) = delete;

    const std::string& path() const { return m_path; }
    const TalkTable& table() const { return *m_table; }
    const TableTexts& texts() const { return m_texts; }
    std::uint32_t entryCount() const { return m_table->EntryCount; }
    TextEncoding encoding() const { return m_table->Encoding; }
    // Reads the texts in another encoding (the user's choice).
    void setEncoding(TextEncoding encoding) { m_table->Encoding = encoding; }

private:
    std::unique_ptr<TalkTable> m_table;
    std::string m_path;
    TableTexts m_texts;
};

struct ReferenceLoad {
    std::unique_ptr<ReferenceTable> reference;  // null when refused or failed
    std::string message;                        // then the one message that says why
};

// Loads the table at path as the reference of the table at tablePath, read
// only, its texts held in memory. Refused, with ReferenceIsTableMessage,
// when both paths name the same file (links followed). A file the editor
// would not load gives the message its load gives. The texts are read in
// encoding when one is given, otherwise in the encoding detected as for any
// table (UTF-8, or fallback). progress may be null.
ReferenceLoad LoadReferenceTable(const std::string& path, const std::string& tablePath,
                                 std::optional<TextEncoding> encoding, TextEncoding fallback = TextEncoding::Windows1252,
                                 Progress* progress = nullptr);

}  // namespace lexicarta
