#include "app_fixture.h"

#include <QAbstractButton>
#include <QFrame>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <vector>

#include "app/progress_window.h"

namespace lexicarta::testing {

AppFixture::AppFixture() { app = std::make_unique<LexicartaApplication>(dialogs, dir.path()); }

AppFixture::~AppFixture() { app.reset(); }

std::string AppFixture::writeTable(const std::string& name, const tlkgen::GeneratorOptions& options)
{
    return writeBytes(name, tlkgen::GenerateTalkTable(options).bytes);
}

std::string AppFixture::writeBytes(const std::string& name, const std::string& bytes)
{
    dir.write(name, bytes);
    return dir.file(name);
}

void AppFixture::openThroughDialog(const std::string& path)
{
    dialogs.openAnswers.push_back(path);
    Ui(main()).openButton->click();
}

void AppFixture::enterStrRef(const QString& text)
{
    QLineEdit* field = Ui(main()).strRefField;
    field->setFocus();
    field->selectAll();
    field->setText(text);
    main().strRefFieldLeft();
}

MainUi::MainUi(QWidget* window)
    : tableGroup(Find<QGroupBox>(window, "GroupBox1")),
      topPanel(Find<QFrame>(window, "Panel1")),
      openButton(Find<QPushButton>(window, "Button2")),
      searchButton(Find<QPushButton>(window, "Button3")),
      statisticsButton(Find<QPushButton>(window, "Button5")),
      exportButton(Find<QPushButton>(window, "Button8")),
      settingsGroup(Find<QGroupBox>(window, "GroupBox2")),
      OpenSet(Find<QWidget>(window, "OpenSet")),
      openLastButton(Find<QPushButton>(window, "Button12")),
      autoOpenCheck(Find<QCheckBox>(window, "CheckBox9")),
      SearchSet(Find<QWidget>(window, "SearchSet")),
      standardSearchRadio(Find<QRadioButton>(window, "RadioButton5")),
      advancedSearchRadio(Find<QRadioButton>(window, "RadioButton6")),
      StatisticsSet(Find<QWidget>(window, "StatisticsSet")),
      technicalStatisticsCheck(Find<QCheckBox>(window, "CheckBox1")),
      wordStatisticsCheck(Find<QCheckBox>(window, "CheckBox6")),
      ExportSet(Find<QWidget>(window, "ExportSet")),
      rawExportRadio(Find<QRadioButton>(window, "RadioButton3")),
      guidedExportRadio(Find<QRadioButton>(window, "RadioButton4")),
      numberStringsCheck(Find<QCheckBox>(window, "CheckBox2")),
      emptyStringsCheck(Find<QCheckBox>(window, "CheckBox3")),
      spacelinesCheck(Find<QCheckBox>(window, "CheckBox4")),
      standardSearchGroup(Find<QGroupBox>(window, "GroupBox4")),
      textToFindLabel(Find<QLabel>(window, "Label12")),
      searchTermField(Find<QLineEdit>(window, "eString")),
      findNextButton(Find<QPushButton>(window, "btnFind")),
      newSearchButton(Find<QPushButton>(window, "Button10")),
      currentPositionLabel(Find<QLabel>(window, "Label16")),
      currentPositionValue(Find<QLabel>(window, "Label26")),
      highlightMatchesCheck(Find<QCheckBox>(window, "CheckBox5")),
      caseSensitiveCheck(Find<QCheckBox>(window, "cbCase")),
      wholeWordsCheck(Find<QCheckBox>(window, "CheckBox8")),
      searchMethodGroup(Find<QGroupBox>(window, "GroupBox3")),
      lengthOrientedRadio(Find<QRadioButton>(window, "RadioButton7")),
      absoluteRadio(Find<QRadioButton>(window, "RadioButton8")),
      wholeTableRadio(Find<QRadioButton>(window, "RadioButton1")),
      fromStringRadio(Find<QRadioButton>(window, "RadioButton2")),
      searchStartField(Find<QLineEdit>(window, "Edit2")),
      advancedSearchButton(Find<QPushButton>(window, "Button11")),
      originalOnlyNote(Find<QLabel>(window, "Label4")),
      saveHintNote(Find<QLabel>(window, "Label5")),
      stringGroup(Find<QGroupBox>(window, "GroupBox5")),
      strRefSetNote(Find<QLabel>(window, "Label2")),
      strRefSetHint(Find<QLabel>(window, "Label3")),
      specificStrRefsCheck(Find<QCheckBox>(window, "CheckBox7")),
      stringEditor(Find<QPlainTextEdit>(window, "Memo2")),
      preprocessingNote(Find<QPlainTextEdit>(window, "Memo1")),
      viewInNewWindowButton(Find<QPushButton>(window, "Button4")),
      taggedStringCheck(Find<QCheckBox>(window, "CheckBox10")),
      strRefEntryLabel(Find<QLabel>(window, "Label6")),
      strRefField(Find<QLineEdit>(window, "Edit1")),
      lastStrRefLabel(Find<QLabel>(window, "Label8")),
      previousEntryButton(Find<QPushButton>(window, "Button6")),
      nextEntryButton(Find<QPushButton>(window, "Button7")),
      newEntryButton(Find<QPushButton>(window, "Button15")),
      refreshButton(Find<QPushButton>(window, "Button9")),
      positionLabel(Find<QLabel>(window, "Label1")),
      positionValue(Find<QLabel>(window, "Label24")),
      lengthLabel(Find<QLabel>(window, "Label13")),
      lengthValue(Find<QLabel>(window, "Label25")),
      typeLabel(Find<QLabel>(window, "Label7")),
      typeValue(Find<QLabel>(window, "Label20")),
      soundLabel(Find<QLabel>(window, "Label9")),
      soundField(Find<QLineEdit>(window, "Edit3")),
      volumeVarianceLabel(Find<QLabel>(window, "Label10")),
      volumeVarianceValue(Find<QLabel>(window, "Label22")),
      pitchVarianceLabel(Find<QLabel>(window, "Label11")),
      pitchVarianceValue(Find<QLabel>(window, "Label23")),
      bottomPanel(Find<QFrame>(window, "Panel2")),
      readmeButton(Find<QPushButton>(window, "Button13")),
      lexiaideButton(Find<QPushButton>(window, "Button14")),
      exitButton(Find<QPushButton>(window, "Button1"))
{
}

LexiaideUi::LexiaideUi(QWidget* w)
    : entryGroup(Find<QGroupBox>(w, "GroupBox1")),
      statusValue(Find<QLabel>(w, "Label2")),
      revertButton(Find<QPushButton>(w, "Button1")),
      saveButton(Find<QPushButton>(w, "Button2")),
      undoAllButton(Find<QPushButton>(w, "Button3")),
      truncateButton(Find<QPushButton>(w, "Button4")),
      saveToDifferentFileCheck(Find<QCheckBox>(w, "CheckBox3")),
      makeBackupCheck(Find<QCheckBox>(w, "CheckBox1")),
      stayOnTopCheck(Find<QCheckBox>(w, "CheckBox2")),
      showAfterLoadCheck(Find<QCheckBox>(w, "CheckBox4"))
{
}

QStringList ClippedCaptions(QWidget* window)
{
    QStringList clipped;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window)) continue;
        const QFontMetrics metrics(control->font());
        bool fits = true;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (label->wordWrap())
                fits = metrics.boundingRect(label->rect(), Qt::TextWordWrap, label->text()).height() <= label->height();
            else
                fits = metrics.horizontalAdvance(label->text()) <= label->width();
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            fits = metrics.horizontalAdvance(button->text()) + 8 <= button->width();
        } else if (auto* box = qobject_cast<QAbstractButton*>(control)) {
            const int indicator = 20;
            const QRect area(0, 0, box->width() - indicator, 1000);
            fits = metrics.boundingRect(area, Qt::TextWordWrap, box->text()).height() <= box->height() + 2 &&
                   metrics.boundingRect(area, Qt::TextWordWrap, box->text()).width() <= area.width();
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            fits = metrics.horizontalAdvance(group->title()) + 12 <= group->width();
        }
        if (!fits) clipped << control->objectName();
    }
    return clipped;
}

