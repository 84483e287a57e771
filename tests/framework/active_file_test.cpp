#include <gtest/gtest.h>

#include "base/fileops.h"
#include "base/modules.h"
#include "framework/active_file.h"
#include "framework/engine.h"
#include "tests/support/scratch.h"
#include "tests/support/size_limit.h"

namespace {

class ActiveFileTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (files->active_file) close_active(files);
    }
    ScratchFolder scratch;
    modFileOperations* files = __mFileOps_instance();
};

}  // namespace

TEST_F(ActiveFileTest, WritesLittleEndianFieldsAndReadsThemBack)
{
    const std::string path = scratch / "window.cfg";
    const uint16_t width = 1024, height = 768;
    const uint8_t fullscreen = 1;
    open_active_for_write(files, path);
    write_active_u16(files, &width);
    write_active_u16(files, &height);
    write_active_byte(files, &fullscreen);
    close_active(files);
    EXPECT_EQ(read_file(path), std::string("\x00\x04\x00\x03\x01", 5));

    uint16_t read_width = 0, read_height = 0;
    uint8_t read_fullscreen = 0;
    open_active_for_read(files, path);
    read_active_u16(files, &read_width);
    read_active_u16(files, &read_height);
    read_active_byte(files, &read_fullscreen);
    close_active(files);
    EXPECT_EQ(read_width, 1024);
    EXPECT_EQ(read_height, 768);
    EXPECT_EQ(read_fullscreen, 1);
}

TEST_F(ActiveFileTest, ShortFileKeepsTheBytesThatAreMissing)
{
    const std::string path = scratch / "short.cfg";
    write_file(path, std::string("\x20", 1));
    uint16_t value = 0xABCD;
    open_active_for_read(files, path);
    read_active_u16(files, &value);
    close_active(files);
    EXPECT_EQ(value, 0xAB20);
}

TEST_F(ActiveFileTest, MisuseIsReportedAndMovesNothing)
{
    struct Case {
        const char* what;
        bool open_for_write;  // otherwise nothing is open
        bool do_read;
        const char* expected;
    } cases[] = {
        {"read while writing", true, true, "ERROR: Active file is not set up for reading\n"},
        // Both checks run: the mode flag left from the last open disagrees with a write.
        {"read with nothing open", false, true, "ERROR: No active file is open\n"},
        {"write with nothing open", false, false,
         "ERROR: No active file is open\nERROR: Active file is not set up for writing\n"},
    };
    for (const Case& c : cases) {
        files->active_writing = false;
        if (c.open_for_write) open_active_for_write(files, scratch / "out.bin");
        uint8_t value = 77;
        testing::internal::CaptureStdout();
        if (c.do_read)
            read_active_byte(files, &value);
        else
            write_active_byte(files, &value);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.expected) << c.what;
        EXPECT_EQ(value, 77) << c.what;
        if (files->active_file) close_active(files);
    }
}

TEST_F(ActiveFileTest, ClosingTwiceAndOpeningTwiceAreReported)
{
    open_active_for_write(files, scratch / "a.bin");
    testing::internal::CaptureStdout();
    open_active_for_write(files, scratch / "b.bin");
    close_active(files);
    close_active(files);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Active File is already open\nERROR: Cannot close active file: it isn't open\n");
    EXPECT_EQ(files->active_file, nullptr);
}

TEST_F(ActiveFileTest, MissingFileLeavesItClosed)
{
    testing::internal::CaptureStdout();
    open_active_for_read(files, scratch / "none.cfg");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "ERROR: Couldn't open file for read " + (scratch / "none.cfg") + "\n");
    EXPECT_EQ(files->active_file, nullptr);
}

// The window answers are saved through the active file: a full disk or a
// kill at that moment leaves the cfg there was, here one too short to use.
TEST_F(ActiveFileTest, WindowAnswersThatCannotBeSavedLeaveTheOldCfg)
{
    class AskingEngine : public cEngine {
    public:
        bool run_frame() override { return false; }
    };
    const std::string answers = scratch / "answers.txt";
    write_file(answers, "800 600\nn\n");
    const std::string cfg = scratch / "local.cfg";
    expect_save_survives_the_limit(4, cfg, std::string("\x20\x03\x58", 3), [&] {
        if (!freopen(answers.c_str(), "r", stdin)) return;
        AskingEngine engine;
        uint16_t width = 0, height = 0;
        bool fullscreen = false;
        engine.ask_startup_settings(cfg, &width, &height, &fullscreen);
    });
}

TEST(PathParts, FileNameAndFolder)
{
    EXPECT_EQ(filename_of("D:\\games\\racer.exe"), "racer");
    EXPECT_EQ(folder_of("D:\\games\\racer.exe"), "D:\\games");
    EXPECT_EQ(filename_of("/opt/game/zorblitrally"), "");
    EXPECT_EQ(filename_of(std::string(200, 'n') + ".cfg").size(), 63u);
    EXPECT_EQ(folder_of("/" + std::string(400, 'd') + "/x").size(), 259u);
}
