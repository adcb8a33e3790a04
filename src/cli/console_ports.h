#pragma once
// The dialog and progress ports of the command line: nothing is asked and
// nothing is shown while a command runs. The core's messages are kept, so
// that a command can report the failure in its own words or pass it on.

#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"

namespace lexicarta::cli {

class ConsoleDialogs : public Dialogs {
public:
    void message(BoxKind kind, const std::string& text) override { messages.push_back({kind, text}); }
    // Every question is answered No: the command line never replaces a file
    // the user did not name, nor one that changed under it.
    Answer confirm(BoxKind kind, Buttons, const std::string& text) override
    {
        messages.push_back({kind, text});
        return Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }

    // Every message that is not an information, in order, on one line.
    std::string problems() const
    {
        std::string all;
        for (const Shown& shown : messages) {
            if (shown.kind == BoxKind::Information) continue;
            std::string text = shown.text;
            while (!text.empty() && text.back() == ' ') text.pop_back();
            all += (all.empty() ? "" : " ") + text;
        }
        return all;
    }

    struct Shown {
        BoxKind kind;
        std::string text;
    };
    std::vector<Shown> messages;
};

class ConsoleProgress : public Progress {
public:
    explicit ConsoleProgress(RunFlags& flags) : m_flags(flags) {}
    void setTitle(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHintVisible(bool) override {}
    void setBarVisible(bool) override {}
    void setBarPosition(int) override {}
    void setSmooth(bool) override {}
    void show() override { m_shown = true; }
    bool isShown() const override { return m_shown; }
    void close() override
    {
        if (m_flags.progressMayClose()) m_shown = false;
    }
    bool pump() override { return m_flags.KeepRunning; }

private:
    RunFlags& m_flags;
    bool m_shown = false;
};

}  // namespace lexicarta::cli
