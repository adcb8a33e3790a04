#include "translation/translation_settings.h"

#include <algorithm>
#include <cstdio>

#include "core/file_io.h"

namespace lexicarta {
namespace {

constexpr std::string_view TokenKey = "token";
constexpr std::string_view LowercaseTokenKey = "lowercase-token";
constexpr std::string_view TableKey = "table";
constexpr std::string_view ReferenceKey = "reference";
constexpr std::string_view SpellingKey = "spelling";

// A value the line format can hold.
bool Storable(const std::string& value) { return value.find_first_of("\n\r") == std::string::npos; }

std::string Wrapped(std::string_view heading, const std::vector<std::string>& tokens)
{
    std::string text;
    std::string line = "# ";
    line += heading;
    for (const std::string& token : tokens) {
        if (line.size() + token.size() + 1 > 96) {
            text += line + "\n";
            line = "#  ";
        }
        line += " " + token;
    }
    return text + line + "\n";
}

void AddUnique(std::vector<std::string>& list, std::string item)
{
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

}  // namespace

const TranslationSettings::TableChoices* TranslationSettings::find(const std::string& tablePath) const
{
    for (const TableChoices& choices : m_tables)
        if (choices.tablePath == tablePath) return &choices;
    return nullptr;
}

TranslationSettings::TableChoices& TranslationSettings::choicesOf(const std::string& tablePath)
{
    const auto at = std::find_if(m_tables.begin(), m_tables.end(),
                                 [&](const TableChoices& choices) { return choices.tablePath == tablePath; });
    TableChoices choices = at != m_tables.end() ? *at : TableChoices{tablePath, {}, {}};
    if (at != m_tables.end()) m_tables.erase(at);
    m_tables.insert(m_tables.begin(), std::move(choices));
    if (m_tables.size() > MaxTables) m_tables.resize(MaxTables);
    return m_tables.front();
}

std::optional<std::string> TranslationSettings::referenceFor(const std::string& tablePath) const
{
    const TableChoices* choices = find(tablePath);
    if (!choices || choices->referencePath.empty()) return std::nullopt;
    return choices->referencePath;
}

std::optional<std::string> TranslationSettings::spellingLanguageFor(const std::string& tablePath) const
{
    const TableChoices* choices = find(tablePath);
    if (!choices || choices->spellingLanguage.empty()) return std::nullopt;
    return choices->spellingLanguage;
}

void TranslationSettings::rememberReference(const std::string& tablePath, const std::string& referencePath)
{
    if (tablePath.empty() || !Storable(tablePath) || !Storable(referencePath)) return;
    choicesOf(tablePath).referencePath = referencePath;
}

void TranslationSettings::rememberSpellingLanguage(const std::string& tablePath, const std::string& language)
{
    if (tablePath.empty() || !Storable(tablePath) || !Storable(language) || language.find('\t') != std::string::npos)
        return;
    choicesOf(tablePath).spellingLanguage = language;
}

bool TranslationSettings::addToken(std::string_view token)
{
    auto normalized = TokenRules::Normalized(token);
    if (!normalized) return false;
    AddUnique(m_tokens, std::move(*normalized));
    return true;
}

bool TranslationSettings::addLowercaseToken(std::string_view token)
{
    auto normalized = TokenRules::Normalized(token);
    if (!normalized) return false;
    AddUnique(m_lowercaseTokens, std::move(*normalized));
    return true;
}

TokenRules TranslationSettings::tokenRules() const
{
    TokenRules rules;
    for (const std::string& token : m_tokens) rules.addKnown(token);
    for (const std::string& token : m_lowercaseTokens) rules.addLowercase(token);
    return rules;
}

std::string TranslationSettings::encode() const
{
    std::string text =
        "# Lexicarta's translation settings. Each line is a key, a tab and a value:\n"
        "#   token<TAB><NAME>             a token the game knows besides the built-in ones; an unknown\n"
        "#                                token one letter away from a known one counts as misspelled\n"
        "#   lowercase-token<TAB><NAME>   a token that gives a lower-case word: flagged where it\n"
        "#                                starts a sentence\n"
        "#   table<TAB>PATH               a talk table; the lines below it, up to the next table\n"
        "#                                line, are its own choices:\n"
        "#   reference<TAB>PATH           its reference table, in the original language\n"
        "#   spelling<TAB>LANGUAGE        the language of its spelling dictionary (fr_FR)\n"
        "# Lines starting with # are comments. The program rewrites this file when a choice\n"
        "# changes: the tokens and choices stay, comments of your own do not.\n" +
        Wrapped("Built-in tokens:", BuiltInTokens()) + Wrapped("Built-in lower-case tokens:", BuiltInLowercaseTokens());
    for (const std::string& token : m_tokens) text.append(TokenKey).append("\t").append(token).append("\n");
    for (const std::string& token : m_lowercaseTokens)
        text.append(LowercaseTokenKey).append("\t").append(token).append("\n");
    for (const TableChoices& choices : m_tables) {
        text.append(TableKey).append("\t").append(choices.tablePath).append("\n");
        if (!choices.referencePath.empty())
            text.append(ReferenceKey).append("\t").append(choices.referencePath).append("\n");
        if (!choices.spellingLanguage.empty())
            text.append(SpellingKey).append("\t").append(choices.spellingLanguage).append("\n");
    }
    return text;
}

TranslationSettings TranslationSettings::Parse(std::string_view text)
{
    TranslationSettings settings;
    // The table the choice lines below belong to (an index: the list grows).
    constexpr std::size_t None = static_cast<std::size_t>(-1);
    std::size_t current = None;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, tab);
        // A path may itself hold tabs: the value is the rest of the line.
        const std::string value(line.substr(tab + 1));
        if (value.empty()) continue;
        if (key == TokenKey) {
            settings.addToken(value);
        } else if (key == LowercaseTokenKey) {
            settings.addLowercaseToken(value);
        } else if (key == TableKey) {
            current = None;
            if (settings.find(value) || settings.m_tables.size() >= MaxTables) continue;
            current = settings.m_tables.size();
            settings.m_tables.push_back({value, {}, {}});
        } else if (key == ReferenceKey && current != None) {
            settings.m_tables[current].referencePath = value;
        } else if (key == SpellingKey && current != None) {
            settings.m_tables[current].spellingLanguage = value;
        }
    }
    return settings;
}

TranslationSettings TranslationSettings::Read(const std::string& path)
{
    const auto text = ReadWholeFile(path);
    return text ? Parse(*text) : TranslationSettings();
}

bool TranslationSettings::write(const std::string& path) const
{
    const std::string temporary = path + ".new";
    if (!WriteWholeFile(temporary, encode())) {
        RemoveFile(temporary);
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

}  // namespace lexicarta
