#pragma once
// The rows of the findings list: one per finding of the whole table (StrRef,
// kind, short text), read from the translation index as they are shown, so
// that a table of a million entries costs a row number per finding and
// nothing per entry. Sortable by each column, filtered by one kind.

#include <QAbstractTableModel>

#include <cstdint>
#include <optional>
#include <vector>

#include "translation/entry_checks.h"

namespace lexicarta {

class TranslationDocument;

class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { StrRefColumn, KindColumn, DetailColumn, ColumnCount };

    explicit FindingsModel(TranslationDocument& translation, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Only findings of kind (none: every kind).
    void setKindFilter(std::optional<CheckKind> kind);
    std::uint32_t strRefAt(int row) const { return m_rows[static_cast<std::size_t>(row)].strRef; }
    CheckKind kindAt(int row) const { return m_rows[static_cast<std::size_t>(row)].kind; }

private:
    struct Row {
        std::uint32_t strRef;
        CheckKind kind;
    };
    // Every row again, from the index.
    void reload();
    // The rows of one entry again.
    void reloadEntry(std::int32_t strRef);
    void appendRowsOf(std::uint32_t strRef, std::vector<Row>& rows) const;
    QString detail(const Row& row) const;
    bool less(const Row& a, const Row& b) const;
    void sortRows();

    TranslationDocument& m_translation;
    std::vector<Row> m_rows;
    std::optional<CheckKind> m_filter;
    int m_sortColumn = StrRefColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // The details of the entry last asked for, kept for its other rows.
    mutable std::int64_t m_detailEntry = -1;
    mutable std::vector<Finding> m_details;
};

}  // namespace lexicarta
