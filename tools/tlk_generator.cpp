#include "tlk_generator.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace tlkgen {
namespace {

// ---------------------------------------------------------------------------
// Randomness. splitmix64 is tiny, fast and fully specified, so the same seed
// gives the same table everywhere (the std distributions do not promise that).

std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

class Rng {
public:
    explicit Rng(std::uint64_t state) : state_(state) {}

    std::uint64_t Next()
    {
        state_ += 0x9E3779B97F4A7C15ull;
        return Mix(state_);
    }
    // Uniform in [0, n) for n >= 1 (multiply-shift, no modulo bias worth caring about).
    std::uint32_t Below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    bool Chance(double p) { return Unit() < p; }
    template <typename Container>
    const auto& Pick(const Container& items)
    {
        return items[Below(static_cast<std::uint32_t>(std::size(items)))];
    }

private:
    std::uint64_t state_;
};

// Independent streams per purpose so that, e.g., an entry's text can be
// regenerated without replaying the draws made for its record.
enum class Stream : std::uint64_t { Record = 1, Text = 2, Layout = 3, Forced = 4, Damage = 5, Female = 6 };

Rng EntryRng(std::uint64_t seed, std::uint32_t strRef, Stream stream)
{
    return Rng(Mix(Mix(seed) ^ Mix((static_cast<std::uint64_t>(strRef) << 8) | static_cast<std::uint64_t>(stream))));
}

Rng TableRng(std::uint64_t seed, Stream stream)
{
    return Rng(Mix(Mix(seed) ^ Mix(0xFFFFFFFF00ull | static_cast<std::uint64_t>(stream))));
}

// ---------------------------------------------------------------------------
// Vocabulary.

constexpr std::string_view FunctionWords[] = {
    "the", "the", "the", "the", "and", "and", "and", "of", "of", "of", "to", "to", "to", "a", "a",
    "in", "in", "is", "is", "you", "you", "that", "it", "he", "she", "was", "for", "on", "are",
    "with", "as", "his", "her", "they", "be", "at", "one", "have", "this", "from", "by", "but",
    "not", "what", "all", "were", "we", "when", "your", "can", "there", "an", "will", "my", "me",
    "no", "if", "so", "do", "our", "their", "must", "shall", "who", "may", "I", "I", "has", "had",
    "into", "upon", "before", "after", "then", "now", "here", "only", "never", "still",
};

constexpr std::string_view ContentWords[] = {
    // things
    "sword", "sword", "dragon", "dragon", "gold", "gold", "shield", "armor", "temple", "city", "gate",
    "guard", "king", "queen", "mage", "spell", "scroll", "potion", "ring", "amulet", "blade", "bow",
    "arrow", "axe", "staff", "wand", "cloak", "helm", "boots", "gauntlets", "tavern", "inn", "ale",
    "merchant", "coin", "coins", "copper", "silver", "platinum", "gem", "ruby", "emerald", "diamond",
    "treasure", "chest", "key", "door", "tower", "castle", "keep", "dungeon", "cave", "forest",
    "river", "mountain", "road", "bridge", "ship", "harbor", "docks", "market", "village", "farm",
    "mill", "shrine", "priest", "paladin", "ranger", "thief", "bard", "druid", "cleric", "warrior",
    "fighter", "sorcerer", "wizard", "monk", "knight", "lord", "lady", "duke", "baron", "captain",
    "soldier", "mercenary", "bandit", "orc", "goblin", "kobold", "ogre", "troll", "giant", "golem",
    "skeleton", "zombie", "ghoul", "vampire", "lich", "demon", "devil", "spider", "wolf", "bear",
    "wyvern", "basilisk", "day", "night", "year", "time", "way", "world", "life", "death", "war",
    "peace", "blood", "fire", "water", "stone", "iron", "steel", "wood", "shadow", "light", "magic",
    "power", "honor", "glory", "faith", "god", "gods", "friend", "enemy", "stranger", "traveler",
    "adventurer", "hero", "companion", "party", "quest", "task", "reward", "price", "debt", "law",
    "crime", "prison", "name", "word", "letter", "map", "journey", "battle", "army", "camp",
    "border", "trade", "caravan", "news", "rumor", "secret", "truth", "lie", "heart", "soul",
    "mind", "eye", "hand", "head", "horse", "ally", "father", "mother", "son", "daughter",
    "brother", "sister", "child", "people", "council", "guild", "order", "master", "servant",
    "tome", "rune", "altar", "crypt", "tomb", "grave", "throne", "crown", "banner", "wall",
    // deeds
    "find", "bring", "seek", "kill", "slay", "travel", "return", "speak", "know", "fear", "trust",
    "pay", "sell", "buy", "steal", "carry", "open", "close", "fight", "defend", "attack", "flee",
    "wait", "listen", "remember", "forget", "help", "save", "lose", "take", "give", "need", "want",
    "believe", "follow", "lead", "rule", "serve", "hunt", "burn", "break", "forge", "cast", "heal",
    "curse", "bless", "pray", "drink", "eat", "sleep", "rest", "wake", "die", "live", "walk", "run",
    "ride", "sail", "climb", "search", "hide", "watch", "tell", "ask", "answer", "promise", "swear",
    "betray", "stole", "found", "killed", "told", "came", "went", "saw", "heard", "left", "fell",
    // qualities
    "old", "ancient", "dark", "bright", "cold", "dead", "holy", "cursed", "magical", "enchanted",
    "mighty", "brave", "foolish", "wise", "strange", "hidden", "lost", "broken", "sharp", "heavy",
    "great", "small", "little", "long", "red", "black", "white", "golden", "northern", "southern",
    "eastern", "western", "evil", "good", "noble", "poor", "rich", "dangerous", "quiet", "terrible",
    "wicked", "loyal", "young", "very", "much", "many", "few", "more", "most", "indeed", "perhaps",
};

// Windows-1252 words; "{XX}" stands for the byte 0xXX and is expanded once.
constexpr std::string_view AccentedWordSources[] = {
    "caf{E9}",    "{E9}p{E9}e",    "{C9}lodie",  "M{FC}ller",  "Se{F1}or",   "ma{F1}ana",
    "voil{E0}",   "d{E9}j{E0}",    "c{9C}ur",    "{9C}uvre",   "{8A}tefan",  "Stra{DF}e",
    "Gr{FC}{DF}e", "{9F}vette",    "Ha{FF}",     "na{EF}ve",   "Bj{F6}rn",   "fa{E7}ade",
    "r{E9}sum{E9}", "Andr{E9}",    "Fran{E7}ois", "No{EB}l",   "{C0}rvel",   "3{D7}3",
    "{C9}tienne", "se{F1}ora",     "{FC}ber",    "S{F8}ren",   "Jos{E9}",    "{8A}ir{E9}",
};

constexpr std::string_view TokenList[] = {
    "<CHARNAME>", "<CHARNAME>", "<CHARNAME>", "<PRO_HESHE>", "<PRO_HIMHER>", "<PRO_HISHER>",
    "<GABBER>",   "<SIRMAAM>",  "<LADYLORD>", "<PRO_RACE>",  "<PRO_CLASS>",  "<PRO_MANWOMAN>",
    "<DAY>",      "<MONTH>",    "<YEAR>",
};

constexpr std::string_view TokenOpenings[] = {
    "<CHARNAME>, ", "<CHARNAME>! ", "Greetings, <SIRMAAM>. ", "Well met, <LADYLORD> <CHARNAME>. ",
    "<GABBER>: ", "Hail, <PRO_RACE>. ", "Listen, <CHARNAME>. ", "Ah, <CHARNAME>... ",
};

constexpr std::string_view ShortTexts[] = {
    "Yes.", "No.", "Hmm.", "Aye.", "What?", "Ha!", "Die!", "Help!", "Farewell.", "Thank you.",
    "I see.", "Very well.", "Go away!", "Attack!", "Retreat!", "...", "No!", "Gold", "Sword",
    "Long Sword", "Short Bow", "Leather Armor", "Potion of Healing", "Ring of Protection",
    "Scroll", "Arrows +1", "Empty", "Unknown", "Dagger +2", "Key", "Ok", "Hi", "Halt!",
    "Who goes there?", "Not now.", "Leave me be.",
};

constexpr std::string_view TokenShortTexts[] = {
    "<CHARNAME>!", "<GABBER>?", "Hail, <SIRMAAM>.", "<CHARNAME>...", "Go, <PRO_RACE>!",
};

constexpr std::string_view StatisticsLines[] = {
    "Damage: 1D8", "Damage: 2D4 +1", "THAC0: +2", "Speed Factor: 5", "Weight: 4", "Weight: 12",
    "Armor Class: 6", "Requires: 12 Strength", "Proficiency Type: Long Sword", "Type: One-handed",
    "Damage Type: Slashing", "Special: +1 to saving throws",
};

const std::vector<std::string>& AccentedWords()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> out;
        for (std::string_view source : AccentedWordSources) {
            std::string word;
            for (std::size_t i = 0; i < source.size(); ++i) {
                if (source[i] == '{') {
                    word.push_back(static_cast<char>(std::stoi(std::string(source.substr(i + 1, 2)), nullptr, 16)));
                    i += 3;
                } else {
                    word.push_back(source[i]);
                }
            }
            out.push_back(std::move(word));
        }
        return out;
    }();
    return words;
}

