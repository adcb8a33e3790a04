#include "app/findings_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/findings_model.h"
#include "app/translation_document.h"

namespace lexicarta {

FindingsWindow::FindingsWindow(TranslationDocument& translation, QWidget* parent)
    : QWidget(parent, Qt::Window), m_translation(translation)
{
    setObjectName(QStringLiteral("FindingsWindow"));
    setWindowTitle(QStringLiteral("Findings"));
    QFont font = QApplication::font();
    font.setPointSize(8);
    setFont(font);
    m_model = new FindingsModel(translation, this);

    auto* kindLabel = new QLabel(QStringLiteral("Kind"), this);
    kindLabel->setObjectName(QStringLiteral("kindLabel"));
    m_kindList = new QComboBox(this);
    m_kindList->setObjectName(QStringLiteral("kindFilter"));
    m_kindList->setAccessibleName(QStringLiteral("Kind"));
    kindLabel->setBuddy(m_kindList);
    m_kindList->addItem(QStringLiteral("All kinds"), -1);
    for (int k = 0; k < CheckKindCount; ++k) {
        const std::string_view name = CheckKindName(static_cast<CheckKind>(k));
        m_kindList->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), k);
    }
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("findingsCount"));
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("findingsTable"));
    m_table->setAccessibleName(QStringLiteral("Findings"));
    m_table->setModel(m_model);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(FindingsModel::StrRefColumn, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // Rows of one height: the view never measures a million rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(FindingsModel::StrRefColumn, 70);
    m_table->setColumnWidth(FindingsModel::KindColumn, 110);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(m_kindList);
    top->addStretch();
    top->addWidget(m_countLabel);
    layout->addLayout(top);
    layout->addWidget(m_table);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(closeButton);
    layout->addLayout(bottom);
    resize(560, 420);

    connect(m_kindList, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int kind = m_kindList->itemData(index).toInt();
        m_model->setKindFilter(kind < 0 ? std::nullopt : std::optional<CheckKind>(static_cast<CheckKind>(kind)));
    });
    connect(m_table, &QTableView::activated, this, [this](const QModelIndex& index) { rowActivated(index.row()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &FindingsWindow::showCount);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &FindingsWindow::showCount);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &FindingsWindow::showCount);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    showCount();
}

FindingsWindow::~FindingsWindow() = default;

void FindingsWindow::showWindow()
{
    show();
    raise();
    activateWindow();
}

void FindingsWindow::showCount()
{
    const int rows = m_model->rowCount();
    const QString text = rows == 1 ? QStringLiteral("1 finding") : QStringLiteral("%1 findings").arg(rows);
    m_countLabel->setText(text);
    m_countLabel->setAccessibleName(text);
}

void FindingsWindow::rowActivated(int row)
{
    if (row < 0 || row >= m_model->rowCount()) return;
    emit entryRequested(static_cast<std::int32_t>(m_model->strRefAt(row)));
}

}  // namespace lexicarta
