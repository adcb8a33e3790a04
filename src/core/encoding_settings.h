#pragma once
// "lexicarta-encoding.cfg", beside "lexicarta.cfg": the text encodings the
// user chose by hand, carried from one run to the next. A small text file of
// its own, so that the configuration record keeps its fixed layout:
//
//   last-single-byte<TAB>Windows-1250
//   table<TAB>UTF-8<TAB>/path/of/dialog.tlk      (most recent first)
//
// Lines it does not understand are skipped; a missing or damaged file means
// the defaults.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text_encoding.h"

namespace lexicarta {

inline constexpr const char* EncodingSettingsFileName = "lexicarta-encoding.cfg";

class EncodingSettings {
public:
    // How many tables keep their choice; the least recent goes first.
    static constexpr std::size_t MaxTables = 64;

    // The single-byte encoding chosen last (Windows-1252 until one is).
    TextEncoding lastSingleByte() const { return m_lastSingleByte; }
    // The user's choice for the table at path, if one is remembered.
    std::optional<TextEncoding> chosenFor(const std::string& tablePath) const;
    // The user chose encoding for the table at tablePath: it becomes that
    // table's most recent choice and, when single-byte, the last single-byte one.
    void remember(const std::string& tablePath, TextEncoding encoding);

    std::string encode() const;
    static EncodingSettings Parse(std::string_view text);
    // The defaults when path is missing or unreadable.
    static EncodingSettings Read(const std::string& path);
    // Writes a temporary file beside path and renames it; false on failure.
    bool write(const std::string& path) const;

    const std::vector<std::pair<std::string, TextEncoding>>& tables() const { return m_tables; }

private:
    TextEncoding m_lastSingleByte = TextEncoding::Windows1252;
    std::vector<std::pair<std::string, TextEncoding>> m_tables;
};

}  // namespace lexicarta