// Words of the other encodings, as UTF-8; they are written in the table's
// encoding with the program's own conversion.
constexpr std::string_view Utf8WordSources[] = {
    "żółć",   "Zażółć", "gęślą",  "jaźń",   "Łódź",   "źdźbło", "ЖЁЛТЫЙ", "жёлтый", "меч",    "дракон",
    "золото", "рыцарь", "δράκος", "σπαθί",  "χρυσός", "Αθήνα",  "ΔΡΆΚΟΣ", "déjà",   "café",   "élan",
    "cœur",   "Noël",   "garçon", "Straße", "🐉",
};
constexpr std::string_view CentralEuropeanWordSources[] = {
    "żółć",  "Zażółć", "gęślą", "Łódź",       "příliš",       "žluťoučký", "kůň",
    "Dvořák", "ŘEKA",  "árvíztűrő", "tükörfúrógép", "Őrség",  "ŐSZ",       "Ďábel",
};
constexpr std::string_view CyrillicWordSources[] = {
    "ЖЁЛТЫЙ", "жёлтый", "меч", "дракон", "золото", "щит", "Привет", "рыцарь", "Эльф", "ёж",
};

// What a table's encoding changes in its texts: the words beyond ASCII (as
// often in every encoding) and the typographic quotes and ellipsis.
struct EncodingText {
    std::vector<std::string> words;
    std::string openQuote = "\x93";
    std::string closeQuote = "\x94";
    std::string ellipsis = "\x85";
};

