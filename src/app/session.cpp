#include "app/session.h"

#include <QLineEdit>
#include <QWidget>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/progress_window.h"
#include "app/quick_start_window.h"
#include "app/truncate_window.h"
#include "app/graph_window.h"
#include "app/main_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"

namespace lexicarta {

std::array<QWidget*, 10> SecondaryWindows(const Windows& windows)
{
    return {windows.viewer,   windows.statistics, windows.progress, windows.help,       windows.graph,
            windows.advancedSearch, windows.lexiaide, windows.truncate, windows.quickStart, windows.asciiCodes};
}

RunLock::RunLock(Session& session) : m_session(session)
{
    if (m_session.runLocks++ > 0) return;
    const Windows& windows = m_session.windows;
    std::vector<QWidget*> all{windows.main};
    for (QWidget* window : SecondaryWindows(windows))
        if (window != windows.progress) all.push_back(window);
    for (QWidget* window : all) {
        if (!window) continue;
        // A disabled control loses the focus, and a field its selection, for
        // good: both are given back below.
        LockedWindow locked{window, window->focusWidget()};
        if (auto* field = qobject_cast<QLineEdit*>(locked.focus.data()); field && field->hasSelectedText()) {
            locked.selectionStart = field->selectionStart();
            locked.selectionLength = field->selectionLength();
        }
        m_locked.push_back(locked);
        window->setEnabled(false);
    }
}

RunLock::~RunLock()
{
    if (--m_session.runLocks > 0) return;
    for (const LockedWindow& locked : m_locked) {
        QWidget* window = locked.window;
        if (!window) continue;
        window->setEnabled(true);
        QWidget* focus = locked.focus;
        if (!focus || window->focusWidget() || !focus->isEnabled() || !focus->isVisibleTo(window)) continue;
        focus->setFocus();
        auto* field = qobject_cast<QLineEdit*>(focus);
        if (field && locked.selectionStart >= 0 && !field->hasSelectedText())
            field->setSelection(locked.selectionStart, locked.selectionLength);
    }
}

}  // namespace lexicarta
