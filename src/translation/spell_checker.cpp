#include "translation/spell_checker.h"

#include <fcntl.h>
#include <unistd.h>

#include <hunspell/hunspell.hxx>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <array>

#include "core/file_io.h"
#include "core/unique_fd.h"
#include "translation/text_comparison.h"

namespace lexicarta {
namespace {

// The characters beyond ASCII that make words in a single-byte encoding, sorted.
std::vector<char32_t> WordCodesOf(TextEncoding encoding)
{
    std::vector<char32_t> codes;
    const auto& word = RulesOf(encoding).word;
    for (int b = 0x80; b < 0x100; ++b)
        if (word[b]) codes.push_back(DecodeByte(encoding, static_cast<unsigned char>(b)));
    std::sort(codes.begin(), codes.end());
    return codes;
}

const std::vector<char32_t>& WordCodes(TextEncoding encoding)
{
    static const std::vector<char32_t> windows1252 = WordCodesOf(TextEncoding::Windows1252);
    static const std::vector<char32_t> windows1250 = WordCodesOf(TextEncoding::Windows1250);
    static const std::vector<char32_t> windows1251 = WordCodesOf(TextEncoding::Windows1251);
    switch (encoding) {
    case TextEncoding::Windows1250: return windows1250;
    case TextEncoding::Windows1251: return windows1251;
    default: return windows1252;
    }
}

bool IsApostrophe(char32_t code) { return code == '\'' || code == 0x2019; }
bool IsDigitCode(char32_t code) { return (code >= '0' && code <= '9') || (code >= 0x80 && u_isdigit(static_cast<UChar32>(code))); }

bool ValidLanguageName(const std::string& language)
{
    if (language.empty() || language.size() > 64 || language.front() == '.') return false;
    return std::all_of(language.begin(), language.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.' || c == '@';
    });
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

std::string Utf8Of(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        AppendUtf8(out, code);
    }
    return out;
}

}  // namespace

std::string DictionaryPackage(const std::string& language)
{
    const std::string name = Lower(language.substr(0, language.find_first_of(".@")));
    const auto split = name.find_first_of("_-");
    const std::string base = name.substr(0, split);
    const std::string region = split == std::string::npos ? std::string() : name.substr(split + 1, 2);
    static const std::array<std::string_view, 10> regional = {"de-at", "de-ch", "de-de", "en-au", "en-ca",
                                                              "en-gb", "en-us", "en-za", "pt-br", "pt-pt"};
    const std::string both = base + "-" + region;
    if (std::find(regional.begin(), regional.end(), both) != regional.end()) return "hunspell-" + both;
    if (base == "de") return "hunspell-de-de";
    if (base == "en") return "hunspell-en-us";
    if (base == "pt") return "hunspell-pt-pt";
    if (base == "nb" || base == "nn") return "hunspell-no";
    return "hunspell-" + base;
}

std::string MissingDictionaryMessage(const std::string& language, const std::vector<std::string>& directories)
{
    if (!ValidLanguageName(language)) return "Spelling is unavailable: \"" + language + "\" is no language name (such as fr_FR).";
    std::string where;
    for (const std::string& directory : directories) where += (where.empty() ? "" : ", ") + directory;
    return "Spelling is unavailable: no dictionary for " + language + " in " + where + " (the Debian package " +
           DictionaryPackage(language) + " provides it).";
}

std::unique_ptr<SpellChecker> SpellChecker::Open(const std::string& language, std::string& message,
                                                 const std::vector<std::string>& directories,
                                                 const std::string& personalWordList)
{
    message.clear();
    std::string affix;
    std::string dictionary;
    if (ValidLanguageName(language)) {
        for (std::string directory : directories) {
            if (!directory.empty() && directory.back() != '/') directory += '/';
            if (FileExists(directory + language + ".aff") && FileExists(directory + language + ".dic")) {
                affix = directory + language + ".aff";
                dictionary = directory + language + ".dic";
                break;
            }
        }
    }
    if (affix.empty()) {
        message = MissingDictionaryMessage(language, directories);
        return nullptr;
    }
    std::unique_ptr<SpellChecker> checker(new SpellChecker());
    checker->m_language = language;
    checker->m_wordListPath = personalWordList;
    checker->m_hunspell = std::make_unique<Hunspell>(affix.c_str(), dictionary.c_str());
    std::string encoding = checker->m_hunspell->get_dict_encoding();
    if (encoding.rfind("microsoft-", 0) == 0) encoding = "windows-" + encoding.substr(std::string("microsoft-cp").size());
    if (!encoding.empty() && Lower(encoding) != "utf-8") {
        UErrorCode status = U_ZERO_ERROR;
        checker->m_converter = ucnv_open(encoding.c_str(), &status);
        if (U_FAILURE(status)) checker->m_converter = nullptr;
    }
    if (!personalWordList.empty()) {
        if (const auto words = ReadWholeFile(personalWordList)) {
            std::string_view rest = *words;
            while (!rest.empty()) {
                const auto end = rest.find('\n');
                std::string_view line = rest.substr(0, end);
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                if (!line.empty() && line.front() != '#') checker->m_hunspell->add(checker->toDictionary(std::string(line)));
            }
        }
    }
    return checker;
}

