// The hand-chosen text encodings survive a restart, and a damaged settings
// file never stops anything: what cannot be read is left out.

#include <gtest/gtest.h>

#include "core/encoding_settings.h"
#include "temp_dir.h"

using namespace lexicarta;

TEST(EncodingSettings, KeepsChoicesMostRecentFirstWithinItsBound)
{
    EncodingSettings settings;
    EXPECT_EQ(settings.lastSingleByte(), TextEncoding::Windows1252);
    settings.remember("/a/dialog.tlk", TextEncoding::Windows1250);
    settings.remember("/b/dialog.tlk", TextEncoding::Utf8);  // not single-byte: the last one stays 1250
    settings.remember("/a/dialog.tlk", TextEncoding::Windows1251);
    settings.remember("/odd\tname\n.tlk", TextEncoding::Utf8);  // not storable in a line

    lexicarta::testing::TempDir dir;
    const std::string path = dir.file(EncodingSettingsFileName);
    ASSERT_TRUE(settings.write(path));
    const EncodingSettings read = EncodingSettings::Read(path);
    EXPECT_EQ(read.lastSingleByte(), TextEncoding::Windows1251);
    EXPECT_EQ(read.chosenFor("/a/dialog.tlk"), TextEncoding::Windows1251);
    EXPECT_EQ(read.chosenFor("/b/dialog.tlk"), TextEncoding::Utf8);
    EXPECT_EQ(read.chosenFor("/c/dialog.tlk"), std::nullopt);
    ASSERT_EQ(read.tables().size(), 2u);
    EXPECT_EQ(read.tables().front().first, "/a/dialog.tlk");

    EncodingSettings many;
    for (std::size_t k = 0; k <= EncodingSettings::MaxTables; ++k)
        many.remember("/t" + std::to_string(k), TextEncoding::Utf8);
    EXPECT_EQ(many.tables().size(), EncodingSettings::MaxTables);
    EXPECT_EQ(many.chosenFor("/t0"), std::nullopt);  // the least recent went
    EXPECT_EQ(EncodingSettings::Parse(many.encode()).tables(), many.tables());
}

TEST(EncodingSettings, DamagedOrMissingFileGivesDefaultsForWhatItCannotRead)
{
    struct Case {
        const char* text;
        TextEncoding lastSingleByte;
        std::size_t tables;
    };
    const Case cases[] = {
        {"", TextEncoding::Windows1252, 0},
        {"\x01\xff garbage\n\n\t\t\n", TextEncoding::Windows1252, 0},
        {"last-single-byte\tUTF-8\n", TextEncoding::Windows1252, 0},  // not single-byte
        {"last-single-byte\tKOI8-R\ntable\tUTF-8\n", TextEncoding::Windows1252, 0},
        {"last-single-byte\twindows-1251\r\ntable\tUTF-8\t/x\r\ntable\tBogus\t/y\n", TextEncoding::Windows1251, 1},
        {"table\tUTF-8\t/x\ntable\tWindows-1250\t/x\n", TextEncoding::Windows1252, 1},  // the first one counts
    };
    for (const Case& c : cases) {
        const EncodingSettings settings = EncodingSettings::Parse(c.text);
        EXPECT_EQ(settings.lastSingleByte(), c.lastSingleByte) << c.text;
        EXPECT_EQ(settings.tables().size(), c.tables) << c.text;
    }
    EXPECT_EQ(EncodingSettings::Parse("table\tUTF-8\t/x\ntable\tWindows-1250\t/x\n").chosenFor("/x"), TextEncoding::Utf8);
    EXPECT_EQ(EncodingSettings::Read("/nonexistent/dir/settings").lastSingleByte(), TextEncoding::Windows1252);
}
