// lexicarta-cli run as a user runs it, on generated tables: its results are
// compared with the core the windows use and with the independent reader.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include "cli/tra_file.h"
#include "core/table_loader.h"
#include "expected_matches.h"
#include "export/text_export.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "reference_tlk.h"
#include "search/search_engine.h"
#include "statistics/technical_statistics.h"
#include "statistics/word_statistics.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
{
    std::string command = Quote(LEXICARTA_CLI_PATH);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(dir.file("stdout")) + " 2>" + Quote(dir.file("stderr"));
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = dir.read("stdout");
    run.err = dir.read("stderr");
    return run;
}

tlkgen::GeneratedTable Generate(std::uint32_t entries, std::uint64_t seed, bool ordered = true)
{
    tlkgen::GeneratorOptions options;
    options.entries = entries;
    options.seed = seed;
    options.textsInStrRefOrder = ordered;
    return tlkgen::GenerateTalkTable(options);
}

std::string SoundOf(const std::array<char, 8>& sound)
{
    return std::string(sound.data(), static_cast<std::size_t>(std::find(sound.begin(), sound.end(), '\0') - sound.begin()));
}

// A table loaded as the windows load it, for their results.
struct CoreTable {
    TempDir dir;
    FakeDialogs dialogs;
    RunFlags flags;
    FakeProgress progress{flags};
    TalkTable table;

    explicit CoreTable(const std::string& path)
    {
        table.ProgramDirectory = dir.path();
        EXPECT_EQ(LoadTableFile(table, path, dialogs, progress, flags), OpenResult::Opened);
        EXPECT_FALSE(table.CacheFailed);
    }
    ~CoreTable() { CloseTable(table); }
};

class CountingHost : public SearchHost {
public:
    SearchOptions options;
    SearchOptions currentOptions() override { return options; }
    void setSuppressMemoChange(bool) override {}
    bool presentMatch(const FoundMatch&) override { return true; }
    void offerRestart() override {}
};

TEST(Cli, DumpAndGetGiveTheTablesBytesInEveryFormat)
{
    for (const bool ordered : {true, false}) {
        TempDir dir;
        const auto generated = Generate(300, 7, ordered);
        dir.write("dialog.tlk", generated.bytes);
        const auto reference = ParseReferenceTable(generated.bytes);
        ASSERT_TRUE(reference);

        // TRA: every text and sound byte for byte.
        const CliRun tra = RunCli(dir, {"dump", dir.file("dialog.tlk"), "--format", "tra"});
        ASSERT_EQ(tra.status, 0) << tra.err;
        const auto parsed = cli::ParseTra(tra.out);
        ASSERT_FALSE(parsed.error) << parsed.error->line << ": " << parsed.error->message;
        ASSERT_EQ(parsed.entries.size(), reference->entries.size());
        for (std::size_t n = 0; n < parsed.entries.size(); ++n) {
            EXPECT_EQ(parsed.entries[n].strRef, static_cast<std::int64_t>(n));
            EXPECT_EQ(parsed.entries[n].text, reference->entries[n].text) << n;
            EXPECT_EQ(parsed.entries[n].sound.value_or(""), SoundOf(reference->entries[n].soundResRef)) << n;
        }

        // JSON and text: one line per entry with its figures; get = the same entries.
        const CliRun json = RunCli(dir, {"dump", dir.file("dialog.tlk"), "--format", "json", "--from", "10", "--to", "19"});
        ASSERT_EQ(json.status, 0) << json.err;
        EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 10);
        const auto& e = reference->entries[12];
        EXPECT_NE(json.out.find("{\"strref\":12,\"flags\":" + std::to_string(e.flags) + ",\"sound\":\"" + SoundOf(e.soundResRef) +
                                "\",\"volume_variance\":" + std::to_string(e.volumeVariance) +
                                ",\"pitch_variance\":" + std::to_string(e.pitchVariance) + ",\"text\":"),
                  std::string::npos)
            << json.out;
        const CliRun get = RunCli(dir, {"get", dir.file("dialog.tlk"), "12", "--format", "json"});
        EXPECT_EQ(get.status, 0);
        EXPECT_NE(json.out.find(get.out), std::string::npos);
        const CliRun text = RunCli(dir, {"get", dir.file("dialog.tlk"), "1", "3"});
        EXPECT_EQ(text.out.rfind("StrRef 1 | flags " + std::to_string(reference->entries[1].flags), 0), 0u) << text.out;

        const CliRun info = RunCli(dir, {"info", dir.file("dialog.tlk")});
        EXPECT_EQ(info.status, 0);
        EXPECT_EQ(info.out, "Signature: \"TLK V1  \"\nLanguage id: 0\nEntries: 300\nStringDataOffset: " +
                                std::to_string(reference->stringDataOffset) + "\nFile size: " +
                                std::to_string(generated.bytes.size()) + "\nEncoding: Windows-1252 (detected)\n");
    }
}

