// Which entry from a StrRef on is the next whose own text holds a raw
// occurrence: the prepared lookup must agree with a plain walk over the
// entries for every start, whatever the layout of the texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "search/entry_locator.h"
#include "tlk_generator.h"

using namespace lexicarta;

namespace {

// The rule as stated, one entry after the other, exact comparison.
std::int32_t RuleAnswer(const std::vector<StrRefEntry>& entries, const std::string& data, std::int64_t from,
                        const std::string& term)
{
    for (std::int64_t i = std::max<std::int64_t>(from, 0); i < static_cast<std::int64_t>(entries.size()); ++i) {
        const StrRefEntry& e = entries[i];
        if (e.Length == 0 || e.Offset >= data.size()) continue;
        const std::string text = data.substr(e.Offset, e.Length);
        if (!term.empty() && text.find(term) != std::string::npos) return static_cast<std::int32_t>(i);
    }
    return -1;
}

void ExpectRuleEverywhere(const std::vector<StrRefEntry>& entries, const std::string& data, const std::string& term,
                          const std::string& what)
{
    EntryLocator locator;
    locator.build(entries.data(), static_cast<std::uint32_t>(entries.size()), data.size());
    const SearchPattern pattern(term, TextEncoding::Windows1252, true);
    const auto n = static_cast<std::int64_t>(entries.size());
    for (std::int64_t from = -1; from <= n; ++from)
        ASSERT_EQ(locator.nextCandidate(from, pattern, data.data()), RuleAnswer(entries, data, from, term))
            << what << ", from " << from << ", term '" << term << "'";
    // Backwards after forwards: the lookup keeps a hint.
    for (std::int64_t from = n; from-- > 0;)
        ASSERT_EQ(locator.nextCandidate(from, pattern, data.data()), RuleAnswer(entries, data, from, term))
            << what << ", from " << from << " going back";
}

std::vector<StrRefEntry> Records(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& ranges)
{
    std::vector<StrRefEntry> entries(ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        entries[i].Offset = ranges[i].first;
        entries[i].Length = ranges[i].second;
    }
    return entries;
}

}  // namespace

TEST(EntryLocator, HandMadeLayoutsGiveTheRulesAnswer)
{
    struct Case {
        const char* name;
        std::string data;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
        bool inOrder;
    };
    const std::vector<Case> cases = {
        {"rising", "abab|ab|xx", {{0, 4}, {5, 2}, {8, 2}}, true},
        {"empty entry 0, next text at 0", "ab|ab", {{0, 0}, {0, 2}, {3, 2}}, true},
        {"bytes before the first text", "ab ab|ab", {{6, 2}, {0, 0}, {3, 2}}, false},
        {"leading bytes only", "abab|xx", {{5, 2}}, true},
        {"shared texts", "ab|xab", {{0, 2}, {3, 3}, {0, 2}, {3, 3}}, false},
        {"overlapping texts", "xxabxx", {{0, 4}, {2, 4}, {1, 2}}, false},
        {"falling", "ab|ab|ab", {{6, 2}, {3, 2}, {0, 2}}, false},
        {"across two texts only", "xa|bx", {{0, 2}, {2, 1}, {3, 2}}, true},
        {"length past the end of the data", "xxab", {{0, 2}, {2, 50}, {90, 4}}, true},
        {"one entry", "ab", {{0, 2}}, true},
    };
    for (const Case& c : cases) {
        const auto entries = Records(c.ranges);
        EntryLocator locator;
        locator.build(entries.data(), static_cast<std::uint32_t>(entries.size()), c.data.size());
        EXPECT_EQ(locator.inStrRefOrder(), c.inOrder) << c.name;
        for (const char* term : {"ab", "a", "b", "x|", "zz"}) ExpectRuleEverywhere(entries, c.data, term, c.name);
    }
}

TEST(EntryLocator, RandomLayoutsGiveTheRulesAnswer)
{
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::string data(20 + random() % 40, 'x');
        for (char& c : data) c = "abx|"[random() % 4];
        std::vector<StrRefEntry> entries(1 + random() % 25);
        const bool rising = round % 2 == 0;
        std::uint32_t next = random() % 4;
        for (StrRefEntry& e : entries) {
            if (random() % 4 == 0) continue;  // no text
            e.Length = 1 + random() % 6;
            if (rising) {
                e.Offset = next;
                next += e.Length + random() % 3;
            } else {
                e.Offset = random() % (data.size() + 4);
            }
        }
        for (const char* term : {"ab", "a|b", "b"})
            ExpectRuleEverywhere(entries, data, term, rising ? "random rising" : "random order");
    }
}

TEST(EntryLocator, NextWithTextSkipsEntriesWithoutText)
{
    const auto entries = Records({{0, 0}, {0, 3}, {9, 0}, {0, 0}, {3, 2}, {40, 2}});
    EntryLocator locator;
    locator.build(entries.data(), static_cast<std::uint32_t>(entries.size()), 10);
    EXPECT_EQ(locator.nextWithText(0), 1);
    EXPECT_EQ(locator.nextWithText(2), 4);
    EXPECT_EQ(locator.nextWithText(5), -1);  // its bytes lie beyond the data

    locator.build(nullptr, 0, 0);
    EXPECT_EQ(locator.nextWithText(0), -1);
    EXPECT_EQ(locator.nextCandidate(0, SearchPattern("a", TextEncoding::Windows1252, true), ""), -1);
}
