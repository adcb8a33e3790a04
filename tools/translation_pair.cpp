#include "translation_pair.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

#include "tlk_generator.h"

namespace tlkgen {
namespace {

// splitmix64, as the table generator draws its numbers.
std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

class Rng {
public:
    Rng(std::uint64_t seed, std::uint32_t strRef) : m_state(Mix(Mix(seed) ^ Mix((std::uint64_t{strRef} << 8) | 0x70))) {}
    std::uint64_t next()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        return Mix(m_state);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32); }
    bool chance(double p) { return static_cast<double>(next() >> 11) * 0x1.0p-53 < p; }

private:
    std::uint64_t m_state;
};

// The cases planted on purpose, one per entry.
enum class Plant {
    DroppedToken,
    MisspelledToken,
    UnbalancedBrackets,
    LowercaseToken,
    FlagsText,
    FlagsToken,
    FlagsSound,
    LongerThanReference,
    OverByteBudget,
    TodoMarker,
    EmptyBrackets,
    QuestionMarks,
    // Near misses that must not be found.
    LowercaseTokenInside,
    TokensOnly,
    TokenMoved,
    FixmeInsideText,
    Count
};
constexpr std::uint32_t PlantCount = static_cast<std::uint32_t>(Plant::Count);

constexpr std::string_view FallbackText = "The gate of the northern keep stays closed tonight.";

struct Word {
    std::string_view english;
    std::string_view french;
};
constexpr Word Dictionary[] = {
    {"the", "le"},       {"and", "et"},        {"of", "de"},        {"to", "vers"},     {"a", "un"},
    {"in", "dans"},      {"is", "est"},        {"you", "vous"},     {"that", "que"},    {"it", "il"},
    {"he", "lui"},       {"she", "elle"},      {"was", "était"},    {"for", "pour"},    {"on", "sur"},
    {"are", "sont"},     {"with", "avec"},     {"as", "comme"},     {"his", "son"},     {"her", "sa"},
    {"they", "ils"},     {"be", "être"},       {"at", "chez"},      {"one", "un"},      {"have", "avoir"},
    {"this", "ce"},      {"from", "depuis"},   {"by", "par"},       {"but", "mais"},    {"not", "pas"},
    {"what", "quoi"},    {"all", "tout"},      {"were", "étaient"}, {"we", "nous"},     {"when", "quand"},
    {"your", "votre"},   {"can", "peut"},      {"there", "là"},     {"an", "une"},      {"will", "va"},
    {"my", "mon"},       {"me", "moi"},        {"no", "non"},       {"if", "si"},       {"so", "donc"},
    {"do", "faire"},     {"our", "notre"},     {"their", "leur"},   {"must", "doit"},   {"who", "qui"},
    {"i", "je"},         {"yes", "oui"},       {"sword", "épée"},   {"gold", "or"},     {"king", "roi"},
    {"queen", "reine"},  {"city", "cité"},     {"gate", "porte"},   {"guard", "garde"}, {"day", "jour"},
    {"night", "nuit"},   {"death", "mort"},    {"friend", "ami"},   {"heart", "cœur"},  {"fire", "feu"},
    {"water", "eau"},    {"dark", "sombre"},   {"old", "vieux"},    {"help", "aide"},   {"go", "va"},
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Length of the token ('<' capitals, digits or '_' '>') at pos, or 0.
std::size_t TokenAt(std::string_view text, std::size_t pos)
{
    if (text[pos] != '<') return 0;
    std::size_t end = pos + 1;
    while (end < text.size() && (IsUpper(text[end]) || (text[end] >= '0' && text[end] <= '9') || text[end] == '_')) ++end;
    return end > pos + 1 && end < text.size() && text[end] == '>' ? end + 1 - pos : 0;
}

bool HasToken(std::string_view text)
{
    for (std::size_t pos = text.find('<'); pos != std::string_view::npos; pos = text.find('<', pos + 1))
        if (TokenAt(text, pos)) return true;
    return false;
}

// Characters of a UTF-8 text.
std::size_t Characters(std::string_view utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string WithoutTokens(std::string_view text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (const std::size_t token = TokenAt(text, pos))
            pos += token - 1;
        else
            out += text[pos];
    }
    return out;
}

std::string TranslateWord(std::string_view word)
{
    std::string lower;
    for (const char c : word) lower += ToLower(c);
    std::string french;
    for (const Word& entry : Dictionary)
        if (entry.english == lower) french = entry.french;
    if (french.empty()) french = lower + (lower.back() == 'e' ? "r" : "e");
    const bool allCaps = word.size() > 1 && std::all_of(word.begin(), word.end(), [](char c) { return !IsAsciiLetter(c) || IsUpper(c); });
    if (allCaps) {
        for (char& c : french) c = ToUpper(c);
    } else if (IsUpper(word.front())) {
        french.front() = ToUpper(french.front());
    }
    return french;
}

// The made-up French of an English text (UTF-8): every word changes, tokens
// and everything else stay as they are.
std::string Translate(std::string_view english)
{
    std::string out;
    for (std::size_t pos = 0; pos < english.size();) {
        if (const std::size_t token = TokenAt(english, pos)) {
            out.append(english.substr(pos, token));
            pos += token;
            continue;
        }
        const auto isWordByte = [&](std::size_t i) {
            return IsAsciiLetter(english[i]) || (static_cast<unsigned char>(english[i]) >= 0x80);
        };
        if (!isWordByte(pos)) {
            out += english[pos++];
            continue;
        }
        std::size_t end = pos;
        while (end < english.size() && isWordByte(end)) ++end;
        const std::string_view word = english.substr(pos, end - pos);
        // Words beyond ASCII (names) get a suffix, as unknown words do.
        out += std::all_of(word.begin(), word.end(), IsAsciiLetter) ? TranslateWord(word) : std::string(word) + "e";
        pos = end;
    }
    return out;
}

std::string ToUtf8Of(lexicarta::TextEncoding encoding, std::string_view bytes)
{
    std::string out;
    const std::u16string text = lexicarta::DecodeText(encoding, bytes);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size())
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        lexicarta::AppendUtf8(out, code);
    }
    return out;
}

