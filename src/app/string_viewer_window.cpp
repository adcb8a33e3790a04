#include "app/string_viewer_window.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/numbers.h"

namespace lexicarta {

StringViewerWindow::StringViewerWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm3", QStringLiteral("String"), QSize(564, 435));

    stringGroup = MakeGroup(this, "GroupBox1", QStringLiteral("String"), QRect(6, 4, 552, 330));
    textArea = MakeMemo(stringGroup, "Memo1", QRect(10, 20, 532, 240), QStringLiteral("String text"));
    textArea->setFocusPolicy(Qt::ClickFocus);
    textArea->setFont(QFont(QStringLiteral("Arial"), 9));
    textArea->setPlainText(QStringLiteral("No String"));
    entryScrollBar = new QScrollBar(Qt::Horizontal, stringGroup);
    entryScrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    entryScrollBar->setGeometry(10, 264, 532, 17);
    entryScrollBar->setAccessibleName(QStringLiteral("StrRef"));
    entryScrollBar->setRange(0, 0);
    entryScrollBar->setEnabled(false);
    strRefField = MakeEdit(stringGroup, "Edit1", QStringLiteral("0"), 10, QRect(10, 292, 90, 22),
                     QStringLiteral("String Reference Entry"));
    previousEntryButton = MakeButton(stringGroup, "Button6", QStringLiteral("<"), QRect(106, 290, 34, 25));
    nextEntryButton = MakeButton(stringGroup, "Button7", QStringLiteral(">"), QRect(144, 290, 34, 25));
    findNextButton = MakeButton(stringGroup, "Button5", QStringLiteral("Find next"), QRect(190, 290, 90, 25));
    asciiCodesButton = MakeButton(stringGroup, "Button2", QStringLiteral("ASCII codes"), QRect(290, 290, 90, 25));
    closeButton = MakeButton(stringGroup, "Button1", QStringLiteral("Close"), QRect(452, 290, 90, 25));

    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(findNextButton, &QPushButton::clicked, this, &StringViewerWindow::findNextClicked);
    // The text area is a second view of the main window's editor: a change
    // here is a change there, and leaving it stores the text as leaving the
    // editor does.
    connect(textArea, &QPlainTextEdit::textChanged, this, [this] {
        MainWindow* main = m_session.windows.main;
        if (!main || main->SuppressMemoChange) return;
        const QString text = EditorText(*textArea);
        if (EditorText(*main->stringEditor) != text) main->stringEditor->setPlainText(text);
    });
    WatchExit(textArea, [this, alive = m_alive] {
        if (!*alive) return;
        if (MainWindow* main = m_session.windows.main) main->FlushJournal();
    });
    connect(strRefField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (MainWindow* main = m_session.windows.main; main && main->strRefField->text() != text) main->strRefField->setText(text);
    });
    connect(strRefField, &QLineEdit::editingFinished, this, [this, alive = m_alive] {
        if (!*alive) return;
        if (MainWindow* main = m_session.windows.main) main->GoToStrRef(MainWindow::Sender::Viewer);
    });
    connect(entryScrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_settingScroll) return;
        MainWindow* main = m_session.windows.main;
        if (!main) return;
        strRefField->setText(QString::number(value));
        main->strRefField->setText(QString::number(value));
        main->GoToStrRef(MainWindow::Sender::Viewer);
    });
    connect(previousEntryButton, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->showPreviousEntry();
    });
    connect(nextEntryButton, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->showNextEntry();
    });
}

StringViewerWindow::~StringViewerWindow() { *m_alive = false; }

void StringViewerWindow::OpenStringViewer()
{
    if (MainWindow* main = m_session.windows.main) setFindNextVisible(!main->AdvancedSearchMode());
    show();
    raise();
    activateWindow();
}

void StringViewerWindow::findNextClicked()
{
    MainWindow* main = m_session.windows.main;
    if (!main) return;
    if (main->AdvancedSearchMode()) {
        m_session.dialogs.message(BoxKind::Plain, "This function works only if Standard Search is enabled.");
        return;
    }
    main->findNextClicked();
}

void StringViewerWindow::setEntryCaptions(const QString& fileName, std::int32_t strRef)
{
    setWindowTitle(fileName);
    SetCaption(stringGroup, QStringLiteral("String ") + QString::number(strRef));
}

void StringViewerWindow::RefreshStringViewer(const QString& editorText)
{
    if (EditorText(*textArea) == editorText) return;
    MainWindow* main = m_session.windows.main;
    if (main) main->SuppressMemoChange = true;
    textArea->setPlainText(editorText);
    if (main) main->SuppressMemoChange = false;
}

void StringViewerWindow::setScrollRange(std::uint32_t count)
{
    m_settingScroll = true;
    entryScrollBar->setRange(0, static_cast<int>(std::int64_t{count} - 1 < 0 ? 0 : count - 1));
    entryScrollBar->setPageStep(static_cast<int>(RoundDiv(count, 200)));
    m_settingScroll = false;
}

void StringViewerWindow::setScrollPosition(std::int32_t strRef)
{
    m_settingScroll = true;
    entryScrollBar->setValue(strRef);
    m_settingScroll = false;
}

void StringViewerWindow::setScrollEnabled(bool enabled) { entryScrollBar->setEnabled(enabled); }

void StringViewerWindow::mirrorStrRefField(const QString& text)
{
    if (strRefField->text() != text) strRefField->setText(text);
}

void StringViewerWindow::setFindNextVisible(bool visible) { findNextButton->setVisible(visible); }

}  // namespace lexicarta
