// The reference table as it is loaded (read only, never the table itself),
// the index kept current through edits, and the remembered choices.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_dir.h"
#include "tlk_generator.h"
#include "translation/reference_table.h"
#include "translation/translation_index.h"
#include "translation/translation_settings.h"

using namespace lexicarta;
using lexicarta::testing::TempDir;

namespace {

tlkgen::GeneratedEntry Entry(std::string text, std::uint16_t flags = 1)
{
    tlkgen::GeneratedEntry entry;
    entry.text = std::move(text);
    entry.flags = entry.text.empty() ? 0 : flags;
    return entry;
}

std::unique_ptr<lexicarta::ReferenceTable> Load(const std::string& path, const std::string& other = {})
{
    ReferenceLoad load = LoadReferenceTable(path, other, std::nullopt);
    EXPECT_TRUE(load.reference) << load.message;
    return std::move(load.reference);
}

}  // namespace

TEST(ReferenceTable, IsReadOnlyAndNeverTheTableItself)
{
    TempDir dir;
    const std::string english = tlkgen::MakeTalkTable({Entry("Hello"), Entry("Caf\xC3\xA9")});
    dir.write("en.tlk", english);
    dir.write("fr.tlk", tlkgen::MakeTalkTable({Entry("Bonjour")}));
    dir.write("bad.tlk", "TLX V1  nothing to read here");
    ASSERT_EQ(::chmod(dir.file("en.tlk").c_str(), 0444), 0);
    ASSERT_EQ(::symlink(dir.file("fr.tlk").c_str(), dir.file("link.tlk").c_str()), 0);
    const auto files = dir.list();

    const auto reference = Load(dir.file("en.tlk"), dir.file("fr.tlk"));
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->entryCount(), 2u);
    EXPECT_EQ(reference->encoding(), TextEncoding::Utf8);  // detected as for any table
    EXPECT_EQ(reference->texts().entry(1).text, "Caf\xC3\xA9");
    EXPECT_EQ(LoadReferenceTable(dir.file("en.tlk"), {}, TextEncoding::Windows1252).reference->encoding(),
              TextEncoding::Windows1252);

    const std::pair<std::string, std::string> refused[] = {
        {"link.tlk", ReferenceIsTableMessage},
        {"bad.tlk", "Corrupt or bad talk table file: signature invalid"},
        {"gone.tlk", dir.file("gone.tlk") + " does not exist. It was probably moved or deleted since the last time "
                                            "you opened it in Lexicarta."},
    };
    for (const auto& [name, message] : refused) {
        const ReferenceLoad load = LoadReferenceTable(dir.file(name), dir.file("fr.tlk"), std::nullopt);
        EXPECT_FALSE(load.reference);
        EXPECT_EQ(load.message, message);
    }
    // No cache file, and the reference as it was.
    EXPECT_EQ(dir.list(), files);
    EXPECT_EQ(dir.read("en.tlk"), english);
}

