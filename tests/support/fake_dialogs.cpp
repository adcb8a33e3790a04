#include "fake_dialogs.h"

namespace lexicarta::testing {

void FakeDialogs::message(BoxKind kind, const std::string& text)
{
    boxes.push_back({kind, std::nullopt, text});
    if (onBox) onBox(boxes.back());
}

Answer FakeDialogs::confirm(BoxKind kind, Buttons buttons, const std::string& text)
{
    boxes.push_back({kind, buttons, text});
    if (onBox) onBox(boxes.back());
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> FakeDialogs::openFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeDialogs::saveFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::vector<std::string> FakeDialogs::texts() const
{
    std::vector<std::string> result;
    for (const auto& box : boxes) result.push_back(box.text);
    return result;
}

std::string FakeDialogs::onlyText() const { return boxes.size() == 1 ? boxes.front().text : std::string(); }

}  // namespace lexicarta::testing
