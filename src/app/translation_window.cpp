#include "app/translation_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/translation_document.h"
#include "translation/reference_table.h"
#include "translation/translation_index.h"

namespace lexicarta {
namespace {

const char* const CheckCaptions[CheckKindCount] = {
    "Tokens", "Lower-case token at a sentence start", "Flags that hide content", "Length",
    "Leftover markers", "Spelling", "Female text"};
const char* const CheckNames[CheckKindCount] = {"checkTokens", "checkLowercaseToken", "checkFlags", "checkLength",
                                                "checkLeftover", "checkSpelling", "checkFemale"};

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

TranslationWindow::TranslationWindow(TranslationDocument& translation, QWidget* parent)
    : QWidget(parent, Qt::Window), m_translation(translation)
{
    setObjectName(QStringLiteral("TranslationWindow"));
    setWindowTitle(QStringLiteral("Translation"));
    QFont font = QApplication::font();
    font.setPointSize(8);
    setFont(font);
    auto* layout = new QVBoxLayout(this);
    buildReferenceGroup();
    buildEntryGroup();
    buildChecksGroup();
    auto* bottom = new QHBoxLayout;
    m_findingsListButton = Button(this, "findingsListButton", QStringLiteral("Findings list..."));
    m_closeButton = Button(this, "closeButton", QStringLiteral("Close"));
    bottom->addWidget(m_findingsListButton);
    bottom->addStretch();
    bottom->addWidget(m_closeButton);
    for (QWidget* group : findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly)) layout->addWidget(group);
    layout->addLayout(bottom);
    resize(sizeHint().expandedTo(QSize(460, 0)));

    connect(m_copyButton, &QPushButton::clicked, &translation, &TranslationDocument::copyReferenceText);
    const QPushButton* moves[] = {m_previousUntranslatedButton, m_nextUntranslatedButton, m_previousFindingButton,
                                  m_nextFindingButton};
    for (int i = 0; i < 4; ++i) connect(moves[i], &QPushButton::clicked, this, [this, i] { makeMove(i); });
    connect(m_findingsListButton, &QPushButton::clicked, this, &TranslationWindow::findingsListRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    TableDocument& document = translation.document();
    connect(&document, &TableDocument::entryShown, this, &TranslationWindow::showCurrent);
    connect(&document, &TableDocument::entryCleared, this, &TranslationWindow::showCurrent);
    connect(&translation, &TranslationDocument::entryUpdated, this, [this](std::int32_t strRef) {
        if (strRef == m_translation.document().currentStrRef()) showCurrent();
        showCounts();
    });
    connect(&translation, &TranslationDocument::indexRebuilt, this, &TranslationWindow::showCurrent);
    connect(&translation, &TranslationDocument::referenceChanged, this, &TranslationWindow::showCurrent);
    connect(&translation, &TranslationDocument::spellingChanged, this, &TranslationWindow::showSpelling);
    showSpelling();
    showCurrent();
}

TranslationWindow::~TranslationWindow() = default;

void TranslationWindow::buildReferenceGroup()
{
    m_referenceGroup = new QGroupBox(QStringLiteral("Reference text"), this);
    m_referenceGroup->setObjectName(QStringLiteral("referenceGroup"));
    auto* grid = new QGridLayout(m_referenceGroup);
    m_referenceState = Label(m_referenceGroup, "referenceState", QString());
    m_referenceState->setWordWrap(true);
    m_referenceState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_referenceText = new QPlainTextEdit(m_referenceGroup);
    m_referenceText->setObjectName(QStringLiteral("referenceText"));
    m_referenceText->setAccessibleName(QStringLiteral("Reference text"));
    m_referenceText->setReadOnly(true);
    m_referenceText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_fontList = new QFontComboBox(m_referenceGroup);
    m_fontList->setObjectName(QStringLiteral("referenceFont"));
    m_fontList->setAccessibleName(QStringLiteral("Font"));
    m_fontList->setCurrentFont(m_referenceText->font());
    m_fontSizeList = new QComboBox(m_referenceGroup);
    m_fontSizeList->setObjectName(QStringLiteral("referenceFontSize"));
    m_fontSizeList->setAccessibleName(QStringLiteral("Size"));
    for (const int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24}) m_fontSizeList->addItem(QString::number(size));
    m_fontSizeList->setCurrentText(QStringLiteral("10"));
    auto* encodingLabel = Label(m_referenceGroup, "referenceEncodingLabel", QStringLiteral("Read as"));
    m_referenceEncodingList = new QComboBox(m_referenceGroup);
    m_referenceEncodingList->setObjectName(QStringLiteral("referenceEncoding"));
    m_referenceEncodingList->setAccessibleName(QStringLiteral("Read as"));
    encodingLabel->setBuddy(m_referenceEncodingList);
    for (const TextEncoding encoding : AllTextEncodings) {
        const std::string_view name = EncodingName(encoding);
        m_referenceEncodingList->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                                         static_cast<int>(encoding));
    }
    connect(m_referenceEncodingList, &QComboBox::activated, this, [this](int index) {
        m_translation.chooseReferenceEncoding(static_cast<TextEncoding>(m_referenceEncodingList->itemData(index).toInt()));
    });
    auto* fontLabel = Label(m_referenceGroup, "referenceFontLabel", QStringLiteral("Font"));
    fontLabel->setBuddy(m_fontList);
    auto* sizeLabel = Label(m_referenceGroup, "referenceFontSizeLabel", QStringLiteral("Size"));
    sizeLabel->setBuddy(m_fontSizeList);
    grid->addWidget(m_referenceState, 0, 0, 1, 2);
    grid->addWidget(encodingLabel, 0, 2);
    grid->addWidget(m_referenceEncodingList, 0, 3);
    grid->addWidget(m_referenceText, 1, 0, 1, 4);
    grid->addWidget(fontLabel, 2, 0);
    grid->addWidget(m_fontList, 2, 1);
    grid->addWidget(sizeLabel, 2, 2);
    grid->addWidget(m_fontSizeList, 2, 3);
    grid->setColumnStretch(1, 1);
    connect(m_fontList, &QFontComboBox::currentFontChanged, this, &TranslationWindow::fontChosen);
    connect(m_fontSizeList, &QComboBox::currentTextChanged, this, &TranslationWindow::fontChosen);
    fontChosen();
}