std::string FromUtf8(lexicarta::TextEncoding encoding, std::string_view utf8)
{
    return lexicarta::EncodeText(encoding, lexicarta::DecodeText(lexicarta::TextEncoding::Utf8, utf8));
}

// An English text of the table generator, as UTF-8, without the tokens that
// give a lower-case word: where they stand is for the planted cases alone.
std::string EnglishText(const TranslationPairOptions& options, std::uint32_t strRef)
{
    GeneratorOptions generator;
    generator.seed = options.seed;
    generator.entries = options.entries;
    std::string text = ToUtf8Of(lexicarta::TextEncoding::Windows1252, GeneratedText(generator, strRef));
    for (std::size_t pos = text.find("<PRO_"); pos != std::string::npos; pos = text.find("<PRO_", pos)) text.erase(pos + 1, 4);
    // A '<' or '>' that makes no token would be a finding of its own.
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] == '<' && TokenAt(text, pos)) {
            pos += TokenAt(text, pos) - 1;
        } else if (text[pos] == '<' || text[pos] == '>') {
            text[pos] = '-';
        }
    }
    return text;
}

bool HasLetterOutsideTokens(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (const std::size_t token = TokenAt(text, pos)) {
            pos += token - 1;
        } else if (IsAsciiLetter(text[pos])) {
            return true;
        } else if (pos + 1 < text.size() && (text[pos] == '\xC3' || text[pos] == '\xC5')) {
            // The letters of Windows-1252 beyond ASCII, in UTF-8 (but for × and ÷).
            if (text[pos + 1] != '\x97' && text[pos + 1] != '\xB7') return true;
        }
    }
    return false;
}

// The English text with its case changed outside its tokens and blanks
// around it: still the same text to the checks.
std::string CaseAndBlanksChanged(std::string_view text, bool upper)
{
    std::string out = " ";
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (const std::size_t token = TokenAt(text, pos)) {
            out.append(text.substr(pos, token));
            pos += token - 1;
        } else {
            out += upper ? ToUpper(text[pos]) : ToLower(text[pos]);
        }
    }
    return out + "\n ";
}

