// A first start where no window can open, as a newcomer meets it: the real
// program with its real plug-ins, in a terminal (a pseudo-terminal here) with
// no display and no sound device. It says so in one line, ends with 1 and
// leaves the terminal's modes as they were.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

#include "tests/support/scratch.h"

namespace {

const char* const kPlugins[] = {"meshferry.so", "murmur.so", "trellis.so", "wirelink.so"};
const char* const kLoadingLines =
    "loading plugin: Mesh-Ferry\r\nloading plugin: MOD-Murmur\r\nloading plugin: MOD-Trellis\r\n"
    "loading plugin: MOD-Wirelink\r\n";
const char* const kNoDisplay =
    "ERROR: No display to open the game's window on: start the game from a desktop session, or set DISPLAY "
    "(for example DISPLAY=:0)\r\n";
// No display, no choice of drivers, and no sound server, card or OSS device.
const char* const kBareMachine =
    "env -u DISPLAY -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER PULSE_SERVER=unix:/nonexistent/zr-pulse "
    "ALSA_CARD=ZrNoSuchCard AUDIODEV=/nonexistent/zr-dsp ";

struct TerminalRun {
    std::string output;
    int exit_code = -1;
    termios before = {};
    termios after = {};
};

bool same_modes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// Runs a shell command as the controlling terminal's only job, typing input.
TerminalRun run_in_terminal(const std::string& command, const std::string& typed)
{
    TerminalRun run;
    int terminal = -1, program_side = -1;
    if (openpty(&terminal, &program_side, nullptr, nullptr, nullptr) != 0) return run;
    tcgetattr(program_side, &run.before);
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        ioctl(program_side, TIOCSCTTY, 0);
        dup2(program_side, 0);
        dup2(program_side, 1);
        dup2(program_side, 2);
        close(terminal);
        close(program_side);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (!typed.empty() && write(terminal, typed.data(), typed.size()) != ssize_t(typed.size())) run.output = "?";
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    bool ended = false;
    for (;;) {
        pollfd ready = {terminal, POLLIN, 0};
        if (poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t count = read(terminal, buffer, sizeof buffer);
            if (count > 0) {
                run.output.append(buffer, size_t(count));
                continue;
            }
        }
        if (ended) break;  // one more look for what it wrote last
        if (waitpid(child, &status, WNOHANG) == child) ended = true;
        if (!ended && std::chrono::steady_clock::now() > limit) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
    }
    tcgetattr(program_side, &run.after);
    close(terminal);
    close(program_side);
    if (ended && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    return run;
}

class FirstStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_folder(scratch / "plugin");
        copy_file(std::string(ZR_GAME_DIR) + "/zorblitrally", scratch / "zorblitrally");
        copy_file(std::string(ZR_GAME_DIR) + "/libkeelcore.so", scratch / "libkeelcore.so");
        for (const char* plugin : kPlugins)
            copy_file(std::string(ZR_GAME_DIR) + "/plugin/" + plugin, scratch / ("plugin/" + std::string(plugin)));
    }
    void write_cfg()
    {
        make_folder(scratch / "local");
        write_file(scratch / "local/zorblitrally.cfg", std::string("\x20\x03\x58\x02\x00", 5));
    }
    TerminalRun start(const std::string& environment, const std::string& typed = "")
    {
        return run_in_terminal("cd '" + scratch.path() + "' && " + kBareMachine + environment + " ./zorblitrally",
                               typed);
    }

    ScratchFolder scratch;
};

TEST_F(FirstStartTest, WithoutADisplayItSaysSoInOneLineAndEndsWithOne)
{
    write_cfg();
    const struct {
        const char* environment;
        std::string line;
    } cases[] = {
        {"", kNoDisplay},
        {"DISPLAY=", kNoDisplay},
        {"DISPLAY=:7919", "ERROR: The display \":7919\" could not be opened: start the game from a desktop session, "
                          "or set DISPLAY to a running X display\r\n"},
        // A driver the user chose is the user's: SDL's own reason is told.
        {"SDL_VIDEODRIVER=zrnone", "ERROR: The video driver \"zrnone\" could not start: No available video device\r\n"},
    };
    for (const auto& c : cases) {
        const TerminalRun run = start(c.environment);
        EXPECT_EQ(run.exit_code, 1) << c.environment << "\n" << run.output;
        EXPECT_EQ(run.output, kLoadingLines + c.line) << c.environment;
        EXPECT_TRUE(same_modes(run.before, run.after)) << c.environment;
    }
}

// The questions still come first and take typed answers; the settings are
// kept for the next start even though this one cannot open its window.
TEST_F(FirstStartTest, TheQuestionsComeFirstAndTheAnswersAreKept)
{
    const TerminalRun run = start("", "800 600\nn\n");
    EXPECT_EQ(run.exit_code, 1) << run.output;
    // Answers typed ahead are echoed by the terminal before the questions.
    const size_t first = run.output.find("Please specify the resolution you wish to run in.\r\n");
    EXPECT_NE(first, std::string::npos) << run.output;
    const size_t asked = run.output.find("\r\nWould you like to run full screen? [y/n]\r\n", first);
    EXPECT_NE(asked, std::string::npos) << run.output;
    EXPECT_NE(run.output.find(std::string(kLoadingLines) + kNoDisplay, asked), std::string::npos) << run.output;
    EXPECT_TRUE(same_modes(run.before, run.after));
    EXPECT_EQ(read_file(scratch / "local/zorblitrally.cfg"), std::string("\x20\x03\x58\x02\x00", 5));
}

}  // namespace
