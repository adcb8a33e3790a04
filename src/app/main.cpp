#include <QApplication>

#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarta"));

    lexicarta::QtDialogs dialogs;
    lexicarta::LexicartaApplication lexicarta(dialogs, lexicarta::FindProgramDirectory(),
                                              lexicarta::ExecutableDirectory());
    lexicarta.start();
    return QApplication::exec();
}
