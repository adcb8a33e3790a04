#include "app/startup.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/advanced_search_window.h"
#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/quick_start_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/numbers.h"

namespace lexicarta {
namespace {

std::string ConfigPath(const Session& session) { return session.table().ProgramDirectory + ConfigFileName; }

void Warn(Session& session, const std::string& text) { session.dialogs.message(BoxKind::Warning, text); }

void ApplyRecord(Session& session, bool autoOpen)
{
    const ConfigRecord& r = session.config;
    MainWindow& main = *session.windows.main;
    LexiaideWindow& lexiaide = *session.windows.lexiaide;
    TalkTable& table = session.table();

    lexiaide.setShowsAfterLoad(r.flag(cfg::DisplayLexiaide));
    // Placed before the auto-open may show it: a shown window would be
    // placed by its inside and creep up by its title bar at every start.
    lexiaide.move(r.int32At(cfg::LexiaideLeft), r.int32At(cfg::LexiaideTop));
    if (autoOpen && r.flag(cfg::AutoOpen) && r.flag(cfg::LastFileFlag)) {
        TableDocument& document = *session.document;
        document.setSaveTarget(table.LastOpenedPath);
        table.CurrentTablePath = table.LastOpenedPath;
        document.LoadTalkTable(table.LastOpenedPath);
        if (table.LastStepFailed) {
            Warn(session, "Cannot complete auto-open: last opened file could not be found. ");
            session.config.setFlag(cfg::LastFileFlag, false);
            main.openLastButton->setEnabled(false);
        }
    }
    SetCheckedAsUser(main.autoOpenCheck, r.flag(cfg::AutoOpen));
    main.openLastButton->setEnabled(r.flag(cfg::LastFileFlag));

    SearchSettings& search = session.searchSettings;
    search.setAdvancedMode(r.flag(cfg::AdvancedSearchMode));

    SetCheckedAsUser(main.highlightMatchesCheck, r.flag(cfg::HighlightMatches));
    search.setCaseSensitive(r.flag(cfg::CaseSensitivity));
    search.setWholeWords(r.flag(cfg::WholeWords));
    search.setLengthOriented(r.flag(cfg::LengthOriented));
    SetCheckedAsUser(main.wordStatisticsCheck, r.flag(cfg::WordsExpressions));
    SetCheckedAsUser(main.technicalStatisticsCheck, r.flag(cfg::TechnicalStatistics));

    SetCheckedAsUser(r.flag(cfg::RawExport) ? main.rawExportRadio : main.guidedExportRadio, true);
    SetCheckedAsUser(main.numberStringsCheck, r.flag(cfg::NumberStrings));
    SetCheckedAsUser(main.emptyStringsCheck, r.flag(cfg::WriteEmptyStrings));
    SetCheckedAsUser(main.spacelinesCheck, r.flag(cfg::Spacelines));

    lexiaide.setStaysOnTop(r.flag(cfg::LexiaideOnTop));
    session.document->setMakeBackup(r.flag(cfg::MakeBackup));
    session.document->setSaveToDifferentFile(r.flag(cfg::SaveToDifferentFile));

    session.windows.quickStart->dontShowAgainCheck->setChecked(!r.flag(cfg::ShowQuickStart));
    session.windows.advancedSearch->highlightCheck->setChecked(r.flag(cfg::AdvancedHighlight));

    const std::int32_t start = r.int32At(cfg::SearchFromStrRef);
    if (start != 0) {
        search.setFromString(true);
        search.setStartText(QString::number(start));
    } else {
        search.setFromString(false);
    }

    SetCheckedAsUser(main.autoOpenCheck, r.flag(cfg::AutoOpen));
    if (r.flag(cfg::LastFileFlag)) main.openLastButton->setEnabled(true);
}

}  // namespace

void Startup(Session& session, bool autoOpen)
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
            ApplyRecord(session, autoOpen);
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

ConfigRecord CollectSettings(const Session& session)
{
    ConfigRecord r = session.config;
    const MainWindow& main = *session.windows.main;
    const LexiaideWindow& lexiaide = *session.windows.lexiaide;
    r.bytes[cfg::FormatMark] = 1;
    r.bytes[cfg::MustBeZero] = 0;
    r.bytes[cfg::AlwaysTwo] = 2;
    r.bytes[cfg::AlwaysOne] = 1;
    const SearchSettings& search = session.searchSettings;
    r.setFlag(cfg::AdvancedSearchMode, search.advancedMode());
    r.setFlag(cfg::HighlightMatches, main.highlightMatchesCheck->isChecked());
    r.setFlag(cfg::CaseSensitivity, search.caseSensitive());
    r.setFlag(cfg::WholeWords, search.wholeWords());
    r.setFlag(cfg::LengthOriented, search.lengthOriented());
    r.setFlag(cfg::WordsExpressions, main.wordStatisticsCheck->isChecked());
    r.setFlag(cfg::TechnicalStatistics, main.technicalStatisticsCheck->isChecked());
    r.setFlag(cfg::RawExport, !main.GuidedExport());
    r.setFlag(cfg::NumberStrings, main.numberStringsCheck->isChecked());
    r.setFlag(cfg::WriteEmptyStrings, main.emptyStringsCheck->isChecked());
    r.setFlag(cfg::Spacelines, main.spacelinesCheck->isChecked());
    r.setInt32(cfg::SearchFromStrRef, ParseInt32(ToUtf8(search.startText())).value_or(0));
    r.setFlag(cfg::AutoOpen, main.autoOpenCheck->isChecked());
    r.setFlag(cfg::DisplayLexiaide, lexiaide.showsAfterLoad());
    r.setInt32(cfg::LexiaideLeft, lexiaide.x());
    r.setInt32(cfg::LexiaideTop, lexiaide.y());
    r.setFlag(cfg::LexiaideOnTop, lexiaide.staysOnTop());
    r.setFlag(cfg::MakeBackup, session.document->makeBackup());
    r.setFlag(cfg::SaveToDifferentFile, session.document->saveToDifferentFile());
    r.setFlag(cfg::ShowQuickStart, !session.windows.quickStart->dontShowAgainCheck->isChecked());
    r.setFlag(cfg::AdvancedHighlight, session.windows.advancedSearch->highlightCheck->isChecked());
    return r;
}

void WriteConfiguration(Session& session)
{
    session.config = CollectSettings(session);
    if (!WriteConfigFile(ConfigPath(session), session.config, session.table().LastOpenedPath))
        session.dialogs.message(BoxKind::Error, "Unable to save configuration due to error.");
}

}  // namespace lexicarta
