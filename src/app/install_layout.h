#pragma once
// Where the program's own files are: beside the executable in a build or an
// unpacked copy, or in the freedesktop layout of an install
// (PREFIX/bin/lexicarta, PREFIX/share/doc/lexicarta/readme.txt).

#include <string>

namespace lexicarta {

struct InstallLayout {
    // Where "readme.txt" is looked for, with a trailing '/'.
    std::string readmeDirectory;
    // True for an installed copy: its executable's directory is no place for
    // temporary files and the configuration, even where it is writable.
    bool installed = false;
};

// executableDirectory ends with '/'. The readme beside the executable wins;
// otherwise the installed documentation directory is used when the readme is
// there. Without a readme anywhere, the executable's directory is kept, so
// that "See readme" tells the user it is missing.
InstallLayout FindInstallLayout(const std::string& executableDirectory);

// The directory of the running executable with a trailing '/', found without
// the toolkit (for the help printed before it starts).
std::string RunningExecutableDirectory();

}  // namespace lexicarta
