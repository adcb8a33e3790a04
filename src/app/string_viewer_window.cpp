#include "app/string_viewer_window.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/widgets.h"
#include "core/numbers.h"

namespace lexicarta {

StringViewerWindow::StringViewerWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm3", QStringLiteral("String"), QSize(564, 435));

    GroupBox1 = MakeGroup(this, "GroupBox1", QStringLiteral("String"), QRect(6, 4, 552, 330));
    Memo1 = MakeMemo(GroupBox1, "Memo1", QRect(10, 20, 532, 240), QStringLiteral("String text"));
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setFont(QFont(QStringLiteral("Arial"), 9));
    Memo1->setPlainText(QStringLiteral("No String"));
    ScrollBar1 = new QScrollBar(Qt::Horizontal, GroupBox1);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setGeometry(10, 264, 532, 17);
    ScrollBar1->setAccessibleName(QStringLiteral("StrRef"));
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setEnabled(false);
    Edit1 = MakeEdit(GroupBox1, "Edit1", QStringLiteral("0"), 10, QRect(10, 292, 90, 22),
                     QStringLiteral("String Reference Entry"));
    Button6 = MakeButton(GroupBox1, "Button6", QStringLiteral("<"), QRect(106, 290, 34, 25));
    Button7 = MakeButton(GroupBox1, "Button7", QStringLiteral(">"), QRect(144, 290, 34, 25));
    Button5 = MakeButton(GroupBox1, "Button5", QStringLiteral("Find next"), QRect(190, 290, 90, 25));
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("ASCII codes"), QRect(290, 290, 90, 25));
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("Close"), QRect(452, 290, 90, 25));

    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);
    connect(Button5, &QPushButton::clicked, this, &StringViewerWindow::Button5Click);
    // The text area is a second view of the main window's editor: a change
    // here is a change there, and leaving it stores the text as leaving the
    // editor does.
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        MainWindow* main = m_session.windows.main;
        if (!main || main->SuppressMemoChange) return;
        const QString text = Memo1->toPlainText();
        if (main->Memo2->toPlainText() != text) main->Memo2->setPlainText(text);
    });
    WatchExit(Memo1, [this] {
        if (MainWindow* main = m_session.windows.main) main->FlushJournal();
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (MainWindow* main = m_session.windows.main; main && main->Edit1->text() != text) main->Edit1->setText(text);
    });
    connect(Edit1, &QLineEdit::editingFinished, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->GoToStrRef(MainWindow::Sender::Viewer);
    });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_settingScroll) return;
        MainWindow* main = m_session.windows.main;
        if (!main) return;
        Edit1->setText(QString::number(value));
        main->Edit1->setText(QString::number(value));
        main->GoToStrRef(MainWindow::Sender::Viewer);
    });
    connect(Button6, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->Button6Click();
    });
    connect(Button7, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->Button7Click();
    });
}

void StringViewerWindow::OpenStringViewer()
{
    if (MainWindow* main = m_session.windows.main) setFindNextVisible(!main->AdvancedSearchMode());
    show();
    raise();
    activateWindow();
}

void StringViewerWindow::Button5Click()
{
    MainWindow* main = m_session.windows.main;
    if (!main) return;
    if (main->AdvancedSearchMode()) {
        m_session.dialogs.message(BoxKind::Plain, "This function works only if Standard Search is enabled.");
        return;
    }
    main->btnFindClick();
}

void StringViewerWindow::setEntryCaptions(const QString& fileName, std::int32_t strRef)
{
    setWindowTitle(fileName);
    GroupBox1->setTitle(QStringLiteral("String ") + QString::number(strRef));
}

void StringViewerWindow::RefreshStringViewer(const QString& editorText)
{
    if (Memo1->toPlainText() == editorText) return;
    MainWindow* main = m_session.windows.main;
    if (main) main->SuppressMemoChange = true;
    Memo1->setPlainText(editorText);
    if (main) main->SuppressMemoChange = false;
}

void StringViewerWindow::setScrollRange(std::uint32_t count)
{
    m_settingScroll = true;
    ScrollBar1->setRange(0, static_cast<int>(std::int64_t{count} - 1 < 0 ? 0 : count - 1));
    ScrollBar1->setPageStep(static_cast<int>(RoundDiv(count, 200)));
    m_settingScroll = false;
}

void StringViewerWindow::setScrollPosition(std::int32_t strRef)
{
    m_settingScroll = true;
    ScrollBar1->setValue(strRef);
    m_settingScroll = false;
}

void StringViewerWindow::setScrollEnabled(bool enabled) { ScrollBar1->setEnabled(enabled); }

void StringViewerWindow::mirrorStrRefField(const QString& text)
{
    if (Edit1->text() != text) Edit1->setText(text);
}

void StringViewerWindow::setFindNextVisible(bool visible) { Button5->setVisible(visible); }

}  // namespace lexicarta
