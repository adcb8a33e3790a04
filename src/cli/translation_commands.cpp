// check, status and dump --reference: a translated table against the table
// in the original language.

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_pair.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "cli/tra_file.h"
#include "core/table_pair.h"
#include "translation/reference_table.h"
#include "translation/spell_checker.h"
#include "translation/translation_index.h"
#include "translation/translation_settings.h"

namespace lexicarta::cli {
namespace {

const KnownOption ReferenceOption{"--reference", true};
const KnownOption ReferenceEncodingOption{"--reference-encoding", true};
const KnownOption EncodingOption{"--encoding", true};

// The reference table, read only; a refusal or a failed load is the command's error.
std::unique_ptr<ReferenceTable> LoadReference(const std::string& command, const Arguments& arguments,
                                              const std::string& tablePath)
{
    const std::string path = *arguments.value("--reference");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw CliError(errno == ENOENT ? path + ": no such file" : "cannot open " + path + ": " + std::strerror(errno));
    ReferenceLoad load = LoadReferenceTable(path, tablePath, arguments.encoding("--reference-encoding"));
    if (!load.reference) throw CliError(command + ": " + path + ": " + load.message);
    return std::move(load.reference);
}

// The female table of the reference: --reference-female FILE, or the one
// found beside it unless --no-female.
std::unique_ptr<ReferenceTable> LoadReferenceFemale(const Arguments& arguments, const std::string& tablePath,
                                                    const ReferenceTable& reference)
{
    const auto path = FemaleTablePath("check", arguments, *arguments.value("--reference"), "--reference-female");
    if (!path) return nullptr;
    ReferenceLoad load = LoadReferenceTable(*path, tablePath, arguments.encoding("--reference-encoding"));
    if (!load.reference) throw CliError("check: " + *path + ": " + load.message);
    if (!arguments.has("--reference-encoding")) load.reference->setEncoding(reference.encoding());
    return std::move(load.reference);
}

// The tokens added in a translation settings file, when one is given.
TokenRules RulesFrom(const Arguments& arguments)
{
    const auto path = arguments.value("--settings");
    if (!path) return TokenRules();
    struct stat st {};
    if (::stat(path->c_str(), &st) != 0) throw CliError("check: " + *path + ": no such file");
    return TranslationSettings::Read(*path).tokenRules();
}

CheckSet ParseChecks(const Arguments& arguments, bool withReference, bool withSpelling)
{
    CheckSet checks = CheckSet::Default();
    if (!withReference) checks = checks.without(CheckKind::Leftover);
    if (withSpelling) checks = checks.with(CheckKind::Spelling);
    const auto list = arguments.value("--checks");
    if (!list) return checks;
    checks = CheckSet();
    std::string_view rest = *list;
    while (true) {
        const auto comma = rest.find(',');
        const std::string name(rest.substr(0, comma));
        const auto kind = CheckKindFromName(name);
        if (!kind) {
            std::string known;
            for (int i = 0; i < CheckKindCount; ++i)
                known += (i ? ", " : "") + std::string(CheckKindName(static_cast<CheckKind>(i)));
            UsageError("check", "unknown check '" + name + "' (known: " + known + ")");
        }
        if (*kind == CheckKind::Leftover && !withReference) UsageError("check", "the leftover check needs --reference");
        if (*kind == CheckKind::Spelling && !withSpelling) UsageError("check", "the spelling check needs --spelling LANG");
        checks = checks.with(*kind);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return checks;
}

// The dictionary folders given as DIR:DIR..., or the system's.
std::vector<std::string> DictionaryDirectories(const Arguments& arguments)
{
    const auto given = arguments.value("--dictionaries");
    if (!given) return {DefaultDictionaryDirectory};
    std::vector<std::string> directories;
    std::string_view rest = *given;
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        if (colon != 0) directories.emplace_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return directories;
}

}  // namespace

int CheckCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("check", args,
                              {ReferenceOption, ReferenceEncodingOption, EncodingOption, {"--checks", true},
                               {"--max-bytes", true}, {"--format", true}, {"--spelling", true},
                               {"--dictionaries", true}, {"--words", true}, {"--settings", true}, FemaleOption,
                               NoFemaleOption, {"--reference-female", true}},
                              1, 1);
    const std::string format = arguments.value("--format").value_or("text");
    if (format != "text" && format != "json") UsageError("check", "unknown format '" + format + "' (text or json)");
    const bool withReference = arguments.has("--reference");
    const auto language = arguments.value("--spelling");
    CheckOptions options;
    options.enabled = ParseChecks(arguments, withReference, language.has_value());
    options.maxBytes = static_cast<std::uint32_t>(arguments.number("--max-bytes", UINT32_MAX).value_or(options.maxBytes));
    const TokenRules rules = RulesFrom(arguments);
    const std::string& path = arguments.operands()[0];
    const auto femalePath = FemaleTablePath("check", arguments, path);
    if (arguments.has("--reference-female") && !withReference)
        UsageError("check", "--reference-female goes with --reference");
    std::vector<std::string> tables = {path};
    if (withReference) tables.push_back(*arguments.value("--reference"));
    if (femalePath) tables.push_back(*femalePath);
    RefuseOutputsOntoTables("check", tables, {}, context);

