#include "app/findings_model.h"

#include <algorithm>

#include "app/text_codec.h"
#include "app/translation_document.h"
#include "translation/translation_index.h"

namespace lexicarta {

FindingsModel::FindingsModel(TranslationDocument& translation, QObject* parent)
    : QAbstractTableModel(parent), m_translation(translation)
{
    connect(&translation, &TranslationDocument::indexRebuilt, this, &FindingsModel::reload);
    connect(&translation, &TranslationDocument::referenceChanged, this, &FindingsModel::reload);
    connect(&translation, &TranslationDocument::entryUpdated, this, &FindingsModel::reloadEntry);
    reload();
}

int FindingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case StrRefColumn: return QStringLiteral("StrRef");
    case KindColumn: return QStringLiteral("Kind");
    case DetailColumn: return QStringLiteral("Finding");
    default: return {};
    }
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case StrRefColumn: return QVariant::fromValue<qulonglong>(row.strRef);
    case KindColumn: {
        const std::string_view name = CheckKindName(row.kind);
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    case DetailColumn: return detail(row);
    default: return {};
    }
}

QString FindingsModel::detail(const Row& row) const
{
    if (m_detailEntry != row.strRef) {
        m_details = m_translation.findings(static_cast<std::int32_t>(row.strRef));
        m_detailEntry = row.strRef;
    }
    for (const Finding& finding : m_details)
        if (finding.kind == row.kind) return FromUtf8(finding.detail);
    return {};
}

void FindingsModel::appendRowsOf(std::uint32_t strRef, std::vector<Row>& rows) const
{
    const CheckSet kinds = m_translation.index()->findingKinds(strRef);
    for (int k = 0; k < CheckKindCount; ++k) {
        const auto kind = static_cast<CheckKind>(k);
        if (kinds.has(kind) && (!m_filter || *m_filter == kind)) rows.push_back({strRef, kind});
    }
}

void FindingsModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_detailEntry = -1;
    if (const TranslationIndex* index = m_translation.index()) {
        const CheckSet kinds = m_filter ? CheckSet().with(*m_filter) : CheckSet::All();
        for (auto n = index->nextFinding(-1, kinds); n; n = index->nextFinding(*n, kinds)) appendRowsOf(*n, m_rows);
    }
    sortRows();
    endResetModel();
}

void FindingsModel::reloadEntry(std::int32_t strRef)
{
    if (!m_translation.index() || strRef < 0) return;
    const auto n = static_cast<std::uint32_t>(strRef);
    m_detailEntry = -1;
    std::vector<Row> now;
    if (n < m_translation.index()->size()) appendRowsOf(n, now);
    // The entry's rows stay where they are when its kinds did not change.
    std::vector<int> at;
    for (int row = 0; row < rowCount(); ++row)
        if (m_rows[static_cast<std::size_t>(row)].strRef == n) at.push_back(row);
    const bool same = at.size() == now.size() &&
                      std::all_of(at.begin(), at.end(), [&, i = std::size_t{0}](int row) mutable {
                          return m_rows[static_cast<std::size_t>(row)].kind == now[i++].kind;
                      });
    if (same) {
        for (const int row : at) emit dataChanged(index(row, DetailColumn), index(row, DetailColumn));
        return;
    }
    for (auto it = at.rbegin(); it != at.rend(); ++it) {
        beginRemoveRows({}, *it, *it);
        m_rows.erase(m_rows.begin() + *it);
        endRemoveRows();
    }
    for (const Row& row : now) {
        const auto place = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                                            [this](const Row& a, const Row& b) { return less(a, b); });
        const int at = static_cast<int>(place - m_rows.begin());
        beginInsertRows({}, at, at);
        m_rows.insert(m_rows.begin() + at, row);
        endInsertRows();
    }
}

bool FindingsModel::less(const Row& a, const Row& b) const
{
    const auto key = [this](const Row& row) {
        return std::pair<std::uint64_t, std::uint64_t>(
            m_sortColumn == KindColumn ? static_cast<std::uint64_t>(row.kind) : row.strRef,
            m_sortColumn == KindColumn ? row.strRef : static_cast<std::uint64_t>(row.kind));
    };
    return m_sortOrder == Qt::AscendingOrder ? key(a) < key(b) : key(b) < key(a);
}

void FindingsModel::sortRows()
{
    if (m_sortColumn == DetailColumn) {
        std::vector<std::pair<QString, Row>> keyed;
        keyed.reserve(m_rows.size());
        for (const Row& row : m_rows) keyed.emplace_back(detail(row), row);
        std::stable_sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
            const int order = QString::localeAwareCompare(a.first, b.first);
            return m_sortOrder == Qt::AscendingOrder ? order < 0 : order > 0;
        });
        for (std::size_t i = 0; i < keyed.size(); ++i) m_rows[i] = keyed[i].second;
        return;
    }
    std::stable_sort(m_rows.begin(), m_rows.end(), [this](const Row& a, const Row& b) { return less(a, b); });
}

void FindingsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount) return;
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged();
    sortRows();
    emit layoutChanged();
}

void FindingsModel::setKindFilter(std::optional<CheckKind> kind)
{
    m_filter = kind;
    reload();
}

}  // namespace lexicarta
