// "Export to text file": pending edits saved first on request, then every
// text of the table into the file the user chooses, with the options of
// the export settings.

#include <QCheckBox>

#include "app/main_window.h"
#include "app/progress_window.h"
#include "export/text_export.h"

namespace lexicarta {

void MainWindow::exportClicked()
{
    TalkTable& table = m_session.table;
    if (table.ChangesPending) {
        if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, ExportSaveQuestion) != Answer::Yes) return;
        // The export goes on whatever the save's outcome: a failed save has
        // said so, and the export then lists the texts as last saved.
        SaveAll();
    }
    ExportOptions options;
    options.guided = GuidedExport();
    options.numberStrings = numberStringsCheck->isChecked();
    options.writeEmptyStrings = emptyStringsCheck->isChecked();
    options.spacelines = spacelinesCheck->isChecked();
    ExportText(table, options, *m_session.windows.progress, m_session.dialogs, m_session.flags);
}

}  // namespace lexicarta
