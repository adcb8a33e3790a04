// "Export to text file": pending edits saved first on request, then every
// text of the table into the file the user chooses, with the options of
// the export settings.

#include <QCheckBox>

#include "app/main_window.h"
#include "app/table_document.h"
#include "app/session.h"
#include "core/progress.h"
#include "export/text_export.h"

namespace lexicarta {

void MainWindow::exportClicked()
{
    if (m_document.changesPending()) {
        if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, ExportSaveQuestion) != Answer::Yes) return;
        // The export goes on whatever the save's outcome: a failed save has
        // said so, and the export then lists the texts as last saved.
        SaveAll();
    }
    // With a female table: which of the two, the male one unless chosen.
    TalkTable* table = &m_document.table();
    if (m_document.hasFemale() && m_document.femaleTable()->TableLoaded && !m_document.femaleTable()->CacheFailed) {
        const std::string question = "Export the male table \"" + m_document.loadedFileName().toStdString() +
                                     "\"? No exports its female table \"" +
                                     m_document.femaleFileName().toStdString() + "\" instead.";
        const Answer answer = m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNoCancel, question);
        if (answer == Answer::Cancel) return;
        if (answer == Answer::No) table = m_document.femaleTable();
    }
    ExportOptions options;
    options.guided = GuidedExport();
    options.numberStrings = numberStringsCheck->isChecked();
    options.writeEmptyStrings = emptyStringsCheck->isChecked();
    options.spacelines = spacelinesCheck->isChecked();
    Progress& progress = *m_session.progress;
    progress.setTitle("Writing text file...");
    progress.setHintVisible(true);
    progress.setBarPosition(0);
    progress.setBarVisible(false);
    // The windows are locked for the writing, not while the file is chosen.
    const auto target = m_session.dialogs.saveFile(ExportFileRequest());
    if (!target) return;
    RunController::Run run(m_session.runs);
    ExportTextTo(*table, *target, options, progress, m_session.dialogs, m_session.runs.flags());
}

}  // namespace lexicarta
