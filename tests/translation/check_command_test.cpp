// lexicarta-cli check, status and dump --reference run as a user runs them,
// on generated pairs: they must report exactly what the generator planted.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "cli/tra_file.h"
#include "temp_dir.h"
#include "tlk_generator.h"
#include "translation_pair.h"

using lexicarta::testing::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
{
    const auto quote = [](const std::string& text) {
        std::string quoted = "'";
        for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    };
    std::string command = quote(LEXICARTA_CLI_PATH);
    for (const std::string& arg : args) command += " " + quote(arg);
    command += " >" + quote(dir.file("stdout")) + " 2>" + quote(dir.file("stderr"));
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.read("stdout"), dir.read("stderr")};
}

using Found = std::set<std::pair<std::uint32_t, std::string>>;

bool IsStatus(const std::string& kind) { return kind == "untranslated" || kind == "missing" || kind == "only-here"; }

Found Planted(const std::vector<tlkgen::PlantedCase>& planted, bool statuses)
{
    Found found;
    for (const auto& one : planted)
        if (IsStatus(one.kind) == statuses) found.insert({one.strRef, one.kind});
    return found;
}

// The first two fields of each line ("StrRef<TAB>kind...").
Found Lines(const std::string& out)
{
    Found found;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        found.insert({static_cast<std::uint32_t>(std::stoul(line.substr(0, tab))),
                      line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1)});
        start = end + 1;
    }
    return found;
}

// strref and kind of each JSON object, one a line, with the keys in this order.
Found JsonFindings(const std::string& out)
{
    Found found;
    const std::string strref = "{\"strref\":";
    const std::string kind = ",\"kind\":\"";
    for (std::size_t at = out.find(strref); at != std::string::npos; at = out.find(strref, at + 1)) {
        const std::size_t kindAt = out.find(kind, at);
        EXPECT_NE(out.find(",\"detail\":\"", kindAt), std::string::npos);
        found.insert({static_cast<std::uint32_t>(std::stoul(out.substr(at + strref.size()))),
                      out.substr(kindAt + kind.size(), out.find('"', kindAt + kind.size()) - kindAt - kind.size())});
    }
    return found;
}

}  // namespace

TEST(CheckCommand, FindsWhatWasPlantedAndNothingElse)
{
    struct PairCase {
        std::uint32_t english;
        std::uint32_t translation;
        lexicarta::TextEncoding encoding;
    };
    // A longer translation in UTF-8, a shorter one in the English table's encoding.
    for (const PairCase& c : {PairCase{400, 410, lexicarta::TextEncoding::Utf8},
                              PairCase{400, 380, lexicarta::TextEncoding::Windows1252}}) {
        TempDir dir;
        tlkgen::TranslationPairOptions options;
        options.entries = c.english;
        options.translationEntries = c.translation;
        options.seed = 11;
        options.translationEncoding = c.encoding;
        options.plantedShare = 0.05;
        const tlkgen::TranslationPair pair = tlkgen::MakeTranslationPair(options);
        dir.write("en.tlk", pair.english);
        dir.write("fr.tlk", pair.translation);

        const CliRun check = RunCli(dir, {"check", dir.file("fr.tlk"), "--reference", dir.file("en.tlk"), "--format", "json"});
        EXPECT_EQ(check.status, 1) << check.err;
        EXPECT_EQ(JsonFindings(check.out), Planted(pair.planted, false));
        EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), static_cast<long>(Planted(pair.planted, false).size()));
        EXPECT_NE(check.err.find("lowercase-token: "), std::string::npos) << check.err;

        const CliRun status = RunCli(dir, {"status", dir.file("fr.tlk"), "--reference", dir.file("en.tlk")});
        EXPECT_EQ(status.status, 1) << status.err;
        EXPECT_EQ(Lines(status.out), Planted(pair.planted, true));

        // The untranslated entries, with the English texts, as UTF-8 where the tables' encodings differ.
        const CliRun dump = RunCli(dir, {"dump", dir.file("fr.tlk"), "--reference", dir.file("en.tlk"), "--format", "tra"});
        ASSERT_EQ(dump.status, 0) << dump.err;
        const auto tra = lexicarta::cli::ParseTra(dump.out);
        ASSERT_FALSE(tra.error);
        Found untranslated;
        for (const auto& entry : tra.entries) untranslated.insert({static_cast<std::uint32_t>(entry.strRef), "untranslated"});
        Found planted;
        for (const auto& one : Planted(pair.planted, true))
            if (one.second == "untranslated") planted.insert(one);
        EXPECT_EQ(untranslated, planted);
    }
}

