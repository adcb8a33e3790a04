// Text export: the listing compared with one written here from the
// generator's texts (laid out in StrRef order and shuffled), the raw copy,
// and failures that leave an existing file alone.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "../editing/loaded_table.h"
#include "export/text_export.h"
#include "reference_tlk.h"

namespace lexicarta::testing {
namespace {

// The listing as the user expects it, built straight from the texts.
std::string ExpectedListing(const std::vector<tlkgen::GeneratedEntry>& entries, const ExportOptions& options)
{
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& text = entries[i].text;
        if (!options.writeEmptyStrings && text.find_first_not_of(' ') == std::string::npos) continue;
        const std::string n = std::to_string(i);
        if (options.numberStrings) out += "--- STRING " + n + " ---\r\n";
        out += text + "\r\n";
        if (options.numberStrings) out += "--- END OF STRING " + n + " ---\r\n";
        if (options.spacelines) out += "\r\n";
    }
    return out;
}

std::vector<tlkgen::GeneratedEntry> TableWithAwkwardTexts()
{
    tlkgen::GeneratorOptions options;
    options.entries = 500;
    options.seed = 9;
    options.emptyShare = 0.1;
    auto entries = tlkgen::GenerateTalkTable(options).entries;
    entries[3].text = "   ";
    entries[4].text = "\t";
    entries[5].text = "two\nlines";
    entries[6].text = " x ";
    entries[7].text = std::string("\xe9t\xe9\0after", 9);
    return entries;
}

TEST(ExportText, GuidedListingForEveryCombinationOfOptions)
{
    tlkgen::GeneratorOptions generator;
    generator.entries = 400;
    generator.textsInStrRefOrder = false;
    const auto shuffled = tlkgen::GenerateTalkTable(generator);
    const auto awkward = TableWithAwkwardTexts();
    const std::pair<std::string, std::vector<tlkgen::GeneratedEntry>> tables[] = {
        {tlkgen::MakeTalkTable(awkward), awkward}, {shuffled.bytes, shuffled.entries}};
    for (const auto& [bytes, entries] : tables) {
        LoadedTable t;
        ASSERT_TRUE(t.load(bytes));
        for (int combination = 0; combination < 8; ++combination) {
            ExportOptions options;
            options.numberStrings = combination & 1;
            options.spacelines = combination & 2;
            options.writeEmptyStrings = combination & 4;
            SCOPED_TRACE(std::to_string(entries.size()) + " entries, options " + std::to_string(combination));
            t.dialogs.clear();
            EXPECT_EQ(ExportTextTo(t.table, t.dir.file("out.txt"), options, t.progress, t.dialogs, t.flags),
                      ExportResult::Exported);
            EXPECT_EQ(t.dir.read("out.txt"), ExpectedListing(entries, options));
            EXPECT_EQ(t.dialogs.onlyText(), "Strings have been successfully exported to " + t.dir.file("out.txt"));
            EXPECT_EQ(t.dialogs.boxes.front().kind, BoxKind::Information);
            EXPECT_FALSE(t.progress.shown);
        }
        EXPECT_EQ(t.progress.statuses.back(), "Checking and copying strings...");
    }
    // The default options spelled out: texts "A", "" and "B".
    EXPECT_EQ(ExpectedListing(Texts({"A", "", "B"}), {}), "A\r\n\r\nB\r\n\r\n");
}

TEST(ExportText, RawExportIsTheStringDataAndTheCacheStaysReadable)
{
    tlkgen::GeneratorOptions generator;
    generator.entries = 300;
    generator.textsInStrRefOrder = false;
    const auto generated = tlkgen::GenerateTalkTable(generator);
    LoadedTable t;
    ASSERT_TRUE(t.load(generated.bytes));
    ExportOptions raw;
    raw.guided = false;
    ASSERT_TRUE(t.table.Cache.map());
    ASSERT_EQ(ExportTextTo(t.table, t.dir.file("raw.txt"), raw, t.progress, t.dialogs, t.flags),
              ExportResult::Exported);
    const auto header = ParseReferenceTable(generated.bytes);
    EXPECT_EQ(t.dir.read("raw.txt"), generated.bytes.substr(header->stringDataOffset));
    EXPECT_EQ(t.dialogs.onlyText(), "Strings have been successfully exported to " + t.dir.file("raw.txt"));
    EXPECT_EQ(t.progress.statuses.back(), "Checking and copying 300 strings...");
    EXPECT_EQ(t.progress.positions.back(), 1000);
    EXPECT_FALSE(t.progress.shown);
    EXPECT_EQ(t.table.ReadCachedString(7), generated.entries[7].text);

    // A copy that fails: one error, and the cache is still there to read.
    t.dialogs.clear();
    EXPECT_EQ(ExportTextTo(t.table, "/proc/lexicarta-missing/raw.txt", raw, t.progress, t.dialogs, t.flags),
              ExportResult::Failed);
    EXPECT_EQ(t.dialogs.onlyText(), ExportFailedMessage);
    EXPECT_EQ(t.dialogs.boxes.front().kind, BoxKind::Error);
    EXPECT_EQ(t.table.ReadCachedString(7), generated.entries[7].text);
}

// A failed export reports itself and leaves an existing file as it was,
// with nothing of the export left beside it.
TEST(ExportText, FailuresLeaveTheTargetAlone)
{
    struct Case {
        const char* name;
        bool guided;
        bool readOnlyTarget;
        bool cacheGone;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"guided, target read-only", true, true, false, {ExportCreateFailedMessage, ExportFailedMessage}},
        {"guided, cache gone", true, false, true, {ExportFailedMessage}},
        {"raw, target read-only", false, true, false, {ExportFailedMessage}},
        {"raw, cache gone", false, false, true, {ExportFailedMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedTable t;
        ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "beta"}))));
        t.dir.write("old.txt", "an earlier export");
        if (c.readOnlyTarget) ::chmod(t.dir.file("old.txt").c_str(), 0444);
        if (c.cacheGone) std::remove(t.table.CachePath.c_str());
        const auto files = t.dir.list();
        ExportOptions options;
        options.guided = c.guided;
        EXPECT_EQ(ExportTextTo(t.table, t.dir.file("old.txt"), options, t.progress, t.dialogs, t.flags),
                  ExportResult::Failed);
        EXPECT_EQ(t.dialogs.texts(), c.messages);
        EXPECT_EQ(t.dialogs.boxes.back().kind, BoxKind::Error);
        EXPECT_EQ(t.dir.read("old.txt"), "an earlier export");
        EXPECT_EQ(t.dir.list(), files);
        EXPECT_FALSE(t.progress.shown);
    }
}

