#include "app/session.h"

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

}  // namespace lexicarta
