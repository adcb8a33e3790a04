#include "cli/private_directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_error.h"
#include "core/abandoned_files.h"

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

constexpr const char* Prefix = "lexicarta-cli";

// The folders of runs that were killed (their process is gone and nobody
// holds their lock), among the user's own in base.
void RemoveAbandonedDirectories(const std::string& base)
{
    DIR* folder = ::opendir(base.c_str());
    if (!folder) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.rfind(Prefix, 0) != 0 || !ProcessIsGone(OwnerOfTail(name.substr(std::strlen(Prefix))))) continue;
        struct stat st {};
        if (::lstat((base + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
        const int fd = ::open((base + name).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) abandoned.push_back(base + name);
        ::close(fd);
    }
    ::closedir(folder);
    for (const std::string& path : abandoned) RemoveFlatDirectory(path.c_str());
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
    RemoveAbandonedDirectories(pattern);
    // Named with the process id and locked while the run lives, so that a
    // later run can tell it from a killed run's.
    pattern += Prefix + OwnerTag() + "XXXXXX";
    if (pattern.size() + 1 >= sizeof g_directory || !::mkdtemp(pattern.data()))
        throw CliError("cannot create a temporary directory in " + pattern.substr(0, pattern.rfind('/')) + ": " +
                       std::strerror(errno));
    m_lock = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_lock >= 0) ::flock(m_lock, LOCK_EX | LOCK_NB);
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
    if (m_lock >= 0) ::close(m_lock);
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