// Written beside and renamed, an export into the loaded table's own file
// (by its name, a link or a second name) would replace the table.
TEST(ExportText, TheLoadedTableIsNoTarget)
{
    for (const bool guided : {true, false})
        for (const std::string target : {"dialog.tlk", "link.tlk", "hard.tlk"}) {
            SCOPED_TRACE(target);
            LoadedTable t;
            const std::string bytes = tlkgen::MakeTalkTable(Texts({"alpha", "beta"}));
            ASSERT_TRUE(t.load(bytes));
            ASSERT_EQ(::symlink(t.path.c_str(), t.dir.file("link.tlk").c_str()), 0);
            ASSERT_EQ(::link(t.path.c_str(), t.dir.file("hard.tlk").c_str()), 0);
            const auto files = t.dir.list();
            ExportOptions options;
            options.guided = guided;
            EXPECT_EQ(ExportTextTo(t.table, t.dir.file(target), options, t.progress, t.dialogs, t.flags),
                      ExportResult::Failed);
            EXPECT_EQ(t.dialogs.onlyText(), ExportOntoTableMessage(t.dir.file(target)));
            EXPECT_EQ(t.dir.read("dialog.tlk"), bytes);
            EXPECT_EQ(t.dir.list(), files);
        }
}

// Bytes after the last text (a table extended with zeros) are no text:
// the cache and the raw export end with the last text.
TEST(ExportText, RawExportEndsWithTheLastText)
{
    LoadedTable t;
    ASSERT_TRUE(t.load(tlkgen::MakeTalkTable(Texts({"alpha", "", "beta"})) + std::string(1 << 20, '\0')));
    ExportOptions raw;
    raw.guided = false;
    ASSERT_EQ(ExportTextTo(t.table, t.dir.file("raw.txt"), raw, t.progress, t.dialogs, t.flags), ExportResult::Exported);
    EXPECT_EQ(t.dir.read("raw.txt"), "alphabeta");
}

}  // namespace
}  // namespace lexicarta::testing