void TranslationWindow::buildEntryGroup()
{
    auto* group = new QGroupBox(QStringLiteral("This entry"), this);
    group->setObjectName(QStringLiteral("entryGroup"));
    auto* grid = new QGridLayout(group);
    auto* statusLabel = Label(group, "statusLabel", QStringLiteral("Status:"));
    m_statusValue = Label(group, "statusValue", QString());
    QFont bold = m_statusValue->font();
    bold.setBold(true);
    m_statusValue->setFont(bold);
    m_findingsText = new QPlainTextEdit(group);
    m_findingsText->setObjectName(QStringLiteral("entryFindings"));
    m_findingsText->setAccessibleName(QStringLiteral("Findings"));
    m_findingsText->setReadOnly(true);
    m_findingsText->setMinimumHeight(64);
    m_findingsText->setMaximumHeight(96);
    m_copyButton = Button(group, "copyReferenceButton", QStringLiteral("Copy reference text"));
    m_previousUntranslatedButton =
        Button(group, "previousUntranslatedButton", QStringLiteral("Previous untranslated"), QStringLiteral("Keyboard hotkey: F7"));
    m_nextUntranslatedButton =
        Button(group, "nextUntranslatedButton", QStringLiteral("Next untranslated"), QStringLiteral("Keyboard hotkey: F8"));
    m_previousFindingButton = Button(group, "previousFindingButton", QStringLiteral("Previous finding"),
                                     QStringLiteral("Keyboard hotkey: Shift+F7"));
    m_nextFindingButton =
        Button(group, "nextFindingButton", QStringLiteral("Next finding"), QStringLiteral("Keyboard hotkey: Shift+F8"));
    m_countsValue = Label(group, "statusCounts", QString());
    m_countsValue->setWordWrap(true);
    grid->addWidget(statusLabel, 0, 0);
    grid->addWidget(m_statusValue, 0, 1, 1, 3);
    grid->addWidget(m_findingsText, 1, 0, 1, 4);
    grid->addWidget(m_copyButton, 2, 0, 1, 2);
    grid->addWidget(m_previousUntranslatedButton, 3, 0, 1, 2);
    grid->addWidget(m_nextUntranslatedButton, 3, 2, 1, 2);
    grid->addWidget(m_previousFindingButton, 4, 0, 1, 2);
    grid->addWidget(m_nextFindingButton, 4, 2, 1, 2);
    grid->addWidget(m_countsValue, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void TranslationWindow::buildChecksGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Checks"), this);
    group->setObjectName(QStringLiteral("checksGroup"));
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < CheckKindCount; ++i) {
        const QString caption = QString::fromLatin1(CheckCaptions[i]);
        auto* box = new QCheckBox(caption, group);
        box->setObjectName(QString::fromLatin1(CheckNames[i]));
        box->setAccessibleName(caption);
        grid->addWidget(box, i / 2, i % 2);
        const auto kind = static_cast<CheckKind>(i);
        box->setChecked(m_translation.checkOptions().enabled.has(kind));
        connect(box, &QCheckBox::toggled, this, [this, kind](bool on) { m_translation.setCheckEnabled(kind, on); });
        m_checkBoxes.push_back(box);
    }
    const int row = (CheckKindCount + 1) / 2;
    auto* languageLabel = Label(group, "spellingLanguageLabel", QStringLiteral("Spelling language"));
    m_languageList = new QComboBox(group);
    m_languageList->setObjectName(QStringLiteral("spellingLanguage"));
    m_languageList->setAccessibleName(QStringLiteral("Spelling language"));
    languageLabel->setBuddy(m_languageList);
    m_languageList->addItem(QStringLiteral("None"), QString());
    for (const QString& language : m_translation.dictionaryLanguages()) m_languageList->addItem(language, language);
    m_spellingState = Label(group, "spellingState", QString());
    m_spellingState->setWordWrap(true);
    grid->addWidget(languageLabel, row, 0);
    grid->addWidget(m_languageList, row, 1);
    grid->addWidget(m_spellingState, row + 1, 0, 1, 2);
    connect(m_languageList, &QComboBox::activated, this,
            [this](int index) { m_translation.chooseSpellingLanguage(m_languageList->itemData(index).toString()); });
}

