#include "core/abandoned_files.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "core/file_io.h"

namespace lexicarta {
namespace {

bool AllDigits(std::string_view text)
{
    if (text.empty() || text.size() > 10) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool TakeSuffix(std::string_view& name, std::string_view suffix)
{
    if (!name.ends_with(suffix)) return false;
    name.remove_suffix(suffix.size());
    return true;
}

// The cache number of a temporary file of the program: the cache
// "lexic"N".tmp" and its unfinished replacement (".new"), a journal file
// N"ts"K".tmp" with its unfinished (".new") and set-aside (".old") forms, a
// result file N"t"K".tmp". nullopt for any other name.
std::optional<std::uint32_t> NumberOf(std::string_view name)
{
    std::string_view number;
    if (name.starts_with("lexic")) {
        name.remove_prefix(5);
        if (!TakeSuffix(name, ".tmp.new") && !TakeSuffix(name, ".tmp")) return std::nullopt;
        number = name;
    } else {
        const bool part = TakeSuffix(name, ".tmp.new") || TakeSuffix(name, ".tmp.old");
        if (!part && !TakeSuffix(name, ".tmp")) return std::nullopt;
        const auto t = name.find('t');
        if (t == std::string_view::npos) return std::nullopt;
        number = name.substr(0, t);
        std::string_view index = name.substr(t + 1);
        const bool journal = index.starts_with('s');
        if (journal) index.remove_prefix(1);
        if ((part && !journal) || !AllDigits(index)) return std::nullopt;
    }
    if (!AllDigits(number)) return std::nullopt;
    const std::uint64_t value = std::stoull(std::string(number));
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::vector<std::string> Names(const std::string& directory)
{
    std::vector<std::string> names;
    DIR* folder = ::opendir(directory.c_str());
    if (!folder) return names;
    while (const dirent* entry = ::readdir(folder)) names.emplace_back(entry->d_name);
    ::closedir(folder);
    return names;
}

}  // namespace

bool ProcessIsGone(long pid)
{
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::string OwnerTag() { return "-" + std::to_string(::getpid()) + "-"; }

long OwnerOfTail(const std::string& tail)
{
    if (tail.size() < 3 || tail[0] != '-') return 0;
    const auto end = tail.find('-', 1);
    if (end == std::string::npos || !AllDigits(std::string_view(tail).substr(1, end - 1))) return 0;
    return std::stol(tail.substr(1, end - 1));
}

void RemoveAbandonedTemporaryFiles(const std::string& directory)
{
    std::map<std::uint32_t, std::vector<std::string>> byNumber;
    for (const std::string& name : Names(directory))
        if (const auto number = NumberOf(name)) byNumber[*number].push_back(name);
    for (const auto& [number, names] : byNumber) {
        // Holding the number's cache (or making one to hold), no instance can
        // take the number while its files go.
        const std::string cache = directory + "lexic" + std::to_string(number) + ".tmp";
        UniqueFd held = LockedFile(cache, false);
        if (!held && errno == ENOENT) held = LockedFile(cache, true);
        if (!held) continue;
        for (const std::string& name : names)
            if (directory + name != cache) RemoveFile(directory + name);
        RemoveFile(cache);
    }
}

void RemoveAbandonedSaveFiles(const std::string& tablePath)
{
    // The new table is written beside the file the path leads to, the
    // backups beside the path as given.
    std::vector<std::string> paths = {ResolvedPath(tablePath)};
    if (paths[0] != tablePath) paths.push_back(tablePath);
    for (const std::string& path : paths) {
        const auto slash = path.rfind('/');
        const std::string directory = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
        const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        for (const std::string& name : Names(directory)) {
            if (!name.starts_with(base)) continue;
            const std::string rest = name.substr(base.size());
            for (const std::string_view kind : {".saving", ".bak.new", ".trc.bak.new", ".partial"})
                if (rest.starts_with(kind) && ProcessIsGone(OwnerOfTail(rest.substr(kind.size()))))
                    RemoveFile(directory + name);
        }
    }
}

}  // namespace lexicarta