TEST(TranslationIndex, FollowsEditsAndFindsTheNextEntryOfAKind)
{
    TempDir dir;
    std::vector<tlkgen::GeneratedEntry> english;
    std::vector<tlkgen::GeneratedEntry> french;
    for (int n = 0; n < 200; ++n) {
        english.push_back(Entry("Text number " + std::to_string(n) + "."));
        // Untranslated at 5, 64 and 130 (either side of a 64-entry word), missing at 63.
        const bool untranslated = n == 5 || n == 64 || n == 130;
        french.push_back(Entry(untranslated ? english.back().text : n == 63 ? "" : "Texte " + std::to_string(n) + "."));
    }
    english[7] = Entry("Text <CHARNAME>.");
    french[7] = Entry("Texte <CHARNAME>.");  // no token bit: a flags finding
    french[7].flags = 1;
    for (int n = 200; n < 203; ++n) french.push_back(Entry("Seulement ici."));
    dir.write("en.tlk", tlkgen::MakeTalkTable(english));
    dir.write("fr.tlk", tlkgen::MakeTalkTable(french));
    const auto reference = Load(dir.file("en.tlk"));
    const auto table = Load(dir.file("fr.tlk"));

    const TokenRules rules;
    TranslationIndex index(rules, {});
    std::vector<double> shares;
    ASSERT_TRUE(index.rebuild(table->texts(), &reference->texts(), [&](double done) {
        shares.push_back(done);
        return true;
    }));
    EXPECT_EQ(shares.back(), 1.0);
    EXPECT_EQ(index.size(), 203u);
    EXPECT_EQ(index.count(EntryStatus::Untranslated), 3u);
    EXPECT_EQ(index.count(EntryStatus::Missing), 1u);
    EXPECT_EQ(index.count(EntryStatus::OnlyHere), 3u);
    EXPECT_EQ(index.count(EntryStatus::Translated), 196u);
    EXPECT_EQ(index.statusText(201), "only here (beyond the end of the reference)");
    EXPECT_EQ(index.count(CheckKind::Flags), 1u);
    EXPECT_EQ(index.findingKinds(7), CheckSet().with(CheckKind::Flags));
    EXPECT_EQ(index.findings(7), (std::vector<Finding>{{CheckKind::Flags, "Flags 1: a token but no token bit (4)"}}));

    using S = std::optional<std::uint32_t>;
    const auto U = EntryStatus::Untranslated;
    EXPECT_EQ(index.next(U, -1), S(5));
    EXPECT_EQ(index.next(U, 5), S(64));
    EXPECT_EQ(index.next(U, 64), S(130));
    EXPECT_EQ(index.next(U, 130), S());
    EXPECT_EQ(index.previous(U, 203), S(130));
    EXPECT_EQ(index.previous(U, 64), S(5));
    EXPECT_EQ(index.previous(U, 5), S());
    EXPECT_EQ(index.nextFinding(-1), S(7));
    EXPECT_EQ(index.nextFinding(7), S());
    EXPECT_EQ(index.nextFinding(-1, CheckSet().with(CheckKind::Tokens)), S());

    // Typing: 64 translated, 63 filled in with English, 7 mended.
    index.update(64, {"Texte 64.", 1, {}});
    index.update(63, {"TEXT NUMBER 63.", 1, {}});
    index.update(7, {"Texte <CHARNAME>.", 5, {}});
    EXPECT_EQ(index.next(U, 5), S(63));
    EXPECT_EQ(index.next(U, 63), S(130));
    EXPECT_EQ(index.count(EntryStatus::Missing), 0u);
    EXPECT_EQ(index.count(CheckKind::Flags), 0u);
    EXPECT_EQ(index.nextFinding(-1), S());
    // An entry appended, then the table truncated below the reference's end.
    index.update(203, {"Encore.", 0, {}});
    EXPECT_EQ(index.size(), 204u);
    EXPECT_EQ(index.count(CheckKind::Flags), 1u);
    index.setTableEntries(150);
    EXPECT_EQ(index.size(), 200u);
    EXPECT_EQ(index.count(CheckKind::Flags), 0u);
    EXPECT_EQ(index.count(EntryStatus::OnlyHere), 0u);
    EXPECT_EQ(index.count(EntryStatus::Missing), 50u);
    EXPECT_EQ(index.statusText(150), "missing (beyond the end of this table)");

    // Stopped halfway: an empty index.
    EXPECT_FALSE(index.rebuild(table->texts(), &reference->texts(), [](double) { return false; }));
    EXPECT_EQ(index.count(EntryStatus::Translated), 0u);
    EXPECT_EQ(index.next(U, -1), S());
}

TEST(TranslationSettings, RemembersChoicesPerTableAndAddedTokens)
{
    TranslationSettings settings;
    settings.rememberReference("/fr/dialog.tlk", "/en/dialog.tlk");
    settings.rememberSpellingLanguage("/de/dia\tlog.tlk", "de_DE");
    settings.rememberSpellingLanguage("/fr/dialog.tlk", "fr_FR");
    EXPECT_TRUE(settings.addToken("MYMOD_TOKEN"));
    EXPECT_TRUE(settings.addLowercaseToken("<PRO_NEPHEWNIECE>"));
    EXPECT_FALSE(settings.addToken("no token"));

    TempDir dir;
    ASSERT_TRUE(settings.write(dir.file(TranslationSettingsFileName)));
    const std::string text = dir.read(TranslationSettingsFileName);
    EXPECT_NE(text.find("# Built-in lower-case tokens: <PRO_HESHE>"), std::string::npos);
    EXPECT_NE(text.find("table\t/fr/dialog.tlk\nreference\t/en/dialog.tlk\nspelling\tfr_FR\ntable\t/de/dia\tlog.tlk\n"),
              std::string::npos);
    const auto read = TranslationSettings::Read(dir.file(TranslationSettingsFileName));
    EXPECT_EQ(read.referenceFor("/fr/dialog.tlk"), "/en/dialog.tlk");
    EXPECT_EQ(read.spellingLanguageFor("/de/dia\tlog.tlk"), "de_DE");
    EXPECT_EQ(read.referenceFor("/de/dia\tlog.tlk"), std::nullopt);
    EXPECT_EQ(read.encode(), text);
    const TokenRules rules = read.tokenRules();
    EXPECT_TRUE(rules.isKnown("<MYMOD_TOKEN>"));
    EXPECT_TRUE(rules.isLowercase("<PRO_NEPHEWNIECE>"));
    EXPECT_TRUE(rules.isLowercase("<PRO_HESHE>"));
    EXPECT_EQ(TranslationSettings::Read(dir.file("missing.cfg")).tables().size(), 0u);
}