void TranslationWindow::showWindow()
{
    showCurrent();
    show();
    raise();
    activateWindow();
}

void TranslationWindow::makeMove(int move)
{
    if (!m_translation.index()) return;
    if (const auto target = m_translation.moveTarget(static_cast<TranslationDocument::Move>(move)))
        emit entryRequested(static_cast<std::int32_t>(*target));
}

void TranslationWindow::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_F7 || key == Qt::Key_F8) {
        makeMove((key == Qt::Key_F8 ? 1 : 0) + (event->modifiers().testFlag(Qt::ShiftModifier) ? 2 : 0));
        return;
    }
    if (key == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TranslationWindow::showReferenceState()
{
    const ReferenceTable* reference = m_translation.reference();
    QString state;
    if (reference) {
        state = QStringLiteral("Reference: %1 (%2 entries)").arg(m_translation.referenceFileName()).arg(reference->entryCount());
    } else if (!m_translation.referenceMessage().isEmpty()) {
        state = QStringLiteral("The reference table could not be loaded: ") + m_translation.referenceMessage();
    } else {
        state = QStringLiteral("No reference table: choose one with \"Reference...\" in the main window.");
    }
    m_referenceEncodingList->setEnabled(reference != nullptr);
    if (reference) {
        const QSignalBlocker blocker(m_referenceEncodingList);
        m_referenceEncodingList->setCurrentIndex(m_referenceEncodingList->findData(static_cast<int>(reference->encoding())));
    }
    m_referenceState->setText(state);
    m_referenceState->setAccessibleName(state);
}

void TranslationWindow::showCurrent()
{
    showReferenceState();
    const TableDocument& document = m_translation.document();
    const std::int32_t strRef = document.textShown() ? document.currentStrRef() : -1;
    const bool indexed = m_translation.index() != nullptr;
    const QString caption = strRef >= 0 ? QStringLiteral("Reference text of string %1").arg(strRef) : QStringLiteral("Reference text");
    m_referenceGroup->setTitle(caption);
    m_referenceGroup->setAccessibleName(caption);
    const QString reference = strRef >= 0 ? m_translation.referenceText(strRef) : QString();
    if (m_referenceText->toPlainText() != reference) m_referenceText->setPlainText(reference);
    const QString status = strRef >= 0 ? m_translation.statusText(strRef) : QString();
    m_statusValue->setText(status);
    m_statusValue->setAccessibleName(QStringLiteral("Status: ") + status);
    QString findings;
    if (strRef >= 0)
        for (const Finding& finding : m_translation.findings(strRef)) {
            const std::string_view kind = CheckKindName(finding.kind);
            findings += QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())) + QStringLiteral(": ") +
                        FromUtf8(finding.detail) + QLatin1Char('\n');
        }
    if (indexed && strRef >= 0 && findings.isEmpty()) findings = QStringLiteral("No findings.");
    m_findingsText->setPlainText(findings.trimmed());
    m_copyButton->setEnabled(indexed && strRef >= 0);
    for (QPushButton* button : {m_previousUntranslatedButton, m_nextUntranslatedButton, m_previousFindingButton,
                                m_nextFindingButton})
        button->setEnabled(indexed);
    for (QCheckBox* box : m_checkBoxes) box->setEnabled(indexed);
    if (m_checkBoxes.size() > static_cast<std::size_t>(CheckKind::Spelling))
        m_checkBoxes[static_cast<int>(CheckKind::Spelling)]->setEnabled(indexed && m_translation.spelling());
    if (m_checkBoxes.size() > static_cast<std::size_t>(CheckKind::Female))
        m_checkBoxes[static_cast<int>(CheckKind::Female)]->setEnabled(indexed && m_translation.index()->hasFemaleTable());
    for (int i = 0; i < static_cast<int>(m_checkBoxes.size()); ++i) {
        const QSignalBlocker blocker(m_checkBoxes[i]);
        m_checkBoxes[i]->setChecked(m_translation.checkOptions().enabled.has(static_cast<CheckKind>(i)));
    }
    showCounts();
}

