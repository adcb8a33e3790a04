#include "app/string_viewer_window.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

#include "app/ascii_codes_window.h"
#include "app/main_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/ascii_codes.h"
#include "core/numbers.h"
#include "core/viewer_appearance.h"

namespace lexicarta {
namespace {

// Holds the main window's SuppressMemoChange for the program's own writes
// into the text area, and gives back whatever it was before.
class SuppressEditorChanges {
public:
    explicit SuppressEditorChanges(MainWindow* main) : m_main(main)
    {
        if (!m_main) return;
        m_before = m_main->SuppressMemoChange;
        m_main->SuppressMemoChange = true;
    }
    ~SuppressEditorChanges()
    {
        if (m_main) m_main->SuppressMemoChange = m_before;
    }
    SuppressEditorChanges(const SuppressEditorChanges&) = delete;
    SuppressEditorChanges& operator=(const SuppressEditorChanges&) = delete;

private:
    MainWindow* m_main;
    bool m_before = false;
};

QString ItemText(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

QComboBox* MakePickList(QWidget* parent, const char* name, const QRect& geometry, QLabel* label)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(geometry);
    list->setEditable(false);
    list->setAccessibleName(label->text());
    label->setBuddy(list);
    return list;
}

// The colour of a list item; "Default" is the system's colour of role.
QColor ItemColour(const QWidget* widget, int index, QPalette::ColorRole role)
{
    const ViewerColour& colour = ViewerColours[static_cast<std::size_t>(index)];
    if (colour.systemColour) return QApplication::palette(widget).color(QPalette::Active, role);
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace

StringViewerWindow::StringViewerWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm3", QStringLiteral("String"), QSize(564, 435));
    buildStringGroup();
    buildColourFontGroup();
    connectHandlers();
}

void StringViewerWindow::buildStringGroup()
{
    stringGroup = MakeGroup(this, "GroupBox1", QStringLiteral("String"), QRect(6, 4, 552, 300));
    textArea = MakeMemo(stringGroup, "Memo1", QRect(10, 20, 532, 214), QStringLiteral("String text"), &m_session.table().Encoding);
    // Tab moves between the controls, never into the text.
    textArea->setFocusPolicy(Qt::ClickFocus);
    textArea->setFont(QFont(ItemText(InitialViewerFontFamily), InitialViewerFontSize));
    textArea->setPlainText(QStringLiteral("No String"));
    entryScrollBar = new QScrollBar(Qt::Horizontal, stringGroup);
    entryScrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    entryScrollBar->setGeometry(10, 238, 532, 17);
    entryScrollBar->setAccessibleName(QStringLiteral("String Reference Entry"));
    entryScrollBar->setRange(0, 0);
    entryScrollBar->setEnabled(false);
    strRefField = MakeEdit(stringGroup, "Edit1", QStringLiteral("0"), 10, QRect(10, 265, 90, 22),
                           QStringLiteral("String Reference Entry"));
    previousEntryButton = MakeButton(stringGroup, "Button6", QStringLiteral("<"), QRect(106, 263, 34, 25));
    nextEntryButton = MakeButton(stringGroup, "Button7", QStringLiteral(">"), QRect(144, 263, 34, 25));
    findNextButton = MakeButton(stringGroup, "Button5", QStringLiteral("Find next"), QRect(190, 263, 90, 25));
    asciiCodesButton = MakeButton(stringGroup, "Button2", QStringLiteral("ASCII codes"), QRect(290, 263, 90, 25));
    closeButton = MakeButton(stringGroup, "Button1", QStringLiteral("Close"), QRect(452, 263, 90, 25));
}

void StringViewerWindow::buildColourFontGroup()
{
    colourFontGroup =
        MakeGroup(this, "GroupBox2", QStringLiteral("Color and Font settings"), QRect(6, 310, 552, 118));
    windowsDefaultRadio =
        MakeRadioButton(colourFontGroup, "RadioButton2", QStringLiteral("Windows default"), QRect(12, 22, 130, 20), true);
    cinderveilRadio = MakeRadioButton(colourFontGroup, "RadioButton4", QStringLiteral("Cinderveil"), QRect(12, 50, 130, 20));
    customRadio = MakeRadioButton(colourFontGroup, "RadioButton1", QStringLiteral("Custom"), QRect(12, 78, 130, 20));

    textColourLabel = MakeLabel(colourFontGroup, "Label3", QStringLiteral("Text color"), QRect(160, 20, 120, 16));
    textColourList = MakePickList(colourFontGroup, "ComboBox1", QRect(160, 37, 120, 22), textColourLabel);
    backgroundColourLabel =
        MakeLabel(colourFontGroup, "Label2", QStringLiteral("Background color"), QRect(160, 66, 120, 16));
    backgroundColourList = MakePickList(colourFontGroup, "ComboBox2", QRect(160, 83, 120, 22), backgroundColourLabel);
    for (const ViewerColour& colour : ViewerColours) {
        textColourList->addItem(ItemText(colour.name));
        backgroundColourList->addItem(ItemText(colour.name));
    }
    textColourList->setCurrentIndex(DefaultColourIndex);
    backgroundColourList->setCurrentIndex(DefaultColourIndex);
    setColourListsEnabled(false);

    fontLabel = MakeLabel(colourFontGroup, "Label1", QStringLiteral("Font"), QRect(310, 20, 180, 16));
    fontList = MakePickList(colourFontGroup, "ComboBox3", QRect(310, 37, 180, 22), fontLabel);
    for (const ViewerFont& font : ViewerFonts) fontList->addItem(ItemText(font.name));
    fontSizeLabel = MakeLabel(colourFontGroup, "Label4", QStringLiteral("Font size"), QRect(310, 66, 80, 16));
    fontSizeList = MakePickList(colourFontGroup, "ComboBox4", QRect(310, 83, 60, 22), fontSizeLabel);
    for (const int points : ViewerFontSizes) fontSizeList->addItem(QString::number(points));
    fontList->setCurrentIndex(ViewerFontIndex(InitialViewerFontFamily, false).value_or(0));
    fontSizeList->setCurrentIndex(ViewerFontSizeIndex(InitialViewerFontSize).value_or(0));
}

void StringViewerWindow::connectHandlers()
{
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(findNextButton, &QPushButton::clicked, this, &StringViewerWindow::findNextClicked);
    connect(asciiCodesButton, &QPushButton::clicked, this, &StringViewerWindow::asciiCodesClicked);
    // The text area is a second view of the main window's editor: a change
    // here is a change there, and leaving it stores the text as leaving the
    // editor does.
    connect(textArea, &QPlainTextEdit::textChanged, this, &StringViewerWindow::textEdited);
    WatchExit(textArea, [this, alive = m_alive] {
        if (!*alive) return;
        if (MainWindow* main = m_session.windows.main) main->FlushJournal();
    });
    connect(strRefField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (MainWindow* main = m_session.windows.main; main && main->strRefField->text() != text) main->strRefField->setText(text);
    });
    WatchExit(strRefField, [this, alive = m_alive] {
        if (!*alive) return;
        if (MainWindow* main = m_session.windows.main) main->GoToStrRef(MainWindow::Sender::Viewer);
    });
    connect(entryScrollBar, &QScrollBar::valueChanged, this, &StringViewerWindow::scrollBarMoved);
    connect(previousEntryButton, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->showPreviousEntry();
    });
    connect(nextEntryButton, &QPushButton::clicked, this, [this] {
        if (MainWindow* main = m_session.windows.main) main->showNextEntry();
    });

