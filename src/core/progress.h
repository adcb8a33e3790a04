#pragma once
// The port through which long operations report progress (the progress
// window in the program, a recording fake in tests, nothing at all where
// no one watches).

#include <string>

namespace lexicarta {

inline constexpr int ProgressBarMax = 1000;

class Progress {
public:
    virtual ~Progress() = default;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setStatus(const std::string& status) = 0;
    virtual void setHintVisible(bool visible) = 0;
    virtual void setBarVisible(bool visible) = 0;
    virtual void setBarPosition(int position) = 0;
    virtual void setSmooth(bool smooth) = 0;
    virtual void show() = 0;
    virtual bool isShown() const = 0;
    // Obeys RunFlags::progressMayClose(); a refused request leaves the window shown.
    virtual void close() = 0;
    // Lets pending events run (an Esc press among them) and returns KeepRunning.
    virtual bool pump() = 0;
};

// Progress of work that has no window to show it in: nothing is shown and
// nothing can interrupt the work.
class SilentProgress : public Progress {
public:
    void setTitle(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHintVisible(bool) override {}
    void setBarVisible(bool) override {}
    void setBarPosition(int) override {}
    void setSmooth(bool) override {}
    void show() override { m_shown = true; }
    bool isShown() const override { return m_shown; }
    void close() override { m_shown = false; }
    bool pump() override { return true; }

private:
    bool m_shown = false;
};

}  // namespace lexicarta
