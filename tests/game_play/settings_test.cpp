// The settings file: 296 and the 40-byte record, read only when whole.
#include <gtest/gtest.h>

#include "game/settings.h"
#include "tests/support/scratch.h"
#include "tests/support/size_limit.h"

namespace {

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

std::string version(uint32_t value)
{
    return bytes({uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

// Name "Zed", scheme 1, species 1, intervals 9 and 7, music off.
std::string record_bytes()
{
    return "Zed" + std::string(29, '\0') + bytes({1, 0, 1, 0, 9, 7, 1, 0});
}

SettingsRecord untouched()
{
    SettingsRecord record = {};
    copy_player_name(record.player_name, "Kept");
    record.update_interval = 3;
    return record;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { settings_record = untouched(); }
    std::string path() const { return scratch / "zorblitrally.prf"; }

    ScratchFolder scratch;
};

void expect_untouched(const char* what)
{
    EXPECT_STREQ(settings_record.player_name, "Kept") << what;
    EXPECT_EQ(settings_record.update_interval, 3) << what;
    EXPECT_EQ(settings_record.species, 0) << what;
}

TEST_F(SettingsTest, AWholeFileOfVersion296IsRead)
{
    write_file(path(), version(296) + record_bytes());
    load_settings(path());
    EXPECT_STREQ(settings_record.player_name, "Zed");
    EXPECT_EQ(settings_record.control_scheme, 1);
    EXPECT_EQ(settings_record.species, 1);
    EXPECT_EQ(settings_record.roster_interval, 9);
    EXPECT_EQ(settings_record.update_interval, 7);
    EXPECT_EQ(settings_record.music_off, 1);
    EXPECT_EQ(settings_path, path());
}

TEST_F(SettingsTest, OtherVersionsAndShortFilesLeaveTheRecordAlone)
{
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"version 295", version(295) + record_bytes()},
        {"version 297", version(297) + record_bytes()},
        {"version 0", version(0) + record_bytes()},
        {"43 bytes", (version(296) + record_bytes()).substr(0, 43)},
        {"the version alone", version(296)},
        {"two bytes", bytes({0x28, 0x01})},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        settings_record = untouched();
        write_file(path(), c.file);
        load_settings(path());
        expect_untouched(c.what);
    }
}

TEST_F(SettingsTest, AMissingFileLeavesTheRecordButKeepsThePath)
{
    load_settings(path());
    expect_untouched("missing");
    EXPECT_EQ(settings_path, path());
}

TEST_F(SettingsTest, NameAndSpeciesFromTheFileAreChecked)
{
    std::string record = std::string(32, 'q') + bytes({0, 0, 2, 0, 1, 1, 0, 0});
    write_file(path(), version(296) + record);
    load_settings(path());
    EXPECT_EQ(std::string(settings_record.player_name), std::string(31, 'q'));
    EXPECT_EQ(settings_record.species, 0);
    record[34] = char(0xFF);
    record[35] = char(0xFF);
    write_file(path(), version(296) + record);
    load_settings(path());
    EXPECT_EQ(settings_record.species, 0);
}

TEST_F(SettingsTest, SavingWritesExactly44Bytes)
{
    load_settings(path());
    settings_record = SettingsRecord();
    copy_player_name(settings_record.player_name, "Zed");
    settings_record.control_scheme = 1;
    settings_record.species = 1;
    settings_record.roster_interval = 9;
    settings_record.update_interval = 7;
    settings_record.music_off = 1;
    ASSERT_TRUE(save_settings());
    EXPECT_EQ(read_file(path()), version(296) + record_bytes());
    // A longer old file is replaced, not overwritten in part.
    write_file(path(), std::string(100, 'x'));
    ASSERT_TRUE(save_settings());
    EXPECT_EQ(read_file(path()).size(), 44u);
}

TEST_F(SettingsTest, ALongPathIsKeptWhole)
{
    std::string folder = scratch.path();
    for (int i = 0; i < 6; ++i) {
        folder += "/" + std::string(50, char('a' + i));
        make_folder(folder);
    }
    const std::string long_path = folder + "/zorblitrally.prf";
    ASSERT_GT(long_path.size(), 300u);
    load_settings(long_path);
    ASSERT_TRUE(save_settings());
    EXPECT_EQ(read_file(long_path).size(), 44u);
}

TEST_F(SettingsTest, AnUnwritablePathFails)
{
    load_settings(scratch / "no/such/folder/x.prf");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(save_settings());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("ERROR: Couldn't open file for write "), std::string::npos);
}

// A full disk or a kill at the moment of the save never costs the player
// the name, scheme and species they had.
TEST_F(SettingsTest, ASaveThatCannotBeWrittenKeepsTheOldFile)
{
    load_settings(path());
    copy_player_name(settings_record.player_name, "Newcomer");
    expect_save_survives_the_limit(16, path(), version(296) + record_bytes(), [] { save_settings(); });
}

}  // namespace
