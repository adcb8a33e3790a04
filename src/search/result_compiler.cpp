#include "search/result_compiler.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "core/tlk_format.h"
#include "core/unique_fd.h"

namespace lexicarta {
namespace {

constexpr std::size_t ReadBlock = 256 * 1024;  // a multiple of the 4-byte record

}  // namespace

ResultCompiler::ResultCompiler()
    : m_counts(new std::uint32_t[EntryCapacity]()), m_matchedExpressions(new std::uint32_t[EntryCapacity]())
{
}

ResultCompiler::ReadResult ResultCompiler::readFile(const std::string& path, std::uint32_t index,
                                                    std::uint64_t& records)
{
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;

    std::uint32_t* const counts = m_counts.get();
    std::uint32_t* const matched = m_matchedExpressions.get();
    std::vector<unsigned char> buffer(ReadBlock + 4);
    std::size_t carried = 0;  // bytes of a record split between two reads
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer.data() + carried, ReadBlock);
        if (got < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Failed;
        }
        if (got == 0) break;
        const std::size_t available = carried + static_cast<std::size_t>(got);
        const std::size_t whole = available - available % 4;
        for (std::size_t i = 0; i < whole; i += 4) {
            const std::uint32_t value = std::uint32_t{buffer[i]} | std::uint32_t{buffer[i + 1]} << 8 |
                                        std::uint32_t{buffer[i + 2]} << 16 | std::uint32_t{buffer[i + 3]} << 24;
            // A negative StrRef reads as a large unsigned value: both are
            // outside the tables, and no search writes them.
            if (value >= EntryCapacity) return ReadResult::Failed;
            if (counts[value] != std::numeric_limits<std::uint32_t>::max()) ++counts[value];
            // The first record of this expression for a string that every
            // earlier expression matched too.
            if (matched[value] == index) matched[value] = index + 1;
        }
        carried = available - whole;
        std::memmove(buffer.data(), buffer.data() + whole, carried);
        records += whole / 4;
    }
    // A record cut short: the file is not what a search wrote.
    if (carried != 0) return ReadResult::Failed;
    if (::close(file.release()) != 0) return ReadResult::Failed;
    return ReadResult::Read;
}

CompiledResults ResultCompiler::CompileResults(const std::vector<std::string>& resultFiles, Combination combination,
                                               Dialogs& dialogs)
{
    CompiledResults results;
    std::fill_n(m_counts.get(), EntryCapacity, 0u);
    std::fill_n(m_matchedExpressions.get(), EntryCapacity, 0u);

    for (std::uint32_t b = 0; b < resultFiles.size(); ++b) {
        std::uint64_t records = 0;
        switch (readFile(resultFiles[b], b, records)) {
        case ReadResult::Read:
            results.expressionCounts.push_back(records);
            continue;
        case ReadResult::Missing:
            // The file is gone: one box says so, not a second for the same cause.
            dialogs.message(BoxKind::Error, ResultFileNotFoundMessage);
            return results;
        case ReadResult::Failed:
            dialogs.message(BoxKind::Error, ResultFileErrorMessage);
            return results;
        }
    }

    const std::uint32_t* const counts = m_counts.get();
    const std::uint32_t* const matched = m_matchedExpressions.get();
    const auto expressions = static_cast<std::uint32_t>(resultFiles.size());
    for (std::uint32_t j = 0; j < EntryCapacity; ++j) {
        const bool listed = combination == Combination::Any ? counts[j] != 0 : expressions != 0 && matched[j] == expressions;
        if (!listed) continue;
        results.lines.push_back({static_cast<std::int32_t>(j), counts[j]});
        results.total += counts[j];
    }
    results.complete = true;
    return results;
}

}  // namespace lexicarta