std::string InEncoding(lexicarta::TextEncoding encoding, std::string_view utf8)
{
    return lexicarta::EncodeText(encoding, lexicarta::DecodeText(lexicarta::TextEncoding::Utf8, utf8));
}

template <std::size_t N>
EncodingText MakeEncodingText(lexicarta::TextEncoding encoding, const std::string_view (&sources)[N])
{
    EncodingText text;
    for (std::string_view source : sources) text.words.push_back(InEncoding(encoding, source));
    text.openQuote = InEncoding(encoding, "\u201C");
    text.closeQuote = InEncoding(encoding, "\u201D");
    text.ellipsis = InEncoding(encoding, "\u2026");
    return text;
}

const EncodingText& TextOf(lexicarta::TextEncoding encoding)
{
    using lexicarta::TextEncoding;
    static const EncodingText windows1252 = [] {
        EncodingText text;
        text.words = AccentedWords();
        return text;
    }();
    static const EncodingText utf8 = MakeEncodingText(TextEncoding::Utf8, Utf8WordSources);
    static const EncodingText windows1250 = MakeEncodingText(TextEncoding::Windows1250, CentralEuropeanWordSources);
    static const EncodingText windows1251 = MakeEncodingText(TextEncoding::Windows1251, CyrillicWordSources);
    switch (encoding) {
    case TextEncoding::Utf8: return utf8;
    case TextEncoding::Windows1250: return windows1250;
    case TextEncoding::Windows1251: return windows1251;
    default: return windows1252;
    }
}

