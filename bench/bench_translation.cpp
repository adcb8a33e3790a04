// Translating against a reference table: the statuses and every check but
// spelling over a generated pair of 300,000 and of 1,000,001 entries, next to
// loading both tables; the next untranslated entry through the index, next
// to computing the statuses again; spelling a 100,000-entry table, next to
// Hunspell spelling the same words from a word list.
//
// The pairs are generated here (a translation pair is two tables made
// together), in the scratch directory; the --table arguments are not used.

#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/file_io.h"
#include "core/talk_table.h"
#include "core/table_loader.h"
#include "tlk_generator.h"
#include "translation/reference_table.h"
#include "translation/spell_checker.h"
#include "translation/translation_index.h"
#include "translation_pair.h"

using namespace lexicarta;

namespace {

struct LoadedPair {
    std::unique_ptr<TalkTable> table = std::make_unique<TalkTable>();
    std::unique_ptr<ReferenceTable> reference;
    ~LoadedPair() { CloseTable(*table); }
};

// The translation as the main window loads it (with its cache file), the
// English table as its reference.
bool LoadPair(LoadedPair& pair, const std::string& translation, const std::string& english, const std::string& workdir)
{
    bench::SilentDialogs dialogs;
    if (!bench::LoadTable(*pair.table, translation, workdir, dialogs)) return false;
    pair.reference.reset();
    pair.reference = LoadReferenceTable(english, translation, std::nullopt).reference;
    return pair.reference != nullptr;
}

int MeasurePair(std::uint32_t entries, const std::string& workdir)
{
    const std::string english = workdir + "en-" + std::to_string(entries) + ".tlk";
    const std::string translation = workdir + "fr-" + std::to_string(entries) + ".tlk";
    tlkgen::TranslationPairOptions options;
    options.entries = entries;
    options.seed = 1;
    if (!tlkgen::WriteTranslationPair(english, translation, workdir + "planted.txt", options)) {
        std::fprintf(stderr, "cannot write the pair into %s\n", workdir.c_str());
        return 1;
    }
    LoadedPair pair;
    const double load = bench::Median(3, [&] {
        if (!LoadPair(pair, translation, english, workdir)) std::fprintf(stderr, "cannot load the pair\n");
    });
    const TokenRules rules;
    TableTexts texts(*pair.table);
    TranslationIndex index(rules, {});
    const double checks = bench::Median(3, [&] { index.rebuild(texts, &pair.reference->texts()); });
    const std::string size = std::to_string(entries);
    bench::Report("translation_checks_" + size, checks, "load both tables", load);

    if (entries < 1000000) return 0;
    // The worst case: one untranslated entry left (the others translated
    // through the index as the user would), the next one asked for right
    // after it: nothing up to the end, then from the start (the window wraps).
    const auto first = index.next(EntryStatus::Untranslated, -1);
    for (auto n = index.next(EntryStatus::Untranslated, *first); n; n = index.next(EntryStatus::Untranslated, *n))
        index.update(*n, {"Traduit.", 1, {}});
    const double next = bench::Median(101, [&] {
        if (!index.next(EntryStatus::Untranslated, *first)) index.next(EntryStatus::Untranslated, -1);
    });
    EntryChecker checker(rules, {}, texts.encoding(), pair.reference->encoding());
    const double rescan = bench::Median(3, [&] {
        std::uint32_t found = 0;
        for (std::uint32_t n = 0; n < index.size(); ++n) {
            const EntryContent here = texts.entry(n);
            const EntryContent original = pair.reference->texts().entry(n);
            found += checker.status(here, &original) == EntryStatus::Untranslated;
        }
        if (found == 0) std::fprintf(stderr, "no untranslated entry\n");
    });
    bench::Report("next_untranslated_" + size + " (the only one left, from itself)", next,
                  "rescan of the statuses", rescan);
    return 0;
}

int MeasureSpelling(const std::string& workdir)
{
    std::string message;
    auto checker = SpellChecker::Open("en_US", message);
    if (!checker) {
        std::printf("bench spelling_100000: skipped (%s)\n", message.c_str());
        return 0;
    }
    const std::string path = workdir + "spelling.tlk";
    tlkgen::GeneratorOptions generator;
    generator.entries = 100000;
    generator.seed = 1;
    if (!tlkgen::WriteTalkTable(path, generator)) return 1;
    const auto table = LoadReferenceTable(path, {}, std::nullopt).reference;
    if (!table) return 1;

    // The same words, one a line, for the baseline.
    std::vector<std::string> words;
    for (std::uint32_t n = 0; n < table->entryCount(); ++n)
        checker->appendWords(table->texts().entry(n).text, table->encoding(), words);
    std::string list;
    for (const std::string& word : words) list += word + "\n";
    WriteWholeFile(workdir + "words.txt", list);

    const TokenRules rules;
    CheckOptions options;
    options.enabled = CheckSet().with(CheckKind::Spelling);
    const double spelling = bench::Time([&] {
        auto fresh = SpellChecker::Open("en_US", message);
        TranslationIndex index(rules, options, fresh.get());
        index.rebuild(table->texts(), nullptr);
    });
    const double baseline = bench::Time([&] {
        auto fresh = SpellChecker::Open("en_US", message);
        const std::string read = ReadWholeFile(workdir + "words.txt").value_or(std::string());
        std::size_t unknown = 0;
        for (std::size_t start = 0, end; start < read.size(); start = end + 1) {
            end = read.find('\n', start);
            unknown += !fresh->dictionaryKnows(read.substr(start, end - start));
        }
        if (unknown == words.size()) std::fprintf(stderr, "no word known\n");
    });
    bench::Report("spelling_100000 (" + std::to_string(words.size()) + " words)", spelling,
                  "Hunspell on the word list", baseline);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    const std::string& workdir = arguments.workdir;
    for (const std::uint32_t entries : {300000u, 1000001u})
        if (const int failed = MeasurePair(entries, workdir)) return failed;
    return MeasureSpelling(workdir);
}
