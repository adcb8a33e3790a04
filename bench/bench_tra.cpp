// Parsing a TRA file of 100 MB as apply reads it, against reading the file:
// texts of a generated table, every other one with a sound, and lines ended
// by a lone CR (where a search for the end of the line would find none).

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench_util.h"
#include "cli/tra_file.h"
#include "cli/tra_input.h"
#include "core/file_io.h"
#include "tlk_generator.h"

using namespace lexicarta;

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    constexpr std::size_t Size = 100u << 20;
    tlkgen::GeneratorOptions options;
    options.entries = 200000;
    options.seed = 3;
    const auto generated = tlkgen::GenerateTalkTable(options);
    std::string tra;
    tra.reserve(Size + (1u << 16));
    std::string line;
    for (std::int64_t n = 0; tra.size() < Size; ++n) {
        const auto& entry = generated.entries[static_cast<std::size_t>(n) % generated.entries.size()];
        line.clear();
        cli::AppendTraLine(line, n, entry.text, n % 2 ? std::optional<std::string_view>("SND" + std::to_string(n % 10000))
                                                      : std::nullopt);
        line.back() = '\r';
        tra += line;
    }
    const std::string path = arguments.workdir + "bench.tra";
    if (!WriteWholeFile(path, tra)) return 1;
    const std::size_t entries = cli::ParseTra(tra).entries.size();
    tra.clear();
    tra.shrink_to_fit();

    std::string bytes;
    const double reading = bench::Median(5, [&] {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        auto read = fd ? cli::ReadToEnd(fd.get()) : std::nullopt;
        if (!read) std::abort();
        bytes = std::move(*read);
    });
    std::size_t parsedEntries = 0;
    const double parsing = bench::Median(5, [&] {
        const cli::TraParseResult parsed = cli::ParseTra(bytes);
        if (parsed.error) std::abort();
        parsedEntries = parsed.entries.size();
    });
    if (parsedEntries != entries) return 1;
    bench::Report("tra_parse_100MB", parsing, "reading the file", reading);
    RemoveFile(path);
    return 0;
}
