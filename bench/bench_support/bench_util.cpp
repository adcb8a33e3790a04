#include "bench_util.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "core/file_io.h"
#include "core/table_loader.h"
#include "core/tlk_format.h"
#include "editing/edit_journal.h"

namespace bench {

bool EditSpread(lexicarta::TalkTable& table, std::uint32_t count, SilentDialogs& dialogs)
{
    const std::uint32_t step = table.EntryCount / count;
    for (std::uint32_t k = 0; k < count; ++k) {
        const auto n = static_cast<std::int32_t>(k * step);
        const auto text = table.ReadCachedString(n);
        if (!text) return false;
        lexicarta::MarkEntryEdited(table, n);
        if (!lexicarta::WriteJournalText(table, n, *text + " (edited)", dialogs)) return false;
    }
    return true;
}

bool LoadTable(lexicarta::TalkTable& table, const std::string& path, const std::string& workdir, SilentDialogs& dialogs)
{
    using namespace lexicarta;
    RunFlags flags;
    SilentProgress progress;
    CloseTable(table);
    table.ProgramDirectory = workdir;
    return LoadTableFile(table, path, dialogs, progress, flags) == OpenResult::Opened && !table.CacheFailed;
}

Arguments ParseArguments(int argc, char** argv)
{
    Arguments arguments;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--table") arguments.tables.push_back(argv[i + 1]);
        else if (flag == "--workdir") arguments.workdir = argv[i + 1];
    }
    if (arguments.workdir.empty()) arguments.workdir = "/tmp";
    if (arguments.workdir.back() != '/') arguments.workdir += '/';
    return arguments;
}

std::string LargestTable(const Arguments& arguments)
{
    std::string largest = arguments.tables.front();
    for (const std::string& table : arguments.tables)
        if (EntryCountOf(table) > EntryCountOf(largest)) largest = table;
    return largest;
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Time(const std::function<void()>& work)
{
    const double start = Now();
    work();
    return Now() - start;
}

double Median(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(Time(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double TimeCommand(const std::string& command, int runs)
{
    return Median(runs, [&] {
        if (std::system((command + " >/dev/null 2>&1").c_str()) == -1) throw std::runtime_error("cannot run " + command);
    });
}

void Settle(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

std::uint32_t EntryCountOf(const std::string& tablePath)
{
    lexicarta::UniqueFd fd(::open(tablePath.c_str(), O_RDONLY));
    unsigned char header[lexicarta::HeaderSize];
    if (!fd || !lexicarta::ReadExact(fd.get(), header, sizeof header, 0))
        throw std::runtime_error("not a table: " + tablePath);
    return lexicarta::DecodeHeader(std::span<const unsigned char, lexicarta::HeaderSize>(header, sizeof header)).EntryCount;
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

void Report(const std::string& name, double seconds, const std::string& baselineName, double baselineSeconds)
{
    std::printf("bench %s: %.6f s | baseline %s: %.6f s | ratio %.2f\n", name.c_str(), seconds, baselineName.c_str(),
                baselineSeconds, baselineSeconds > 0 ? seconds / baselineSeconds : 0.0);
    std::fflush(stdout);
}

void ReportMegabytes(const std::string& name, double megabytes, const std::string& baselineName, double baselineMegabytes)
{
    std::printf("bench %s: %.1f MB | baseline %s: %.1f MB | ratio %.2f\n", name.c_str(), megabytes,
                baselineName.c_str(), baselineMegabytes, baselineMegabytes > 0 ? megabytes / baselineMegabytes : 0.0);
    std::fflush(stdout);
}

double PeakResidentMegabytes()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