std::string SoundName(Rng& rng)
{
    std::string name = "SND";
    for (int i = 0; i < 5; ++i) name += static_cast<char>('0' + rng.below(10));
    return name;
}

std::uint16_t FlagsOf(std::string_view text, std::string_view sound)
{
    return static_cast<std::uint16_t>((text.empty() ? 0 : 1) | (sound.empty() ? 0 : 2) | (HasToken(text) ? 4 : 0));
}

std::array<char, 8> SoundField(std::string_view sound)
{
    std::array<char, 8> field{};
    std::copy_n(sound.begin(), std::min<std::size_t>(sound.size(), 8), field.begin());
    return field;
}

struct PairEntry {
    bool hasEnglish = false;
    bool hasTranslation = false;
    GeneratedEntry english;
    GeneratedEntry translation;
    std::vector<PlantedCase> planted;
};

// Both sides of entry n, and what was planted there.
PairEntry MakePairEntry(const TranslationPairOptions& options, std::uint32_t n)
{
    const std::uint32_t translationEntries = options.translationEntries ? options.translationEntries : options.entries;
    PairEntry entry;
    entry.hasEnglish = n < options.entries;
    entry.hasTranslation = n < translationEntries;
    Rng rng(options.seed, n);
    std::string english = EnglishText(options, n);
    std::string sound = rng.chance(1.0 / 3.0) ? SoundName(rng) : std::string();
    std::string french;
    std::string translationSound = sound;
    std::optional<std::uint16_t> translationFlags;
    const auto plant = [&](std::string kind, std::string what) {
        entry.planted.push_back({n, std::move(kind), std::move(what)});
    };

    std::optional<Plant> planted;
    if (entry.hasEnglish && entry.hasTranslation) {
        const std::uint32_t both = std::min(options.entries, translationEntries);
        if (both >= 64 && n >= 1 && n <= PlantCount)
            planted = static_cast<Plant>(n - 1);
        else if (n > PlantCount && rng.chance(options.plantedShare))
            planted = static_cast<Plant>(rng.below(PlantCount));
    }

    // Copies of the English text must survive the translation's encoding.
    const bool representable = english == ToUtf8Of(options.translationEncoding, FromUtf8(options.translationEncoding, english));
    if (planted) {
        if (Characters(english) < 20 || !HasLetterOutsideTokens(english) || !representable) english = FallbackText;
        // Cases about tokens need one to work on.
        const bool needsToken = *planted == Plant::DroppedToken || *planted == Plant::MisspelledToken ||
                                *planted == Plant::UnbalancedBrackets || *planted == Plant::FlagsToken ||
                                *planted == Plant::TokenMoved;
        if (needsToken && english.find("<CHARNAME>") == std::string::npos) english = "<CHARNAME>, " + english;
        switch (*planted) {
        case Plant::DroppedToken: {
            const std::size_t at = english.find("<CHARNAME>");
            french = Translate(english.substr(0, at) + english.substr(at + 10));
            plant("tokens", "<CHARNAME> dropped");
            break;
        }
        case Plant::MisspelledToken: {
            french = Translate(english);
            french.replace(french.find("<CHARNAME>"), 10, "<CHARNAM>");
            plant("tokens", "<CHARNAME> misspelled <CHARNAM>");
            break;
        }
        case Plant::UnbalancedBrackets:
            french = Translate(english);
            french.replace(french.find("<CHARNAME>"), 10, "<CHARNAME");
            plant("tokens", "<CHARNAME> without its '>'");
            break;
        case Plant::LowercaseToken:
            english = "They say that <PRO_HESHE> left the city. " + english;
            french = "\"<PRO_HESHE> a quitté la cité\", dit-on. " + Translate(english.substr(41));
            plant("lowercase-token", "<PRO_HESHE> at the start of a sentence");
            break;
        case Plant::FlagsText:
            french = Translate(english);
            translationFlags = static_cast<std::uint16_t>(FlagsOf(french, sound) & ~1);
            plant("flags", "text bit cleared");
            break;
        case Plant::FlagsToken:
            french = Translate(english);
            translationFlags = static_cast<std::uint16_t>(FlagsOf(french, sound) & ~4);
            plant("flags", "token bit cleared");
            break;
        case Plant::FlagsSound:
            french = Translate(english);
            sound = translationSound = "SNDFLAG";
            translationFlags = static_cast<std::uint16_t>(FlagsOf(french, sound) & ~2);
            plant("flags", "sound bit cleared");
            break;
        case Plant::LongerThanReference: {
            // The repetitions without tokens, which would be added ones.
            const std::string again = " " + Translate(WithoutTokens(english));
            french = Translate(english);
            while (Characters(french) <= 3.5 * static_cast<double>(Characters(english))) french += again;
            plant("length", "four times the English text");
            break;
        }
        case Plant::OverByteBudget: {
            const std::string again = " " + Translate(WithoutTokens(english));
            french = Translate(english);
            while (french.size() <= 33000) french += again;
            plant("length", "over 32767 bytes");
            break;
        }
        case Plant::TodoMarker:
            french = "TODO: " + english;
            plant("leftover", "TODO before the English text");
            break;
        case Plant::EmptyBrackets:
            french = "[] " + english;
            plant("leftover", "empty brackets before the English text");
            break;
        case Plant::QuestionMarks:
            french = english + " ???";
            plant("leftover", "??? after the English text");
            break;
        case Plant::LowercaseTokenInside:
            english = "Tell <CHARNAME> that <PRO_HESHE> is welcome here.";
            french = "Dites \xC3\xA0 <CHARNAME> qu'<PRO_HESHE> est le bienvenu ici.";
            break;
        case Plant::TokensOnly:
            english = "<CHARNAME>!";
            french = english;
            break;
        case Plant::TokenMoved: {
            const std::size_t at = english.find("<CHARNAME>");
            french = Translate(english.substr(0, at) + english.substr(at + 10)) + " <CHARNAME>";
            break;
        }
        case Plant::FixmeInsideText:
            french = Translate(english) + " FIXME " + Translate(WithoutTokens(english));
            break;
        case Plant::Count: break;
        }
    } else if (entry.hasEnglish && entry.hasTranslation) {
        const double roll = static_cast<double>(rng.next() >> 11) * 0x1.0p-53;
        if (english.empty()) {
            if (roll < 0.03) {
                french = "Texte ajout\xC3\xA9 au num\xC3\xA9ro " + std::to_string(n) + ".";
                plant("only-here", "text where the English table has none");
            }
        } else if (roll < options.untranslatedShare && HasLetterOutsideTokens(english) && representable) {
            french = roll < options.untranslatedShare / 2 ? english : CaseAndBlanksChanged(english, roll < options.untranslatedShare * 0.75);
            plant("untranslated", "the English text");
        } else if (roll < options.untranslatedShare + options.missingShare) {
            plant("missing", "left empty");
        } else {
            french = Translate(english);
        }
    } else if (entry.hasTranslation) {
        french = english.empty() ? std::string() : Translate(english);
        if (!french.empty()) plant("only-here", "beyond the end of the English table");
    } else if (entry.hasEnglish && !english.empty()) {
        plant("missing", "beyond the end of the translation");
    }

    if (entry.hasEnglish) {
        entry.english.text = FromUtf8(lexicarta::TextEncoding::Windows1252, english);
        entry.english.soundResRef = SoundField(sound);
        entry.english.flags = FlagsOf(entry.english.text, sound);
    }
    if (entry.hasTranslation) {
        entry.translation.text = FromUtf8(options.translationEncoding, french);
        entry.translation.soundResRef = SoundField(translationSound);
        entry.translation.flags = translationFlags ? *translationFlags : FlagsOf(entry.translation.text, translationSound);
    }
    return entry;
}

