#include "app/translation_document.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

#include "app/run_controller.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/table_pair.h"
#include "translation/reference_table.h"
#include "translation/spell_checker.h"
#include "translation/table_texts.h"
#include "translation/translation_index.h"

namespace lexicarta {
namespace {

// Larger tables are indexed with the progress window shown.
constexpr std::uint32_t QuietIndexEntries = 200000;

std::string_view SoundOf(const StrRefEntry& record)
{
    const auto& name = record.SoundResRef;
    return {name.data(), static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin())};
}

}  // namespace

TranslationDocument::TranslationDocument(TableDocument& document, Dialogs& dialogs, Progress& progress,
                                         RunController& runs, const std::string& programDirectory, QObject* parent)
    : QObject(parent),
      m_document(document),
      m_dialogs(dialogs),
      m_progress(progress),
      m_runs(runs),
      m_programDirectory(programDirectory),
      m_settings(TranslationSettings::Read(programDirectory + TranslationSettingsFileName)),
      m_rules(m_settings.tokenRules())
{
    connect(&document, &TableDocument::opened, this, &TranslationDocument::tableOpened);
    connect(&document, &TableDocument::tableClosing, this, &TranslationDocument::tableClosing);
    connect(&document, &TableDocument::textChanged, this,
            [this](std::int32_t strRef, const QString&, const QObject*) { updateEntry(strRef); });
    connect(&document, &TableDocument::entryStateChanged, this,
            [this](std::int32_t strRef, EntryState) { updateEntry(strRef); });
    connect(&document, &TableDocument::entryCountChanged, this, [this](std::uint32_t count) {
        if (!m_index) return;
        m_index->setTableEntries(count);
        emit indexRebuilt();
    });
    connect(&document, &TableDocument::truncated, this, [this](std::uint32_t count) {
        if (!m_index) return;
        m_index->setTableEntries(count);
        emit indexRebuilt();
    });
    connect(&document, &TableDocument::encodingChanged, this, [this] {
        if (m_index) rebuild();
    });
    // A pair is opened before opened() is announced, so the first index
    // already reads the female table; one that goes is let go at once.
    connect(&document, &TableDocument::pairClosed, this, [this] {
        if (m_index) rebuild();
    });
    connect(&document, &TableDocument::femaleTextChanged, this,
            [this](std::int32_t strRef, const QString&, const QObject*) { updateFemaleEntry(strRef); });
    connect(&document, &TableDocument::femaleEntryStateChanged, this,
            [this](std::int32_t strRef, EntryState) { updateFemaleEntry(strRef); });
}

TranslationDocument::~TranslationDocument() = default;

QString TranslationDocument::referenceFileName() const
{
    return m_reference ? QFileInfo(FromUtf8(m_reference->path())).fileName() : QString();
}

std::string TranslationDocument::tablePath() const { return m_document.saveTarget(); }

void TranslationDocument::tableOpened(bool cached)
{
    if (!cached) return;
    m_texts = std::make_unique<TableTexts>(m_document.table());
    const auto language = m_settings.spellingLanguageFor(tablePath());
    m_language = language ? FromUtf8(*language) : QString();
    openSpelling();
    std::string path = m_pendingReference;
    const bool chosen = !path.empty();
    m_pendingReference.clear();
    if (path.empty()) path = m_settings.referenceFor(tablePath()).value_or(std::string());
    if (!path.empty())
        setReference(path);
    else
        emit referenceChanged();
    if (chosen) emit referenceChosen();
}

void TranslationDocument::tableClosing()
{
    dropReference();
    m_texts.reset();
    m_femaleTexts.reset();
    m_referenceMessage.clear();
    emit referenceChanged();
}

void TranslationDocument::dropReference()
{
    m_index.reset();
    m_reference.reset();
    m_referenceFemale.reset();
}

void TranslationDocument::chooseReference()
{
    if (!m_texts) return;
    FileDialogRequest request;
    request.title = "Choose the reference table (the original language)";
    request.filter = "Talk Table Files (.tlk)|*.tlk";
    request.defaultExtension = "tlk";
    request.fileName = m_reference ? m_reference->path() : std::string();
    if (const auto path = m_dialogs.openFile(request)) {
        setReference(*path);
        emit referenceChosen();
    }
}

