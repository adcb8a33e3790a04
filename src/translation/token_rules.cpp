#include "translation/token_rules.h"

#include <algorithm>
#include <cstring>

namespace lexicarta {
namespace {

constexpr std::size_t MaxTokenName = 40;

bool IsTokenCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

std::size_t TokenLength(std::string_view text, std::size_t pos)
{
    std::size_t end = pos + 1;
    while (end < text.size() && end - pos - 1 <= MaxTokenName && IsTokenCharacter(text[end])) ++end;
    const std::size_t name = end - pos - 1;
    if (name == 0 || name > MaxTokenName || end >= text.size() || text[end] != '>') return 0;
    return end + 1 - pos;
}

namespace {

// Whether a and b (case ignored) are at most one insertion, deletion or
// substitution apart.
bool WithinOneEdit(std::string_view a, std::string_view b)
{
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1) return false;
    std::size_t i = 0;
    while (i < a.size() && Upper(a[i]) == Upper(b[i])) ++i;
    if (i == a.size()) return true;
    const auto rest = [](std::string_view x, std::string_view y) {
        if (x.size() != y.size()) return false;
        for (std::size_t k = 0; k < x.size(); ++k)
            if (Upper(x[k]) != Upper(y[k])) return false;
        return true;
    };
    if (a.size() == b.size()) return rest(a.substr(i + 1), b.substr(i + 1));
    return rest(a.substr(i), b.substr(i + 1));
}

void InsertSorted(std::vector<std::string>& list, std::string item)
{
    const auto at = std::lower_bound(list.begin(), list.end(), item);
    if (at == list.end() || *at != item) list.insert(at, std::move(item));
}

bool ContainsSorted(const std::vector<std::string>& list, std::string_view item)
{
    const auto at = std::lower_bound(list.begin(), list.end(), item, [](const std::string& a, std::string_view b) { return a < b; });
    return at != list.end() && *at == item;
}

}  // namespace

const std::vector<std::string>& BuiltInTokens()
{
    static const std::vector<std::string> tokens = {
        "<CHARNAME>", "<GABBER>", "<PLAYER1>", "<PLAYER2>", "<PLAYER3>", "<PLAYER4>", "<PLAYER5>", "<PLAYER6>",
        "<SIRMAAM>", "<LADYLORD>", "<MANWOMAN>", "<GIRLBOY>", "<BROTHERSISTER>", "<MALEFEMALE>", "<HESHE>",
        "<HIMHER>", "<HISHER>", "<RACE>", "<CLASS>", "<PRO_HESHE>", "<PRO_HIMHER>", "<PRO_HISHER>",
        "<PRO_MANWOMAN>", "<PRO_LADYLORD>", "<PRO_GIRLBOY>", "<PRO_SIRMAAM>", "<PRO_BROTHERSISTER>",
        "<PRO_SONDAUGHTER>", "<PRO_MALEFEMALE>", "<PRO_RACE>", "<PRO_CLASS>", "<DAY>", "<DAYNIGHT>",
        "<DAYNIGHTALL>", "<DAYANDMONTH>", "<MONTH>", "<MONTHNAME>", "<YEAR>", "<HOUR>", "<GAMEDAYS>",
        "<DURATION>", "<DURATIONNOAND>", "<AMOUNT>", "<TEXT>", "<LEVEL>", "<WEEK>",
    };
    return tokens;
}

const std::vector<std::string>& BuiltInLowercaseTokens()
{
    static const std::vector<std::string> tokens = {
        "<PRO_HESHE>",   "<PRO_HIMHER>",  "<PRO_HISHER>", "<PRO_MANWOMAN>",      "<PRO_LADYLORD>",
        "<PRO_GIRLBOY>", "<PRO_SIRMAAM>", "<PRO_RACE>",   "<PRO_BROTHERSISTER>", "<PRO_SONDAUGHTER>",
        "<PRO_MALEFEMALE>", "<PRO_CLASS>",
    };
    return tokens;
}

void FindTokens(std::string_view text, std::vector<TokenAt>& out)
{
    const char* data = text.data();
    std::size_t pos = 0;
    while (pos < text.size()) {
        const void* found = std::memchr(data + pos, '<', text.size() - pos);
        if (!found) return;
        pos = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        if (const std::size_t length = TokenLength(text, pos)) {
            out.push_back({pos, text.substr(pos, length)});
            pos += length;
        } else {
            ++pos;
        }
    }
}

bool HasToken(std::string_view text)
{
    const char* data = text.data();
    std::size_t pos = 0;
    while (pos < text.size()) {
        const void* found = std::memchr(data + pos, '<', text.size() - pos);
        if (!found) return false;
        pos = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        if (TokenLength(text, pos)) return true;
        ++pos;
    }
    return false;
}

bool AngleBracketsBalanced(std::string_view text)
{
    // Most texts hold neither.
    if (text.empty()) return true;
    if (!std::memchr(text.data(), '<', text.size()) && !std::memchr(text.data(), '>', text.size())) return true;
    bool open = false;
    for (const char c : text) {
        if (c == '<') {
            if (open) return false;
            open = true;
        } else if (c == '>') {
            if (!open) return false;
            open = false;
        }
    }
    return !open;
}

void FindBracketedRanges(std::string_view text, std::vector<std::pair<std::size_t, std::size_t>>& out)
{
    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        const std::size_t close = text.find('>', pos + 1);
        if (close == std::string_view::npos) return;
        // A '<' inside the stretch starts it anew: "a < b <TOKEN>" brackets only the token.
        const std::size_t inner = text.find('<', pos + 1);
        if (inner != std::string_view::npos && inner < close) {
            pos = inner;
            continue;
        }
        out.emplace_back(pos, close + 1);
        pos = close + 1;
    }
}

TokenRules::TokenRules()
{
    for (const std::string& token : BuiltInTokens()) InsertSorted(m_known, token);
    for (const std::string& token : BuiltInLowercaseTokens()) {
        InsertSorted(m_known, token);
        InsertSorted(m_lowercase, token);
    }
}

std::optional<std::string> TokenRules::Normalized(std::string_view token)
{
    std::string text(token);
    if (text.empty() || text.front() != '<') text = "<" + text + ">";
    return TokenLength(text, 0) == text.size() ? std::optional<std::string>(text) : std::nullopt;
}

bool TokenRules::addKnown(std::string_view token)
{
    auto normalized = Normalized(token);
    if (!normalized) return false;
    InsertSorted(m_known, std::move(*normalized));
    return true;
}

bool TokenRules::addLowercase(std::string_view token)
{
    auto normalized = Normalized(token);
    if (!normalized) return false;
    InsertSorted(m_known, *normalized);
    InsertSorted(m_lowercase, std::move(*normalized));
    return true;
}

bool TokenRules::isKnown(std::string_view token) const { return ContainsSorted(m_known, token); }
bool TokenRules::isLowercase(std::string_view token) const { return ContainsSorted(m_lowercase, token); }

std::optional<std::string_view> TokenRules::misspellingOf(std::string_view token) const
{
    if (isKnown(token)) return std::nullopt;
    const std::string_view name = token.substr(1, token.size() - 2);
    for (const std::string& known : m_known)
        if (WithinOneEdit(name, std::string_view(known).substr(1, known.size() - 2))) return known;
    return std::nullopt;
}

}  // namespace lexicarta
