#pragma once
// The one port through which the program asks and tells the user anything:
// message boxes, confirmations and file dialogs. The windows install the Qt
// implementation; tests install a scripted fake.

#include <optional>
#include <string>

namespace lexicarta {

// Plain is a message with OK and the application title as caption; the others
// are typed boxes with their icon.
enum class BoxKind { Plain, Warning, Error, Information, Question };
enum class Buttons { YesNo, YesNoCancel, YesCancel };
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    std::string title;
    std::string filter;           // "Talk Table Files (.tlk)|*.tlk" style: description|patterns
    std::string defaultExtension;  // without the dot
    std::string fileName;          // initial name or path
    bool confirmOverwrite = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Texts are UTF-8.
    virtual void message(BoxKind kind, const std::string& text) = 0;
    // Closing the box without a button counts as No for YesNo, Cancel otherwise.
    virtual Answer confirm(BoxKind kind, Buttons buttons, const std::string& text) = 0;
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

}  // namespace lexicarta