// Bytes that are no UTF-8: a byte no character starts with, a lone
// continuation byte, a lead byte without its continuation, a surrogate.
constexpr std::string_view InvalidUtf8Pieces[] = {"\xFF", "\x80", "\xC3", "\xED\xA0\x80"};

// ---------------------------------------------------------------------------
// Texts.

struct TextStyle {
    bool tokens = false;
    std::string_view lineBreak = "\n";
    const EncodingText* encoding = nullptr;
};

void CapitalizeAt(std::string& text, std::size_t pos)
{
    if (pos < text.size() && text[pos] >= 'a' && text[pos] <= 'z') text[pos] = static_cast<char>(text[pos] - 'a' + 'A');
}

void AppendSentence(Rng& rng, const TextStyle& style, std::string& out)
{
    const EncodingText& encoding = *style.encoding;
    const bool quoted = rng.Chance(0.05);
    const bool curly = quoted && rng.Chance(0.2);
    if (quoted) out += curly ? std::string_view(encoding.openQuote) : "\"";
    const std::size_t start = out.size();
    const std::uint32_t words = 3 + rng.Below(14);
    for (std::uint32_t i = 0; i < words; ++i) {
        if (i > 0) out += (rng.Chance(0.07) ? ", " : " ");
        if (style.tokens && rng.Chance(0.04)) {
            out += rng.Pick(TokenList);
        } else if (rng.Chance(0.006)) {
            out += rng.Pick(encoding.words);
        } else if (rng.Chance(0.42)) {
            out += rng.Pick(FunctionWords);
        } else {
            out += rng.Pick(ContentWords);
        }
    }
    CapitalizeAt(out, start);
    const std::uint32_t end = rng.Below(100);
    out += end < 75 ? "." : end < 87 ? "!" : end < 99 ? "?" : std::string_view(encoding.ellipsis);
    if (quoted) out += curly ? std::string_view(encoding.closeQuote) : "\"";
}

void AppendStatistics(Rng& rng, const TextStyle& style, std::string& out)
{
    out += style.lineBreak;
    out += style.lineBreak;
    out += "STATISTICS:";
    out += style.lineBreak;
    out += style.lineBreak;
    const std::uint32_t lines = 3 + rng.Below(5);
    for (std::uint32_t i = 0; i < lines; ++i) {
        if (i > 0) out += style.lineBreak;
        out += rng.Pick(StatisticsLines);
    }
}

// Sentences until `target` bytes are reached; `paragraphBreaks` is the chance
// of a blank line between two sentences, `lineBreaks` of a single break.
void AppendProse(Rng& rng, const TextStyle& style, std::size_t target, double paragraphBreaks, double lineBreaks,
                 std::string& out)
{
    bool first = true;
    while (out.size() < target) {
        if (!first) {
            if (rng.Chance(paragraphBreaks)) {
                out += style.lineBreak;
                out += style.lineBreak;
            } else if (rng.Chance(lineBreaks)) {
                out += style.lineBreak;
            } else {
                out += ' ';
            }
        }
        first = false;
        AppendSentence(rng, style, out);
    }
}

