// search: the search engine as Find next runs it (every match) or as the
// word statistics count with it (--count).

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "search/search_engine.h"

namespace lexicarta::cli {
namespace {

// The engine's view of the command line: fixed options, and every match
// taken down instead of shown.
class ListingHost : public SearchHost {
public:
    explicit ListingHost(SearchOptions options) : m_options(options) {}
    SearchOptions currentOptions() override { return m_options; }
    void setSuppressMemoChange(bool) override {}
    bool presentMatch(const FoundMatch& match) override
    {
        entry = match.entry;
        position = match.stringMatchPos;
        return true;
    }
    void offerRestart() override { exhausted = true; }

    std::int32_t entry = -1;
    std::int64_t position = -1;
    bool exhausted = false;

private:
    SearchOptions m_options;
};

}  // namespace

int SearchCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("search", args,
                              {{"--encoding", true},
                               {"--case", false},
                               {"--whole-words", false},
                               {"--absolute", false},
                               {"--from", true},
                               {"--count", false}},
                              2, 2);
    arguments.number("--from", INT32_MAX);
    const std::string& termText = arguments.operands()[1];
    if (termText.empty()) UsageError("search", "the search term is empty");
    RefuseOutputsOntoTables("search", {arguments.operands()[0]}, {}, context);
    LoadedTable loaded(arguments.operands()[0], {}, LoadPurpose::Read, arguments.encoding());
    const std::int64_t last = std::int64_t{loaded.entryCount()} - 1;
    const std::int64_t from = arguments.number("--from", std::max<std::int64_t>(last, 0)).value_or(0);
    const auto term = EncodeArgument(loaded.encoding(), termText);
    if (!term)
        throw CliError("search: the term holds characters that " + std::string(EncodingName(loaded.encoding())) +
                       " cannot hold");

    SearchOptions options;
    options.caseSensitive = arguments.has("--case");
    options.wholeWords = arguments.has("--whole-words");
    options.lengthOriented = !arguments.has("--absolute");
    ListingHost host(options);
    RunFlags& flags = loaded.flags;
    SearchEngine engine(loaded.table(), flags, loaded.dialogs, loaded.progress, host);
    engine.setPumpInterval(std::chrono::microseconds(10000));
    // A cache that cannot be read ends the search as if nothing were found:
    // here that is a failure, not an answer.
    const std::size_t messagesBefore = loaded.dialogs.messages.size();
    auto checkCache = [&] {
        if (loaded.dialogs.messages.size() > messagesBefore) throw CliError("search: " + loaded.dialogs.problems());
    };

    if (arguments.has("--count")) {
        // As the word statistics count one expression.
        flags.WordCountingMode = true;
        flags.KeepRunning = true;
        engine.startItem(from, *term, 0, 1);
        engine.RunBatch();
        checkCache();
        context.out.number(engine.MatchCount) << "\n";
        return engine.MatchCount > 0 ? ExitOk : ExitFound;
    }

    // As Find next, pressed until nothing more is found.
    flags.WordCountingMode = false;
    engine.restartFrom(from);
    engine.MatchCount = 0;
    engine.SearchTerm = *term;
    std::int64_t matches = 0;
    for (;;) {
        flags.KeepRunning = true;
        host.entry = -1;
        engine.search();
        if (host.exhausted || host.entry < 0) break;
        context.out.number(host.entry) << '\t';
        context.out.number(host.position) << '\n';
        ++matches;
    }
    checkCache();
    return matches > 0 ? ExitOk : ExitFound;
}

}  // namespace lexicarta::cli