bool TranslationDocument::setReference(const std::string& path)
{
    if (!m_texts) return false;
    ReferenceLoad load = LoadReferenceTable(path, tablePath(), std::nullopt);
    if (!load.reference) {
        dropReference();
        m_referenceMessage = FromUtf8(load.message);
        m_dialogs.message(BoxKind::Error, load.message);
        emit referenceChanged();
        emit indexRebuilt();
        return false;
    }
    m_reference = std::move(load.reference);
    m_referenceFemale.reset();
    // The reference's own female table, read in the reference's encoding; one
    // that does not load leaves the female check to the table's pair alone.
    if (const auto female = FindFemaleTable(path)) {
        ReferenceLoad femaleLoad = LoadReferenceTable(*female, tablePath(), m_reference->encoding());
        m_referenceFemale = std::move(femaleLoad.reference);
    }
    m_referenceMessage.clear();
    m_settings.rememberReference(tablePath(), path);
    writeSettings();
    rebuild();
    emit referenceChanged();
    return m_index != nullptr;
}

void TranslationDocument::chooseReferenceEncoding(TextEncoding encoding)
{
    if (!m_reference || m_reference->encoding() == encoding) return;
    m_reference->setEncoding(encoding);
    if (m_referenceFemale) m_referenceFemale->setEncoding(encoding);
    rebuild();
    emit referenceChanged();
}

bool TranslationDocument::rebuild()
{
    if (!m_texts || !m_reference) return false;
    if (!m_index) m_index = std::make_unique<TranslationIndex>(m_rules, m_options, m_spelling.get());
    const bool shown = std::max(m_texts->entryCount(), m_reference->entryCount()) > QuietIndexEntries;
    RunController::Run run(m_runs);
    if (shown) {
        m_progress.setBarVisible(true);
        m_progress.setBarPosition(0);
        m_progress.show();
        m_progress.setTitle("Comparing with the reference... Please wait.");
        m_progress.setStatus("Checking every entry...");
    }
    TranslationIndex::KeepGoing keepGoing;
    if (shown)
        keepGoing = [this](double done) {
            m_progress.setBarPosition(static_cast<int>(done * ProgressBarMax));
            m_progress.pump();
            return true;
        };
    m_index->setOptions(m_options, m_options.enabled.has(CheckKind::Spelling) ? m_spelling.get() : nullptr);
    takeFemaleTables();
    m_index->rebuild(*m_texts, &m_reference->texts(), keepGoing);
    // The entry being typed counts as typed.
    if (m_document.textShown()) updateEntry(m_document.currentStrRef());
    if (shown) m_progress.close();
    emit indexRebuilt();
    return true;
}

void TranslationDocument::updateEntry(std::int32_t strRef)
{
    if (!m_index || strRef < 0) return;
    const auto n = static_cast<std::uint32_t>(strRef);
    const TalkTable& table = m_document.table();
    if (strRef == m_document.currentStrRef() && m_document.textShown() && n < table.EntryCount) {
        m_typed = FromEditorText(m_document.encoding(), m_document.text());
        const StrRefEntry& record = table.EntryTable[n];
        m_index->update(n, EntryContent{m_typed, record.Flags, SoundOf(record)});
    } else if (n < table.EntryCount) {
        m_index->update(n);
    }
    emit entryUpdated(strRef);
}

void TranslationDocument::takeFemaleTables()
{
    const TalkTable* female = m_document.femaleTable();
    if (!female)
        m_femaleTexts.reset();
    else if (!m_femaleTexts || &m_femaleTexts->table() != female)
        m_femaleTexts = std::make_unique<TableTexts>(*female);
    m_index->setFemaleTables(m_femaleTexts.get(), m_referenceFemale ? &m_referenceFemale->texts() : nullptr);
}

EntryContent TranslationDocument::femaleContent(std::uint32_t n)
{
    const TalkTable& female = *m_document.femaleTable();
    const StrRefEntry& record = female.EntryTable[n];
    if (static_cast<std::int32_t>(n) == m_document.currentStrRef() && m_document.femaleTextShown()) {
        m_typedFemale = FromEditorText(female.Encoding, m_document.femaleText());
        return EntryContent{m_typedFemale, record.Flags, SoundOf(record)};
    }
    return m_femaleTexts->entry(n);
}

void TranslationDocument::updateFemaleEntry(std::int32_t strRef)
{
    if (!m_index || !m_femaleTexts || strRef < 0) return;
    const auto n = static_cast<std::uint32_t>(strRef);
    if (n >= m_document.femaleTable()->EntryCount || n >= m_document.table().EntryCount) return;
    m_index->updateFemale(n, femaleContent(n));
    emit entryUpdated(strRef);
}

QString TranslationDocument::referenceText(std::int32_t strRef) const
{
    if (!m_reference || strRef < 0 || static_cast<std::uint32_t>(strRef) >= m_reference->entryCount()) return {};
    return ToEditorText(m_reference->encoding(), m_reference->texts().entry(static_cast<std::uint32_t>(strRef)).text);
}