void TranslationWindow::showCounts()
{
    const TranslationIndex* index = m_translation.index();
    if (!index) {
        m_countsValue->clear();
        return;
    }
    const QString counts = QStringLiteral("Translated: %1   Untranslated: %2   Missing: %3   Only here: %4   Empty: %5")
                               .arg(index->count(EntryStatus::Translated))
                               .arg(index->count(EntryStatus::Untranslated))
                               .arg(index->count(EntryStatus::Missing))
                               .arg(index->count(EntryStatus::OnlyHere))
                               .arg(index->count(EntryStatus::Empty));
    m_countsValue->setText(counts);
    m_countsValue->setAccessibleName(counts);
}

void TranslationWindow::showSpelling()
{
    const QSignalBlocker blocker(m_languageList);
    const QString language = m_translation.spellingLanguage();
    int index = m_languageList->findData(language);
    if (index < 0 && !language.isEmpty()) {
        m_languageList->addItem(language, language);
        index = m_languageList->count() - 1;
    }
    m_languageList->setCurrentIndex(std::max(index, 0));
    m_spellingState->setText(m_translation.spellingMessage());
    m_spellingState->setVisible(!m_translation.spellingMessage().isEmpty());
    showCurrent();
}

void TranslationWindow::fontChosen()
{
    QFont font = m_fontList->currentFont();
    font.setPointSize(m_fontSizeList->currentText().toInt());
    m_referenceText->setFont(font);
}

}  // namespace lexicarta
