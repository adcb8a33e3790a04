#pragma once
// A scripted stand-in for the dialog port: records every box and answers
// from queues (Yes by default, "cancelled" for file dialogs).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"

namespace lexicarta::testing {

struct ShownBox {
    BoxKind kind;
    std::optional<Buttons> buttons;  // set for confirmations
    std::string text;
};

class FakeDialogs : public Dialogs {
public:
    void message(BoxKind kind, const std::string& text) override;
    Answer confirm(BoxKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;

    std::vector<ShownBox> boxes;
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileDialogRequest> fileRequests;
    // Runs after each box is recorded (a test can stand a real modal box in).
    std::function<void(const ShownBox&)> onBox;

    std::vector<std::string> texts() const;
    // The text of the only box shown, or "" when none or several were shown.
    std::string onlyText() const;
    void clear() { boxes.clear(); }
};

}  // namespace lexicarta::testing
