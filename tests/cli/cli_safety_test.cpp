// lexicarta-cli given what a careless or hostile user gives it: its own
// table as the output, a pipe or a folder as the table, a TRA from a pipe or
// in another encoding, a table extended by a hole, full and read-only disks.
// Each run is a real process under a shell, with a time limit instead of a hang.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "cli/tra_file.h"
#include "core/file_io.h"
#include "fault_injection.h"
#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct ShellRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a bash script in dir, $CLI being the program.
ShellRun Sh(const TempDir& dir, const std::string& script)
{
    dir.write("run.sh", "cd '" + dir.path() + "' || exit 99\nCLI='" + std::string(LEXICARTA_CLI_PATH) + "'\n" + script + "\n");
    const int raw = std::system(("bash " + dir.file("run.sh") + " >" + dir.file("out") + " 2>" + dir.file("err")).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.read("out"), dir.read("err")};
}

std::string Table(std::vector<std::string> texts, std::vector<std::string> sounds = {})
{
    std::vector<tlkgen::GeneratedEntry> entries(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        entries[i].text = texts[i];
        if (i < sounds.size()) std::copy(sounds[i].begin(), sounds[i].end(), entries[i].soundResRef.begin());
    }
    return tlkgen::MakeTalkTable(entries);
}

std::string TextOf(const TempDir& dir, const std::string& name, std::size_t n)
{
    const auto table = ReadReferenceTable(dir.file(name));
    return table && n < table->entries.size() ? table->entries[n].text : "<unreadable>";
}

TEST(CliSafety, NoOutputIsWrittenIntoAnInputTable)
{
    const struct {
        std::string script;
        std::string message;  // empty: standard error is the table, so nothing is said
    } cases[] = {
        {"$CLI export t.tlk t.tlk", "export: cannot write into t.tlk: it is the table t.tlk itself"},
        {"$CLI export t.tlk link.tlk --raw", "export: cannot write into link.tlk: it is the table t.tlk itself"},
        {"$CLI export link.tlk hard.tlk", "export: cannot write into hard.tlk: it is the table link.tlk itself"},
        {"$CLI diff u.tlk t.tlk --tra t.tlk", "diff: cannot write into t.tlk: it is the table t.tlk itself"},
        {"$CLI diff t.tlk u.tlk --tra link.tlk", "diff: cannot write into link.tlk: it is the table t.tlk itself"},
        {"$CLI dump t.tlk --format tra >> hard.tlk", "dump: cannot write into standard output: it is the table t.tlk"},
        {"$CLI search t.tlk a >> t.tlk", "search: cannot write into standard output: it is the table t.tlk"},
        {"$CLI apply t.tlk c.tra >> t.tlk", "apply: cannot write into standard output: it is the table t.tlk"},
        {"$CLI info t.tlk 2>> link.tlk", ""},
    };
    TempDir dir;
    const std::string table = Table({"alpha", "beta"});
    for (const auto& c : cases) {
        dir.write("t.tlk", table);
        dir.write("u.tlk", Table({"alpha", "gamma"}));
        dir.write("c.tra", "@0 = ~changed~\n");
        const ShellRun run = Sh(dir, "ln -sf t.tlk link.tlk && ln -f t.tlk hard.tlk && " + c.script);
        EXPECT_EQ(run.status, 2) << c.script;
        EXPECT_EQ(dir.read("t.tlk"), table) << c.script;
        EXPECT_FALSE(dir.exists("t.tlk.bak")) << c.script;
        const std::string said = c.message.empty() ? "" : "lexicarta-cli: " + c.message;
        EXPECT_EQ(run.err.substr(0, said.size()), said) << c.script;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.message.empty() ? 0 : 1) << run.err;
    }
}

TEST(CliSafety, OnlyARegularFileIsATable)
{
    TempDir dir;
    dir.write("t.tlk", Table({"alpha"}));
    dir.write("c.tra", "@0 = ~x~\n");
    for (const std::string bad : {"pipe.tlk", "folder.tlk"})
        for (const std::string command : {"info X", "get X 0", "dump X", "search X a", "stats X", "export X o.txt",
                                          "diff X t.tlk", "diff t.tlk X", "apply X c.tra"}) {
            std::string args = command;
            args.replace(args.find('X'), 1, bad);
            const ShellRun run = Sh(dir, "[ -e pipe.tlk ] || mkfifo pipe.tlk; mkdir -p folder.tlk; timeout 20 $CLI " + args);
            EXPECT_EQ(run.status, 2) << args;
            EXPECT_EQ(run.err, "lexicarta-cli: " + bad + " is not a regular file\n") << args;
            EXPECT_FALSE(dir.exists("o.txt"));
        }
}

