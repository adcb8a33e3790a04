#pragma once
// The status and the finding kinds of every entry of a table against its
// reference, kept current as the user edits: one bit per entry for each
// status and each check kind, so that counting is free and the next entry of
// a kind is found a 64-bit word at a time, however large the table.
//
// The index covers the larger of the two tables: entries the reference has
// beyond the end of the table are missing (when the reference has a text
// there), entries the table has beyond the end of the reference are only here.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "translation/entry_checks.h"
#include "translation/table_texts.h"

namespace lexicarta {

class TranslationIndex {
public:
    // rules and spelling (may be null) must outlive the index.
    TranslationIndex(const TokenRules& rules, CheckOptions options, SpellChecker* spelling = nullptr);

    // Called between entries during a rebuild with the share done (0..1);
    // returning false stops it.
    using KeepGoing = std::function<bool(double done)>;

    // Computes every entry's status and findings. table and reference (null:
    // checks without one, no statuses) must outlive the index, which reads
    // them again for updates and explanations. False, and an empty index,
    // when keepGoing stopped it.
    bool rebuild(const TableTexts& table, const TableTexts* reference, const KeepGoing& keepGoing = {});
    // The female tables of the table and of the reference (either may be
    // null), read by the female check from the next rebuild on; they must
    // outlive the index as the tables do.
    void setFemaleTables(const TableTexts* female, const TableTexts* referenceFemale);
    bool hasFemaleTable() const { return m_female != nullptr; }
    // The checks to run from now on (and the spelling checker, may be null);
    // rebuilds with the tables of the last rebuild.
    bool setOptions(CheckOptions options, SpellChecker* spelling, const KeepGoing& keepGoing = {});
    const CheckOptions& options() const { return m_options; }

    // Entry n changed: here is what it holds now (the text as typed, its
    // flags and sound). n may lie beyond the table's entries as last known
    // (an entry being added): they grow to n + 1.
    void update(std::uint32_t n, const EntryContent& here);
    // The same, reading entry n from the table.
    void update(std::uint32_t n);
    // The female text of entry n changed: here is what the female table's
    // entry holds now (the male side is read from the table).
    void updateFemale(std::uint32_t n, const EntryContent& female);
    // The table now has entryCount entries (added or truncated): the entries
    // between the old and the new count are computed again.
    void setTableEntries(std::uint32_t entryCount);

    bool hasReference() const { return m_reference != nullptr; }
    std::uint32_t tableEntries() const { return m_tableEntries; }
    std::uint32_t referenceEntries() const { return m_referenceEntries; }
    // Entries covered: the larger of the two counts.
    std::uint32_t size() const { return m_size; }

    // Without a reference every entry with text is only here.
    EntryStatus status(std::uint32_t n) const;
    // Whether n lies beyond the end of one of the tables.
    bool beyondEnd(std::uint32_t n) const { return n >= m_tableEntries || (hasReference() && n >= m_referenceEntries); }
    // StatusText of entry n.
    std::string statusText(std::uint32_t n) const { return StatusText(status(n), beyondEnd(n)); }
    std::uint32_t count(EntryStatus status) const { return m_statusCounts[static_cast<int>(status)]; }
    std::uint32_t count(CheckKind kind) const { return m_kindCounts[static_cast<int>(kind)]; }
    CheckSet findingKinds(std::uint32_t n) const;

    // The findings of entry n with their explanations, from what it holds now
    // (the table's, or here).
    std::vector<Finding> findings(std::uint32_t n);
    // female: the female entry as it is now, when it differs from the
    // female table's (typed, not yet stored); null reads the female table.
    std::vector<Finding> findings(std::uint32_t n, const EntryContent& here, const EntryContent* female = nullptr);

    // The first entry of the status after (before) the given one; none when
    // there is none up to the end (the start). after may be -1, before size().
    std::optional<std::uint32_t> next(EntryStatus status, std::int64_t after) const;
    std::optional<std::uint32_t> previous(EntryStatus status, std::int64_t before) const;
    // The same for entries with a finding of one of kinds.
    std::optional<std::uint32_t> nextFinding(std::int64_t after, CheckSet kinds = CheckSet::All()) const;
    std::optional<std::uint32_t> previousFinding(std::int64_t before, CheckSet kinds = CheckSet::All()) const;

private:
    using Bits = std::vector<std::uint64_t>;
    void clear();
    void store(std::uint32_t n, EntryStatus status, CheckSet kinds);
    void drop(std::uint32_t n);
    void compute(std::uint32_t n, const EntryContent* here, const EntryContent* female = nullptr);
    const EntryContent* referenceEntry(std::uint32_t n, EntryContent& storage) const;
    // The female side of entry n (null without a female table); female, when
    // given, stands for the female table's entry.
    struct FemaleStorage {
        EntryContent female, referenceMale, referenceFemale;
        FemaleSide side;
    };
    const FemaleSide* femaleSide(std::uint32_t n, const EntryContent* female, FemaleStorage& storage) const;
    EntryChecker makeChecker() const;
    // Word w of the union of the sets selected by mask.
    std::uint64_t word(std::uint32_t statusMask, std::uint32_t kindMask, std::size_t w) const;
    std::optional<std::uint32_t> forward(std::uint32_t statusMask, std::uint32_t kindMask, std::int64_t after) const;
    std::optional<std::uint32_t> backward(std::uint32_t statusMask, std::uint32_t kindMask, std::int64_t before) const;

    const TokenRules& m_rules;
    CheckOptions m_options;
    SpellChecker* m_spelling;
    const TableTexts* m_table = nullptr;
    const TableTexts* m_reference = nullptr;
    const TableTexts* m_female = nullptr;
    const TableTexts* m_referenceFemale = nullptr;
    std::optional<EntryChecker> m_checker;
    std::uint32_t m_tableEntries = 0;
    std::uint32_t m_referenceEntries = 0;
    std::uint32_t m_size = 0;
    std::vector<Bits> m_statusBits;  // one set per EntryStatus
    std::vector<Bits> m_kindBits;    // one set per CheckKind
    std::uint32_t m_statusCounts[EntryStatusCount] = {};
    std::uint32_t m_kindCounts[CheckKindCount] = {};
};

}  // namespace lexicarta
