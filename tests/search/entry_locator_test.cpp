// Which entry holds a cache position: the prepared lookup must give the
// rule's answer for every position, whatever the order of the offsets.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "search/entry_locator.h"
#include "tlk_generator.h"

using namespace lexicarta;

namespace {

// The rule as stated, one entry after the other.
std::int32_t RuleAnswer(const std::vector<StrRefEntry>& entries, std::uint64_t pos)
{
    const std::int64_t n = static_cast<std::int64_t>(entries.size());
    for (std::int64_t i = 0; i < n; ++i) {
        if (i == n - 1) return static_cast<std::int32_t>(i);
        std::int64_t j = i + 1;
        while (j < n - 1 && entries[j].Offset == 0) ++j;
        // No later entry has an Offset: the text reaches to the end of the data.
        const std::uint64_t end = entries[j].Offset != 0 ? entries[j].Offset : ~std::uint64_t{0};
        if (entries[i].Offset <= pos && pos < end) return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::vector<StrRefEntry> WithOffsets(const std::vector<std::uint32_t>& offsets)
{
    std::vector<StrRefEntry> entries(offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) entries[i].Offset = offsets[i];
    return entries;
}

void ExpectRuleEverywhere(const std::vector<StrRefEntry>& entries, const char* what)
{
    EntryLocator locator;
    locator.build(entries.data(), static_cast<std::uint32_t>(entries.size()));
    std::uint64_t top = 0;
    for (const StrRefEntry& e : entries) top = std::max<std::uint64_t>(top, e.Offset);
    for (std::uint64_t pos = 0; pos <= top + 3; ++pos)
        ASSERT_EQ(locator.locate(pos), RuleAnswer(entries, pos)) << what << ", position " << pos;
    // Far beyond the data, and backwards after forwards (the lookup keeps a hint).
    EXPECT_EQ(locator.locate(std::uint64_t{1} << 32), RuleAnswer(entries, std::uint64_t{1} << 32)) << what;
    for (std::uint64_t pos = top + 3; pos-- > 0;)
        ASSERT_EQ(locator.locate(pos), RuleAnswer(entries, pos)) << what << ", position " << pos << " going back";
}

std::vector<StrRefEntry> GeneratedRecords(std::uint32_t count, bool inOrder)
{
    tlkgen::GeneratorOptions options;
    options.entries = count;
    options.seed = 3;
    options.textsInStrRefOrder = inOrder;
    options.emptyShare = 0.2;
    std::vector<StrRefEntry> entries;
    for (const auto& generated : tlkgen::GenerateTalkTable(options).entries) {
        StrRefEntry e;
        e.Offset = generated.offset;
        e.Length = generated.length;
        entries.push_back(e);
    }
    return entries;
}

}  // namespace

TEST(EntryLocator, HandMadeOffsetsGiveTheRulesAnswer)
{
    struct Case {
        const char* name;
        std::vector<std::uint32_t> offsets;
    };
    const std::vector<Case> cases = {
        {"rising", {0, 5, 9, 20}},
        {"rising with empty entries", {0, 0, 5, 0, 0, 9, 0, 20}},
        {"empty entries at the end", {0, 5, 9, 0, 0}},
        {"only entry 0 has text", {0, 0, 0, 0}},
        {"every Offset 0 but entry 0", {7, 0, 0}},
        {"entry 0 empty, text of entry 1 at 0", {0, 0, 4, 8}},
        {"not in StrRef order", {12, 0, 3, 20, 8, 0, 15}},
        {"shared offsets", {0, 5, 5, 9, 9, 0, 9}},
        {"falling", {30, 20, 10, 0}},
        {"first text not at 0", {4, 10, 16}},
        {"one entry", {6}},
        {"two entries", {3, 0}},
    };
    for (const Case& c : cases) ExpectRuleEverywhere(WithOffsets(c.offsets), c.name);
}

TEST(EntryLocator, RandomOffsetsGiveTheRulesAnswer)
{
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint32_t> offsets(1 + random() % 25);
        const bool rising = round % 2 == 0;
        std::uint32_t next = 0;
        for (std::uint32_t& offset : offsets) {
            if (random() % 3 == 0) {
                offset = 0;
            } else if (rising) {
                next += random() % 6;
                offset = next;
            } else {
                offset = random() % 60;
            }
        }
        ExpectRuleEverywhere(WithOffsets(offsets), rising ? "random rising" : "random order");
    }
}

TEST(EntryLocator, GeneratedTablesInAndOutOfStrRefOrder)
{
    for (bool inOrder : {true, false}) {
        const auto entries = GeneratedRecords(3000, inOrder);
        EntryLocator locator;
        locator.build(entries.data(), static_cast<std::uint32_t>(entries.size()));
        std::uint64_t end = 0;
        for (const StrRefEntry& e : entries) end = std::max<std::uint64_t>(end, std::uint64_t{e.Offset} + e.Length);
        std::mt19937 random(5);
        for (int probe = 0; probe < 3000; ++probe) {
            const std::uint64_t pos = random() % (end + 10);
            ASSERT_EQ(locator.locate(pos), RuleAnswer(entries, pos)) << (inOrder ? "in order" : "shuffled") << " " << pos;
        }
        // With rising offsets every text belongs to its own entry.
        if (inOrder) {
            for (std::size_t i = 1; i < entries.size(); ++i) {
                if (entries[i].Length > 0) {
                    ASSERT_EQ(locator.locate(entries[i].Offset + entries[i].Length - 1), std::int32_t(i));
                }
            }
        }
    }
}

TEST(EntryLocator, NoEntriesLocateNothing)
{
    EntryLocator locator;
    locator.build(nullptr, 0);
    EXPECT_EQ(locator.locate(0), -1);
}
