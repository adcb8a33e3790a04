#include "app/install_layout.h"

#include <filesystem>

#include "core/file_io.h"

// Where install puts the readme, relative to the executable's directory (or
// absolute); set by the build from its install directories.
#ifndef LEXICARTA_DOC_FROM_BIN
#define LEXICARTA_DOC_FROM_BIN "../share/doc/lexicarta"
#endif

namespace lexicarta {

InstallLayout FindInstallLayout(const std::string& executableDirectory)
{
    InstallLayout layout{executableDirectory, false};
    if (FileExists(executableDirectory + "readme.txt")) return layout;
    const std::filesystem::path docs(LEXICARTA_DOC_FROM_BIN);
    std::string installed =
        (docs.is_absolute() ? docs : std::filesystem::path(executableDirectory) / docs).lexically_normal().string();
    if (installed.empty() || installed.back() != '/') installed += '/';
    if (FileExists(installed + "readme.txt")) layout = {installed, true};
    return layout;
}

std::string RunningExecutableDirectory()
{
    std::error_code unknown;
    std::string directory = std::filesystem::read_symlink("/proc/self/exe", unknown).parent_path().string();
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

}  // namespace lexicarta
