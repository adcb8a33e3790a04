#pragma once
// Flags shared by the long-running loops and the progress window. Plain
// booleans: everything runs on the user-interface thread.

namespace lexicarta {

struct RunFlags {
    bool KeepRunning = true;
    bool ProcessFinished = false;
    bool TechnicalStatisticsRunning = false;
    bool WordCountingMode = false;
    bool AdvancedSearchActive = false;
    bool StatisticsAborted = false;

    // A request to close the progress window is refused while an operation
    // may still be running.
    bool progressMayClose() const { return !(KeepRunning && !ProcessFinished); }
};

}  // namespace lexicarta