namespace {

std::vector<QWidget*> LockableWindows(const Windows& windows)
{
    std::vector<QWidget*> all{windows.main};
    for (QWidget* window : SecondaryWindows(windows))
        if (window != windows.progress) all.push_back(window);
    return all;
}

}  // namespace

LockWatch::LockWatch(AppFixture& f) : m_f(f)
{
    m_connection = QObject::connect(Find<QStatusBar>(f.windows().progress, "StatusBar1"), &QStatusBar::messageChanged, [this] { look(); });
    f.dialogs.onBox = [this](const ShownBox&) { look(); };
}

LockWatch::~LockWatch()
{
    QObject::disconnect(m_connection);
    m_f.dialogs.onBox = nullptr;
}

void LockWatch::look()
{
    ++looks;
    for (QWidget* window : LockableWindows(m_f.windows()))
        if (window->isEnabled() && !enabledDuringRun.contains(window->objectName())) enabledDuringRun << window->objectName();
}

bool LockWatch::allEnabled() const
{
    const auto all = LockableWindows(m_f.windows());
    return std::all_of(all.begin(), all.end(), [](QWidget* window) { return window->isEnabled(); });
}

void SaveShot(QWidget* window, const QString& name)
{
    const QByteArray directory = qgetenv("LEXICARTA_SHOTS");
    if (directory.isEmpty()) return;
    window->grab().save(QString::fromLocal8Bit(directory) + QChar('/') + name + QStringLiteral(".png"));
}

}  // namespace lexicarta::testing
