// Two real programs on one machine, each in its own folder with its own name,
// over the real network plug-in on 127.0.0.1 (the fake plug-in stands in for
// window, input, system and sound): one hosts from the menu's Host Game
// button, the other joins by clicking its server.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

// The menu with two option lists and one server: the server button and Host Game.
const char* const kJoinClick = "FAKE_CLICK_X=300 FAKE_CLICK_Y=394";
const char* const kHostClick = "FAKE_CLICK_X=400 FAKE_CLICK_Y=442";
const char* const kModules = "FAKE_KINDS=GRAPHICS,INPUT,SYSTEM,AUDIO FAKE_NAME=MOD-Trellis FAKE_FRAME_MS=5";

std::string settings_for(const std::string& name)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(8, '\0');
}

class NetworkRunTest : public ::testing::Test {
protected:
    // No name: the program takes the machine's host name.
    void prepare(const ScratchFolder& folder, const std::string& name)
    {
        copy_program_with_fake_modules(folder, "Servers < 127.0.0.1 >\n", {"wirelink.so"});
        if (!name.empty()) write_file(folder / "local/zorblitrally.prf", settings_for(name));
    }

    // Host and client side by side; the client starts once the server is open.
    ProcessResult play(const std::string& host_controls, const std::string& client_controls) const
    {
        return run_process(launch(host, std::string(kHostClick) + " FAKE_CLICK_FRAME=2 " + host_controls) +
                           " & sleep 0.5; " +
                           launch(client, std::string(kJoinClick) + " FAKE_CLICK_FRAME=3 " + client_controls) +
                           "; wait");
    }

    static std::string launch(const ScratchFolder& folder, const std::string& controls)
    {
        return "(cd '" + folder.path() + "' && " + kModules + " " + controls + " ./zorblitrally > run.log 2>&1)";
    }

    ScratchFolder host;
    ScratchFolder client;
};

TEST_F(NetworkRunTest, AClientJoinsChatsAndIsBootedWhenItFallsSilent)
{
    prepare(host, "Hosty");
    prepare(client, "Joiner");
    // The host runs 900 frames (about 4.5 s); the client joins in its third
    // frame, says hello in the lobby and closes after 100.
    const ProcessResult run =
        play("FAKE_QUIT_FRAME=900", "FAKE_CHAT_FRAME=40 FAKE_CHAT_TEXT=hello FAKE_QUIT_FRAME=100");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string host_log = read_file(host / "run.log");
    const std::string client_log = read_file(client / "run.log");
    EXPECT_NE(host_log.find("join request from 127.0.0.1 ... Joiner joined in slot 1\n"), std::string::npos)
        << host_log;
    EXPECT_NE(client_log.find("Server welcome packet - id 1\n"), std::string::npos) << client_log;
    EXPECT_NE(host_log.find("forwarding chat: #C6668Joiner#C4448: #C8888hello\n"), std::string::npos) << host_log;
    // The client closed without a word; five seconds of silence later the host frees its slot.
    EXPECT_NE(host_log.find("Booting inactive client Joiner [1]!\n"), std::string::npos) << host_log;
    EXPECT_EQ(client_log.find("ERROR"), std::string::npos) << client_log;
    EXPECT_EQ(read_file(host / "local/zorblitrally.prf").size(), 44u);
    EXPECT_EQ(read_file(client / "local/zorblitrally.prf"), std::string("\x28\x01\0\0", 4) + "Joiner" +
                                                                 std::string(26, '\0') +
                                                                 std::string("\0\0\0\0\x17\x04\0\0", 8));
}

TEST_F(NetworkRunTest, ASecondPlayerUnderTheHostsNameIsRefused)
{
    prepare(host, "");
    prepare(client, "");
    const ProcessResult run = play("FAKE_QUIT_FRAME=300", "FAKE_QUIT_FRAME=100");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string settings = read_file(host / "local/zorblitrally.prf");
    ASSERT_EQ(settings.size(), 44u);
    const std::string name = settings.substr(4, 32).c_str();
    ASSERT_FALSE(name.empty());
    const std::string host_log = read_file(host / "run.log");
    EXPECT_NE(host_log.find("join request from 127.0.0.1 ... name " + name + " is already registered ... booted\n"),
              std::string::npos)
        << host_log;
    EXPECT_NE(read_file(client / "run.log").find("Booted by Server!\n"), std::string::npos);
}

}  // namespace
