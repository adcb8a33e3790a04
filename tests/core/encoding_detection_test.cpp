#include <gtest/gtest.h>

#include <algorithm>

#include "core/encoding_detection.h"
#include "core/table_loader.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "temp_dir.h"

namespace lexicarta {
namespace {

using testing::FakeDialogs;
using testing::FakeProgress;
using testing::TempDir;

std::string Utf8(std::u16string_view text) { return EncodeText(TextEncoding::Utf8, text); }

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A table of the given string data and (Offset, Length) records.
std::string TableOf(const std::string& data, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& records)
{
    std::string out = "TLK V1  ";
    out += std::string(2, '\0');
    PutU32(out, static_cast<std::uint32_t>(records.size()));
    PutU32(out, 18 + 26 * static_cast<std::uint32_t>(records.size()));
    for (const auto& [offset, length] : records) {
        out += std::string(18, '\0');
        PutU32(out, offset);
        PutU32(out, length);
    }
    return out + data;
}

// The texts one after another, in StrRef order.
std::string TableOfTexts(const std::vector<std::string>& texts)
{
    std::string data;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> records;
    for (const std::string& text : texts) {
        records.emplace_back(static_cast<std::uint32_t>(data.size()), static_cast<std::uint32_t>(text.size()));
        data += text;
    }
    return TableOf(data, records);
}

struct Loaded {
    TempDir dir;
    TalkTable table;
    RunFlags flags;
    FakeDialogs dialogs;
    FakeProgress progress{flags};

