#pragma once
// Message boxes and file dialogs of the program, shown with Qt.

#include <QString>

#include "core/dialogs.h"

namespace lexicarta {

class QtDialogs : public Dialogs {
public:
    void message(BoxKind kind, const std::string& text) override;
    Answer confirm(BoxKind kind, Buttons buttons, const std::string& text) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;

    // "Talk Table Files (.tlk)|*.tlk" into Qt's "Talk Table Files (.tlk) (*.tlk *.TLK)":
    // extension patterns match in either case, as users of the format expect.
    static QString QtFilter(const std::string& filter);
};

}  // namespace lexicarta
