#pragma once
// "lexicarta-translation.cfg", beside "lexicarta.cfg" and
// "lexicarta-encoding.cfg": the tokens the user added to the built-in
// lists, and per table its reference table and its spelling language.
// A text file the user may edit; the program writes it with the
// explanation below at its top:
//
//   token<TAB><MYMOD_TOKEN>
//   lowercase-token<TAB><PRO_NEPHEWNIECE>
//   table<TAB>/path/of/french/dialog.tlk          (most recent first)
//   reference<TAB>/path/of/english/dialog.tlk     (the table above's)
//   spelling<TAB>fr_FR                            (the table above's)
//
// Lines starting with '#' and lines it does not understand are skipped; a
// missing or damaged file means no choices and the built-in tokens.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "translation/token_rules.h"

namespace lexicarta {

inline constexpr const char* TranslationSettingsFileName = "lexicarta-translation.cfg";

class TranslationSettings {
public:
    // How many tables keep their choices; the least recent goes first.
    static constexpr std::size_t MaxTables = 64;

    // The reference chosen for the table at tablePath, if one is remembered.
    std::optional<std::string> referenceFor(const std::string& tablePath) const;
    // The spelling language chosen for the table at tablePath.
    std::optional<std::string> spellingLanguageFor(const std::string& tablePath) const;
    // The user chose a reference (empty: none) or a spelling language
    // (empty: none) for the table: it becomes the most recent table.
    void rememberReference(const std::string& tablePath, const std::string& referencePath);
    void rememberSpellingLanguage(const std::string& tablePath, const std::string& language);

    // Tokens added to the built-in lists (normalized, with brackets).
    const std::vector<std::string>& addedTokens() const { return m_tokens; }
    const std::vector<std::string>& addedLowercaseTokens() const { return m_lowercaseTokens; }
    // False for anything that is no token.
    bool addToken(std::string_view token);
    bool addLowercaseToken(std::string_view token);
    // The built-in lists with the added tokens.
    TokenRules tokenRules() const;

    std::string encode() const;
    static TranslationSettings Parse(std::string_view text);
    // No choices when path is missing or unreadable.
    static TranslationSettings Read(const std::string& path);
    // Writes a temporary file beside path and renames it; false on failure.
    bool write(const std::string& path) const;

    struct TableChoices {
        std::string tablePath;
        std::string referencePath;     // empty: none
        std::string spellingLanguage;  // empty: none
    };
    const std::vector<TableChoices>& tables() const { return m_tables; }

private:
    TableChoices& choicesOf(const std::string& tablePath);
    const TableChoices* find(const std::string& tablePath) const;

    std::vector<std::string> m_tokens;
    std::vector<std::string> m_lowercaseTokens;
    std::vector<TableChoices> m_tables;
};

}  // namespace lexicarta
