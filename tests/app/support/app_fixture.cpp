#include "app_fixture.h"

#include <QAbstractButton>
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
    main().openButton->click();
}

void AppFixture::enterStrRef(const QString& text)
{
    QLineEdit* field = main().strRefField;
    field->setFocus();
    field->selectAll();
    field->setText(text);
    main().strRefFieldLeft();
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
    m_connection = QObject::connect(f.windows().progress->statusBar, &QStatusBar::messageChanged, [this] { look(); });
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
