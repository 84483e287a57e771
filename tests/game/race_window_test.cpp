// Two real programs race under X over the real network plug-in: the host
// starts the race with the lobby's start button, the client drives with the
// arrow keys, and both stay in the race: the client hears the host's cart
// updates (without them it would time out), the host hears the client.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "tests/support/program_window.h"

namespace {

const std::string k640x480("\x80\x02\xe0\x01\x00", 5);
constexpr int kWindowTop = 520;
constexpr int kHostGameX = 320;
constexpr int kHostGameY = 442;
constexpr int kServerX = 220;
constexpr int kServerY = 394;
constexpr int kLeftOfText = 80;
constexpr int kStartX = 320;
constexpr int kStartY = 74;
const Rgb kButtonBlue{0, 0, 255};
const Rgb kBlack{0, 0, 0};

std::string settings_for(const std::string& name)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(4, '\0') +
           char(23) + char(4) + std::string(2, '\0');
}

class RaceWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = open_test_display();
        ASSERT_NE(display, nullptr);
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty"));
        write_file(client / "local/zorblitrally.prf", settings_for("Joiner"));
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }

    Window show(ProgramCopy& program, int left)
    {
        program.start();
        const Window window = wait_for_window(display, "zorblitrally", program.pid());
        if (window) place_window(display, window, left, kWindowTop);
        return window;
    }

    ProgramCopy host{{"trellis.so", "wirelink.so", "murmur.so", "meshferry.so"}, k640x480};
    ProgramCopy client{{"trellis.so", "wirelink.so", "murmur.so", "meshferry.so"}, k640x480};
    Display* display = nullptr;
};

}  // namespace

TEST_F(RaceWindowTest, TheHostStartsTheRaceAndBothStayInItWhileTheClientDrives)
{
    const Window host_window = show(host, 0);
    ASSERT_NE(host_window, 0u) << host.output();
    ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
        << host.output();
    click_window(display, host_window, kHostGameX, kHostGameY);
    ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kBlack)) << host.output();

    const Window client_window = show(client, 640);
    ASSERT_NE(client_window, 0u) << client.output();
    ASSERT_TRUE(wait_for_pixel(display, client_window, kServerX - kLeftOfText, kServerY, kButtonBlue))
        << client.output();
    click_window(display, client_window, kServerX, kServerY);
    ASSERT_TRUE(client.wait_for_output("Server welcome packet - id 1\n")) << client.output();

    // The start button's blue frame, then the race (no lobby screen: black).
    ASSERT_TRUE(wait_for_pixel(display, host_window, kStartX - 126, kStartY, kButtonBlue)) << host.output();
    click_window(display, host_window, kStartX, kStartY);
    ASSERT_TRUE(client.wait_for_output("Spawning ship: 1\n")) << client.output();
    ASSERT_TRUE(client.wait_for_output("Spawning ship: 2\n")) << client.output();
    ASSERT_TRUE(wait_for_pixel(display, host_window, kStartX - 126, kStartY, kBlack)) << host.output();

    // Longer than the 5 s a client waits for its silent host: the race sends
    // no keep-alives, so only the cart updates keep the client in.
    for (int second = 0; second < 8; ++second) press_keys(display, client_window, {XK_Up});
    press_keys(display, client_window, {XK_Up, XK_Left});
    press_keys(display, client_window, {XK_r});

    EXPECT_EQ(count_of(host.output(), "Booting inactive client"), 0) << host.output();
    EXPECT_EQ(count_of(client.output(), "Booted by Server"), 0) << client.output();
    EXPECT_FALSE(wait_for_pixel(display, client_window, kServerX - kLeftOfText, kServerY, kButtonBlue))
        << "the client fell back to the menu\n"
        << client.output();

    client.terminate();
    EXPECT_EQ(client.exit_code(), 0) << client.output();
    host.terminate();
    EXPECT_EQ(host.exit_code(), 0) << host.output();
    EXPECT_EQ(count_of(host.output(), "ERROR"), 0) << host.output();
    EXPECT_EQ(count_of(client.output(), "ERROR"), 0) << client.output();
}