    std::unique_ptr<SpellChecker> spelling;
    if (language) {
        std::string message;
        spelling = SpellChecker::Open(*language, message, DictionaryDirectories(arguments),
                                      arguments.value("--words").value_or(std::string()));
        if (!spelling) throw CliError("check: " + message);
    }
    const LoadedPair loaded(path, femalePath, {}, LoadPurpose::Read, arguments.encoding());
    const std::unique_ptr<ReferenceTable> reference = withReference ? LoadReference("check", arguments, path) : nullptr;
    const std::unique_ptr<ReferenceTable> referenceFemale =
        reference && femalePath ? LoadReferenceFemale(arguments, path, *reference) : nullptr;
    const TableTexts texts(loaded.male().table());
    std::optional<TableTexts> femaleTexts;
    if (loaded.female()) femaleTexts.emplace(loaded.female()->table());
    TranslationIndex index(rules, options, spelling.get());
    index.setFemaleTables(femaleTexts ? &*femaleTexts : nullptr, referenceFemale ? &referenceFemale->texts() : nullptr);
    index.rebuild(texts, reference ? &reference->texts() : nullptr);

    std::string& out = context.out.buffer();
    for (auto n = index.nextFinding(-1); n; n = index.nextFinding(*n)) {
        for (const Finding& finding : index.findings(*n)) {
            if (format == "json") {
                out += "{\"strref\":" + std::to_string(*n) + ",\"kind\":";
                AppendJsonString(out, CheckKindName(finding.kind));
                out += ",\"detail\":";
                AppendJsonString(out, finding.detail);
                out += "}\n";
            } else {
                out += std::to_string(*n) + "\t" + std::string(CheckKindName(finding.kind)) + "\t" + finding.detail + "\n";
            }
            context.out.settle();
        }
    }
    // Entries the female table has beyond the male table's end are paired
    // with nothing: said once, at the first of them.
    const bool femaleLonger = loaded.female() && options.enabled.has(CheckKind::Female) &&
                              loaded.female()->entryCount() > loaded.male().entryCount();
    if (femaleLonger) {
        const std::uint32_t n = loaded.male().entryCount();
        const std::string detail = "the tables are out of step: " + loaded.countsText();
        if (format == "json") {
            out += "{\"strref\":" + std::to_string(n) + ",\"kind\":\"female\",\"detail\":";
            AppendJsonString(out, detail);
            out += "}\n";
        } else {
            out += std::to_string(n) + "\tfemale\t" + detail + "\n";
        }
    }
    context.out.flush();
    bool found = femaleLonger;
    for (int i = 0; i < CheckKindCount; ++i) {
        const auto kind = static_cast<CheckKind>(i);
        if (!options.enabled.has(kind) || (kind == CheckKind::Female && !loaded.female())) continue;
        context.err << CheckKindName(kind) << ": ";
        const std::uint32_t count = index.count(kind) + (kind == CheckKind::Female && femaleLonger ? 1 : 0);
        context.err.number(count) << (count == 1 ? " finding\n" : " findings\n");
        found = found || count > 0;
    }
    context.err.flush();
    return found ? ExitFound : ExitOk;
}

int StatusCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("status", args, {ReferenceOption, ReferenceEncodingOption, EncodingOption, {"--only", true}}, 1, 1);
    if (!arguments.has("--reference")) UsageError("status", "--reference REF is needed");
    std::optional<EntryStatus> only;
    if (const auto name = arguments.value("--only")) {
        only = StatusFromName(*name);
        if (!only) UsageError("status", "unknown status '" + *name + "' (untranslated, missing, only-here, translated or empty)");
    }
    const std::string& path = arguments.operands()[0];
    RefuseOutputsOntoTables("status", {path, *arguments.value("--reference")}, {}, context);
    const LoadedTable loaded(path, {}, LoadPurpose::Read, arguments.encoding());
    const std::unique_ptr<ReferenceTable> reference = LoadReference("status", arguments, path);
    const TableTexts texts(loaded.table());
    const TokenRules rules;
    CheckOptions options;
    options.enabled = CheckSet();
    TranslationIndex index(rules, options);
    index.rebuild(texts, &reference->texts());

