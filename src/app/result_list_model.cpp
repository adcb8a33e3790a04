#include "app/result_list_model.h"

namespace lexicarta {

void ResultListModel::setLines(std::vector<ResultLine> lines, bool withCounts)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_withCounts = withCounts;
    endResetModel();
}

void ResultListModel::clear() { setLines({}, m_withCounts); }

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_lines.size())) return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const ResultLine& line = m_lines[static_cast<std::size_t>(index.row())];
    QString text = QStringLiteral("String ") + QString::number(line.strRef);
    if (m_withCounts) text += QStringLiteral(" (") + QString::number(line.count) + QStringLiteral(")");
    return text;
}

}  // namespace lexicarta