std::vector<Finding> TranslationDocument::findings(std::int32_t strRef)
{
    if (!m_index || strRef < 0 || static_cast<std::uint32_t>(strRef) >= m_index->size()) return {};
    const auto n = static_cast<std::uint32_t>(strRef);
    const TalkTable& table = m_document.table();
    if (strRef == m_document.currentStrRef() && m_document.textShown() && n < table.EntryCount) {
        m_typed = FromEditorText(m_document.encoding(), m_document.text());
        const StrRefEntry& record = table.EntryTable[n];
        const EntryContent here{m_typed, record.Flags, SoundOf(record)};
        if (!m_femaleTexts || n >= m_document.femaleTable()->EntryCount) return m_index->findings(n, here);
        const EntryContent female = femaleContent(n);
        return m_index->findings(n, here, &female);
    }
    return m_index->findings(n);
}

QString TranslationDocument::statusText(std::int32_t strRef) const
{
    if (!m_index || strRef < 0 || static_cast<std::uint32_t>(strRef) >= m_index->size()) return {};
    return FromUtf8(m_index->statusText(static_cast<std::uint32_t>(strRef)));
}

void TranslationDocument::setCheckEnabled(CheckKind kind, bool on)
{
    if (m_options.enabled.has(kind) == on) return;
    m_options.enabled = on ? m_options.enabled.with(kind) : m_options.enabled.without(kind);
    rebuild();
}

std::optional<std::uint32_t> TranslationDocument::moveTarget(Move move)
{
    if (!m_index) return std::nullopt;
    const std::int64_t current = m_document.currentStrRef();
    const bool forward = move == Move::NextUntranslated || move == Move::NextFinding;
    const bool untranslated = move == Move::PreviousUntranslated || move == Move::NextUntranslated;
    const auto find = [&](std::int64_t from) {
        if (untranslated)
            return forward ? m_index->next(EntryStatus::Untranslated, from)
                           : m_index->previous(EntryStatus::Untranslated, from);
        return forward ? m_index->nextFinding(from) : m_index->previousFinding(from);
    };
    const std::int64_t from = current < 0 ? (forward ? -1 : std::int64_t{m_index->size()}) : current;
    if (const auto found = find(from)) return found;
    const bool any = untranslated ? m_index->count(EntryStatus::Untranslated) > 0 : m_index->nextFinding(-1).has_value();
    const std::string what = untranslated ? "No (more) untranslated entries." : "No (more) findings.";
    if (!any) {
        m_dialogs.message(BoxKind::Information, untranslated ? "No untranslated entries." : "No findings.");
        return std::nullopt;
    }
    const std::string question =
        what + (forward ? " Re-start from the beginning?" : " Re-start from the end?");
    if (m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, question) != Answer::Yes) return std::nullopt;
    return find(forward ? -1 : std::int64_t{m_index->size()});
}

void TranslationDocument::copyReferenceText()
{
    if (!m_reference || !m_document.textShown()) return;
    const QString text = Holdable(m_document.encoding(), referenceText(m_document.currentStrRef()));
    m_document.setText(text, this);
}

void TranslationDocument::openSpelling()
{
    m_spelling.reset();
    m_spellingMessage.clear();
    if (!m_language.isEmpty()) {
        std::string message;
        m_spelling = SpellChecker::Open(ToUtf8(m_language), message, {DefaultDictionaryDirectory},
                                        m_programDirectory + PersonalWordListFileName);
        m_spellingMessage = FromUtf8(message);
    }
    m_options.enabled = m_spelling ? m_options.enabled.with(CheckKind::Spelling) : m_options.enabled.without(CheckKind::Spelling);
    emit spellingChanged();
}

QStringList TranslationDocument::dictionaryLanguages() const
{
    QStringList languages;
    const QDir directory(QString::fromLatin1(DefaultDictionaryDirectory));
    for (const QString& file : directory.entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name)) {
        const QString language = file.chopped(4);
        if (directory.exists(language + QStringLiteral(".aff"))) languages << language;
    }
    return languages;
}

void TranslationDocument::chooseSpellingLanguage(const QString& language)
{
    if (language == m_language) return;
    m_language = language;
    if (m_texts) {
        m_settings.rememberSpellingLanguage(tablePath(), ToUtf8(language));
        writeSettings();
    }
    openSpelling();
    if (!m_spellingMessage.isEmpty()) m_dialogs.message(BoxKind::Warning, ToUtf8(m_spellingMessage));
    rebuild();
}

bool TranslationDocument::addToWordList(const QString& word)
{
    if (!m_spelling || !m_spelling->addToPersonalList(ToUtf8(word))) return false;
    emit spellingChanged();
    rebuild();
    return true;
}

void TranslationDocument::writeSettings()
{
    const std::string path = m_programDirectory + TranslationSettingsFileName;
    if (!m_settings.write(path)) m_dialogs.message(BoxKind::Warning, "Cannot write " + path + ".");
}

}  // namespace lexicarta
