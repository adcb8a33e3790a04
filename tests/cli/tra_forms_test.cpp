// TRA files as modders write them, and a male table with its female one
// through lexicarta-cli: diff of two pairs, then apply, gives the new pair
// byte for byte; whatever is refused leaves both tables untouched.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include "cli/tra_file.h"
#include "core/file_io.h"
#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct Expected {
    std::int64_t strRef;
    std::string text;
    std::optional<std::string> sound = {};
    std::optional<std::string> femaleText = {};
    std::optional<std::string> femaleSound = {};
};

std::optional<std::string> Opt(std::optional<std::string_view> view)
{
    return view ? std::optional<std::string>(*view) : std::nullopt;
}

TEST(TraForms, TheFormsOfRealModsAreReadAndMistakesToldWithTheirLine)
{
    const struct {
        std::string tra;
        std::vector<Expected> entries;
        int errorLine = 0;  // 0: parses
        std::string error = {};
    } cases[] = {
        {"@1 = ~him~ [MSND] ~her~ [FSND]", {{1, "him", "MSND", "her", "FSND"}}},
        {"@1 = ~him~ ~her~\n@2 = ~x~", {{1, "him", {}, "her", {}}, {2, "x"}}},
        {"@1 = ~him~\n   [SND]\n@2 = ~x~\n", {{1, "him", "SND"}, {2, "x"}}},
        {"@1 = ~him~ [S]\n~her~\n\t[FS] // hers\n", {{1, "him", "S", "her", "FS"}}},
        {"@1 = ~a~ /* one /* two */ still one */ [S] /**/", {{1, "a", "S"}}},
        {"@007 = ~x~\n@0000000000012 = ~y~\n@0 = ~z~", {{7, "x"}, {12, "y"}, {0, "z"}}},
        {"\r\n\r\n@1 = ~a~\r\n\r\n@2 = ~b\r\nc~ [S]\r\n", {{1, "a"}, {2, "b\r\nc", "S"}}},
        {"@1 = ~a~ ^ \"b\" [S] %f% ^ ~g~", {{1, "ab", "S", "fg", {}}}},
        {"@1 = ~a~ ~b~ ~c~", {}, 1, "unexpected '~' after the texts of @1"},
        {"@1 = ~a~\n\n[S] stray", {}, 3, "unexpected 's' after the text of @1"},
        {"@1 = #123", {}, 1, "takes the text of another string"},
        {"@1 = !5 ~x~", {}, 1, "takes the text of another string"},
        {"@1 = ~a~\n/* a /* b */\n@2 = ~b~", {}, 2, "comment /* is never closed"},
        {"@-1 = ~a~", {}, 1, "StrRef @-1 is negative"},
        {"@1 = ~a~\n[SND\n]", {}, 2, "sound [ is never closed"},
        {"@02147483648 = ~a~", {}, 1, "StrRef @02147483648 is too large"},
    };
    for (const auto& c : cases) {
        const auto parsed = cli::ParseTra(c.tra);
        if (c.errorLine) {
            ASSERT_TRUE(parsed.error) << c.tra;
            EXPECT_EQ(parsed.error->line, c.errorLine) << c.tra;
            EXPECT_NE(parsed.error->message.find(c.error), std::string::npos) << c.tra << "\n" << parsed.error->message;
            continue;
        }
        ASSERT_FALSE(parsed.error) << c.tra << "\n" << parsed.error->message;
        ASSERT_EQ(parsed.entries.size(), c.entries.size()) << c.tra;
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            const cli::TraEntry& got = parsed.entries[i];
            const Expected& want = c.entries[i];
            EXPECT_EQ(got.strRef, want.strRef) << c.tra;
            EXPECT_EQ(got.text, want.text) << c.tra;
            EXPECT_EQ(Opt(got.sound), want.sound) << c.tra;
            EXPECT_EQ(Opt(got.femaleText), want.femaleText) << c.tra;
            EXPECT_EQ(Opt(got.femaleSound), want.femaleSound) << c.tra;
        }
    }
    // Written and read again, female parts included.
    std::string written;
    cli::AppendTraLine(written, 3, "~him~", "S1", "\"her\"", "");
    const auto again = cli::ParseTra(written);
    ASSERT_EQ(again.entries.size(), 1u);
    EXPECT_EQ(again.entries[0].text, "~him~");
    EXPECT_EQ(Opt(again.entries[0].femaleText), "\"her\"");
    EXPECT_EQ(Opt(again.entries[0].femaleSound), "");
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs lexicarta-cli with a shell command line in dir.
Outcome Cli(const TempDir& dir, const std::string& arguments)
{
    const int raw = std::system(("cd '" + dir.path() + "' && '" + LEXICARTA_CLI_PATH + "' " + arguments + " >out 2>err").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.read("out"), dir.read("err")};
}

