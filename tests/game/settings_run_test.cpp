// The real program against the fake-modules plug-in: what its settings file
// holds after a run, from no file, an ignored one and a good one.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/scratch.h"
#include "tests/support/size_limit.h"

namespace {

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

const std::string kVersion296 = bytes({0x28, 0x01, 0, 0});

std::string record(const std::string& name, std::initializer_list<unsigned char> rest)
{
    return name + std::string(32 - name.size(), '\0') + bytes(rest);
}

class SettingsRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_program_with_fake_modules(scratch, "Servers < a >\n");
    }
    ProcessResult start(const std::string& controls = "FAKE_ESCAPE_FRAME=2")
    {
        return run_process("cd '" + scratch.path() + "' && " + controls + " ./zorblitrally");
    }
    std::string settings() { return read_file(scratch / "local/zorblitrally.prf"); }
    std::string servers() { return read_file(scratch / "local/zorblitRally.servers"); }

    ScratchFolder scratch;
};

// The fake network module names the host "fakehost".
TEST_F(SettingsRunTest, ARunWritesVersionAndRecordWithTheDefaultsFilledIn)
{
    const struct {
        const char* what;
        std::string before;
        std::string after;
    } cases[] = {
        {"no file", "", kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 295", bytes({0x27, 0x01, 0, 0}) + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 297", bytes({0x29, 0x01, 0, 0}) + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"a short file", (kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0})).substr(0, 40),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 296", kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0})},
        {"zero intervals", kVersion296 + record("Zed", {0, 0, 0, 0, 0, 0, 0, 0}),
         kVersion296 + record("Zed", {0, 0, 0, 0, 23, 4, 0, 0})},
    };
    for (const auto& c : cases) {
        remove((scratch / "local/zorblitrally.prf").c_str());
        if (!c.before.empty()) write_file(scratch / "local/zorblitrally.prf", c.before);
        const ProcessResult run = start();
        EXPECT_EQ(run.exit_code, 0) << c.what << "\n" << run.output;
        EXPECT_EQ(settings(), c.after) << c.what;
    }
}

TEST_F(SettingsRunTest, AStartThatFailsWritesNoSettings)
{
    const ProcessResult run = start("FAKE_SOUND_INIT=0");
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_FALSE(file_exists(scratch / "local/zorblitrally.prf"));
}

// A disk that takes no more than 16 bytes a file at the moment of the exit:
// the player's server list and settings stay as they were, and each failed
// save says so in one line.
TEST_F(SettingsRunTest, SavesAtExitThatCannotBeWrittenKeepThePlayersFiles)
{
    ASSERT_EQ(start().exit_code, 0);  // the first start's rules copy and model caches
    const std::string player_settings = kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0});
    const std::string player_servers = bytes({2, 0, 1, 0}) + "a" + bytes({18, 0}) + "racing.example.org";
    write_file(scratch / "local/zorblitrally.prf", player_settings);
    write_file(scratch / "local/zorblitRally.servers", player_servers);

    const std::string folder = scratch.path();
    const LimitedRun run = run_with_file_size_limit(16, AtTheLimit::kWriteFails, [&] {
        if (chdir(folder.c_str()) == 0 && setenv("FAKE_ESCAPE_FRAME", "2", 1) == 0)
            execl("./zorblitrally", "./zorblitrally", static_cast<char*>(nullptr));
    });
    EXPECT_TRUE(run.exited) << run.output;
    EXPECT_TRUE(settings() == player_settings);
    EXPECT_TRUE(servers() == player_servers);
    EXPECT_EQ(count_of(run.output, "ERROR: "), 2) << run.output;
    EXPECT_EQ(count_of(run.output, "ERROR: Couldn't write file local/zorblitRally.servers (File too large)\n"), 1)
        << run.output;
    EXPECT_EQ(count_of(run.output, "zorblitrally.prf (File too large)\n"), 1) << run.output;
}

}  // namespace
