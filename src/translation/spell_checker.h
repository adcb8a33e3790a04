#pragma once
// Spell checking of a table's texts with a Hunspell dictionary of the
// table's language, plus a personal list of the game's names. Words are
// split by the encoding's word rule (letters and digits; an apostrophe
// between two letters belongs to the word); words with digits, single
// letters and anything between '<' and '>' are never flagged.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text_encoding.h"

class Hunspell;
struct UConverter;

namespace lexicarta {

inline constexpr const char* DefaultDictionaryDirectory = "/usr/share/hunspell";
inline constexpr const char* PersonalWordListFileName = "lexicarta-words.txt";

// A stretch of a text, [begin, end): bytes of a table's text, or UTF-16
// units of an editor's text.
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The Debian package that holds the dictionary of a language ("fr_FR" ->
// "hunspell-fr", "en_GB" -> "hunspell-en-gb").
std::string DictionaryPackage(const std::string& language);
// Why spelling is unavailable for a language without a dictionary, on one line.
std::string MissingDictionaryMessage(const std::string& language, const std::vector<std::string>& directories);

class SpellChecker {
public:
    // The checker of language ("fr_FR": fr_FR.aff and fr_FR.dic from the
    // first of directories that has both), with the words of the personal
    // list at personalWordList (UTF-8, one a line; a missing file is an
    // empty list; empty: none). Null, with message set to the one line
    // MissingDictionaryMessage gives, when there is no such dictionary.
    static std::unique_ptr<SpellChecker> Open(const std::string& language, std::string& message,
                                              const std::vector<std::string>& directories = {DefaultDictionaryDirectory},
                                              const std::string& personalWordList = {});
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    const std::string& language() const { return m_language; }

    // The unknown words of a table's text (bytes of encoding), as byte ranges.
    std::vector<TextRange> misspelledRanges(std::string_view text, TextEncoding encoding);
    // The same for an editor's text, as ranges of UTF-16 units; encoding
    // gives the word rule.
    std::vector<TextRange> misspelledRanges(std::u16string_view text, TextEncoding encoding);
    // The unknown words of a text, in UTF-8, in order.
    std::vector<std::string> misspelledWords(std::string_view text, TextEncoding encoding);
    bool hasMisspelling(std::string_view text, TextEncoding encoding);

    // One word, in UTF-8.
    bool isKnownWord(std::string_view word);
    // What the dictionary offers instead of word (UTF-8), best first.
    std::vector<std::string> suggestions(std::string_view word);
    // Adds word (UTF-8) to the personal list: known from now on, and
    // appended to its file. False, and nothing added, when it is no single
    // word or the file cannot be written.
    bool addToPersonalList(std::string_view word);

    // The words a text is split into, as the checks split them: what the
    // dictionary is asked about, in UTF-8 (for measurements).
    void appendWords(std::string_view text, TextEncoding encoding, std::vector<std::string>& out);
    // Asks the dictionary itself (no remembered answers); UTF-8.
    bool dictionaryKnows(const std::string& word);

private:
    SpellChecker() = default;

    struct Character {
        char32_t code;
        std::size_t begin;
        std::size_t end;
    };
    struct WordAt {
        std::size_t first;  // index into m_characters
        std::size_t last;   // one past
    };
    // Splits m_characters (filled by decode) into m_words, the words to check.
    void findWords();
    void decode(std::string_view text, TextEncoding encoding);
    void decode(std::u16string_view text, TextEncoding encoding);
    bool isWordCharacter(char32_t code) const;
    // The word's characters as UTF-8, into m_word.
    void spellWord(const WordAt& word);
    bool known(const WordAt& word);
    std::string toDictionary(const std::string& utf8) const;
    std::string fromDictionary(const std::string& bytes) const;

    std::string m_language;
    std::string m_wordListPath;
    std::unique_ptr<Hunspell> m_hunspell;
    UConverter* m_converter = nullptr;  // null: the dictionary is in UTF-8
    TextEncoding m_wordRule = TextEncoding::Utf8;
    std::unordered_map<std::string, bool> m_known;
    std::vector<Character> m_characters;
    std::vector<bool> m_bracketed;
    std::vector<WordAt> m_words;
    std::string m_word;
};

}  // namespace lexicarta