void PutU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One table written as its entries come: the texts straight after the room
// kept for the header and the records, the records gathered and written
// into that room at the end.
class TableWriter {
public:
    TableWriter(const std::string& path, std::uint32_t count) : m_path(path), m_count(count), m_file(std::fopen(path.c_str(), "wb"))
    {
        m_ok = m_file && std::fseek(m_file.get(), static_cast<long>(HeaderSize + std::uint64_t{RecordSize} * count), SEEK_SET) == 0;
    }
    void add(const GeneratedEntry& entry)
    {
        PutU16(m_records, entry.flags);
        m_records.append(entry.soundResRef.data(), 8);
        PutU32(m_records, entry.volumeVariance);
        PutU32(m_records, entry.pitchVariance);
        PutU32(m_records, entry.text.empty() ? 0 : static_cast<std::uint32_t>(m_offset));
        PutU32(m_records, static_cast<std::uint32_t>(entry.text.size()));
        m_offset += entry.text.size();
        m_ok = m_ok && m_offset <= UINT32_MAX;
        m_texts += entry.text;
        if (m_texts.size() >= (1u << 20)) flushTexts();
    }
    bool finish()
    {
        flushTexts();
        std::string head("TLK V1  ", 8);
        PutU16(head, 0);
        PutU32(head, m_count);
        PutU32(head, HeaderSize + RecordSize * m_count);
        m_ok = m_ok && std::fseek(m_file.get(), 0, SEEK_SET) == 0 &&
               std::fwrite(head.data(), 1, head.size(), m_file.get()) == head.size() &&
               std::fwrite(m_records.data(), 1, m_records.size(), m_file.get()) == m_records.size();
        m_ok = m_file && std::fclose(m_file.release()) == 0 && m_ok;
        if (!m_ok) std::remove(m_path.c_str());
        return m_ok;
    }

private:
    void flushTexts()
    {
        m_ok = m_ok && std::fwrite(m_texts.data(), 1, m_texts.size(), m_file.get()) == m_texts.size();
        m_texts.clear();
    }

