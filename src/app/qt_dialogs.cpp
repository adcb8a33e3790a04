#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "app/text_codec.h"

namespace lexicarta {
namespace {

QString Caption(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Plain: return QStringLiteral("Lexicarta");
    case BoxKind::Warning: return QStringLiteral("Warning");
    case BoxKind::Error: return QStringLiteral("Error");
    case BoxKind::Information: return QStringLiteral("Information");
    case BoxKind::Question: return QStringLiteral("Confirm");
    }
    return {};
}

QMessageBox::Icon Icon(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Plain: return QMessageBox::NoIcon;
    case BoxKind::Warning: return QMessageBox::Warning;
    case BoxKind::Error: return QMessageBox::Critical;
    case BoxKind::Information: return QMessageBox::Information;
    case BoxKind::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

void QtDialogs::message(BoxKind kind, const std::string& text)
{
    QMessageBox box(Icon(kind), Caption(kind), FromUtf8(text), QMessageBox::Ok, Owner());
    box.exec();
}

Answer QtDialogs::confirm(BoxKind kind, Buttons buttons, const std::string& text)
{
    QMessageBox::StandardButtons standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) standard |= QMessageBox::Cancel;
    if (buttons == Buttons::YesCancel) standard = QMessageBox::Yes | QMessageBox::Cancel;
    QMessageBox box(Icon(kind), Caption(kind), FromUtf8(text), standard, Owner());
    box.setEscapeButton(buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

QString QtDialogs::QtFilter(const std::string& filter)
{
    const QString text = FromUtf8(filter);
    const auto bar = text.indexOf(QChar('|'));
    if (bar < 0) return text;
    QStringList patterns;
    for (const QString& pattern : text.mid(bar + 1).split(QChar(';'), Qt::SkipEmptyParts)) {
        patterns << pattern.toLower();
        if (pattern.toLower() != pattern.toUpper()) patterns << pattern.toUpper();
    }
    patterns.removeDuplicates();
    return text.left(bar) + QStringLiteral(" (") + patterns.join(QChar(' ')) + QChar(')');
}

namespace {

std::optional<std::string> RunFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(Owner(), FromUtf8(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilter(QtDialogs::QtFilter(request.filter));
    dialog.setDefaultSuffix(FromUtf8(request.defaultExtension));
    if (!request.fileName.empty()) dialog.selectFile(FromUtf8(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToUtf8(dialog.selectedFiles().constFirst());
}

}  // namespace

std::optional<std::string> QtDialogs::openFile(const FileDialogRequest& request)
{
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogRequest& request)
{
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

}  // namespace lexicarta
