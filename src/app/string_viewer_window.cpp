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

#include "app/search_settings.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/ascii_codes.h"
#include "core/numbers.h"
#include "core/viewer_appearance.h"
#include "editing/table_saver.h"

namespace lexicarta {
namespace {

// Sets a flag for the lifetime of the guard, and gives back what it was.
class Flag {
public:
    explicit Flag(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~Flag() { m_flag = m_before; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& m_flag;
    bool m_before;
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

StringViewerWindow::StringViewerWindow(TableDocument& document, SearchSettings& settings, Dialogs& dialogs,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_document(document),
      m_settings(settings),
      m_dialogs(dialogs)
{
    SetUpWindow(this, "TForm3", QStringLiteral("String"), QSize(564, 435));
    buildStringGroup();
    buildColourFontGroup();
    connectHandlers();
    connectDocument();
}

StringViewerWindow::~StringViewerWindow() = default;

void StringViewerWindow::buildStringGroup()
{
    m_stringGroup = MakeGroup(this, "GroupBox1", QStringLiteral("String"), QRect(6, 4, 552, 300));
    m_textArea = MakeMemo(m_stringGroup, "Memo1", QRect(10, 20, 532, 214), QStringLiteral("String text"), &m_document.table().Encoding);
    // Tab moves between the controls, never into the text.
    m_textArea->setFocusPolicy(Qt::ClickFocus);
    m_textArea->setFont(QFont(ItemText(InitialViewerFontFamily), InitialViewerFontSize));
    m_textArea->setPlainText(QStringLiteral("No String"));
    m_entryScrollBar = new QScrollBar(Qt::Horizontal, m_stringGroup);
    m_entryScrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    m_entryScrollBar->setGeometry(10, 238, 532, 17);
    m_entryScrollBar->setAccessibleName(QStringLiteral("String Reference Entry"));
    m_entryScrollBar->setRange(0, 0);
    m_entryScrollBar->setEnabled(false);
    m_strRefField = MakeEdit(m_stringGroup, "Edit1", QStringLiteral("0"), 10, QRect(10, 265, 90, 22),
                           QStringLiteral("String Reference Entry"));
    m_previousEntryButton = MakeButton(m_stringGroup, "Button6", QStringLiteral("<"), QRect(106, 263, 34, 25));
    m_nextEntryButton = MakeButton(m_stringGroup, "Button7", QStringLiteral(">"), QRect(144, 263, 34, 25));
    m_findNextButton = MakeButton(m_stringGroup, "Button5", QStringLiteral("Find next"), QRect(190, 263, 90, 25));
    m_asciiCodesButton = MakeButton(m_stringGroup, "Button2", QStringLiteral("ASCII codes"), QRect(290, 263, 90, 25));
    m_closeButton = MakeButton(m_stringGroup, "Button1", QStringLiteral("Close"), QRect(452, 263, 90, 25));
}

void StringViewerWindow::buildColourFontGroup()
{
    m_colourFontGroup =
        MakeGroup(this, "GroupBox2", QStringLiteral("Color and Font settings"), QRect(6, 310, 552, 118));
    m_windowsDefaultRadio =
        MakeRadioButton(m_colourFontGroup, "RadioButton2", QStringLiteral("Windows default"), QRect(12, 22, 130, 20), true);
    m_cinderveilRadio = MakeRadioButton(m_colourFontGroup, "RadioButton4", QStringLiteral("Cinderveil"), QRect(12, 50, 130, 20));
    m_customRadio = MakeRadioButton(m_colourFontGroup, "RadioButton1", QStringLiteral("Custom"), QRect(12, 78, 130, 20));

    m_textColourLabel = MakeLabel(m_colourFontGroup, "Label3", QStringLiteral("Text color"), QRect(160, 20, 120, 16));
    m_textColourList = MakePickList(m_colourFontGroup, "ComboBox1", QRect(160, 37, 120, 22), m_textColourLabel);
    m_backgroundColourLabel =
        MakeLabel(m_colourFontGroup, "Label2", QStringLiteral("Background color"), QRect(160, 66, 120, 16));
    m_backgroundColourList = MakePickList(m_colourFontGroup, "ComboBox2", QRect(160, 83, 120, 22), m_backgroundColourLabel);
    for (const ViewerColour& colour : ViewerColours) {
        m_textColourList->addItem(ItemText(colour.name));
        m_backgroundColourList->addItem(ItemText(colour.name));
    }
    m_textColourList->setCurrentIndex(DefaultColourIndex);
    m_backgroundColourList->setCurrentIndex(DefaultColourIndex);
    setColourListsEnabled(false);

    m_fontLabel = MakeLabel(m_colourFontGroup, "Label1", QStringLiteral("Font"), QRect(310, 20, 180, 16));
    m_fontList = MakePickList(m_colourFontGroup, "ComboBox3", QRect(310, 37, 180, 22), m_fontLabel);
    for (const ViewerFont& font : ViewerFonts) m_fontList->addItem(ItemText(font.name));
    m_fontSizeLabel = MakeLabel(m_colourFontGroup, "Label4", QStringLiteral("Font size"), QRect(310, 66, 80, 16));
    m_fontSizeList = MakePickList(m_colourFontGroup, "ComboBox4", QRect(310, 83, 60, 22), m_fontSizeLabel);
    for (const int points : ViewerFontSizes) m_fontSizeList->addItem(QString::number(points));
    m_fontList->setCurrentIndex(ViewerFontIndex(InitialViewerFontFamily, false).value_or(0));
    m_fontSizeList->setCurrentIndex(ViewerFontSizeIndex(InitialViewerFontSize).value_or(0));
}

void StringViewerWindow::connectHandlers()
{
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_findNextButton, &QPushButton::clicked, this, &StringViewerWindow::findNextClicked);
    connect(m_asciiCodesButton, &QPushButton::clicked, this, &StringViewerWindow::asciiCodesClicked);
    // The text area is a view of the current entry's text: a change here is
    // the entry's change, and leaving it stores the text as leaving the main
    // window's editor does.
    connect(m_textArea, &QPlainTextEdit::textChanged, this, &StringViewerWindow::textEdited);
    TableDocument& document = m_document;
    WatchExit(m_textArea, [&document] { document.FlushJournal(); });
    connect(m_strRefField, &QLineEdit::textChanged, this, &StringViewerWindow::strRefTextChanged);
    WatchExit(m_strRefField, [this] { goToTypedStrRef(); });
    connect(m_entryScrollBar, &QScrollBar::valueChanged, this, &StringViewerWindow::scrollBarMoved);
    connect(m_previousEntryButton, &QPushButton::clicked, this, &StringViewerWindow::showPreviousEntry);
    connect(m_nextEntryButton, &QPushButton::clicked, this, &StringViewerWindow::showNextEntry);

    WhenChosen(m_windowsDefaultRadio, this, [this] { windowsDefaultChosen(); });
    WhenChosen(m_cinderveilRadio, this, [this] { cinderveilChosen(); });
    WhenChosen(m_customRadio, this, [this] { customChosen(); });
    connect(m_textColourList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::textColourChosen);
    connect(m_backgroundColourList, &QComboBox::currentIndexChanged, this,
            &StringViewerWindow::backgroundColourChosen);
    connect(m_fontList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::fontChosen);
    connect(m_fontSizeList, &QComboBox::currentIndexChanged, this, &StringViewerWindow::fontSizeChosen);
    connect(&m_settings, &SearchSettings::advancedModeChanged, this,
            [this](bool on) { m_findNextButton->setVisible(!on); });
}

void StringViewerWindow::connectDocument()
{
    TableDocument& document = m_document;
    connect(&document, &TableDocument::tableClosing, this, &QWidget::hide);
    connect(&document, &TableDocument::loadFailed, this, &StringViewerWindow::showLoadFailed);
    connect(&document, &TableDocument::entryCountChanged, this, &StringViewerWindow::setScrollRange);
    connect(&document, &TableDocument::entryShown, this, &StringViewerWindow::showEntry);
    connect(&document, &TableDocument::currentEntryChanged, this, &StringViewerWindow::setScrollPosition);
    // Typing elsewhere reaches the text area while it is shown; a hidden
    // viewer takes the text when it opens.
    connect(&document, &TableDocument::textChanged, this,
            [this](std::int32_t, const QString& text, const QObject* origin) {
                if (origin != this && isVisible()) RefreshStringViewer(text);
            });
    for (auto cleared : {&TableDocument::entryCleared, &TableDocument::noEntries})
        connect(&document, cleared, this, [this] {
            if (isVisible()) RefreshStringViewer(QString());
        });
    connect(&document, &TableDocument::saveStarting, this, [this](bool keepsCache) {
        m_visibleBeforeSave = isVisible();
        if (!keepsCache) hide();
    });
    connect(&document, &TableDocument::saveFinished, this, [this](SaveResult result) {
        // Nothing was written: what was shown still holds.
        if ((result == SaveResult::Failed || result == SaveResult::Cancelled) && m_visibleBeforeSave) show();
    });
}

void StringViewerWindow::showEntry(std::int32_t strRef)
{
    // Window caption := the table's file name; group caption := "String " + strRef.
    setWindowTitle(m_document.loadedFileName());
    SetCaption(m_stringGroup, QStringLiteral("String ") + QString::number(strRef));
    if (m_document.table().state(strRef) != NoEntry)
        RefreshStringViewer(m_document.textShown() ? m_document.text() : QString());
    if (!m_document.table().CacheFailed) m_entryScrollBar->setEnabled(true);
}

void StringViewerWindow::showLoadFailed()
{
    // No table: no caption may name one.
    setWindowTitle(QStringLiteral("String"));
    SetCaption(m_stringGroup, QStringLiteral("String"));
    m_entryScrollBar->setEnabled(false);
}

void StringViewerWindow::OpenStringViewer()
{
    {
        Flag writing(m_writingText);
        m_findNextButton->setVisible(!m_settings.advancedMode());
        m_textColourList->setCurrentIndex(m_textColourIndex);
        m_backgroundColourList->setCurrentIndex(m_backgroundColourIndex);
        const QFont font = m_textArea->font();
        if (const auto index = ViewerFontIndex(font.family().toStdString(), font.italic())) m_fontList->setCurrentIndex(*index);
        if (const auto index = ViewerFontSizeIndex(font.pointSize())) m_fontSizeList->setCurrentIndex(*index);
    }
    // Typing elsewhere reaches the text area only while it is shown.
    RefreshStringViewer(m_document.text());
    ShowCentred(this);
    raise();
    activateWindow();
}

void StringViewerWindow::textEdited()
{
    if (m_writingText) return;
    const QString text = EditorText(*m_textArea);
    if (m_document.text() != text) m_document.setText(text, this);
}

void StringViewerWindow::goToTypedStrRef()
{
    switch (m_document.GoToStrRef(m_strRefField->text())) {
    case TableDocument::GoOutcome::Shown:
        break;
    case TableDocument::GoOutcome::Refused:
        ReturnFocusTo(m_strRefField);
        break;
    case TableDocument::GoOutcome::NotLeft:
        // The entry being left stays shown with what was typed into it.
        m_strRefField->setText(QString::number(m_document.currentStrRef()));
        break;
    }
}

void StringViewerWindow::scrollBarMoved(int value)
{
    if (m_settingScroll) return;
    m_strRefField->setText(QString::number(value));
    goToTypedStrRef();
}

void StringViewerWindow::showPreviousEntry()
{
    const auto value = ParseInt32(ToUtf8(m_strRefField->text()));
    if (!value || std::int64_t{*value} - 1 < 0) return;
    m_strRefField->setText(QString::number(std::int64_t{*value} - 1));
    goToTypedStrRef();
}

void StringViewerWindow::showNextEntry()
{
    const auto value = ParseInt32(ToUtf8(m_strRefField->text()));
    if (!value || std::int64_t{*value} + 1 >= std::int64_t{m_document.table().EntryCount}) return;
    m_strRefField->setText(QString::number(std::int64_t{*value} + 1));
    goToTypedStrRef();
}

void StringViewerWindow::findNextClicked()
{
    if (m_settings.advancedMode()) {
        m_dialogs.message(BoxKind::Plain, "This function works only if Standard Search is enabled.");
        return;
    }
    emit findNextRequested();
}

void StringViewerWindow::asciiCodesClicked()
{
    // The length below must be the length of the text shown, also when it
    // was typed and not stored yet.
    m_document.FlushJournal();
    const TalkTable& table = m_document.table();
    QString listing;
    if (table.TableLoaded && table.validStrRef(table.CurrentStrRef) && table.EntryTable[table.CurrentStrRef].Length > 0)
        listing = QString::fromLatin1(AsciiCodesListing(FromEditorText(table.Encoding, m_document.text())));
    emit asciiCodesRequested(QStringLiteral("String ") + m_strRefField->text() + QStringLiteral(" (ASCII)"), listing);
}

void StringViewerWindow::setColourListsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{m_textColourLabel, m_textColourList, m_backgroundColourLabel,
                                                            m_backgroundColourList})
        control->setEnabled(enabled);
}

void StringViewerWindow::applyScheme(int textIndex, int backgroundIndex)
{
    m_textColourList->setCurrentIndex(textIndex);
    m_backgroundColourList->setCurrentIndex(backgroundIndex);
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
    Flag writing(m_writingText);
    m_textColourIndex = index;
    QPalette palette = m_textArea->palette();
    palette.setColor(QPalette::Text, ItemColour(m_textArea, index, QPalette::Text));
    m_textArea->setPalette(palette);
}

void StringViewerWindow::backgroundColourChosen(int index)
{
    if (index < 0) return;
    Flag writing(m_writingText);
    m_backgroundColourIndex = index;
    QPalette palette = m_textArea->palette();
    palette.setColor(QPalette::Base, ItemColour(m_textArea, index, QPalette::Base));
    m_textArea->setPalette(palette);
}

void StringViewerWindow::fontChosen(int index)
{
    if (index < 0) return;
    Flag writing(m_writingText);
    const ViewerFont& choice = ViewerFonts[static_cast<std::size_t>(index)];
    QFont font = m_textArea->font();
    font.setFamily(ItemText(choice.family));
    font.setItalic(choice.italic);
    m_textArea->setFont(font);
}

void StringViewerWindow::fontSizeChosen(int index)
{
    if (index < 0) return;
    Flag writing(m_writingText);
    QFont font = m_textArea->font();
    font.setPointSize(ViewerFontSizes[static_cast<std::size_t>(index)]);
    m_textArea->setFont(font);
}

void StringViewerWindow::RefreshStringViewer(const QString& text)
{
    if (EditorText(*m_textArea) == text) return;
    Flag writing(m_writingText);
    m_textArea->setPlainText(text);
}

void StringViewerWindow::setScrollRange(std::uint32_t count)
{
    m_settingScroll = true;
    m_entryScrollBar->setRange(0, static_cast<int>(count == 0 ? 0 : count - 1));
    // A click beside the thumb always moves, also in tables of fewer than 100 entries.
    m_entryScrollBar->setPageStep(static_cast<int>(std::max<std::int64_t>(1, RoundDiv(count, 200))));
    m_settingScroll = false;
}

void StringViewerWindow::setScrollPosition(std::int32_t strRef)
{
    m_settingScroll = true;
    m_entryScrollBar->setValue(strRef);
    m_settingScroll = false;
}

void StringViewerWindow::mirrorStrRefField(const QString& text)
{
    if (m_strRefField->text() != text) m_strRefField->setText(text);
}

}  // namespace lexicarta