    std::string m_path;
    std::uint32_t m_count;
    std::unique_ptr<std::FILE, FileCloser> m_file;
    bool m_ok = false;
    std::string m_records;
    std::string m_texts;
    std::uint64_t m_offset = 0;
};

std::uint32_t TranslationCount(const TranslationPairOptions& options)
{
    return options.translationEntries ? options.translationEntries : options.entries;
}

}  // namespace

TranslationPair MakeTranslationPair(const TranslationPairOptions& options)
{
    std::vector<GeneratedEntry> english;
    std::vector<GeneratedEntry> translation;
    TranslationPair pair;
    const std::uint32_t count = std::max(options.entries, TranslationCount(options));
    for (std::uint32_t n = 0; n < count; ++n) {
        PairEntry entry = MakePairEntry(options, n);
        if (entry.hasEnglish) english.push_back(std::move(entry.english));
        if (entry.hasTranslation) translation.push_back(std::move(entry.translation));
        for (PlantedCase& planted : entry.planted) pair.planted.push_back(std::move(planted));
    }
    pair.english = MakeTalkTable(english);
    pair.translation = MakeTalkTable(translation);
    return pair;
}

bool WriteTranslationPair(const std::string& englishPath, const std::string& translationPath,
                          const std::string& plantedPath, const TranslationPairOptions& options)
{
    TableWriter english(englishPath, options.entries);
    TableWriter translation(translationPath, TranslationCount(options));
    std::vector<PlantedCase> planted;
    const std::uint32_t count = std::max(options.entries, TranslationCount(options));
    for (std::uint32_t n = 0; n < count; ++n) {
        PairEntry entry = MakePairEntry(options, n);
        if (entry.hasEnglish) english.add(entry.english);
        if (entry.hasTranslation) translation.add(entry.translation);
        for (PlantedCase& one : entry.planted) planted.push_back(std::move(one));
    }
    const bool written = english.finish();
    if (!translation.finish() || !written) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(plantedPath.c_str(), "wb"));
    const std::string list = PlantedList(planted);
    return file && std::fwrite(list.data(), 1, list.size(), file.get()) == list.size() &&
           std::fclose(file.release()) == 0;
}

std::string PlantedList(const std::vector<PlantedCase>& planted)
{
    std::string list;
    for (const PlantedCase& one : planted) list += std::to_string(one.strRef) + "\t" + one.kind + "\t" + one.what + "\n";
    return list;
}

}  // namespace tlkgen
