#pragma once
// A recording stand-in for the progress port. pump() can play the user
// pressing Esc: an action runs at the k-th pump.

#include <functional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/run_flags.h"

namespace lexicarta::testing {

class FakeProgress : public Progress {
public:
    explicit FakeProgress(RunFlags& flags) : m_flags(flags) {}

    void setTitle(const std::string& title) override { titles.push_back(title); }
    void setStatus(const std::string& status) override
    {
        statuses.push_back(status);
        if (onStatus) onStatus(status);
    }
    void setHintVisible(bool visible) override { hintVisible = visible; }
    void setBarVisible(bool visible) override { barVisible = visible; }
    void setBarPosition(int position) override { positions.push_back(position); }
    void setSmooth(bool value) override { smooth = value; }
    void show() override
    {
        shown = true;
        ++showCount;
    }
    bool isShown() const override { return shown; }
    void close() override
    {
        ++closeRequests;
        if (m_flags.progressMayClose()) shown = false;
    }
    bool pump() override
    {
        ++pumps;
        if (onPump) onPump(pumps);
        return m_flags.KeepRunning;
    }

    std::vector<std::string> titles;
    std::vector<std::string> statuses;
    std::vector<int> positions;
    bool hintVisible = false;
    bool barVisible = true;
    bool smooth = false;
    bool shown = false;
    int showCount = 0;
    int closeRequests = 0;
    int pumps = 0;
    std::function<void(int)> onPump;
    // Runs as each status is shown (another program can act at that point).
    std::function<void(const std::string&)> onStatus;

private:
    RunFlags& m_flags;
};

}  // namespace lexicarta::testing