TEST(TraForms, DiffOfTwoPairsThenApplyTurnsTheOldPairIntoTheNewOne)
{
    TempDir dir;
    tlkgen::GeneratorOptions options;
    options.entries = 300;
    options.seed = 9;
    ASSERT_TRUE(tlkgen::WriteTalkTablePair(dir.file("dialog.tlk"), dir.file("dialogF.tlk"), options));
    const std::string male = dir.read("dialog.tlk"), female = dir.read("dialogF.tlk");
    ASSERT_NE(male, female);
    for (const char* folder : {"old", "new", "target"})
        ASSERT_EQ(std::system(("cd '" + dir.path() + "' && mkdir " + folder + " && cp dialog.tlk dialogF.tlk " + folder).c_str()), 0);

    // A translation as mods ship it: BOM, CR LF, nested comments, a sound on
    // the next line, female texts, leading zeros, a new entry.
    dir.write("mod.tra",
              "\xEF\xBB\xBF// translated\r\n/* by /* someone */ else */\r\n"
              "@0005 = ~Hello, traveller~\r\n   [HELLO1]\r\n"
              "@7 = ~You, sir?~ [MSND] ~You, madam?~ [FSND]\r\n\r\n"
              "@12 = ~Both~ ~Hers alone~\r\n"
              "@300 = ~New one~ ~New one, for her~\r\n");
    const Outcome mod = Cli(dir, "apply new/dialog.tlk mod.tra --append");
    ASSERT_EQ(mod.status, 0) << mod.err;
    const auto newMale = ReadReferenceTable(dir.file("new/dialog.tlk"));
    const auto newFemale = ReadReferenceTable(dir.file("new/dialogF.tlk"));
    ASSERT_TRUE(newMale && newFemale);
    EXPECT_EQ(newMale->entries[5].text + "/" + newFemale->entries[5].text, "Hello, traveller/Hello, traveller");
    EXPECT_EQ(std::string(newFemale->entries[5].soundResRef.data()), "HELLO1");
    EXPECT_EQ(newMale->entries[7].text + "/" + newFemale->entries[7].text, "You, sir?/You, madam?");
    EXPECT_EQ(std::string(newFemale->entries[7].soundResRef.data()), "FSND");
    EXPECT_EQ(newMale->entries[12].text + "/" + newFemale->entries[12].text, "Both/Hers alone");
    EXPECT_EQ(newMale->entries[300].text + "/" + newFemale->entries[300].text, "New one/New one, for her");
    EXPECT_EQ(dir.read("new/dialogF.tlk.bak"), female);

    const Outcome diff = Cli(dir, "diff old/dialog.tlk new/dialog.tlk --tra x.tra");
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_NE(diff.out.find("changed 12 female text: "), std::string::npos) << diff.out;
    const std::string tra = dir.read("x.tra");
    EXPECT_NE(tra.find("@7 = ~You, sir?~ [MSND] ~You, madam?~ [FSND]\n"), std::string::npos) << tra;
    EXPECT_NE(tra.find("@12 = ~Both~ ~Hers alone~\n"), std::string::npos) << tra;
    EXPECT_NE(tra.find("@5 = ~Hello, traveller~ [HELLO1]\n"), std::string::npos) << tra;

    const Outcome apply = Cli(dir, "apply target/dialog.tlk x.tra --append");
    ASSERT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(dir.read("target/dialog.tlk"), dir.read("new/dialog.tlk"));
    EXPECT_EQ(dir.read("target/dialogF.tlk"), dir.read("new/dialogF.tlk"));
    EXPECT_EQ(dir.read("target/dialog.tlk.bak"), male);
    EXPECT_EQ(dir.read("target/dialogF.tlk.bak"), female);
    // Nothing left to carry over, female texts included.
    EXPECT_EQ(Cli(dir, "diff target/dialog.tlk new/dialog.tlk").status, 0);
    EXPECT_NE(Cli(dir, "dump new/dialog.tlk --from 12 --to 12 --format tra").out.find("@12 = ~Both~ ~Hers alone~"),
              std::string::npos);

    // Refused: a malformed file, and a pair out of step; neither table is written.
    dir.write("bad.tra", "@1 = ~fine~ ~fine for her~\r\n@2 = ~never closed\r\n");
    dir.write("old/extra.tra", "@300 = ~only in the male table~\n");
    ASSERT_EQ(Cli(dir, "apply old/dialog.tlk old/extra.tra --append --no-female").status, 0);
    const struct {
        std::string arguments, said;
    } refused[] = {
        {"apply old/dialogF.tlk bad.tra --female old/dialog.tlk", "bad.tra:2: "},
        {"apply old/dialog.tlk x.tra --append", "old/dialog.tlk has 301 entries and old/dialogF.tlk 300"},
    };
    const std::string oldMale = dir.read("old/dialog.tlk");
    for (const auto& r : refused) {
        const Outcome run = Cli(dir, r.arguments);
        EXPECT_EQ(run.status, 2) << r.arguments;
        EXPECT_NE(run.err.find(r.said), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(dir.read("old/dialog.tlk"), oldMale);
        EXPECT_EQ(dir.read("old/dialogF.tlk"), female);
        EXPECT_FALSE(dir.exists("old/dialogF.tlk.bak"));
    }
    // Read-only commands say it once and go on.
    const Outcome dump = Cli(dir, "dump old/dialog.tlk --format tra");
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(std::count(dump.err.begin(), dump.err.end(), '\n'), 1) << dump.err;
    // Without a female table, the female texts are ignored with one warning.
    const Outcome single = Cli(dir, "apply dialog.tlk x.tra --append --no-female");
    EXPECT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(single.err, "lexicarta-cli: apply: warning: x.tra gives female texts (the first at line 2), which are "
                          "ignored: dialog.tlk has no female table\n");
    EXPECT_EQ(dir.read("dialog.tlk"), dir.read("new/dialog.tlk"));
    EXPECT_EQ(dir.read("dialogF.tlk"), female);
}

}  // namespace
