#include <QApplication>
#include <QIcon>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/install_layout.h"
#include "app/lexicarta_application.h"
#include "app/qt_dialogs.h"

namespace {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/lexicarta.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace

int main(int argc, char* argv[])
{
    // The command line is read before the toolkit starts: --help, --version
    // and a bad command line need no display and show no window.
    std::error_code noDirectory;
    const lexicarta::CommandLine line =
        lexicarta::ParseCommandLine({argv + 1, argv + argc}, std::filesystem::current_path(noDirectory).string());
    if (line.action == lexicarta::CommandLine::Action::Help) {
        const auto layout = lexicarta::FindInstallLayout(lexicarta::RunningExecutableDirectory());
        std::cout << lexicarta::HelpText(layout.readmeDirectory + "readme.txt");
        return 0;
    }
    if (line.action == lexicarta::CommandLine::Action::Version) {
        std::cout << lexicarta::VersionText();
        return 0;
    }
    if (line.action == lexicarta::CommandLine::Action::Error) {
        std::cerr << "lexicarta: " << line.error << "\n"
                  << lexicarta::UsageLine() << "\nTry 'lexicarta --help' for more information.\n";
        return 2;
    }

    // The toolkit takes its own options (-platform, -style...) out of argv.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarta"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lexicarta"));
    QApplication::setWindowIcon(ProgramIcon());

    lexicarta::QtDialogs dialogs;
    const lexicarta::InstallLayout layout = lexicarta::FindInstallLayout(lexicarta::ExecutableDirectory());
    lexicarta::LexicartaApplication lexicarta(dialogs, lexicarta::FindProgramDirectory(layout.installed),
                                              layout.readmeDirectory);
    lexicarta.start(line.file, line.female, line.reference);
    return QApplication::exec();
}