// A TRA from a pipe has no size to go by: it is read to its end.
TEST(CliSafety, ApplyReadsAStreamedTraToItsEnd)
{
    TempDir dir;
    for (const std::string script : {"printf '@1 = ~streamed~ [SND]' | $CLI apply t.tlk -",
                                     "printf '@1 = ~streamed~ [SND]' | $CLI apply t.tlk /dev/stdin",
                                     "$CLI apply t.tlk <(printf '@1 = ~streamed~ [SND]')"}) {
        dir.write("t.tlk", Table({"alpha", "beta"}));
        const ShellRun run = Sh(dir, script);
        EXPECT_EQ(run.status, 0) << script << run.err;
        EXPECT_EQ(TextOf(dir, "t.tlk", 1), "streamed") << script;
    }
}

TEST(CliSafety, TraTextsAreTurnedIntoTheTablesEncoding)
{
    const std::string utf8Table = Table({"Zażółć", "x"}), cp1252Table = Table({"Caf\xe9", "x"});
    const struct {
        std::string table;
        std::string tra;
        std::string options;
        int status;
        std::string result;  // the text of @1, or the message after "c.tra:"
    } cases[] = {
        {utf8Table, "@1 = ~Caf\xe9~", "", 2, "1: the text of @1 is not valid UTF-8: byte 0xE9"},
        {utf8Table, "@0 = ~a~\r\n@1 = ~b~\r\n\r\n@1 = ~Caf\xe9~", "", 2, "4: the text of @1 is not valid UTF-8"},
        {utf8Table, "@1 = ~Caf\xe9~", "--tra-encoding windows-1252", 0, "Caf\xc3\xa9"},
        {utf8Table, "\xef\xbb\xbf@1 = ~Caf\xc3\xa9~", "--tra-encoding windows-1252", 2, "1: the file starts with a UTF-8"},
        {cp1252Table, "@1 = ~Zażółć~", "--tra-encoding UTF-8", 2,
         "1: the text of @1 holds the character 'ż' (U+017C), which Windows-1252"},
        {cp1252Table, "\xef\xbb\xbf@1 = ~Caf\xc3\xa9~ [\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89]", "", 0, "Caf\xe9"},
        {cp1252Table, "@1 = ~Zażółć~", "--tra-encoding utf-8 --encoding windows-1250", 0, "Za\xbf\xf3\xb3\xe6"},
        {cp1252Table, "@1 = ~x~ [\xc9\xc9\xc9\xc9\xc9]", "--tra-encoding windows-1252 --encoding utf-8", 2,
         "1: sound [\xc3\x89\xc3\x89\xc3\x89\xc3\x89\xc3\x89] of @1 is longer than 8 bytes"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        dir.write("t.tlk", c.table);
        dir.write("c.tra", c.tra);
        const ShellRun run = Sh(dir, "rm -f t.tlk.bak; $CLI apply t.tlk c.tra " + c.options);
        EXPECT_EQ(run.status, c.status) << c.tra << run.err;
        if (c.status == 0) {
            EXPECT_EQ(TextOf(dir, "t.tlk", 1), c.result) << c.tra;
        } else {
            EXPECT_EQ(run.err.rfind("lexicarta-cli: apply: c.tra:" + c.result, 0), 0u) << run.err;
            EXPECT_EQ(dir.read("t.tlk"), c.table) << c.tra;
            EXPECT_FALSE(dir.exists("t.tlk.bak")) << c.tra;
        }
    }
}

// Lines ended by a lone CR are lines too, for the numbers of the messages.
TEST(CliSafety, TraLineNumbersCountEveryKindOfLineEnd)
{
    const std::pair<std::string, int> cases[] = {
        {"@0 = ~a~\r@1 = ~b~\r\r@x", 4},
        {"@0 = ~a\rb\r\nc\nd~\r@1 = ~e~ [SND\r", 5},
        {"/* one\r two\r\n three */ @0 = ~a~ // note\r@1 = ~b~ ^\r", 4},
        {"@0 = ~~[]@1 = ~~[]\r\r\n\n@2 = ~~ [", 4},
    };
    for (const auto& [tra, line] : cases) {
        const auto parsed = cli::ParseTra(tra);
        ASSERT_TRUE(parsed.error) << tra;
        EXPECT_EQ(parsed.error->line, line) << tra << ": " << parsed.error->message;
    }
}

TEST(CliSafety, DumpAsTraLeavesOutSoundsATraCannotHold)
{
    TempDir dir;
    dir.write("t.tlk", Table({"a", "b", "c", "d"}, {"OK", "A]B", "A\nB", "Z"}));
    const ShellRun run = Sh(dir, "$CLI dump t.tlk --format tra");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "@0 = ~a~ [OK]\n@1 = ~b~\n@2 = ~c~\n@3 = ~d~ [Z]\n");
    EXPECT_EQ(run.err, "lexicarta-cli: dump: warning: StrRef 1 is written without its sound: the sound name holds ']' or "
                       "a line break, which a TRA file cannot hold\n"
                       "lexicarta-cli: dump: warning: StrRef 2 is written without its sound: the sound name holds ']' or "
                       "a line break, which a TRA file cannot hold\n");
}

