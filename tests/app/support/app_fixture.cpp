#include "app_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

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
    main().Button2->click();
}

void AppFixture::enterStrRef(const QString& text)
{
    QLineEdit* field = main().Edit1;
    field->setFocus();
    field->selectAll();
    field->setText(text);
    main().Edit2Exit();
}

void SaveShot(QWidget* window, const QString& name)
{
    const QByteArray directory = qgetenv("LEXICARTA_SHOTS");
    if (directory.isEmpty()) return;
    window->grab().save(QString::fromLocal8Bit(directory) + QChar('/') + name + QStringLiteral(".png"));
}

}  // namespace lexicarta::testing
