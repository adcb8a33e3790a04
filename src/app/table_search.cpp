#include "app/table_search.h"

#include "app/run_controller.h"
#include "app/search_settings.h"
#include "core/dialogs.h"

namespace lexicarta {
namespace {

constexpr const char* NoMoreMatchesQuestion = "No (more) matches. Re-start search from the beginning?";

}  // namespace

TableSearch::TableSearch(TalkTable& table, SearchSettings& settings, RunController& runs, Progress& progress,
                         Dialogs& dialogs)
    : m_settings(settings),
      m_runs(runs),
      m_dialogs(dialogs),
      m_engine(table, runs.flags(), dialogs, progress, *this)
{
}

SearchOptions TableSearch::currentOptions()
{
    if (m_runs.flags().WordCountingMode && m_countingOptions) return m_countingOptions();
    return m_settings.options();
}

void TableSearch::setSuppressMemoChange(bool)
{
    // Nothing to hold back: every window is locked while a step runs, and
    // each view keeps its own writes from counting as edits.
}

bool TableSearch::presentMatch(const FoundMatch& match) { return !m_presenter || m_presenter->presentMatch(match); }

void TableSearch::offerRestart()
{
    m_restartRequested = m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, NoMoreMatchesQuestion) == Answer::Yes;
}

}  // namespace lexicarta
