#include "app/session.h"

#include <QWidget>

#include "app/advanced_search_window.h"
#include "app/graph_window.h"
#include "app/main_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"

namespace lexicarta {

void SetRunWindowsEnabled(const Windows& windows, bool enabled)
{
    for (QWidget* window : std::initializer_list<QWidget*>{windows.main, windows.viewer, windows.statistics,
                                                            windows.graph, windows.advancedSearch})
        if (window) window->setEnabled(enabled);
}

}  // namespace lexicarta
