// Two real programs race under X over the real network plug-in: the host
// starts the race with the lobby's start button, the client drives with the
// arrow keys, and both stay in the race: the client hears the host's cart
// updates (without them it would time out), the host hears the client.
#include <X11/keysym.h>

#include "tests/game/two_programs.h"

namespace {

class RaceWindowTest : public TwoProgramsTest {
protected:
    void SetUp() override
    {
        TwoProgramsTest::SetUp();
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty"));
        write_file(client / "local/zorblitrally.prf", settings_for("Joiner"));
    }
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

    // The start button's blue frame, then the race in its place (stars and a
    // track that differ with every session's seed).
    ASSERT_TRUE(wait_for_pixel(display, host_window, kStartX - 126, kStartY, kButtonBlue)) << host.output();
    click_window(display, host_window, kStartX, kStartY);
    ASSERT_TRUE(client.wait_for_output("Spawning ship: 1\n")) << client.output();
    ASSERT_TRUE(client.wait_for_output("Spawning ship: 2\n")) << client.output();
    ASSERT_TRUE(wait_for_pixel_to_leave(display, host_window, kStartX - 126, kStartY, kButtonBlue)) << host.output();

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
