#pragma once
// What every window of the program shares: the table document, the search
// settings and engine, the run controller, the two ports and the settings
// record. No window is reached through it: only the application object
// knows every window.

#include <memory>
#include <string>

#include "core/config_file.h"
#include "core/dialogs.h"
#include "app/run_controller.h"
#include "app/search_settings.h"
#include "app/table_document.h"
#include "app/table_search.h"
#include "core/talk_table.h"

namespace lexicarta {

class Progress;
class TranslationDocument;

struct Session {
    explicit Session(Dialogs& dialogPort) : dialogs(dialogPort) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Dialogs& dialogs;
    RunController runs{dialogs};
    SearchSettings searchSettings;
    // Made once the progress window exists, before every other window.
    std::unique_ptr<TableDocument> document;
    std::unique_ptr<TableSearch> search;
    // The loaded table's reference and translation index; owned by the
    // application, made right after the document.
    TranslationDocument* translation = nullptr;
    TalkTable& table() { return document->table(); }
    const TalkTable& table() const { return document->table(); }
    // The progress window, as the port every long run reports through.
    Progress* progress = nullptr;
    // The settings record of "lexicarta.cfg", kept for the whole run.
    ConfigRecord config = ConfigRecord::Defaults();
    // Where "readme.txt" ships: the executable's directory, with '/'.
    std::string readmeDirectory;
};

}  // namespace lexicarta