    const auto listed = [&](EntryStatus status) {
        return only ? status == *only
                    : status == EntryStatus::Untranslated || status == EntryStatus::Missing || status == EntryStatus::OnlyHere;
    };
    std::string& out = context.out.buffer();
    std::uint64_t lines = 0;
    for (std::uint32_t n = 0; n < index.size(); ++n) {
        const EntryStatus status = index.status(n);
        if (!listed(status)) continue;
        out += std::to_string(n) + "\t" + std::string(StatusName(status));
        if (index.beyondEnd(n))
            out += n >= index.tableEntries() ? "\tbeyond the end of the table" : "\tbeyond the end of the reference";
        out += "\n";
        context.out.settle();
        ++lines;
    }
    context.out.flush();
    for (int s = 0; s < EntryStatusCount; ++s) {
        const auto status = static_cast<EntryStatus>(s);
        context.err << StatusName(status) << ": ";
        context.err.number(index.count(status)) << "\n";
    }
    if (index.tableEntries() != index.referenceEntries()) {
        context.err << "The table has ";
        context.err.number(index.tableEntries()) << " entries, the reference ";
        context.err.number(index.referenceEntries()) << ": from StrRef ";
        context.err.number(std::min(index.tableEntries(), index.referenceEntries()))
            << " on, entries lie beyond the end of the " << (index.tableEntries() < index.referenceEntries() ? "table" : "reference")
            << ".\n";
    }
    context.err.flush();
    return lines ? ExitFound : ExitOk;
}

bool NamesReference(const Args& args)
{
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--reference" || arg.rfind("--reference=", 0) == 0) return true;
    }
    return false;
}

int DumpUntranslated(const Args& args, CommandContext& context)
{
    const Arguments arguments("dump", args,
                              {EncodingOption, ReferenceOption, ReferenceEncodingOption, {"--format", true},
                               {"--from", true}, {"--to", true}},
                              1, 1);
    if (arguments.value("--format").value_or("text") != "tra")
        UsageError("dump", "--reference writes the untranslated entries as TRA: add --format tra");
    arguments.number("--from", INT32_MAX);
    arguments.number("--to", INT32_MAX);
    const std::string& path = arguments.operands()[0];
    RefuseOutputsOntoTables("dump", {path, *arguments.value("--reference")}, {}, context);
    const LoadedTable loaded(path, {}, LoadPurpose::Read, arguments.encoding());
    const std::unique_ptr<ReferenceTable> reference = LoadReference("dump", arguments, path);
    const TableTexts texts(loaded.table());
    const TokenRules rules;
    CheckOptions options;
    options.enabled = CheckSet();
    EntryChecker checker(rules, options, loaded.encoding(), reference->encoding());

    const std::int64_t last = std::int64_t{std::min(loaded.entryCount(), reference->entryCount())} - 1;
    const std::int64_t from = arguments.number("--from", std::max<std::int64_t>(last, 0)).value_or(0);
    const std::int64_t to = arguments.number("--to", std::max<std::int64_t>(last, 0)).value_or(last);
    // The reference's own bytes where both tables share an encoding; UTF-8
    // otherwise, marked as such for apply where the table is not UTF-8.
    const bool sameEncoding = reference->encoding() == loaded.encoding();
    std::string& out = context.out.buffer();
    if (!sameEncoding && loaded.encoding() != TextEncoding::Utf8) out += "\xEF\xBB\xBF";
    for (std::int64_t n = from; n <= to; ++n) {
        const auto strRef = static_cast<std::uint32_t>(n);
        const EntryContent here = texts.entry(strRef);
        const EntryContent original = reference->texts().entry(strRef);
        if (checker.status(here, &original) != EntryStatus::Untranslated) continue;
        if (sameEncoding) {
            AppendTraLine(out, n, original.text, std::nullopt);
        } else {
            std::string utf8;
            AppendUtf8(utf8, DecodeText(reference->encoding(), original.text));
            AppendTraLine(out, n, utf8, std::nullopt);
        }
        context.out.settle();
    }
    return ExitOk;
}

}  // namespace lexicarta::cli
