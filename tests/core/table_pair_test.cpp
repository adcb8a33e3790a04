// The female table beside a male one, and what one entry of a pair can lack.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "core/table_pair.h"
#include "temp_dir.h"

namespace lexicarta::testing {
namespace {

TEST(TablePair, TheFemaleTableIsFoundBesideTheMaleOneInAnyCase)
{
    const struct {
        std::vector<std::string> files;  // "name" or "name->target" for a link
        std::string table;
        std::string found;  // "" for none
    } cases[] = {
        {{"dialog.tlk", "dialogF.tlk"}, "dialog.tlk", "dialogF.tlk"},
        {{"DIALOG.TLK", "DIALOGF.TLK"}, "DIALOG.TLK", "DIALOGF.TLK"},
        {{"Dialog.tlk", "dialogf.TLK"}, "Dialog.tlk", "dialogf.TLK"},
        {{"dialog.tlk", "DIALOGF.TLK", "dialogF.tlk"}, "dialog.tlk", "dialogF.tlk"},
        {{"dialog.tlk", "dialogf.tlk"}, "dialog.tlk", "dialogf.tlk"},
        {{"dialog.tlk"}, "dialog.tlk", ""},
        {{"dialog.tlk", "dialogF.tlk/"}, "dialog.tlk", ""},
        {{"dialog.tlk", "dialogF.tlk->dialog.tlk"}, "dialog.tlk", ""},
        {{"dialog.txt", "dialogF.txt"}, "dialog.txt", ""},
        {{"dialogF.tlk", "dialogFF.tlk"}, "dialogF.tlk", "dialogFF.tlk"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const std::string& file : c.files) {
            if (const auto arrow = file.find("->"); arrow != std::string::npos)
                ASSERT_EQ(::symlink(file.substr(arrow + 2).c_str(), dir.file(file.substr(0, arrow)).c_str()), 0);
            else if (file.back() == '/')
                ASSERT_EQ(::mkdir(dir.file(file).c_str(), 0755), 0);
            else
                dir.write(file, "TLK V1  ");
        }
        const auto found = FindFemaleTable(dir.file(c.table));
        EXPECT_EQ(found.value_or(""), c.found.empty() ? "" : dir.file(c.found)) << c.table;
    }
}

TEST(TablePair, AFemaleTextIsMissingOrTheMaleOneWhereTheReferenceDiffers)
{
    using F = FemaleFinding;
    const struct {
        std::string male;
        std::optional<std::string> female, referenceMale, referenceFemale;
        FemaleFinding finding;
    } cases[] = {
        {"Hello", "Hello", std::nullopt, std::nullopt, F::None},
        {"Hello", "", std::nullopt, std::nullopt, F::FemaleMissing},
        {"Hello", std::nullopt, std::nullopt, std::nullopt, F::FemaleMissing},
        {"", "", std::nullopt, std::nullopt, F::None},
        {"Hello, sir", "Hello, sir", "Hi, sir", "Hi, madam", F::SameAsMale},
        {"Hello, sir", "Hello, sir", "Hi", "Hi", F::None},
        {"Hello, sir", "Hello, madam", "Hi, sir", "Hi, madam", F::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FemaleFindingFor(c.male, c.female, c.referenceMale, c.referenceFemale), c.finding) << c.male;
}

}  // namespace
}  // namespace lexicarta::testing
