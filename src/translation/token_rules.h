#pragma once
// The tokens of the game's texts (<CHARNAME>, <PRO_HESHE>, ...): which ones
// the game knows, which ones give a lower-case word, and how they are found
// in a text. The built-in lists can be extended in the translation settings.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexicarta {

// Tokens the game replaces, with their brackets.
const std::vector<std::string>& BuiltInTokens();
// Tokens that give a lower-case word ("he", "her", "sir", ...).
const std::vector<std::string>& BuiltInLowercaseTokens();

// A token in a text: '<', one to 40 ASCII letters, digits or '_', '>'.
struct TokenAt {
    std::size_t position = 0;
    std::string_view text;  // brackets included
};
// Bytes of the token that starts at pos (text[pos] == '<'), or 0 when none does.
std::size_t TokenLength(std::string_view text, std::size_t pos);
// Appends every token of text, in order, to out.
void FindTokens(std::string_view text, std::vector<TokenAt>& out);
// Whether text holds a token.
bool HasToken(std::string_view text);
// Whether '<' and '>' pair up: each '<' closed by a '>' before the next '<',
// no '>' without its '<'.
bool AngleBracketsBalanced(std::string_view text);
// [begin, end) of every stretch from a '<' to the '>' that closes it.
void FindBracketedRanges(std::string_view text, std::vector<std::pair<std::size_t, std::size_t>>& out);

class TokenRules {
public:
    // The built-in lists.
    TokenRules();
    // Adds a known token (and a lower-case one also becomes known). A name
    // given without brackets gets them; false for anything that is no token.
    bool addKnown(std::string_view token);
    bool addLowercase(std::string_view token);

    bool isKnown(std::string_view token) const;
    bool isLowercase(std::string_view token) const;
    // The known token an unknown one is a misspelling of: the same letters
    // but for case, or one letter inserted, left out or changed (case
    // ignored). nullopt for a known token or one that is further away.
    std::optional<std::string_view> misspellingOf(std::string_view token) const;

    const std::vector<std::string>& known() const { return m_known; }
    const std::vector<std::string>& lowercase() const { return m_lowercase; }

    // "<NAME>" from "<NAME>" or "NAME"; nullopt when it cannot be a token.
    static std::optional<std::string> Normalized(std::string_view token);

private:
    std::vector<std::string> m_known;      // sorted
    std::vector<std::string> m_lowercase;  // sorted
};

}  // namespace lexicarta
