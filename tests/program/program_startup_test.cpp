// Start-up reads the rules file (copied into "local/" on first run) and the
// server list, which the program writes back at exit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "framework/menu.h"
#include "tests/program/fake_tables.h"
#include "tests/program/test_program.h"
#include "tests/support/scratch.h"
#include "tests/support/size_limit.h"

namespace {

const char* const kServersFile = "local/zorblitRally.servers";
const char* const kLocalRules = "local/zorblitRally.ini";

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

std::vector<std::string> servers_of(const cVantorProgramP2P& program)
{
    std::vector<std::string> names;
    for (uint32_t i = 0; i < program.menu->server_names.count(); ++i) names.push_back(*program.menu->server_names.get(i));
    return names;
}

// A game folder of its own as the current folder, with a source rules file.
class ProgramStartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(previous_folder, sizeof previous_folder), nullptr);
        make_folder(scratch / "data");
        make_folder(scratch / "data/zorblitRally");
        write_source_rules("Servers < a bc >\nDontLoadTextures YES\n");
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
        install_fake_tables(800, 600);
    }
    void TearDown() override
    {
        uninstall_fake_tables();
        ASSERT_EQ(chdir(previous_folder), 0);
    }

    void write_source_rules(const std::string& text) { write_file(scratch / "data/zorblitRally/rules.ini", text); }

    // Start-up and a clean exit of one run; returns what it printed.
    std::string run(TestProgram& program)
    {
        testing::internal::CaptureStdout();
        program.program_startup("zorblitRally.ini", "data/zorblitRally/rules.ini", "zorblitRally.servers");
        program.save_servers_file();
        return testing::internal::GetCapturedStdout();
    }

    char previous_folder[PATH_MAX];
    ScratchFolder scratch;
};

TEST_F(ProgramStartupTest, FirstRunTakesTheRulesServersAndWritesTheServersFile)
{
    TestProgram program;
    EXPECT_FALSE(program.menu->initialised);
    EXPECT_EQ(run(program), "");
    EXPECT_EQ(read_file(scratch / kLocalRules), read_file(scratch / "data/zorblitRally/rules.ini"));
    EXPECT_EQ(servers_of(program), (std::vector<std::string>{"a", "bc"}));
    EXPECT_TRUE(program.menu->initialised);
    EXPECT_TRUE(program.dont_load_textures);
    ASSERT_NE(program.rules, nullptr);
    EXPECT_EQ(read_file(scratch / kServersFile), bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0x02, 0x00, 0x62, 0x63}));
}

TEST_F(ProgramStartupTest, OnceWrittenTheServersFileWinsOverTheRules)
{
    {
        TestProgram first;
        run(first);
        first.menu->add_server("added");
        first.save_servers_file();
    }
    // Neither a changed source nor a changed local copy of the rules matters now.
    write_source_rules("Servers < x >\n");
    write_file(scratch / kLocalRules, "Servers < y >\n");
    TestProgram second;
    run(second);
    EXPECT_EQ(servers_of(second), (std::vector<std::string>{"a", "bc", "added"}));
    EXPECT_FALSE(second.dont_load_textures);
}

TEST_F(ProgramStartupTest, AnEmptyListAtExitLeavesTheFileAsItWas)
{
    {
        TestProgram first;
        run(first);
    }
    const std::string written = read_file(scratch / kServersFile);
    TestProgram second;
    run(second);
    second.menu->server_names.clear();
    second.save_servers_file();
    EXPECT_EQ(read_file(scratch / kServersFile), written);
}

TEST_F(ProgramStartupTest, DontLoadTexturesOnlyForExactlyYES)
{
    const struct {
        const char* rules;
        bool dont_load;
    } cases[] = {
        {"DontLoadTextures YES\n", true},
        {"DontLoadTextures yes\n", false},
        {"DontLoadTextures < YES YES >\n", false},
        {"Other 1\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules);
        write_file(scratch / kLocalRules, c.rules);
        remove(kServersFile);
        TestProgram program;
        run(program);
        EXPECT_EQ(program.dont_load_textures, c.dont_load);
        EXPECT_TRUE(program.menu->initialised);
    }
}

TEST_F(ProgramStartupTest, MissingSourceRulesIsReportedAndStartUpGoesOn)
{
    remove((scratch / "data/zorblitRally/rules.ini").c_str());
    TestProgram program;
    EXPECT_EQ(run(program), "ERROR: there is no source rules.ini\n");
    EXPECT_FALSE(file_exists(scratch / kLocalRules));
    EXPECT_TRUE(servers_of(program).empty());
    EXPECT_TRUE(program.menu->initialised);
    EXPECT_FALSE(file_exists(scratch / kServersFile));
}

TEST_F(ProgramStartupTest, LeavingAJoinedServerAtExit)
{
    TestProgram program;
    run(program);
    fake_tables().client = true;
    program.save_servers_file();
    EXPECT_EQ(fake_tables().net_calls, (std::vector<std::string>{"stop_client"}));
}

// A full disk or a kill at the moment of the save never costs the player
// the servers they had, nor, with no list yet, the rules' default.
TEST_F(ProgramStartupTest, AServersFileThatCannotBeWrittenKeepsTheOldList)
{
    {
        TestProgram first;
        run(first);
        first.menu->add_server("racing.example.org");
        first.save_servers_file();
    }
    const std::string saved = read_file(scratch / kServersFile);
    TestProgram second;
    run(second);
    second.menu->add_server("another.example.org");
    expect_save_survives_the_limit(8, scratch / kServersFile, saved, [&] { second.save_servers_file(); });

    TestProgram third;
    run(third);
    EXPECT_EQ(servers_of(third), (std::vector<std::string>{"a", "bc"}));
}

}  // namespace
