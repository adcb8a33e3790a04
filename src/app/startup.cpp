#include "app/startup.h"

#include "app/advanced_search_window.h"
#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/quick_start_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/session.h"
#include "core/numbers.h"

namespace lexicarta {
namespace {

std::string ConfigPath(const Session& session) { return session.table().ProgramDirectory + ConfigFileName; }

void Warn(Session& session, const std::string& text) { session.dialogs.message(BoxKind::Warning, text); }

void ApplyRecord(Session& session, const SettingsWindows& views, bool autoOpen)
{
    const ConfigRecord& r = session.config;
    MainWindow& main = views.main;
    LexiaideWindow& lexiaide = views.lexiaide;
    TalkTable& table = session.table();

    lexiaide.setShowsAfterLoad(r.flag(cfg::DisplayLexiaide));
    // Placed before the auto-open may show it: a shown window would be
    // placed by its inside and creep up by its title bar at every start.
    lexiaide.move(r.int32At(cfg::LexiaideLeft), r.int32At(cfg::LexiaideTop));
    session.document->setOpensFemaleTables(!r.flag(cfg::NoFemaleTables));
    if (autoOpen && r.flag(cfg::AutoOpen) && r.flag(cfg::LastFileFlag)) {
        TableDocument& document = *session.document;
        document.setSaveTarget(table.LastOpenedPath);
        table.CurrentTablePath = table.LastOpenedPath;
        document.LoadTalkTable(table.LastOpenedPath);
        if (table.LastStepFailed) {
            Warn(session, "Cannot complete auto-open: last opened file could not be found. ");
            session.config.setFlag(cfg::LastFileFlag, false);
            main.setOpenLastEnabled(false);
        }
    }
    main.setAutoOpen(r.flag(cfg::AutoOpen));
    main.setOpenLastEnabled(r.flag(cfg::LastFileFlag));

    SearchSettings& search = session.searchSettings;
    search.setAdvancedMode(r.flag(cfg::AdvancedSearchMode));

    search.setCaseSensitive(r.flag(cfg::CaseSensitivity));
    search.setWholeWords(r.flag(cfg::WholeWords));
    search.setLengthOriented(r.flag(cfg::LengthOriented));
    main.applySettings(r);

    lexiaide.setStaysOnTop(r.flag(cfg::LexiaideOnTop));
    session.document->setMakeBackup(r.flag(cfg::MakeBackup));
    session.document->setSaveToDifferentFile(r.flag(cfg::SaveToDifferentFile));

    views.quickStart.setShowsAtStart(r.flag(cfg::ShowQuickStart));
    views.advancedSearch.setHighlights(r.flag(cfg::AdvancedHighlight));

    const std::int32_t start = r.int32At(cfg::SearchFromStrRef);
    if (start != 0) {
        search.setFromString(true);
        search.setStartText(QString::number(start));
    } else {
        search.setFromString(false);
    }

    main.setAutoOpen(r.flag(cfg::AutoOpen));
    if (r.flag(cfg::LastFileFlag)) main.setOpenLastEnabled(true);
}

}  // namespace

void Startup(Session& session, const SettingsWindows& views, bool autoOpen)
{
    const std::string path = ConfigPath(session);
    const ConfigReadResult read = ReadConfigFile(path);
    auto writeDefaults = [&session, &path] {
        session.config = ConfigRecord::Defaults();
        return WriteConfigFile(path, session.config, std::string());
    };

    switch (read.status) {
    case ConfigReadStatus::Missing:
        if (writeDefaults())
            Warn(session, "No configuration file was found. A new config file has been generated with default settings.");
        else
            Warn(session, "No configuration file was found. Unable to create new config file due to error. Using "
                          "default configuration.");
        return;
    case ConfigReadStatus::Damaged:
        if (writeDefaults())
            Warn(session, "Configuration file was damaged or had unknown format. A new config file has been "
                          "generated with default settings.");
        else
            Warn(session, "Configuration file was damaged or had unknown format. Unable to create new config file due "
                          "to error. Using default configuration.");
        return;
    case ConfigReadStatus::Unreadable:
        break;
    case ConfigReadStatus::Ok:
        try {
            session.config = read.record;
            session.table().LastOpenedPath = read.lastOpenedPath;
            ApplyRecord(session, views, autoOpen);
            return;
        } catch (const std::exception&) {
            break;
        }
    }
    Warn(session, "Unable to open/read configuration file. Attempt will be made to generate a new config file with "
                  "default settings...");
    if (writeDefaults())
        session.dialogs.message(BoxKind::Information, "A new config file with default settings has been successfully generated.");
    else
        session.dialogs.message(BoxKind::Error, "Unable to create new config file due to error. Using default configuration.");
}

ConfigRecord CollectSettings(const Session& session, const SettingsWindows& views)
{
    ConfigRecord r = session.config;
    const LexiaideWindow& lexiaide = views.lexiaide;
    r.bytes[cfg::FormatMark] = 1;
    r.bytes[cfg::MustBeZero] = 0;
    r.bytes[cfg::AlwaysTwo] = 2;
    r.bytes[cfg::AlwaysOne] = 1;
    const SearchSettings& search = session.searchSettings;
    r.setFlag(cfg::AdvancedSearchMode, search.advancedMode());
    r.setFlag(cfg::CaseSensitivity, search.caseSensitive());
    r.setFlag(cfg::WholeWords, search.wholeWords());
    r.setFlag(cfg::LengthOriented, search.lengthOriented());
    r.setInt32(cfg::SearchFromStrRef, ParseInt32(ToUtf8(search.startText())).value_or(0));
    views.main.collectSettings(r);
    r.setFlag(cfg::DisplayLexiaide, lexiaide.showsAfterLoad());
    r.setInt32(cfg::LexiaideLeft, lexiaide.x());
    r.setInt32(cfg::LexiaideTop, lexiaide.y());
    r.setFlag(cfg::LexiaideOnTop, lexiaide.staysOnTop());
    r.setFlag(cfg::MakeBackup, session.document->makeBackup());
    r.setFlag(cfg::SaveToDifferentFile, session.document->saveToDifferentFile());
    r.setFlag(cfg::NoFemaleTables, !session.document->opensFemaleTables());
    r.setFlag(cfg::ShowQuickStart, views.quickStart.showsAtStart());
    r.setFlag(cfg::AdvancedHighlight, views.advancedSearch.highlights());
    return r;
}

void WriteConfiguration(Session& session, const SettingsWindows& views)
{
    session.config = CollectSettings(session, views);
    if (!WriteConfigFile(ConfigPath(session), session.config, session.table().LastOpenedPath))
        session.dialogs.message(BoxKind::Error, "Unable to save configuration due to error.");
}

}  // namespace lexicarta
