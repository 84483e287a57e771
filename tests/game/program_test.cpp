// The real program, started with no plug-ins: it asks for or reads its window
// settings, then fails to find its modules and ends with exit code 1.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

const char* const kResolutionQuestion = "Please specify the resolution you wish to run in.\n";
const char* const kFullscreenQuestion = "\nWould you like to run full screen? [y/n]\n";
const char* const kUnbound =
    "ERROR: No graphics module successfully bound\nERROR: No input module successfully bound\n"
    "ERROR: No system module successfully bound\n";

// A copy of the program and keelcore in a folder of their own, without plug-ins.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_file(std::string(ZR_GAME_DIR) + "/zorblitrally", scratch / "zorblitrally");
        copy_file(std::string(ZR_GAME_DIR) + "/libkeelcore.so", scratch / "libkeelcore.so");
    }
    ProcessResult start(const std::string& answers)
    {
        return run_process("cd '" + scratch.path() + "' && ./zorblitrally", answers);
    }
    std::string cfg() { return read_file(scratch / "local/zorblitrally.cfg"); }

    ScratchFolder scratch;
};

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

}  // namespace

TEST_F(ProgramTest, FirstStartAsksWritesTheCfgAndReportsTheMissingModules)
{
    const ProcessResult result = start("0\ny\n");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.output.find(kResolutionQuestion), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("type 0 to default to \"1024 768\".\n"), std::string::npos);
    EXPECT_NE(result.output.find(kFullscreenQuestion), std::string::npos);
    EXPECT_NE(result.output.find(kUnbound), std::string::npos);
    EXPECT_EQ(cfg(), bytes({0x00, 0x04, 0x00, 0x03, 0x01}));
}

TEST_F(ProgramTest, AnswersBecomeTheCfgBytes)
{
    const struct {
        std::string answers;
        std::string cfg;
    } cases[] = {
        {"800 600\nno\n", bytes({0x20, 0x03, 0x58, 0x02, 0x00})},
        {"0\nja\n", bytes({0x00, 0x04, 0x00, 0x03, 0x00})},
        {"0\nY\n", bytes({0x00, 0x04, 0x00, 0x03, 0x01})},
        {"0\nYes\n", bytes({0x00, 0x04, 0x00, 0x03, 0x01})},
        {"0\nYES\n", bytes({0x00, 0x04, 0x00, 0x03, 0x01})},
        // A word that is no number picks the default and is not read as a height.
        {"abc\ny\n", bytes({0x00, 0x04, 0x00, 0x03, 0x01})},
        // Out-of-range sizes and the end of input give the defaults.
        {"99999 600\ny\n", bytes({0x00, 0x04, 0x00, 0x03, 0x01})},
        {"-5 600\nn\n", bytes({0x00, 0x04, 0x00, 0x03, 0x00})},
        {"800\n", bytes({0x00, 0x04, 0x00, 0x03, 0x00})},
        {"", bytes({0x00, 0x04, 0x00, 0x03, 0x00})},
        {std::string(300, '9'), bytes({0x00, 0x04, 0x00, 0x03, 0x00})},
    };
    for (const auto& c : cases) {
        remove((scratch / "local/zorblitrally.cfg").c_str());
        const ProcessResult result = start(c.answers);
        EXPECT_EQ(result.exit_code, 1) << c.answers;
        EXPECT_EQ(cfg(), c.cfg) << "answers: " << c.answers;
    }
}

TEST_F(ProgramTest, SecondStartAsksNothing)
{
    start("800 600\nno\n");
    const ProcessResult second = start("");
    EXPECT_EQ(second.output.find(kResolutionQuestion), std::string::npos) << second.output;
    EXPECT_NE(second.output.find(kUnbound), std::string::npos);
    EXPECT_EQ(cfg(), bytes({0x20, 0x03, 0x58, 0x02, 0x00}));
}

TEST_F(ProgramTest, ShortCfgRunsTheDialogueAgain)
{
    make_folder(scratch / "local");
    write_file(scratch / "local/zorblitrally.cfg", bytes({0x20, 0x03, 0x58}));
    const ProcessResult result = start("640 480\nn\n");
    EXPECT_NE(result.output.find(kResolutionQuestion), std::string::npos) << result.output;
    EXPECT_EQ(cfg(), bytes({0x80, 0x02, 0xE0, 0x01, 0x00}));
}

TEST_F(ProgramTest, StartedThroughThePathKeepsItsFilesBesideTheProgram)
{
    ScratchFolder elsewhere;
    const ProcessResult result =
        run_process("cd '" + elsewhere.path() + "' && PATH='" + scratch.path() + "':$PATH zorblitrally", "0\nn\n");
    EXPECT_EQ(result.exit_code, 1) << result.output;
    EXPECT_EQ(cfg(), bytes({0x00, 0x04, 0x00, 0x03, 0x00}));
    EXPECT_FALSE(file_exists(elsewhere / "local"));
}

TEST_F(ProgramTest, StartedFromAnotherFolderItNamesTheFolderItLookedInForPlugIns)
{
    ScratchFolder elsewhere;
    const ProcessResult result =
        run_process("cd '" + elsewhere.path() + "' && '" + scratch.path() + "/zorblitrally'", "0\nn\n");
    EXPECT_EQ(result.exit_code, 1) << result.output;
    const std::string looked_in = "ERROR: Plug-ins are looked for in " + elsewhere.path() +
                                  "/plugin: start the program from its own folder, as ./play.sh does\n";
    EXPECT_NE(result.output.find(looked_in + kUnbound), std::string::npos) << result.output;
}
