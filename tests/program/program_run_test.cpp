// The real program against the fake-modules plug-in: it reaches its menu,
// hosts from it, and writes its server list when it ends.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

// The program, keelcore and the fake plug-in in a folder of their own, with
// an 800 x 600 window setting and a rules file.
class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_program_with_fake_modules(scratch, "Servers < a bc >\n");
    }

    void write_rules(const std::string& text) { write_file(scratch / "data/zorblitRally/rules.ini", text); }
    ProcessResult start(const std::string& controls)
    {
        return run_process("cd '" + scratch.path() + "' && FAKE_ECHO=1 " + controls + " ./zorblitrally");
    }

    ScratchFolder scratch;
};

bool shows(const std::string& output, const std::string& text, int x, int y)
{
    return output.find("FAKE: text " + text + " at " + std::to_string(x) + " " + std::to_string(y) + "\n") !=
           std::string::npos;
}

TEST_F(ProgramRunTest, ShowsTheMenuAndWritesTheServersAtACleanExit)
{
    const ProcessResult first = start("FAKE_ESCAPE_FRAME=3");
    EXPECT_EQ(first.exit_code, 0) << first.output;
    EXPECT_TRUE(shows(first.output, "Zorblit Rally - dev", 400, 16)) << first.output;
    EXPECT_TRUE(shows(first.output, "User Name [type to change]", 400, 54));
    EXPECT_TRUE(shows(first.output, "a", 200, 394));
    EXPECT_TRUE(shows(first.output, "bc", 400, 394));
    EXPECT_TRUE(shows(first.output, "Add Server", 600, 394));
    EXPECT_TRUE(shows(first.output, "Host Game", 400, 442));
    EXPECT_EQ(count_of(first.output, "FAKE: text Host Game"), 2);  // the third frame quits before drawing
    EXPECT_EQ(read_file(scratch / "local/zorblitRally.servers"), std::string("\x02\x00\x01\x00\x61\x02\x00\x62\x63", 9));
    EXPECT_TRUE(file_exists(scratch / "local/zorblitRally.ini"));

    // From now on the list comes from the servers file.
    write_rules("Servers < x >\n");
    remove((scratch / "local/zorblitRally.ini").c_str());
    const ProcessResult second = start("FAKE_ESCAPE_FRAME=2");
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_TRUE(shows(second.output, "bc", 400, 394)) << second.output;
    EXPECT_EQ(second.output.find("FAKE: text x "), std::string::npos);
}

TEST_F(ProgramRunTest, HostGameStartsTheServer)
{
    const ProcessResult run = start("FAKE_CLICK_FRAME=2 FAKE_CLICK_X=400 FAKE_CLICK_Y=442 FAKE_QUIT_FRAME=4");
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(count_of(run.output, "FAKE: net_start_server\n"), 1) << run.output;
    // The lobby has replaced the menu.
    EXPECT_EQ(count_of(run.output, "FAKE: text Host Game"), 1);
}

TEST_F(ProgramRunTest, AServerThatCannotOpenEndsTheProgram)
{
    const ProcessResult run = start("FAKE_CLICK_FRAME=1 FAKE_CLICK_X=400 FAKE_CLICK_Y=442 FAKE_SERVER_RESULT=4");
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find("Could not open server...\n"), std::string::npos) << run.output;
    EXPECT_EQ(count_of(run.output, "FAKE: text Host Game"), 0);
}

}  // namespace