    WhenChosen(windowsDefaultRadio, this, [this] { windowsDefaultChosen(); });
    WhenChosen(cinderveilRadio, this, [this] { cinderveilChosen(); });
    WhenChosen(customRadio, this, [this] { customChosen(); });
    connect(textColourList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::textColourChosen);
    connect(backgroundColourList, &QComboBox::currentIndexChanged, this,
            &StringViewerWindow::backgroundColourChosen);
    connect(fontList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::fontChosen);
    connect(fontSizeList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::fontSizeChosen);
}

StringViewerWindow::~StringViewerWindow() { *m_alive = false; }

void StringViewerWindow::OpenStringViewer()
{
    MainWindow* main = m_session.windows.main;
    {
        SuppressEditorChanges guard(main);
        if (main) setFindNextVisible(!main->AdvancedSearchMode());
        textColourList->setCurrentIndex(m_textColourIndex);
        backgroundColourList->setCurrentIndex(m_backgroundColourIndex);
        const QFont font = textArea->font();
        if (const auto index = ViewerFontIndex(font.family().toStdString(), font.italic())) fontList->setCurrentIndex(*index);
        if (const auto index = ViewerFontSizeIndex(font.pointSize())) fontSizeList->setCurrentIndex(*index);
    }
    // Typing in the main window reaches the text area only while it is shown.
    if (main) RefreshStringViewer(EditorText(*main->stringEditor));
    ShowCentred(this);
    raise();
    activateWindow();
}

void StringViewerWindow::textEdited()
{
    MainWindow* main = m_session.windows.main;
    if (!main || main->SuppressMemoChange) return;
    const QString text = EditorText(*textArea);
    if (EditorText(*main->stringEditor) != text) main->stringEditor->setPlainText(text);
}

