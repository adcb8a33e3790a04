#include <gtest/gtest.h>

#include "core/config_file.h"
#include "temp_dir.h"

namespace lexicarta {
namespace {

using testing::TempDir;

TEST(ConfigFile, DefaultFileIs45Bytes)
{
    TempDir dir;
    ASSERT_TRUE(WriteConfigFile(dir.file("lexicarta.cfg"), ConfigRecord::Defaults(), "ignored without the flag"));
    const std::string bytes = dir.read("lexicarta.cfg");
    ASSERT_EQ(bytes.size(), 45u);
    // size 45, then the record: every byte 0 except the listed defaults, then one 0 byte.
    std::string expected(45, '\0');
    expected[0] = 45;
    const std::pair<int, int> set[] = {{0, 1}, {2, 2}, {5, 1}, {7, 1}, {10, 1}, {11, 1}, {12, 1}, {16, 1},
                                       {24, 1}, {25, 1}, {28, 430 & 0xFF}, {29, 430 >> 8}, {32, 5}, {37, 1}, {39, 1}};
    for (const auto& [offset, value] : set) expected[4 + offset] = static_cast<char>(value);
    EXPECT_EQ(bytes, expected);
}

TEST(ConfigFile, PathRunsScrambledToTheEndAndComesBackByteForByte)
{
    TempDir dir;
    std::string path = "/home/mod\xE9r/\xFF\x01 games/dialog.tlk";
    while (path.size() < 4000) path += "/sub\x80\xC3\xA9" "dir";
    path.resize(4000);
    ConfigRecord record = ConfigRecord::Defaults();
    record.setFlag(cfg::LastFileFlag, true);
    record.setInt32(cfg::SearchFromStrRef, -7);
    ASSERT_TRUE(WriteConfigFile(dir.file("c.cfg"), record, path));

    const std::string bytes = dir.read("c.cfg");
    ASSERT_EQ(bytes.size(), 44u + 4000u);
    EXPECT_EQ(bytes.substr(44), ScramblePath(path));
    EXPECT_NE(bytes.substr(44), path);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8), 4044);

    const ConfigReadResult read = ReadConfigFile(dir.file("c.cfg"));
    EXPECT_EQ(read.status, ConfigReadStatus::Ok);
    EXPECT_EQ(read.lastOpenedPath, path);
    EXPECT_EQ(read.record.bytes, record.bytes);
    EXPECT_EQ(read.record.int32At(cfg::SearchFromStrRef), -7);
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        EXPECT_EQ(UnscramblePath(ScramblePath(one)), one);
    }
}

TEST(ConfigFile, DamagedAndUnreadableFilesAreTold)
{
    const std::string good = EncodeConfigFile(ConfigRecord::Defaults(), "");
    auto with = [&good](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::string truncated = good.substr(0, 30);
    truncated[0] = 30;  // the size field agrees, the record does not fit
    std::string noTrailingByte = good.substr(0, 44);
    noTrailingByte[0] = 44;
    const struct {
        const char* name;
        std::string bytes;
        ConfigReadStatus status;
    } cases[] = {
        {"as written", good, ConfigReadStatus::Ok},
        {"one byte appended", good + "x", ConfigReadStatus::Damaged},
        {"size field 0", with(0, 0), ConfigReadStatus::Damaged},
        {"format mark 2", with(4, 2), ConfigReadStatus::Damaged},
        {"byte 1 not 0", with(5, 1), ConfigReadStatus::Damaged},
        {"truncated inside the record, old size", good.substr(0, 30), ConfigReadStatus::Damaged},
        {"truncated inside the record, size agreeing", truncated, ConfigReadStatus::Unreadable},
        {"trailing byte missing", noTrailingByte, ConfigReadStatus::Unreadable},
        {"empty file", "", ConfigReadStatus::Unreadable},
        {"byte 2 is never tested", with(6, 9), ConfigReadStatus::Ok},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("lexicarta.cfg", c.bytes);
        EXPECT_EQ(ReadConfigFile(dir.file("lexicarta.cfg")).status, c.status) << c.name;
    }
    TempDir dir;
    EXPECT_EQ(ReadConfigFile(dir.file("lexicarta.cfg")).status, ConfigReadStatus::Missing);
    EXPECT_FALSE(WriteConfigFile("/proc/no-such-dir/lexicarta.cfg", ConfigRecord::Defaults(), ""));
}

}  // namespace
}  // namespace lexicarta
