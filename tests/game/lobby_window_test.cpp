// Two real programs side by side under X, over the real network plug-in on
// 127.0.0.1: a player clicks Host Game in one window and the rules file's
// server in the other, and the host takes the second player into its lobby.
#include <gtest/gtest.h>

#include "tests/support/program_window.h"

namespace {

const std::string k640x480("\x80\x02\xe0\x01\x00", 5);
// Below any window that other tests open at the top left.
constexpr int kWindowTop = 520;

// The game's menu at 640 x 480 with its two option lists and one server;
// a button's inner box is blue to the left of its text.
constexpr int kHostGameX = 320;
constexpr int kHostGameY = 442;
constexpr int kServerX = 220;
constexpr int kServerY = 394;
constexpr int kLeftOfText = 80;
const Rgb kButtonBlue{0, 0, 255};
const Rgb kBlack{0, 0, 0};

// Version 296 and the record: the name, control scheme and species 0, the two
// network periods and the music on.
std::string settings_for(const std::string& name, char roster_interval, char update_interval)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(4, '\0') +
           roster_interval + update_interval + std::string(2, '\0');
}

class LobbyWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = open_test_display();
        ASSERT_NE(display, nullptr);
        // Zero periods: each program fills in the defaults and writes them back.
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty", 0, 0));
        write_file(client / "local/zorblitrally.prf", settings_for("Joiner", 0, 0));
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }

    // Starts the program and puts its window at left, clear of the other one.
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

TEST_F(LobbyWindowTest, HostGameThenTheServerButtonBringsTheClientIn)
{
    const Window host_window = show(host, 0);
    ASSERT_NE(host_window, 0u) << host.output();
    ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
        << "no Host Game button at its place\n"
        << host.output();
    click_window(display, host_window, kHostGameX, kHostGameY);
    // The lobby, empty but for chat, has replaced the menu.
    ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kBlack)) << host.output();

    const Window client_window = show(client, 640);
    ASSERT_NE(client_window, 0u) << client.output();
    ASSERT_TRUE(wait_for_pixel(display, client_window, kServerX - kLeftOfText, kServerY, kButtonBlue))
        << "no server button at its place\n"
        << client.output();
    click_window(display, client_window, kServerX, kServerY);

    EXPECT_TRUE(host.wait_for_output("join request from 127.0.0.1 ... Joiner joined in slot 1\n")) << host.output();
    EXPECT_TRUE(client.wait_for_output("Server welcome packet - id 1\n")) << client.output();

    client.terminate();
    EXPECT_EQ(client.exit_code(), 0) << client.output();
    host.terminate();
    EXPECT_EQ(host.exit_code(), 0) << host.output();
    EXPECT_EQ(count_of(host.output(), "ERROR"), 0) << host.output();
    EXPECT_EQ(count_of(client.output(), "ERROR"), 0) << client.output();
    EXPECT_EQ(read_file(host / "local/zorblitrally.prf"), settings_for("Hosty", 23, 4));
    EXPECT_EQ(read_file(client / "local/zorblitrally.prf"), settings_for("Joiner", 23, 4));
}