// One entry's text. Sizes: ~15% short replies and item names, ~70% a line or
// two of dialogue, ~15% longer journal-like prose, and a rare item
// description of 2,000-5,000 bytes.
void MakeText(Rng rng, const EncodingText& encoding, std::string& out)
{
    out.clear();
    TextStyle style;
    style.encoding = &encoding;
    style.tokens = rng.Chance(0.13);
    const bool crlf = rng.Chance(0.3);
    style.lineBreak = crlf ? std::string_view("\r\n") : std::string_view("\n");

    const std::uint32_t kind = rng.Below(1000);
    if (kind < 147) {
        if (style.tokens) {
            out += rng.Pick(TokenShortTexts);
        } else if (rng.Chance(0.15)) {
            out += rng.Pick(ContentWords);
            CapitalizeAt(out, 0);
            if (rng.Chance(0.2)) out += rng.Pick(encoding.words);
        } else {
            out += rng.Pick(ShortTexts);
        }
        return;
    }
    if (style.tokens) out += rng.Pick(TokenOpenings);
    if (kind < 847) {
        const bool breaks = rng.Chance(0.12);
        AppendProse(rng, style, 10 + rng.Below(150), 0.0, breaks ? 0.5 : 0.0, out);
    } else if (kind < 997) {
        AppendProse(rng, style, 200 + rng.Below(300), 0.3, 0.05, out);
    } else {
        // An item description: name, blank line, prose, statistics block.
        out += rng.Pick(ShortTexts);
        out += style.lineBreak;
        out += style.lineBreak;
        AppendProse(rng, style, out.size() + 1800 + rng.Below(2700), 0.15, 0.0, out);
        AppendStatistics(rng, style, out);
    }
}

// The text as said to a woman: the words that speak of a man changed, or,
// where there are none, a form of address added. ASCII only, so that it
// suits every encoding.
void MakeFemale(std::string& text)
{
    static constexpr std::pair<std::string_view, std::string_view> Words[] = {
        {"he", "she"}, {"He", "She"}, {"him", "her"}, {"his", "her"}, {"His", "Her"}, {"sir", "madam"},
        {"Sir", "Madam"}, {"lord", "lady"}, {"Lord", "Lady"}, {"man", "woman"}, {"brother", "sister"}, {"king", "queen"}};
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::string out;
    bool changed = false;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at;
        while (end < text.size() && isLetter(text[end])) ++end;
        if (end == at) {
            out += text[at++];
            continue;
        }
        const std::string_view word(text.data() + at, end - at);
        auto found = std::find_if(std::begin(Words), std::end(Words), [&](const auto& w) { return w.first == word; });
        changed = changed || found != std::end(Words);
        out += found != std::end(Words) ? found->second : word;
        at = end;
    }
    if (!changed) out += " My lady.";
    text = std::move(out);
}

// The text of a non-empty entry, in the table's encoding, with an invalid
// byte sequence put into some texts of a UTF-8 table when asked for.
void MakeEntryText(const GeneratorOptions& options, std::uint32_t strRef, std::string& out)
{
    MakeText(EntryRng(options.seed, strRef, Stream::Text), TextOf(options.encoding), out);
    if (options.femaleShare > 0.0 && EntryRng(options.seed, strRef, Stream::Female).Chance(options.femaleShare))
        MakeFemale(out);
    if (options.invalidUtf8Share <= 0.0 || options.encoding != lexicarta::TextEncoding::Utf8) return;
    Rng rng = EntryRng(options.seed, strRef, Stream::Damage);
    if (!rng.Chance(options.invalidUtf8Share)) return;
    // Between two characters, so that only the inserted bytes are invalid.
    std::size_t at = rng.Below(static_cast<std::uint32_t>(out.size() + 1));
    while (at > 0 && at < out.size() && (static_cast<unsigned char>(out[at]) & 0xC0) == 0x80) --at;
    out.insert(at, rng.Pick(InvalidUtf8Pieces));
}

// ---------------------------------------------------------------------------
// Records and layout.

struct Record {
    std::uint16_t flags = 0;
    std::array<char, 8> soundResRef{};
    std::uint32_t volumeVariance = 0;
    std::uint32_t pitchVariance = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

bool IsEmptyEntry(const GeneratorOptions& options, std::uint32_t strRef)
{
    Rng rng = EntryRng(options.seed, strRef, Stream::Record);
    const bool drawnEmpty = rng.Chance(options.emptyShare);
    return strRef != 0 && drawnEmpty;
}

std::uint32_t DrawVariance(Rng& rng)
{
    const std::uint32_t roll = rng.Below(10000);
    if (roll < 9200) return 0;
    if (roll < 9990) return 1 + rng.Below(100);
    return 0xFFFFFFFFu;
}

std::array<char, 8> DrawSoundResRef(Rng& rng)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr char Digits[] = "0123456789";
    std::array<char, 8> name{};
    const std::uint32_t length = rng.Chance(0.3) ? 8 : 3 + rng.Below(5);
    const std::uint32_t digits = rng.Below(std::min<std::uint32_t>(length - 1, 4) + 1);
    for (std::uint32_t i = 0; i < length; ++i) name[i] = i < length - digits ? Letters[rng.Below(26)] : Digits[rng.Below(10)];
    return name;
}