    Loaded() { table.ProgramDirectory = dir.path(); }
    void load(const std::string& bytes)
    {
        CloseTable(table);
        dir.write("dialog.tlk", bytes);
        EXPECT_EQ(LoadTableFile(table, dir.file("dialog.tlk"), dialogs, progress, flags), OpenResult::Opened);
        EXPECT_FALSE(table.CacheFailed);
    }
    ~Loaded() { CloseTable(table); }
};

TEST(EncodingDetection, UtfEightOnlyWhenEveryTextIsValidAndOneIsBeyondAscii)
{
    const std::string zolc = Utf8(u"żółć");
    const std::string padding(262144 - 3, 'a');  // texts around the load's 256 KiB pieces
    const struct {
        const char* name;
        std::string table;
        bool utf8;
    } cases[] = {
        {"valid with letters beyond ASCII", TableOfTexts({"Hello", zolc, Utf8(u"ЖЁЛТЫЙ déjà δράκος 🐉"), ""}), true},
        {"pure ASCII", TableOfTexts({"Hello", "world", ""}), false},
        {"no text at all", TableOfTexts({"", ""}), false},
        {"one invalid text", TableOfTexts({zolc, "caf\xE9", "fine"}), false},
        {"a stand-in's bytes", TableOfTexts({zolc, "\xEF\x9E\x80"}), false},
        {"a character split across two texts", TableOfTexts({"ab\xC5", "\xBC" "cd"}), false},
        {"a text that ends inside a character", TableOfTexts({zolc, "ab\xC5", "cd"}), false},
        {"bytes after a NUL do not count", TableOfTexts({zolc, std::string("ok\0\xFF\xC5", 5), "x"}), true},
        {"a character cut by a NUL does not count",
         TableOfTexts({std::string("ok\0\xC5", 4), "\xBC" + zolc}), false},
        {"letters beyond ASCII after a NUL only", TableOfTexts({std::string("ok\0", 3) + zolc, "x"}), false},
        {"invalid bytes no text refers to", TableOf(zolc + "\xFF\xFE" + "ok", {{0, 8}, {10, 2}}), true},
        {"texts in reverse order", TableOf("ok" + zolc, {{2, 8}, {0, 2}}), true},
        {"texts out of order, one invalid", TableOf("\xE9" "ok" + zolc, {{3, 8}, {0, 3}}), false},
        {"texts sharing their bytes", TableOf(zolc, {{0, 8}, {0, 8}, {2, 6}}), true},
        {"a shared text starting inside a character", TableOf(zolc, {{0, 8}, {1, 7}}), false},
        {"a length beyond the data", TableOf(zolc, {{0, 8}, {2, 100}}), true},
        {"a character across the load's pieces", TableOfTexts({padding + zolc}), true},
        {"two texts meeting at the load's pieces", TableOfTexts({padding + "abc", zolc}), true},
        {"a character split at the load's pieces", TableOfTexts({padding + "ab\xC5", "\xBC" "cd"}), false},
        {"an invalid byte in a long text", TableOfTexts({zolc, padding + padding + "\xFF"}), false},
        {"an invalid byte early in a long table", TableOfTexts({"caf\xE9", padding, padding, zolc}), false},
    };
    Loaded loaded;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        loaded.load(c.table);
        // The string data reaches the cache whole, however soon the answer is known.
        const std::uint32_t dataOffset = 18 + 26 * loaded.table.EntryCount;
        EXPECT_EQ(loaded.dir.read(TalkTable::CacheFileName(0)), c.table.substr(dataOffset));
        for (const TextEncoding fallback :
             {TextEncoding::Windows1252, TextEncoding::Windows1250, TextEncoding::Windows1251}) {
            const TextEncoding expected = c.utf8 ? TextEncoding::Utf8 : fallback;
            EXPECT_EQ(DetectTextEncoding(loaded.table, fallback), expected);
            // Without what the load found out, each text is read by itself: the same answer.
            std::optional<Utf8SurveyResult> survey = std::move(loaded.table.LoadSurvey);
            loaded.table.LoadSurvey.reset();
            EXPECT_EQ(DetectTextEncoding(loaded.table, fallback), expected);
            loaded.table.LoadSurvey = std::move(survey);
        }
    }
}

// The pass over the string data does not depend on how the data is cut into pieces.
TEST(EncodingDetection, SurveyAnswersAlikeForAnyPieceSize)
{
    const std::string zolc = Utf8(u"żółć ЖЁЛТЫЙ 🐉");
    const std::vector<std::string> datas = {
        "abc" + zolc + "def" + zolc, "ab\xC5\xBC" "cd\xF0\x9F\x90", zolc + "\xFF" + zolc, "\xE2\x82" "abc",
    };
    for (const std::string& data : datas) {
        // One text per byte pair, so that text boundaries fall everywhere.
        std::vector<StrRefEntry> entries;
        for (std::uint32_t at = 0; at < data.size(); at += 2) {
            StrRefEntry entry;
            entry.Offset = at;
            entry.Length = std::min<std::uint32_t>(2, static_cast<std::uint32_t>(data.size()) - at);
            entries.push_back(entry);
        }
        // The answer with the texts it leaves to recheck read by themselves.
        const auto surveyIn = [&](std::size_t piece) {
            Utf8Survey survey(entries.data(), static_cast<std::uint32_t>(entries.size()), data.size());
            for (std::size_t at = 0; at < data.size(); at += piece)
                if (!survey.feed(std::string_view(data).substr(at, piece))) break;
            const Utf8SurveyResult result = survey.finish();
            const auto text = [&](std::uint32_t n) { return data.substr(entries[n].Offset, entries[n].Length); };
            for (const std::uint32_t n : result.recheck)
                if (!IsValidUtf8(text(n))) return Utf8SurveyResult::Outcome::NotUtf8;
            if (result.outcome == Utf8SurveyResult::Outcome::Utf8 && !result.highConfirmed &&
                (!result.highCandidate || std::ranges::none_of(text(*result.highCandidate), [](char c) { return c & 0x80; })))
                return Utf8SurveyResult::Outcome::Unknown;
            return result.outcome;
        };
        const auto whole = surveyIn(data.size());
        EXPECT_NE(whole, Utf8SurveyResult::Outcome::Unknown) << data;
        for (const std::size_t piece : {1, 2, 3, 5}) EXPECT_EQ(surveyIn(piece), whole) << data << " in pieces of " << piece;
    }
}

}  // namespace
}  // namespace lexicarta
