#include "translation/translation_index.h"

#include <algorithm>
#include <bit>

#include "core/tlk_format.h"

namespace lexicarta {
namespace {

constexpr std::size_t WordCount = (std::size_t{EntryCapacity} + 63) / 64;

bool Test(const std::vector<std::uint64_t>& bits, std::uint32_t n) { return (bits[n / 64] >> (n % 64)) & 1u; }
void Set(std::vector<std::uint64_t>& bits, std::uint32_t n) { bits[n / 64] |= std::uint64_t{1} << (n % 64); }
void Reset(std::vector<std::uint64_t>& bits, std::uint32_t n) { bits[n / 64] &= ~(std::uint64_t{1} << (n % 64)); }

}  // namespace

TranslationIndex::TranslationIndex(const TokenRules& rules, CheckOptions options, SpellChecker* spelling)
    : m_rules(rules), m_options(options), m_spelling(spelling),
      m_statusBits(EntryStatusCount, Bits(WordCount)), m_kindBits(CheckKindCount, Bits(WordCount))
{
}

void TranslationIndex::clear()
{
    for (Bits& bits : m_statusBits) std::fill(bits.begin(), bits.end(), 0);
    for (Bits& bits : m_kindBits) std::fill(bits.begin(), bits.end(), 0);
    std::fill(std::begin(m_statusCounts), std::end(m_statusCounts), 0);
    std::fill(std::begin(m_kindCounts), std::end(m_kindCounts), 0);
    m_size = 0;
}

EntryChecker TranslationIndex::makeChecker() const
{
    return EntryChecker(m_rules, m_options, m_table ? m_table->encoding() : TextEncoding::Windows1252,
                        m_reference ? std::optional<TextEncoding>(m_reference->encoding()) : std::nullopt, m_spelling);
}

const EntryContent* TranslationIndex::referenceEntry(std::uint32_t n, EntryContent& storage) const
{
    if (!m_reference || n >= m_referenceEntries) return nullptr;
    storage = m_reference->entry(n);
    return &storage;
}

const FemaleSide* TranslationIndex::femaleSide(std::uint32_t n, const EntryContent* female,
                                                FemaleStorage& storage) const
{
    if (!m_female) return nullptr;
    storage.side = {};
    if (female) {
        storage.side.female = female;
    } else if (n < m_female->entryCount()) {
        storage.female = m_female->entry(n);
        storage.side.female = &storage.female;
    }
    if (m_referenceFemale && m_reference && n < m_referenceEntries && n < m_referenceFemale->entryCount()) {
        storage.referenceMale = m_reference->entry(n);
        storage.referenceFemale = m_referenceFemale->entry(n);
        storage.side.referenceMale = &storage.referenceMale;
        storage.side.referenceFemale = &storage.referenceFemale;
    }
    return &storage.side;
}

void TranslationIndex::setFemaleTables(const TableTexts* female, const TableTexts* referenceFemale)
{
    m_female = female;
    m_referenceFemale = referenceFemale;
}

void TranslationIndex::store(std::uint32_t n, EntryStatus status, CheckSet kinds)
{
    for (int s = 0; s < EntryStatusCount; ++s) {
        const bool want = s == static_cast<int>(status);
        if (Test(m_statusBits[s], n) == want) continue;
        if (want) {
            Set(m_statusBits[s], n);
            ++m_statusCounts[s];
        } else {
            Reset(m_statusBits[s], n);
            --m_statusCounts[s];
        }
    }
    for (int k = 0; k < CheckKindCount; ++k) {
        const bool want = kinds.has(static_cast<CheckKind>(k));
        if (Test(m_kindBits[k], n) == want) continue;
        if (want) {
            Set(m_kindBits[k], n);
            ++m_kindCounts[k];
        } else {
            Reset(m_kindBits[k], n);
            --m_kindCounts[k];
        }
    }
}

void TranslationIndex::drop(std::uint32_t n)
{
    for (int s = 0; s < EntryStatusCount; ++s)
        if (Test(m_statusBits[s], n)) {
            Reset(m_statusBits[s], n);
            --m_statusCounts[s];
        }
    for (int k = 0; k < CheckKindCount; ++k)
        if (Test(m_kindBits[k], n)) {
            Reset(m_kindBits[k], n);
            --m_kindCounts[k];
        }
}

void TranslationIndex::compute(std::uint32_t n, const EntryContent* here, const EntryContent* female)
{
    EntryContent hereStorage;
    if (!here) {
        if (m_table && n < m_tableEntries && n < m_table->entryCount()) hereStorage = m_table->entry(n);
        here = &hereStorage;
    }
    EntryContent referenceStorage;
    const EntryContent* reference = referenceEntry(n, referenceStorage);
    FemaleStorage femaleStorage;
    const FemaleSide* side = n < m_tableEntries ? femaleSide(n, female, femaleStorage) : nullptr;
    store(n, m_checker->status(*here, reference), m_checker->findingKinds(*here, reference, side));
}

bool TranslationIndex::rebuild(const TableTexts& table, const TableTexts* reference, const KeepGoing& keepGoing)
{
    clear();
    m_table = &table;
    m_reference = reference;
    m_checker.emplace(makeChecker());
    m_tableEntries = table.entryCount();
    m_referenceEntries = reference ? reference->entryCount() : 0;
    const std::uint32_t size = std::min(std::max(m_tableEntries, m_referenceEntries), EntryCapacity);
    m_size = size;
    constexpr std::uint32_t Step = 1u << 14;
    EntryContent referenceStorage;
    FemaleStorage femaleStorage;
    for (std::uint32_t first = 0; first < size; first += Step) {
        if (keepGoing && !keepGoing(static_cast<double>(first) / size)) {
            clear();
            return false;
        }
        const std::uint32_t last = std::min(size, first + Step);
        for (std::uint32_t n = first; n < last; ++n) {
            const EntryContent here = n < m_tableEntries ? table.entry(n) : EntryContent{};
            const EntryContent* original = referenceEntry(n, referenceStorage);
            const FemaleSide* side = n < m_tableEntries ? femaleSide(n, nullptr, femaleStorage) : nullptr;
            store(n, m_checker->status(here, original), m_checker->findingKinds(here, original, side));
        }
    }
    if (keepGoing) keepGoing(1.0);
    return true;
}

bool TranslationIndex::setOptions(CheckOptions options, SpellChecker* spelling, const KeepGoing& keepGoing)
{
    m_options = options;
    m_spelling = spelling;
    if (!m_table) return true;
    return rebuild(*m_table, m_reference, keepGoing);
}

void TranslationIndex::update(std::uint32_t n, const EntryContent& here)
{
    if (!m_checker || n >= EntryCapacity) return;
    if (n >= m_tableEntries) {
        const std::uint32_t old = m_tableEntries;
        m_tableEntries = n + 1;
        m_size = std::max(m_size, m_tableEntries);
        for (std::uint32_t k = old; k < n; ++k) compute(k, nullptr);
    }
    compute(n, &here);
}

void TranslationIndex::update(std::uint32_t n)
{
    if (!m_checker || !m_table || n >= m_table->entryCount()) return;
    update(n, m_table->entry(n));
}

void TranslationIndex::updateFemale(std::uint32_t n, const EntryContent& female)
{
    if (!m_checker || !m_table || n >= m_tableEntries || n >= m_table->entryCount()) return;
    const EntryContent here = m_table->entry(n);
    compute(n, &here, &female);
}

void TranslationIndex::setTableEntries(std::uint32_t entryCount)
{
    if (!m_checker) return;
    entryCount = std::min(entryCount, EntryCapacity);
    const std::uint32_t old = m_tableEntries;
    m_tableEntries = entryCount;
    const std::uint32_t size = std::max(m_tableEntries, m_referenceEntries);
    for (std::uint32_t n = size; n < m_size; ++n) drop(n);
    m_size = size;
    for (std::uint32_t n = std::min(old, entryCount); n < std::max(old, entryCount) && n < m_size; ++n) compute(n, nullptr);
}

EntryStatus TranslationIndex::status(std::uint32_t n) const
{
    for (int s = 0; s < EntryStatusCount; ++s)
        if (n < m_size && Test(m_statusBits[s], n)) return static_cast<EntryStatus>(s);
    return EntryStatus::Empty;
}

CheckSet TranslationIndex::findingKinds(std::uint32_t n) const
{
    CheckSet kinds;
    for (int k = 0; k < CheckKindCount; ++k)
        if (n < m_size && Test(m_kindBits[k], n)) kinds = kinds.with(static_cast<CheckKind>(k));
    return kinds;
}

std::vector<Finding> TranslationIndex::findings(std::uint32_t n)
{
    if (!m_table || n >= m_tableEntries || n >= m_table->entryCount()) return findings(n, EntryContent{});
    return findings(n, m_table->entry(n));
}

std::vector<Finding> TranslationIndex::findings(std::uint32_t n, const EntryContent& here, const EntryContent* female)
{
    if (!m_checker) return {};
    EntryContent referenceStorage;
    FemaleStorage femaleStorage;
    const FemaleSide* side = n < m_tableEntries ? femaleSide(n, female, femaleStorage) : nullptr;
    return m_checker->findings(here, referenceEntry(n, referenceStorage), side);
}

std::uint64_t TranslationIndex::word(std::uint32_t statusMask, std::uint32_t kindMask, std::size_t w) const
{
    std::uint64_t bits = 0;
    for (int s = 0; s < EntryStatusCount; ++s)
        if (statusMask >> s & 1u) bits |= m_statusBits[s][w];
    for (int k = 0; k < CheckKindCount; ++k)
        if (kindMask >> k & 1u) bits |= m_kindBits[k][w];
    return bits;
}

std::optional<std::uint32_t> TranslationIndex::forward(std::uint32_t statusMask, std::uint32_t kindMask,
                                                       std::int64_t after) const
{
    const std::int64_t start = std::max<std::int64_t>(after + 1, 0);
    if (start >= m_size) return std::nullopt;
    std::size_t w = static_cast<std::size_t>(start / 64);
    std::uint64_t bits = word(statusMask, kindMask, w) & (~std::uint64_t{0} << (start % 64));
    const std::size_t lastWord = (m_size - 1) / 64;
    while (bits == 0) {
        if (++w > lastWord) return std::nullopt;
        bits = word(statusMask, kindMask, w);
    }
    const auto n = static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
    return n < m_size ? std::optional<std::uint32_t>(n) : std::nullopt;
}

std::optional<std::uint32_t> TranslationIndex::backward(std::uint32_t statusMask, std::uint32_t kindMask,
                                                        std::int64_t before) const
{
    const std::int64_t start = std::min<std::int64_t>(before, m_size) - 1;
    if (start < 0) return std::nullopt;
    std::size_t w = static_cast<std::size_t>(start / 64);
    const int top = static_cast<int>(start % 64);
    std::uint64_t bits = word(statusMask, kindMask, w) & (top == 63 ? ~std::uint64_t{0} : (std::uint64_t{2} << top) - 1);
    while (bits == 0) {
        if (w == 0) return std::nullopt;
        bits = word(statusMask, kindMask, --w);
    }
    return static_cast<std::uint32_t>(w * 64 + 63 - static_cast<std::size_t>(std::countl_zero(bits)));
}

std::optional<std::uint32_t> TranslationIndex::next(EntryStatus status, std::int64_t after) const
{
    return forward(1u << static_cast<int>(status), 0, after);
}

std::optional<std::uint32_t> TranslationIndex::previous(EntryStatus status, std::int64_t before) const
{
    return backward(1u << static_cast<int>(status), 0, before);
}

std::optional<std::uint32_t> TranslationIndex::nextFinding(std::int64_t after, CheckSet kinds) const
{
    return forward(0, kinds.bits(), after);
}

std::optional<std::uint32_t> TranslationIndex::previousFinding(std::int64_t before, CheckSet kinds) const
{
    return backward(0, kinds.bits(), before);
}

}  // namespace lexicarta