TEST(CheckCommand, RefusesTheTableAsItsReferenceAndAMissingDictionary)
{
    TempDir dir;
    tlkgen::TranslationPairOptions options;
    options.entries = 100;
    options.plantedShare = 0;
    const tlkgen::TranslationPair pair = tlkgen::MakeTranslationPair(options);
    dir.write("fr.tlk", pair.translation);
    ASSERT_EQ(::symlink(dir.file("fr.tlk").c_str(), dir.file("same.tlk").c_str()), 0);

    const CliRun same = RunCli(dir, {"status", dir.file("fr.tlk"), "--reference", dir.file("same.tlk")});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(same.err, "lexicarta-cli: status: " + dir.file("same.tlk") +
                            ": The reference table is the table being edited. Choose the talk table in the original "
                            "language.\n");
    const CliRun spelling = RunCli(dir, {"check", dir.file("fr.tlk"), "--spelling", "fr_FR", "--dictionaries", dir.path()});
    EXPECT_EQ(spelling.status, 2);
    EXPECT_EQ(spelling.err, "lexicarta-cli: check: Spelling is unavailable: no dictionary for fr_FR in " + dir.path() +
                                " (the Debian package hunspell-fr provides it).\n");
    // Without a reference only what needs none is found: here the flags.
    const CliRun alone = RunCli(dir, {"check", dir.file("fr.tlk"), "--checks", "flags"});
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(Lines(alone.out), (Found{{5, "flags"}, {6, "flags"}, {7, "flags"}}));
    EXPECT_EQ(alone.err, "flags: 3 findings\n");
}

TEST(CheckCommand, FindsFemaleTextsMissingOrLeftAsTheMaleOnes)
{
    TempDir dir;
    tlkgen::GeneratorOptions options;
    options.entries = 40;
    options.seed = 3;
    ASSERT_TRUE(tlkgen::WriteTalkTablePair(dir.file("en.tlk"), dir.file("enF.tlk"), options));
    dir.write("fr.tlk", dir.read("en.tlk"));
    dir.write("frF.tlk", dir.read("enF.tlk"));
    dir.write("en.tra", "@3 = ~He waits.~ ~She waits.~\n@4 = ~Go.~ ~Go.~\n");
    dir.write("fr.tra", "@3 = ~Il attend.~ ~Il attend.~\n@4 = ~Va.~ ~Va.~\n@5 = ~Salut.~ ~~\n");
    ASSERT_EQ(RunCli(dir, {"apply", dir.file("en.tlk"), dir.file("en.tra")}).status, 0);
    ASSERT_EQ(RunCli(dir, {"apply", dir.file("fr.tlk"), dir.file("fr.tra")}).status, 0);

    // The female tables are found beside both tables; only 3 (the reference
    // pair differs there, the translation's does not) and 5 are findings.
    const CliRun run = RunCli(dir, {"check", dir.file("fr.tlk"), "--reference", dir.file("en.tlk"), "--checks", "female"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out), (Found{{3, "female"}, {5, "female"}}));
    EXPECT_EQ(run.err, "female: 2 findings\n");
    // A female table longer than the male one is said once, at its first extra entry.
    dir.write("frF.tlk", dir.read("enF.tlk"));
    dir.write("more.tra", "@40 = ~Plus.~\n");
    ASSERT_EQ(RunCli(dir, {"apply", dir.file("frF.tlk"), dir.file("more.tra"), "--append", "--no-female"}).status, 0);
    const CliRun longer = RunCli(dir, {"check", dir.file("fr.tlk"), "--checks", "female", "--format", "json"});
    EXPECT_EQ(JsonFindings(longer.out), (Found{{40, "female"}}));
}
