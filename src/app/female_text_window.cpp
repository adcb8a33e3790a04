#include "app/female_text_window.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>

#include "app/table_document.h"
#include "app/widgets.h"
#include "core/talk_table.h"

namespace lexicarta {
namespace {

const char* StateText(EntryState state)
{
    switch (state) {
    case EditedByUser: return "Edited by User";
    case CreatedByUser: return "Created by User";
    case NoEntry: return "";
    default: return "Original";
    }
}

}  // namespace

FemaleTextWindow::FemaleTextWindow(TableDocument& document, QWidget* parent)
    // No close button: the window goes with the female table, and has no other way back.
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_document(document)
{
    SetUpWindow(this, "TForm12", QStringLiteral("Female text"), QSize(376, 180));
    m_group = MakeGroup(this, "FemaleGroup", QStringLiteral("Female text"), QRect(4, 0, 368, 176));
    m_stateLabel = MakeValueLabel(m_group, "FemaleState", QString(), QRect(8, 20, 180, 16));
    m_sameAsMaleLabel = MakeLabel(m_group, "SameAsMale", QStringLiteral("same as male"), QRect(200, 20, 160, 16));
    m_sameAsMaleLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_sameAsMaleLabel->setAccessibleName(m_sameAsMaleLabel->text());
    m_textArea = MakeMemo(m_group, "FemaleMemo", QRect(8, 42, 352, 126), QStringLiteral("Female text"),
                          &m_document.table().Encoding);
    m_textArea->setEnabled(false);
    connect(m_textArea, &QPlainTextEdit::textChanged, this, &FemaleTextWindow::textEdited);
    connectDocument();
}

FemaleTextWindow::~FemaleTextWindow() = default;

void FemaleTextWindow::connectDocument()
{
    TableDocument& document = m_document;
    connect(&document, &TableDocument::pairOpened, this, &FemaleTextWindow::showPair);
    connect(&document, &TableDocument::pairClosed, this, &QWidget::hide);
    connect(&document, &TableDocument::tableClosing, this, &QWidget::hide);
    connect(&document, &TableDocument::entryShown, this, &FemaleTextWindow::showEntry);
    connect(&document, &TableDocument::entryCleared, this, &FemaleTextWindow::showNoEntry);
    connect(&document, &TableDocument::noEntries, this, &FemaleTextWindow::showNoEntry);
    connect(&document, &TableDocument::femaleTextChanged, this,
            [this](std::int32_t, const QString& text, const QObject* origin) {
                if (origin != this) {
                    const bool before = m_writingText;
                    m_writingText = true;
                    m_textArea->setPlainText(text);
                    m_writingText = before;
                }
                showSameAsMale();
            });
    connect(&document, &TableDocument::textChanged, this, [this] { showSameAsMale(); });
    connect(&document, &TableDocument::femaleEntryStateChanged, this, [this] { showState(); });
}

void FemaleTextWindow::showPair()
{
    if (m_anchor) {
        const QScreen* screen = m_anchor->screen() ? m_anchor->screen() : QGuiApplication::primaryScreen();
        // Level with the anchor's bottom: the Lexiaide goes level with its top.
        QRect beside = m_anchor->frameGeometry();
        beside.setTop(beside.bottom() - frameGeometry().height());
        move(PlaceBeside(beside, frameGeometry().size(), screen->availableGeometry()));
    }
    if (m_document.textShown()) showEntry(m_document.currentStrRef());
    show();
}

void FemaleTextWindow::showEntry(std::int32_t strRef)
{
    if (!m_document.hasFemale()) return;
    const bool shown = m_document.femaleTextShown();
    SetCaption(m_group, shown ? QStringLiteral("Female text - String %1").arg(strRef) : QStringLiteral("Female text"));
    if (shown && m_textArea->toPlainText() != m_document.femaleText()) {
        const bool before = m_writingText;
        m_writingText = true;
        m_textArea->setPlainText(m_document.femaleText());
        m_writingText = before;
    } else if (!shown) {
        showNoEntry();
        return;
    }
    m_textArea->setEnabled(true);
    showState();
    showSameAsMale();
}

void FemaleTextWindow::showMatch(int from, int to)
{
    if (!m_document.hasFemale()) return;
    show();
    raise();
    if (from < 0) return;
    QTextCursor cursor(m_textArea->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    m_textArea->setTextCursor(cursor);
    m_textArea->ensureCursorVisible();
}

void FemaleTextWindow::showNoEntry()
{
    const bool before = m_writingText;
    m_writingText = true;
    m_textArea->clear();
    m_writingText = before;
    m_textArea->setEnabled(false);
    SetCaption(m_group, QStringLiteral("Female text"));
    m_stateLabel->clear();
    m_stateLabel->setAccessibleName(QString());
    m_sameAsMaleLabel->setVisible(false);
}

void FemaleTextWindow::showState()
{
    const QString state = QString::fromLatin1(StateText(m_document.femaleState()));
    m_stateLabel->setText(state);
    m_stateLabel->setAccessibleName(state);
}

void FemaleTextWindow::showSameAsMale()
{
    m_sameAsMaleLabel->setVisible(m_document.femaleTextShown() && m_document.femaleText() == m_document.text());
}

void FemaleTextWindow::textEdited()
{
    if (m_writingText || !m_document.femaleTextShown()) return;
    m_document.setFemaleText(m_textArea->toPlainText(), this);
}

}  // namespace lexicarta
