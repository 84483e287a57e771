// Two real programs side by side under X, over the real network plug-in on
// 127.0.0.1: a player clicks Host Game in one window and the rules file's
// server in the other, and the host takes the second player into its lobby.
#include "tests/game/two_programs.h"

namespace {

class LobbyWindowTest : public TwoProgramsTest {
protected:
    void SetUp() override
    {
        TwoProgramsTest::SetUp();
        // Zero periods: each program fills in the defaults and writes them back.
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty", 0, 0));
        write_file(client / "local/zorblitrally.prf", settings_for("Joiner", 0, 0));
    }
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
    // The lobby has replaced the menu.
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
