#pragma once
// The advanced search's result lines, made when shown: a run may list
// hundreds of thousands of strings.

#include <QAbstractListModel>

#include <vector>

#include "search/result_compiler.h"

namespace lexicarta {

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // With counts: "String " + StrRef + " (" + count + ")"; without: "String " + StrRef.
    void setLines(std::vector<ResultLine> lines, bool withCounts);
    void clear();
    const std::vector<ResultLine>& lines() const { return m_lines; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<ResultLine> m_lines;
    bool m_withCounts = false;
};

}  // namespace lexicarta