TEST(Cli, TextAndJsonAreUtf8AndKeepBytesTheEncodingLacks)
{
    // A UTF-8 table with one stray byte, read as detected and as chosen.
    struct Case {
        std::vector<std::string> extra;
        std::string text;
        std::string json;
    };
    const std::string bytes = "caf\xC3\xA9 \"q\" \\\n\x01";
    const Case cases[] = {
        {{}, "caf\xC3\xA9 \"q\" \\\n\x01", "\"caf\xC3\xA9 \\\"q\\\" \\\\\\n\\u0001\""},
        {{"--encoding", "windows-1252"}, "caf\xC3\x83\xC2\xA9 \"q\" \\\n\x01", "\"caf\xC3\x83\xC2\xA9 \\\"q\\\" \\\\\\n\\u0001\""},
    };
    TempDir dir;
    tlkgen::GeneratedEntry entry;
    entry.text = bytes;
    tlkgen::GeneratedEntry stray;
    stray.text = "x\xFFy";
    dir.write("utf8.tlk", tlkgen::MakeTalkTable({entry}));
    dir.write("stray.tlk", tlkgen::MakeTalkTable({entry, stray}));
    for (const Case& c : cases) {
        std::vector<std::string> args{"get", dir.file("utf8.tlk"), "0"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(RunCli(dir, args).out, "StrRef 0 | flags 0 | no sound | volume variance 0 | pitch variance 0\n" + c.text + "\n\n");
        args.insert(args.end(), {"--format", "json"});
        EXPECT_NE(RunCli(dir, args).out.find(",\"text\":" + c.json + "}\n"), std::string::npos);
    }
    // The stray byte makes the table Windows-1252; read as UTF-8 it is a stand-in.
    EXPECT_NE(RunCli(dir, {"info", dir.file("stray.tlk")}).out.find("Encoding: Windows-1252 (detected)"), std::string::npos);
    EXPECT_NE(RunCli(dir, {"info", dir.file("utf8.tlk")}).out.find("Encoding: UTF-8 (detected)"), std::string::npos);
    const CliRun json = RunCli(dir, {"get", dir.file("stray.tlk"), "1", "--format", "json", "--encoding", "UTF-8"});
    EXPECT_NE(json.out.find("\"text\":\"x\\uf7ffy\""), std::string::npos) << json.out;
}

TEST(Cli, SearchListsTheMatchesFindNextShowsAndCountsAsTheStatistics)
{
    TempDir dir;
    const auto generated = Generate(400, 3);
    dir.write("dialog.tlk", generated.bytes);
    CoreTable core(dir.file("dialog.tlk"));
    for (const std::string term : {"The", "<CHARNAME>", ", and", "zzzz"})
        for (int combination = 0; combination < 8; ++combination) {
            const bool caseSensitive = combination & 1, wholeWords = combination & 2, lengthOriented = !(combination & 4);
            std::vector<std::string> args{"search", dir.file("dialog.tlk"), term};
            if (caseSensitive) args.push_back("--case");
            if (wholeWords) args.push_back("--whole-words");
            if (!lengthOriented) args.push_back("--absolute");
            const CliRun run = RunCli(dir, args);
            std::string expected;
            const auto matches = ExpectedMatches(generated.entries, term, caseSensitive, wholeWords, lengthOriented);
            for (const auto& m : matches) expected += std::to_string(m.entry) + "\t" + std::to_string(m.position) + "\n";
            EXPECT_EQ(run.out, expected) << term << " " << combination;
            EXPECT_EQ(run.status, matches.empty() ? 1 : 0);

            // --count: the word statistics' counting mode.
            CountingHost host;
            host.options = {caseSensitive, wholeWords, lengthOriented};
            SearchEngine engine(core.table, core.flags, core.dialogs, core.progress, host);
            std::array<std::string, WordRowCount> words{};
            words[WordRowCount - 1] = term;
            std::int32_t counted = -1;
            core.flags.KeepRunning = true;
            CountWords(engine, core.flags, core.progress, words, true, [&](int, std::int32_t count) { counted = count; });
            args.push_back("--count");
            EXPECT_EQ(RunCli(dir, args).out, std::to_string(counted) + "\n");
        }
    // From a StrRef on: the matches of the later entries only.
    const auto all = ExpectedMatches(generated.entries, "the", false, false, true);
    std::string expected;
    for (const auto& m : all)
        if (m.entry >= 200) expected += std::to_string(m.entry) + "\t" + std::to_string(m.position) + "\n";
    EXPECT_EQ(RunCli(dir, {"search", dir.file("dialog.tlk"), "the", "--from", "200"}).out, expected);
}

TEST(Cli, StatsAndExportAreTheWindowsFigures)
{
    TempDir dir;
    const auto generated = Generate(500, 11, false);
    dir.write("dialog.tlk", generated.bytes);
    CoreTable core(dir.file("dialog.tlk"));
    TechnicalStatistics statistics;
    core.flags.TechnicalStatisticsRunning = true;
    ASSERT_EQ(statistics.run(core.table.BaselineEntryTable.get(), 500, {}, core.progress, core.flags),
              TechnicalStatistics::Outcome::Completed);
    const CliRun text = RunCli(dir, {"stats", dir.file("dialog.tlk")});
    ASSERT_EQ(text.status, 0) << text.err;
    const auto& s = statistics.Sizes;
    for (const std::string& line : std::vector<std::string>
         {"Size of file: " + std::to_string(generated.bytes.size()), "Number of StrRef Entries: 500",
          "Total length of all strings: " + std::to_string(s.total), "Average string length: " + std::to_string(s.average),
          "StrRef Entry index(es) of the longest string(s): " + s.LongestList,
          "Number of strings with size of 100 and below: " + std::to_string(s.upTo100) + " (",
          "Entries of type 3: " + std::to_string(statistics.TypeSoundCounts[3][0]) + ", " +
              std::to_string(statistics.TypeSoundCounts[3][1])})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    const CliRun json = RunCli(dir, {"stats", dir.file("dialog.tlk"), "--json"});
    EXPECT_NE(json.out.find("\"total_length\":" + std::to_string(s.total) + ",\"average_length\":" +
                            std::to_string(s.average)),
              std::string::npos);

    // Export: the same bytes as the window's export for every option set.
    for (int combination = 0; combination < 16; ++combination) {
        ExportOptions options;
        options.guided = !(combination & 8);
        options.numberStrings = options.guided && (combination & 1);
        options.writeEmptyStrings = options.guided && (combination & 2);
        options.spacelines = !options.guided || !(combination & 4);
        if (!options.guided && combination != 8) continue;
        ASSERT_EQ(ExportTextTo(core.table, dir.file("window.txt"), options, core.progress, core.dialogs, core.flags),
                  ExportResult::Exported);
        std::vector<std::string> args{"export", dir.file("dialog.tlk"), dir.file("cli.txt")};
        if (!options.guided) args.push_back("--raw");
        if (options.numberStrings) args.push_back("--number");
        if (options.writeEmptyStrings) args.push_back("--empty");
        if (!options.spacelines) args.push_back("--no-spacelines");
        const CliRun run = RunCli(dir, args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(dir.read("cli.txt"), dir.read("window.txt")) << combination;
    }
}

TEST(Cli, DiffThenApplyGivesTheOldTableTheNewTextsAndSounds)
{
    TempDir dir;
    auto old = Generate(300, 5).entries;
    auto changed = old;
    changed[0].text = "First ~ changed \"text\" with % and ~~~~~ in it~";
    changed[4].text.clear();
    changed[9].soundResRef = {'N', 'E', 'W', 'S', 'N', 'D', 0, 0};
    changed[10].soundResRef = {};
    changed[11].flags = 9;  // not in a TRA: listed, not applied
    changed[150].text += " and more";
    for (int k = 0; k < 3; ++k) {
        tlkgen::GeneratedEntry added;
        added.text = "Added <CHARNAME> " + std::to_string(k);
        if (k == 1) added.soundResRef = {'A', 'D', 'D', 0, 0, 0, 0, 0};
        changed.push_back(added);
    }
    dir.write("old.tlk", tlkgen::MakeTalkTable(old));
    dir.write("new.tlk", tlkgen::MakeTalkTable(changed));
    dir.write("target.tlk", dir.read("old.tlk"));

    const CliRun diff = RunCli(dir, {"diff", dir.file("old.tlk"), dir.file("new.tlk"), "--tra", dir.file("changes.tra")});
    EXPECT_EQ(diff.status, 1) << diff.err;
    for (const std::string& line : std::vector<std::string>{"\" -> \"\"\n", "changed 9 sound: \"\" -> \"NEWSND\"\n",
                                   "changed 11 flags: ", "added 302: \"Added <CHARNAME> 2\"", "5 changed, 3 added, 0 removed\n"})
        EXPECT_NE(diff.out.find(line), std::string::npos) << line << "\n" << diff.out;
    EXPECT_EQ(RunCli(dir, {"apply", dir.file("target.tlk"), dir.file("changes.tra")}).status, 2) << "no --append";
    const CliRun apply = RunCli(dir, {"apply", dir.file("target.tlk"), dir.file("changes.tra"), "--append"});
    ASSERT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(dir.read("target.tlk.bak"), dir.read("old.tlk"));

    const auto result = ReadReferenceTable(dir.file("target.tlk"));
    ASSERT_TRUE(result);
    ASSERT_EQ(result->entries.size(), changed.size());
    for (std::size_t n = 0; n < changed.size(); ++n) {
        EXPECT_EQ(result->entries[n].text, changed[n].text) << n;
        EXPECT_EQ(SoundOf(result->entries[n].soundResRef), SoundOf(changed[n].soundResRef)) << n;
    }
    // Only what a TRA does not carry is left: types.
    const CliRun again = RunCli(dir, {"diff", dir.file("target.tlk"), dir.file("new.tlk")});
    EXPECT_EQ(again.out.find(" text: "), std::string::npos) << again.out;
    EXPECT_EQ(again.out.find(" sound: "), std::string::npos) << again.out;
    EXPECT_EQ(RunCli(dir, {"diff", dir.file("new.tlk"), dir.file("new.tlk")}).status, 0);
    // Removed entries are listed.
    EXPECT_NE(RunCli(dir, {"diff", dir.file("new.tlk"), dir.file("old.tlk")}).out.find("removed 301: \"Added"),
              std::string::npos);
}

TEST(Cli, EveryTextAndByteValueRoundTripsThroughATra)
{
    std::string allBytes;
    for (int b = 0; b < 256; ++b) allBytes += static_cast<char>(b);
    const std::vector<std::string> texts = {
        "", "plain", "tilde ~ only", "tilde ~ and \"quote\"", "~ \" and % all three", "ends with tilde ~",
        "~~~~~ long one ~ \" %", "~\"%~~~~~", "~~~~~", "~", "\"", "%", "a~~~~b\"%", allBytes, allBytes + allBytes,
        "// not a comment", "/* nor this */", "@5 = ~not an entry~", "[SOUND]", "^", "line\r\nbreaks\n"};
    std::string file;
    for (std::size_t n = 0; n < texts.size(); ++n) cli::AppendTraLine(file, static_cast<std::int64_t>(n), texts[n], std::nullopt);
    const auto parsed = cli::ParseTra(file);
    ASSERT_FALSE(parsed.error) << parsed.error->line << ": " << parsed.error->message << "\n" << file;
    ASSERT_EQ(parsed.entries.size(), texts.size());
    for (std::size_t n = 0; n < texts.size(); ++n) EXPECT_EQ(parsed.entries[n].text, texts[n]) << n;

    // Applied to a table and read back by the independent reader.
    TempDir dir;
    std::vector<tlkgen::GeneratedEntry> entries(texts.size());
    dir.write("dialog.tlk", tlkgen::MakeTalkTable(entries));
    dir.write("all.tra", file);
    const CliRun apply = RunCli(dir, {"apply", dir.file("dialog.tlk"), dir.file("all.tra")});
    ASSERT_EQ(apply.status, 0) << apply.err;
    const auto table = ReadReferenceTable(dir.file("dialog.tlk"));
    ASSERT_TRUE(table);
    for (std::size_t n = 0; n < texts.size(); ++n) EXPECT_EQ(table->entries[n].text, texts[n]) << n;
    // And dumped again as the same file.
    EXPECT_EQ(RunCli(dir, {"dump", dir.file("dialog.tlk"), "--format", "tra"}).out, file);
}

TEST(Cli, BadArgumentsAndUnreadableInputExitWith2AndOneMessage)
{
    TempDir dir;
    dir.write("dialog.tlk", Generate(20, 1).bytes);
    dir.write("bad.tlk", "TLX V1  \0\0\0\0\0\0\0\0\0\0");
    const std::string t = dir.file("dialog.tlk");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"info"},
        {"info", t, t},
        {"info", dir.file("missing.tlk")},
        {"info", dir.file("bad.tlk")},
        {"get", t, "20"},
        {"get", t, "-1"},
        {"get", t, "x"},
        {"dump", t, "--format", "xml"},
        {"dump", t, "--from", "5", "--to", "4"},
        {"dump", t, "--to"},
        {"dump", t, "--bogus"},
        {"dump", t, "--encoding", "latin9"},
        {"search", t, ""},
        {"search", t, "a", "--from", "20"},
        {"search", t, "\xE2\x82\xAC\xE4\xB8\x80", "--encoding", "Windows-1252"},
        {"export", t},
        {"export", t, dir.file("no/such/dir/out.txt")},
        {"export", t, dir.file("out.txt"), "--raw", "--number"},
        {"diff", t},
        {"apply", t, dir.file("missing.tra")},
    };
    for (const auto& args : cases) {
        const CliRun run = RunCli(dir, args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << run.err;
        EXPECT_EQ(run.err.rfind("lexicarta-cli: ", 0), 0u) << shown << run.err;
    }
    for (const std::string command : {"info", "get", "dump", "search", "stats", "export", "diff", "apply"}) {
        const CliRun help = RunCli(dir, {command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: lexicarta-cli " + command, 0), 0u) << help.out;
    }
}

TEST(Cli, AMalformedTraIsReportedWithItsLineAndNothingIsWritten)
{
    struct Case {
        std::string tra;
        int line;
    };
    const Case cases[] = {
        {"@0 = ~fine~\n@1 = ~never closed\n\n", 2},
        {"@0 = ~a~\n// comment\n@x = ~b~\n", 3},
        {"@0 = ~a~\n\n@1 ~b~\n", 3},
        {"@0 = ~a~ [TOOLONGNAME]\n", 1},
        {"@0 = ~a~ ~female~ ~third~\n", 1},
        {"@0 = ~a~\n/* open\n comment\n", 2},
        {"@0 = ~a~ ^\n", 1},
        {"text without entry\n", 1},
        {"@0 = ~a~\n@99 = ~beyond the table~\n", 2},
    };
    TempDir dir;
    const std::string original = Generate(30, 2).bytes;
    for (const Case& c : cases) {
        dir.write("dialog.tlk", original);
        dir.write("changes.tra", c.tra);
        const CliRun run = RunCli(dir, {"apply", dir.file("dialog.tlk"), dir.file("changes.tra")});
        EXPECT_EQ(run.status, 2) << c.tra;
        EXPECT_NE(run.err.find(dir.file("changes.tra") + ":" + std::to_string(c.line) + ": "), std::string::npos)
            << c.tra << run.err;
        EXPECT_EQ(dir.read("dialog.tlk"), original) << c.tra;
        EXPECT_FALSE(dir.exists("dialog.tlk.bak")) << c.tra;
    }
}

}  // namespace