void StringViewerWindow::scrollBarMoved(int value)
{
    if (m_settingScroll) return;
    MainWindow* main = m_session.windows.main;
    if (!main) return;
    strRefField->setText(QString::number(value));
    main->strRefField->setText(QString::number(value));
    main->GoToStrRef(MainWindow::Sender::Viewer);
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

void StringViewerWindow::asciiCodesClicked()
{
    MainWindow* main = m_session.windows.main;
    AsciiCodesWindow* asciiCodes = m_session.windows.asciiCodes;
    if (!main || !asciiCodes) return;
    // The length below must be the length of the text shown, also when it
    // was typed in the main window and not stored yet.
    main->FlushJournal();
    const TalkTable& table = m_session.table();
    QString listing;
    if (table.TableLoaded && table.validStrRef(table.CurrentStrRef) &&
        table.EntryTable[table.CurrentStrRef].Length > 0)
        listing = QString::fromLatin1(AsciiCodesListing(FromEditorText(table.Encoding, EditorText(*main->stringEditor))));
    asciiCodes->showListing(QStringLiteral("String ") + main->strRefField->text() + QStringLiteral(" (ASCII)"), listing);
}

void StringViewerWindow::setColourListsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{textColourLabel, textColourList, backgroundColourLabel,
                                                            backgroundColourList})
        control->setEnabled(enabled);
}

void StringViewerWindow::applyScheme(int textIndex, int backgroundIndex)
{
    textColourList->setCurrentIndex(textIndex);
    backgroundColourList->setCurrentIndex(backgroundIndex);
    textColourChosen(textIndex);
    backgroundColourChosen(backgroundIndex);
}

void StringViewerWindow::windowsDefaultChosen()
{
    setColourListsEnabled(false);
    applyScheme(DefaultColourIndex, DefaultColourIndex);
}

void StringViewerWindow::cinderveilChosen()
{
    setColourListsEnabled(false);
    applyScheme(CinderveilTextIndex, CinderveilBackgroundIndex);
}

void StringViewerWindow::customChosen() { setColourListsEnabled(true); }

void StringViewerWindow::textColourChosen(int index)
{
    if (index < 0) return;
    SuppressEditorChanges guard(m_session.windows.main);
    m_textColourIndex = index;
    QPalette palette = textArea->palette();
    palette.setColor(QPalette::Text, ItemColour(textArea, index, QPalette::Text));
    textArea->setPalette(palette);
}

void StringViewerWindow::backgroundColourChosen(int index)
{
    if (index < 0) return;
    SuppressEditorChanges guard(m_session.windows.main);
    m_backgroundColourIndex = index;
    QPalette palette = textArea->palette();
    palette.setColor(QPalette::Base, ItemColour(textArea, index, QPalette::Base));
    textArea->setPalette(palette);
}

void StringViewerWindow::fontChosen(int index)
{
    if (index < 0) return;
    SuppressEditorChanges guard(m_session.windows.main);
    const ViewerFont& choice = ViewerFonts[static_cast<std::size_t>(index)];
    QFont font = textArea->font();
    font.setFamily(ItemText(choice.family));
    font.setItalic(choice.italic);
    textArea->setFont(font);
}

void StringViewerWindow::fontSizeChosen(int index)
{
    if (index < 0) return;
    SuppressEditorChanges guard(m_session.windows.main);
    QFont font = textArea->font();
    font.setPointSize(ViewerFontSizes[static_cast<std::size_t>(index)]);
    textArea->setFont(font);
}

void StringViewerWindow::setEntryCaptions(const QString& fileName, std::int32_t strRef)
{
    setWindowTitle(fileName);
    SetCaption(stringGroup, QStringLiteral("String ") + QString::number(strRef));
}

void StringViewerWindow::RefreshStringViewer(const QString& editorText)
{
    if (EditorText(*textArea) == editorText) return;
    SuppressEditorChanges guard(m_session.windows.main);
    textArea->setPlainText(editorText);
}

void StringViewerWindow::editorChanged()
{
    MainWindow* main = m_session.windows.main;
    if (main && isVisible()) RefreshStringViewer(EditorText(*main->stringEditor));
}

void StringViewerWindow::setScrollRange(std::uint32_t count)
{
    m_settingScroll = true;
    entryScrollBar->setRange(0, static_cast<int>(count == 0 ? 0 : count - 1));
    // A click beside the thumb always moves, also in tables of fewer than 100 entries.
    entryScrollBar->setPageStep(static_cast<int>(std::max<std::int64_t>(1, RoundDiv(count, 200))));
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
