#pragma once
// What every fuzz target shares: a private scratch folder, silent dialog and
// progress ports, and a way to stop on a broken promise.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "core/dialogs.h"
#include "core/progress.h"

namespace lexicarta::fuzz {

// Fails the run (libFuzzer saves the input) with a line saying what broke.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// A folder of this process, in memory where the system offers one; removed
// with its files at exit.
inline const std::string& ScratchFolder()
{
    static const std::string path = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/lexicarta-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data())) std::abort();
        std::string folder = pattern + "/";
        static std::string removeAtExit = "rm -rf '" + pattern + "'";
        std::atexit([] { if (std::system(removeAtExit.c_str()) != 0) {} });
        return folder;
    }();
    return path;
}

class SilentDialogs : public Dialogs {
public:
    void message(BoxKind, const std::string&) override { ++messages; }
    Answer confirm(BoxKind, Buttons, const std::string&) override { return Answer::Yes; }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    int messages = 0;
};

using SilentProgress = lexicarta::SilentProgress;

}  // namespace lexicarta::fuzz