// A table extended to 2 GB by a hole: only its texts are read and copied.
TEST(CliSafety, ATableExtendedByAHoleIsReadUpToItsLastText)
{
    TempDir dir;
    const std::string table = Table({"first", "", "last"});
    dir.write("t.tlk", table);
    ASSERT_EQ(::truncate(dir.file("t.tlk").c_str(), std::int64_t{1} << 31), 0);
    const ShellRun info = Sh(dir, "$CLI info t.tlk");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("File size: 2147483648\n"), std::string::npos) << info.out;
    ASSERT_EQ(Sh(dir, "$CLI export t.tlk raw.txt --raw && stat -c %s raw.txt").out, "9\n");
    EXPECT_EQ(dir.read("raw.txt"), "firstlast");
}

TEST(CliSafety, FailuresAreToldInTheCommandLinesOwnWords)
{
    TempDir dir;
    tlkgen::GeneratorOptions options;
    options.entries = 300;
    const std::string table = tlkgen::GenerateTalkTable(options).bytes;
    dir.write("t.tlk", table);
    dir.write("c.tra", "@1 = ~changed~\n");
    SmallFileSystem disk(256 * 1024);
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    ::mkdir(dir.file("locked").c_str(), 0700);
    dir.write("locked/t.tlk", table);
    ImmutableFolder locked(dir.file("locked"));
    if (!locked.unavailable().empty()) GTEST_SKIP() << locked.unavailable();
    const std::string full = disk.path();
    const struct {
        std::string setup;  // before the disk is filled
        std::string script;
        std::string said;
        std::string notSaid;
    } cases[] = {
        {"cp t.tlk " + full, "$CLI apply " + full + "t.tlk c.tra",
         "apply: cannot save " + full + "t.tlk: the disk is full; nothing was written", "free some space"},
        {"", "$CLI apply locked/t.tlk c.tra",
         "apply: cannot save locked/t.tlk: the folder " + dir.file("locked") + " does not accept new files", "Lexiaide"},
        {"", "TMPDIR=" + full + " $CLI export t.tlk out.txt",
         "cannot copy the texts of t.tlk into a temporary file in " + full, "Memory might be low"},
        {"", "$CLI export t.tlk " + full + "out.txt", "export: cannot write " + full + "out.txt: the disk is full", "Export"},
        {"", "ln -sf loop.tlk loop.tlk; $CLI info loop.tlk", "cannot open loop.tlk: Too many levels of symbolic links",
         "no such file"},
    };
    for (const auto& c : cases) {
        disk.removeFiller();
        Sh(dir, "rm -rf " + full + "* && " + (c.setup.empty() ? "true" : c.setup));
        disk.fill(16 * 1024);
        const ShellRun run = Sh(dir, c.script);
        EXPECT_EQ(run.status, 2) << c.script;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(c.notSaid), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        if (!c.setup.empty()) {
            EXPECT_EQ(ReadWholeFile(full + "t.tlk"), table);
        }
    }
    EXPECT_EQ(dir.read("locked/t.tlk"), table);
    EXPECT_EQ(dir.read("t.tlk"), table);
    EXPECT_EQ(Sh(dir, "TMPDIR=/proc/no-such-folder $CLI info t.tlk").status, 0);
    EXPECT_NE(Sh(dir, "$CLI search --help").out.find("bytes of that text in\nUTF-8 in a UTF-8 table"), std::string::npos);
}

}  // namespace
