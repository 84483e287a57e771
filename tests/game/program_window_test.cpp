// The real program under X: it opens its window at the size of its cfg with
// its name as the caption, and Alt+F4, closing the window and SIGTERM each end
// it through the normal close with exit code 0.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/program_window.h"

namespace {

// A copy of the program with trellis, the sound module and the network
// module, which opens no port until a game is hosted.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = open_test_display();
        ASSERT_NE(display, nullptr);
        program.start();
        window = wait_for_window(display, "zorblitrally", program.pid());
        ASSERT_NE(window, 0u) << program.output();
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }

    ProgramCopy program{{"meshferry.so", "trellis.so", "murmur.so", "wirelink.so"}, std::string("\x90\x01\x2c\x01\x00", 5)};  // 400 x 300
    Display* display = nullptr;
    Window window = 0;
};

}  // namespace

TEST_F(RunningProgram, WindowHasTheCfgSizeAndAltF4EndsIt)
{
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_EQ(attributes.width, 400);
    EXPECT_EQ(attributes.height, 300);
    hold_keys(display, window, {XK_Alt_L, XK_F4});
    EXPECT_EQ(program.exit_code(), 0) << program.output();
    release_keys(display, {XK_Alt_L, XK_F4});
    EXPECT_EQ(count_of(program.output(), "ERROR") + count_of(program.output(), "Error"), 0) << program.output();
}

TEST_F(RunningProgram, ClosingTheWindowEndsIt)
{
    usleep(200000);
    ask_window_to_close(display, window);
    EXPECT_EQ(program.exit_code(), 0) << program.output();
}

TEST_F(RunningProgram, SigtermEndsIt)
{
    usleep(200000);
    program.terminate();
    EXPECT_EQ(program.exit_code(), 0) << program.output();
}

// A machine with a display but no sound: no sound server, card or OSS device,
// and no driver chosen. The sound module says so once and the game runs on;
// nothing of the sound library's own reaches the console.
TEST(SilentMachine, TheProgramRunsWithOneWarningAboutSound)
{
    const char* chosen = getenv("SDL_AUDIODRIVER");
    const std::string before = chosen ? chosen : "";
    unsetenv("SDL_AUDIODRIVER");
    setenv("PULSE_SERVER", "unix:/nonexistent/zr-pulse", 1);
    setenv("ALSA_CARD", "ZrNoSuchCard", 1);
    setenv("AUDIODEV", "/nonexistent/zr-dsp", 1);
    Display* display = open_test_display();
    ASSERT_NE(display, nullptr);
    ProgramCopy program{{"meshferry.so", "trellis.so", "murmur.so", "wirelink.so"}, std::string("\x90\x01\x2c\x01\x00", 5)};
    program.start();
    EXPECT_NE(wait_for_window(display, "zorblitrally", program.pid()), 0u) << program.output();
    usleep(300000);
    program.terminate();
    EXPECT_EQ(program.exit_code(), 0) << program.output();
    EXPECT_EQ(program.output(),
              "loading plugin: Mesh-Ferry\nloading plugin: MOD-Murmur\nloading plugin: MOD-Trellis\n"
              "loading plugin: MOD-Wirelink\nWARNING: No sound device could be opened (No available audio device): the game runs without sound\n");
    XCloseDisplay(display);
    if (chosen) setenv("SDL_AUDIODRIVER", before.c_str(), 1);
    for (const char* name : {"PULSE_SERVER", "ALSA_CARD", "AUDIODEV"}) unsetenv(name);
}