SpellChecker::~SpellChecker()
{
    if (m_converter) ucnv_close(m_converter);
}

std::string SpellChecker::toDictionary(const std::string& utf8) const
{
    if (!m_converter) return utf8;
    const std::u16string text = DecodeText(TextEncoding::Utf8, utf8);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(m_converter);
    ucnv_setFromUCallBack(m_converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::string out(text.size() * 4 + 8, '\0');
    const int32_t length = ucnv_fromUChars(m_converter, out.data(), static_cast<int32_t>(out.size()),
                                           reinterpret_cast<const UChar*>(text.data()),
                                           static_cast<int32_t>(text.size()), &status);
    // A word the dictionary's encoding cannot hold is no word of it.
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string SpellChecker::fromDictionary(const std::string& bytes) const
{
    if (!m_converter) return bytes;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(m_converter);
    std::u16string text(bytes.size() * 2 + 2, u'\0');
    const int32_t length = ucnv_toUChars(m_converter, reinterpret_cast<UChar*>(text.data()),
                                         static_cast<int32_t>(text.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) return {};
    text.resize(static_cast<std::size_t>(length));
    return Utf8Of(text);
}

bool SpellChecker::isWordCharacter(char32_t code) const
{
    if (m_wordRule == TextEncoding::Utf8) return IsWordCodePoint(code);
    if (code < 0x80) return RulesOf(m_wordRule).word[code];
    const auto& codes = WordCodes(m_wordRule);
    return std::binary_search(codes.begin(), codes.end(), code);
}

void SpellChecker::decode(std::string_view text, TextEncoding encoding)
{
    m_wordRule = encoding;
    m_characters.clear();
    for (std::size_t pos = 0; pos < text.size();) {
        const CharacterAt c = CharacterAtPosition(text, pos, encoding);
        m_characters.push_back({c.code, pos, pos + c.length});
        pos += c.length;
    }
}

void SpellChecker::decode(std::u16string_view text, TextEncoding encoding)
{
    m_wordRule = encoding;
    m_characters.clear();
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = text[i];
        std::size_t units = 1;
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        m_characters.push_back({code, i, i + units});
        i += units;
    }
}

void SpellChecker::findWords()
{
    const std::size_t count = m_characters.size();
    // Everything from a '<' to the '>' that closes it is left alone.
    m_bracketed.assign(count, false);
    std::size_t open = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (m_characters[i].code == '<') {
            open = i;
        } else if (m_characters[i].code == '>' && open < count) {
            std::fill(m_bracketed.begin() + static_cast<std::ptrdiff_t>(open), m_bracketed.begin() + static_cast<std::ptrdiff_t>(i + 1), true);
            open = count;
        }
    }
    m_words.clear();
    const auto wordAt = [&](std::size_t i) { return !m_bracketed[i] && isWordCharacter(m_characters[i].code); };
    for (std::size_t i = 0; i < count;) {
        if (!wordAt(i)) {
            ++i;
            continue;
        }
        const std::size_t first = i;
        bool digits = false;
        while (i < count) {
            if (wordAt(i)) {
                digits = digits || IsDigitCode(m_characters[i].code);
                ++i;
            } else if (IsApostrophe(m_characters[i].code) && i + 1 < count && wordAt(i + 1)) {
                ++i;
            } else {
                break;
            }
        }
        if (!digits && i - first >= 2) m_words.push_back({first, i});
    }
}

void SpellChecker::spellWord(const WordAt& word)
{
    m_word.clear();
    for (std::size_t i = word.first; i < word.last; ++i) {
        const char32_t code = m_characters[i].code;
        AppendUtf8(m_word, code == 0x2019 ? U'\'' : code);
    }
}

bool SpellChecker::dictionaryKnows(const std::string& word)
{
    const std::string inDictionary = toDictionary(word);
    return !inDictionary.empty() && m_hunspell->spell(inDictionary);
}

bool SpellChecker::known(const WordAt& word)
{
    spellWord(word);
    const auto remembered = m_known.find(m_word);
    if (remembered != m_known.end()) return remembered->second;
    bool ok = dictionaryKnows(m_word);
    if (!ok && m_word.find('\'') != std::string::npos) {
        // "l'épée", "don't": the parts, when the dictionary does not know the whole.
        ok = true;
        std::size_t start = 0;
        while (ok && start <= m_word.size()) {
            const std::size_t end = std::min(m_word.find('\'', start), m_word.size());
            const std::string part = m_word.substr(start, end - start);
            if (DecodeText(TextEncoding::Utf8, part).size() >= 2) ok = dictionaryKnows(part);
            start = end + 1;
        }
    }
    m_known.emplace(m_word, ok);
    return ok;
}

std::vector<TextRange> SpellChecker::misspelledRanges(std::string_view text, TextEncoding encoding)
{
    decode(text, encoding);
    findWords();
    std::vector<TextRange> ranges;
    for (const WordAt& word : m_words)
        if (!known(word)) ranges.push_back({m_characters[word.first].begin, m_characters[word.last - 1].end});
    return ranges;
}

std::vector<TextRange> SpellChecker::misspelledRanges(std::u16string_view text, TextEncoding encoding)
{
    decode(text, encoding);
    findWords();
    std::vector<TextRange> ranges;
    for (const WordAt& word : m_words)
        if (!known(word)) ranges.push_back({m_characters[word.first].begin, m_characters[word.last - 1].end});
    return ranges;
}

std::vector<std::string> SpellChecker::misspelledWords(std::string_view text, TextEncoding encoding)
{
    decode(text, encoding);
    findWords();
    std::vector<std::string> words;
    for (const WordAt& word : m_words)
        if (!known(word)) words.push_back(m_word);
    return words;
}

bool SpellChecker::hasMisspelling(std::string_view text, TextEncoding encoding)
{
    decode(text, encoding);
    findWords();
    return std::any_of(m_words.begin(), m_words.end(), [&](const WordAt& word) { return !known(word); });
}

void SpellChecker::appendWords(std::string_view text, TextEncoding encoding, std::vector<std::string>& out)
{
    decode(text, encoding);
    findWords();
    for (const WordAt& word : m_words) {
        spellWord(word);
        out.push_back(m_word);
    }
}

bool SpellChecker::isKnownWord(std::string_view word)
{
    const std::string copy(word);
    decode(std::string_view(copy), TextEncoding::Utf8);
    if (m_characters.empty()) return false;
    return known({0, m_characters.size()});
}

std::vector<std::string> SpellChecker::suggestions(std::string_view word)
{
    std::vector<std::string> offered;
    const std::string inDictionary = toDictionary(std::string(word));
    if (inDictionary.empty()) return offered;
    for (const std::string& suggestion : m_hunspell->suggest(inDictionary)) {
        std::string utf8 = fromDictionary(suggestion);
        if (!utf8.empty()) offered.push_back(std::move(utf8));
    }
    return offered;
}

bool SpellChecker::addToPersonalList(std::string_view word)
{
    const std::string copy(word);
    if (copy.empty() || !IsValidUtf8(copy)) return false;
    for (std::size_t pos = 0; pos < copy.size();) {
        const Utf8Char c = NextUtf8(copy, pos);
        if (c.code < 0x20 || c.code == ' ' || c.code == 0xA0 || c.code == '<' || c.code == '>') return false;
        pos += c.length;
    }
    const std::string inDictionary = toDictionary(copy);
    if (inDictionary.empty()) return false;
    if (!m_wordListPath.empty()) {
        UniqueFd file(::open(m_wordListPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        const std::string line = copy + "\n";
        if (!file || !WriteAll(file.get(), line.data(), line.size())) return false;
    }
    m_hunspell->add(inDictionary);
    m_known.clear();
    return true;
}

}  // namespace lexicarta
