#include "search/advanced_search.h"

#include "core/file_io.h"
#include "search/search_engine.h"

namespace lexicarta {

class AdvancedSearch::Sink : public ResultFile {
public:
    Sink(ResultFileWriter& writer, SearchEngine& engine) : m_writer(writer), m_engine(engine) {}

    bool append(std::int32_t strRef) override
    {
        if (m_writer.append(strRef)) return true;
        // Nothing more of this expression could be stored: searching on
        // would only cost time.
        failed = true;
        m_engine.NoMoreMatches = true;
        return false;
    }

    bool failed = false;

private:
    ResultFileWriter& m_writer;
    SearchEngine& m_engine;
};

AdvancedSearch::AdvancedSearch(SearchEngine& engine, TalkTable& table, RunFlags& flags, Progress& progress,
                               Dialogs& dialogs)
    : m_engine(engine), m_table(table), m_flags(flags), m_progress(progress), m_dialogs(dialogs)
{
}

AdvancedSearch::~AdvancedSearch() { m_writer.close(); }

void AdvancedSearch::DeleteResultFiles()
{
    m_writer.close();
    for (const std::string& path : m_resultFiles) RemoveFile(path);
}

RunOutcome AdvancedSearch::failRun()
{
    DeleteResultFiles();
    m_flags.ProcessFinished = true;
    m_progress.close();
    m_dialogs.message(BoxKind::Error, ResultFileErrorMessage);
    return RunOutcome::Failed;
}

RunOutcome AdvancedSearch::RunAdvancedSearch(const std::vector<std::string>& expressions, std::int64_t startStrRef)
{
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(m_running);

    m_flags.AdvancedSearchActive = true;
    m_flags.WordCountingMode = false;
    // The progress window stays until the run ends, however it ends.
    m_flags.ProcessFinished = false;
    m_progress.setTitle(AdvancedPreparingTitle);
    m_progress.setBarVisible(true);
    m_progress.setSmooth(true);
    m_progress.setBarPosition(0);
    m_progress.show();

    const auto count = static_cast<std::int32_t>(expressions.size());
    m_resultFiles.clear();
    for (std::int32_t k = 0; k < count; ++k) m_resultFiles.push_back(m_table.resultFilePath(k));

    Sink sink(m_writer, m_engine);
    for (std::int32_t k = 0; k < count; ++k) {
        m_progress.setTitle(AdvancedSearchingTitle);
        if (!m_writer.create(m_resultFiles[k])) return failRun();
        m_engine.startItem(startStrRef, expressions[k], k, count);
        m_engine.setResultFile(&sink);
        const bool keptRunning = m_engine.RunBatch();
        m_engine.setResultFile(nullptr);
        // Stopped by the user (or the table went away): the interruption
        // has reset the windows; only the files are left to go.
        if (!keptRunning || !m_table.TableLoaded) {
            DeleteResultFiles();
            return RunOutcome::Interrupted;
        }
        if (!m_writer.close() || sink.failed) return failRun();
    }

    m_progress.setBarPosition(ProgressBarMax);
    m_progress.setStatus(AdvancedFinishedStatus);
    m_progress.setTitle(AdvancedFinishedTitle);
    m_flags.ProcessFinished = true;
    m_progress.close();
    return RunOutcome::Completed;
}

CompiledResults AdvancedSearch::CompileResults(Combination combination)
{
    return m_compiler.CompileResults(m_resultFiles, combination, m_dialogs);
}

}  // namespace lexicarta
