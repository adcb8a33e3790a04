#include "cli/private_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/cli_error.h"

namespace lexicarta::cli {
namespace {

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The directory the handler removes; empty when none is held.
char g_directory[4096] = {};

extern "C" void RemoveAndDie(int signal)
{
    if (g_directory[0] != '\0') RemoveFlatDirectory(g_directory);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

sigset_t HandledSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : HandledSignals) sigaddset(&set, signal);
    return set;
}

}  // namespace

void RemoveFlatDirectory(const char* path)
{
    // getdents64 and unlinkat rather than opendir/readdir: nothing here may
    // allocate, since it also runs inside a signal handler.
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) char buffer[8192];
        for (bool removedAny = true; removedAny;) {
            removedAny = false;
            long got = 0;
            while ((got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0) {
                for (long at = 0; at < got;) {
                    struct Entry {
                        std::uint64_t inode;
                        std::int64_t next;
                        unsigned short length;
                        unsigned char type;
                        char name[1];
                    };
                    const auto* entry = reinterpret_cast<const Entry*>(buffer + at);
                    const char* name = entry->name;
                    const bool dots = name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
                    if (!dots && ::unlinkat(fd, name, 0) == 0) removedAny = true;
                    at += entry->length;
                }
            }
            // Names were removed while reading: look again until a pass removes nothing.
            ::lseek(fd, 0, SEEK_SET);
        }
        ::close(fd);
    }
    ::rmdir(path);
}

PrivateDirectory::PrivateDirectory()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base && *base ? std::string(base) : std::string("/tmp"));
    if (pattern.back() != '/') pattern += '/';
    pattern += "lexicarta-cli-XXXXXX";
    if (pattern.size() + 1 >= sizeof g_directory || !::mkdtemp(pattern.data()))
        throw CliError("cannot create a temporary directory in " + pattern.substr(0, pattern.rfind('/')) + ": " +
                       std::strerror(errno));
    m_path = pattern + "/";
    std::memcpy(g_directory, pattern.c_str(), pattern.size() + 1);
    struct sigaction action {};
    action.sa_handler = RemoveAndDie;
    action.sa_mask = HandledSet();
    for (const int signal : HandledSignals) ::sigaction(signal, &action, nullptr);
}

PrivateDirectory::~PrivateDirectory()
{
    const sigset_t set = HandledSet();
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &set, &previous);
    RemoveFlatDirectory(g_directory);
    g_directory[0] = '\0';
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

SignalsHeldBack::SignalsHeldBack()
{
    const sigset_t set = HandledSet();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

SignalsHeldBack::~SignalsHeldBack()
{
    const sigset_t set = HandledSet();
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace lexicarta::cli
