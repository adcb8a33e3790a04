#pragma once
// The translation side of the loaded table: its reference table (the same
// game's table in the original language, read only), the index of every
// entry's status and findings kept current as the user edits, the checks
// chosen, and the spelling dictionary of the table's language. The
// translation window, the findings list and the editors' spelling marks are
// its views; the table itself is changed only through the table document.

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/text_encoding.h"
#include "translation/entry_checks.h"
#include "translation/token_rules.h"
#include "translation/translation_settings.h"

namespace lexicarta {

class Dialogs;
class Progress;
class ReferenceTable;
class RunController;
class SpellChecker;
class TableDocument;
class TableTexts;
class TranslationIndex;

class TranslationDocument : public QObject {
    Q_OBJECT
public:
    // The choices are kept in programDirectory (with trailing '/').
    TranslationDocument(TableDocument& document, Dialogs& dialogs, Progress& progress, RunController& runs,
                        const std::string& programDirectory, QObject* parent = nullptr);
    ~TranslationDocument() override;

    TableDocument& document() { return m_document; }
    // Null without a reference.
    const ReferenceTable* reference() const { return m_reference.get(); }
    // Null until a reference is loaded; its entries follow the user's edits.
    TranslationIndex* index() { return m_index.get(); }
    // Why the last reference chosen is not loaded (empty when it is).
    const QString& referenceMessage() const { return m_referenceMessage; }
    // The reference's file name without folder, empty for none.
    QString referenceFileName() const;

    // The reference's text of strRef as the editor shows it (empty beyond its end).
    QString referenceText(std::int32_t strRef) const;
    // The findings of strRef with their explanations, the typed text included.
    std::vector<Finding> findings(std::int32_t strRef);
    QString statusText(std::int32_t strRef) const;

    const CheckOptions& checkOptions() const { return m_options; }
    void setCheckEnabled(CheckKind kind, bool on);

    // The dictionary of the table's language, null when none is chosen or
    // its dictionary is missing (spellingMessage says why).
    SpellChecker* spelling() { return m_spelling.get(); }
    const QString& spellingLanguage() const { return m_language; }
    const QString& spellingMessage() const { return m_spellingMessage; }
    // The languages with a dictionary installed.
    QStringList dictionaryLanguages() const;
    // The user chose the table's language (empty: none); remembered.
    void chooseSpellingLanguage(const QString& language);
    // The word becomes known (personal word list); the marks are redrawn.
    bool addToWordList(const QString& word);

    // Asks for the reference file and loads it.
    void chooseReference();
    // Loads path as the loaded table's reference, remembered for the table.
    // A refusal or a failed load is told once and leaves no reference.
    bool setReference(const std::string& path);
    // The user reads the reference's texts in another encoding (one a
    // single-byte table cannot be told apart by).
    void chooseReferenceEncoding(TextEncoding encoding);
    // The reference to load with the next table (the command line's).
    void setPendingReference(const std::string& path) { m_pendingReference = path; }

    enum class Move { PreviousUntranslated, NextUntranslated, PreviousFinding, NextFinding };
    // The entry the move leads to from the current one, asking whether to
    // start again from the other end when none is left; none when there is
    // none at all or the user declined.
    std::optional<std::uint32_t> moveTarget(Move move);
    // The current entry takes the reference's text, as typing it would.
    void copyReferenceText();

signals:
    // A reference was loaded or dropped, or failed to load.
    void referenceChanged();
    // The user chose a reference (from the main window or the command line),
    // whether it loaded or not.
    void referenceChosen();
    // The index was built again (reference, checks, encoding, spelling).
    void indexRebuilt();
    // One entry's status or findings may have changed.
    void entryUpdated(std::int32_t strRef);
    void spellingChanged();

private:
    void tableOpened(bool cached);
    void tableClosing();
    void dropReference();
    bool rebuild();
    void updateEntry(std::int32_t strRef);
    // The female text of strRef changed (typed, or stored by the document).
    void updateFemaleEntry(std::int32_t strRef);
    // The female tables the index reads: the document's, and the one found
    // beside the reference (XF.tlk beside X.tlk), when there are such.
    void takeFemaleTables();
    // What the female table's entry n holds, the female text being typed included.
    EntryContent femaleContent(std::uint32_t n);
    void openSpelling();
    void writeSettings();
    std::string tablePath() const;

    TableDocument& m_document;
    Dialogs& m_dialogs;
    Progress& m_progress;
    RunController& m_runs;
    std::string m_programDirectory;
    TranslationSettings m_settings;
    TokenRules m_rules;
    CheckOptions m_options;
    std::unique_ptr<TableTexts> m_texts;
    std::unique_ptr<ReferenceTable> m_reference;
    std::unique_ptr<TableTexts> m_femaleTexts;
    std::unique_ptr<ReferenceTable> m_referenceFemale;
    std::string m_typedFemale;
    std::unique_ptr<TranslationIndex> m_index;
    std::unique_ptr<SpellChecker> m_spelling;
    QString m_referenceMessage;
    QString m_language;
    QString m_spellingMessage;
    std::string m_pendingReference;
    // The bytes of the current entry as typed, which the index's update reads.
    std::string m_typed;
};

}  // namespace lexicarta