// Everything of an entry except its offset; `text` receives the text (reused buffer).
Record MakeRecord(const GeneratorOptions& options, std::uint32_t strRef, std::string& text)
{
    Record record;
    text.clear();
    Rng rng = EntryRng(options.seed, strRef, Stream::Record);
    const bool drawnEmpty = rng.Chance(options.emptyShare);
    if (strRef != 0 && drawnEmpty) return record;

    MakeEntryText(options, strRef, text);
    record.length = static_cast<std::uint32_t>(text.size());
    const bool tagged = text.find('<') != std::string::npos;
    const bool sound = rng.Chance(1.0 / 3.0);
    if (sound) record.soundResRef = DrawSoundResRef(rng);
    const bool flagThree = rng.Chance(0.5);
    record.flags = tagged ? 7 : sound ? (flagThree ? 3 : 5) : 1;
    record.volumeVariance = DrawVariance(rng);
    record.pitchVariance = DrawVariance(rng);
    return record;
}

struct Plan {
    std::vector<Record> records;
    std::vector<std::uint32_t> placement;  // StrRefs of non-empty entries in string-data order
    std::uint64_t stringBytes = 0;
};

// Fails only when the string data or its offset would not fit 32 bits.
bool MakePlan(const GeneratorOptions& options, Plan& plan)
{
    const std::uint32_t count = options.entries;
    if (HeaderSize + static_cast<std::uint64_t>(RecordSize) * count > std::numeric_limits<std::uint32_t>::max()) return false;
    plan.records.resize(count);
    plan.placement.clear();
    std::string text;
    for (std::uint32_t strRef = 0; strRef < count; ++strRef) {
        plan.records[strRef] = MakeRecord(options, strRef, text);
        if (plan.records[strRef].length > 0) plan.placement.push_back(strRef);
    }

    // Tables of a realistic size always carry the "no variance" marker at least once.
    if (count >= 100) {
        Rng rng = TableRng(options.seed, Stream::Forced);
        std::uint32_t strRef = rng.Below(count);
        while (plan.records[strRef].length == 0) strRef = (strRef + 1) % count;
        (rng.Chance(0.5) ? plan.records[strRef].volumeVariance : plan.records[strRef].pitchVariance) = 0xFFFFFFFFu;
    }

    if (!options.textsInStrRefOrder && plan.placement.size() >= 2) {
        Rng rng = TableRng(options.seed, Stream::Layout);
        for (std::size_t i = plan.placement.size() - 1; i > 0; --i)
            std::swap(plan.placement[i], plan.placement[rng.Below(static_cast<std::uint32_t>(i + 1))]);
        bool rising = true;
        for (std::size_t i = 1; i < plan.placement.size() && rising; ++i) rising = plan.placement[i - 1] < plan.placement[i];
        if (rising) std::swap(plan.placement[0], plan.placement[1]);
    }

    std::uint64_t offset = 0;
    for (std::uint32_t strRef : plan.placement) {
        plan.records[strRef].offset = static_cast<std::uint32_t>(offset);
        offset += plan.records[strRef].length;
        if (offset > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    plan.stringBytes = offset;
    return true;
}

// ---------------------------------------------------------------------------
// Encoding.

void PutU16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutHeader(std::string& out, std::uint16_t languageId, std::uint32_t entryCount)
{
    out.append("TLK V1  ", 8);
    PutU16(out, languageId);
    PutU32(out, entryCount);
    PutU32(out, HeaderSize + RecordSize * entryCount);
}

void PutRecord(std::string& out, const Record& record)
{
    PutU16(out, record.flags);
    out.append(record.soundResRef.data(), record.soundResRef.size());
    PutU32(out, record.volumeVariance);
    PutU32(out, record.pitchVariance);
    PutU32(out, record.offset);
    PutU32(out, record.length);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

GeneratedTable GenerateTalkTable(const GeneratorOptions& options)
{
    Plan plan;
    if (!MakePlan(options, plan)) throw std::length_error("talk table too large for 32-bit offsets");

    GeneratedTable table;
    table.bytes.reserve(HeaderSize + static_cast<std::size_t>(RecordSize) * options.entries + plan.stringBytes);
    PutHeader(table.bytes, options.languageId, options.entries);
    table.entries.reserve(options.entries);
    for (const Record& record : plan.records) {
        PutRecord(table.bytes, record);
        table.entries.push_back({record.flags, record.soundResRef, record.volumeVariance, record.pitchVariance,
                                 record.offset, record.length, {}});
    }
    std::string text;
    for (std::uint32_t strRef : plan.placement) {
        MakeRecord(options, strRef, text);
        table.bytes += text;
        table.entries[strRef].text = text;
    }
    return table;
}

bool WriteTalkTable(const std::string& path, const GeneratorOptions& options)
{
    Plan plan;
    if (!MakePlan(options, plan)) return false;

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;

    constexpr std::size_t ChunkSize = 1 << 20;
    std::string chunk;
    chunk.reserve(ChunkSize + 8192);
    bool ok = true;
    auto flush = [&](bool force) {
        if (ok && (force || chunk.size() >= ChunkSize)) {
            ok = std::fwrite(chunk.data(), 1, chunk.size(), file.get()) == chunk.size();
            chunk.clear();
        }
    };

    PutHeader(chunk, options.languageId, options.entries);
    for (const Record& record : plan.records) {
        PutRecord(chunk, record);
        flush(false);
    }
    std::string text;
    for (std::uint32_t strRef : plan.placement) {
        MakeRecord(options, strRef, text);
        chunk += text;
        flush(false);
    }
    flush(true);
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

std::string MakeTalkTable(const std::vector<GeneratedEntry>& entries, std::uint16_t languageId)
{
    std::string out;
    const auto count = static_cast<std::uint32_t>(entries.size());
    PutHeader(out, languageId, count);
    std::uint32_t offset = 0;
    for (const GeneratedEntry& entry : entries) {
        Record record{entry.flags, entry.soundResRef, entry.volumeVariance, entry.pitchVariance, 0,
                      static_cast<std::uint32_t>(entry.text.size())};
        if (record.length > 0) record.offset = offset;
        offset += record.length;
        PutRecord(out, record);
    }
    for (const GeneratedEntry& entry : entries) out += entry.text;
    return out;
}

std::string FemaleTablePath(const std::string& malePath)
{
    const std::size_t slash = malePath.rfind('/');
    const std::size_t dot = malePath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return malePath + "F";
    return malePath.substr(0, dot) + "F" + malePath.substr(dot);
}

bool WriteTalkTablePair(const std::string& malePath, const std::string& femalePath, const GeneratorOptions& options)
{
    GeneratorOptions male = options;
    male.femaleShare = 0.0;
    GeneratorOptions female = options;
    if (female.femaleShare <= 0.0) female.femaleShare = 0.1;
    return WriteTalkTable(malePath, male) && WriteTalkTable(femalePath, female);
}

std::string GeneratedText(const GeneratorOptions& options, std::uint32_t strRef)
{
    std::string text;
    if (!IsEmptyEntry(options, strRef)) MakeEntryText(options, strRef, text);
    return text;
}

const std::vector<std::string>& GeneratorTokens()
{
    static const std::vector<std::string> tokens = [] {
        std::vector<std::string> unique;
        for (std::string_view token : TokenList)
            if (std::find(unique.begin(), unique.end(), token) == unique.end()) unique.emplace_back(token);
        return unique;
    }();
    return tokens;
}

}  // namespace tlkgen
