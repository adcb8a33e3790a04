#pragma once
// Combines the result files of an advanced search run into the listed
// strings: those that hold ANY of the expressions, or ALL of them, each with
// the matches of every expression in it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/dialogs.h"

namespace lexicarta {

inline constexpr const char* ResultFileNotFoundMessage = "Search index file not found!";
inline constexpr const char* ResultFileErrorMessage =
    "Error during file operation. Restart the search, or restart Lexicarta.";

enum class Combination { Any, All };

struct ResultLine {
    std::int32_t strRef = 0;
    std::uint32_t count = 0;  // matches of all expressions in the string
    bool operator==(const ResultLine&) const = default;
};

struct CompiledResults {
    // Ascending StrRef.
    std::vector<ResultLine> lines;
    // Matches of each expression over the searched range, for the files read
    // before a failure (all of them when complete).
    std::vector<std::uint64_t> expressionCounts;
    std::uint64_t total = 0;
    // False when a failure was reported; lines are then empty.
    bool complete = false;
};

class ResultCompiler {
public:
    // Allocates the two count tables once, one cell per possible StrRef.
    ResultCompiler();
    ResultCompiler(const ResultCompiler&) = delete;
    ResultCompiler& operator=(const ResultCompiler&) = delete;

    // Reads the result files (one per expression, in list order) and lists
    // every StrRef matched by any of them, or by all. A missing file is
    // reported as ResultFileNotFoundMessage, any other failure to read (a
    // record that is no StrRef 0..1,000,000 included) as
    // ResultFileErrorMessage; one error box either way, and the compilation
    // stops there. Counts stop at the largest 32-bit value instead of
    // wrapping.
    CompiledResults CompileResults(const std::vector<std::string>& resultFiles, Combination combination,
                                   Dialogs& dialogs);

private:
    enum class ReadResult { Read, Missing, Failed };
    ReadResult readFile(const std::string& path, std::uint32_t index, std::uint64_t& records);

    // Matches of all expressions read so far, per StrRef.
    std::unique_ptr<std::uint32_t[]> m_counts;
    // For each StrRef, the number of leading expressions (0, 1, ... in list
    // order) that all matched it: equal to the expression count for the
    // strings that hold all of them.
    std::unique_ptr<std::uint32_t[]> m_matchedExpressions;
};

}  // namespace lexicarta
