// Two real programs under X over the real network plug-in: the client joins,
// the host clicks "OMG START!", and both leave the lobby for the race with
// the same carts.
#include <gtest/gtest.h>

#include "tests/support/program_window.h"

namespace {

const std::string k640x480("\x80\x02\xe0\x01\x00", 5);
constexpr int kWindowTop = 520;

constexpr int kHostGameX = 320;
constexpr int kHostGameY = 442;
constexpr int kServerX = 220;
constexpr int kServerY = 394;
constexpr int kLeftOfText = 80;
// The start button's inner box is blue left of its text.
constexpr int kStartX = 320;
constexpr int kStartY = 74;
constexpr int kLeftOfStartText = 100;
const Rgb kButtonBlue{0, 0, 255};
const Rgb kBlack{0, 0, 0};

std::string settings_for(const std::string& name)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(4, '\0') +
           char(23) + char(4) + std::string(2, '\0');
}

class RaceStartWindowTest : public ::testing::Test {
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

TEST_F(RaceStartWindowTest, TheHostsStartButtonTakesBothIntoTheRaceWithTheSameCarts)
{
    const Window host_window = show(host, 0);
    ASSERT_NE(host_window, 0u) << host.output();
    ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
        << host.output();
    click_window(display, host_window, kHostGameX, kHostGameY);
    ASSERT_TRUE(wait_for_pixel(display, host_window, kStartX - kLeftOfStartText, kStartY, kButtonBlue))
        << "no start button in the host's lobby\n"
        << host.output();

    const Window client_window = show(client, 640);
    ASSERT_NE(client_window, 0u) << client.output();
    ASSERT_TRUE(wait_for_pixel(display, client_window, kServerX - kLeftOfText, kServerY, kButtonBlue))
        << client.output();
    click_window(display, client_window, kServerX, kServerY);
    ASSERT_TRUE(host.wait_for_output("Joiner joined in slot 1\n")) << host.output();
    ASSERT_TRUE(client.wait_for_output("Server welcome packet - id 1\n")) << client.output();

    click_window(display, host_window, kStartX, kStartY);
    // The client builds the host's two carts, the host's first.
    EXPECT_TRUE(client.wait_for_output("Spawning ship: 1\nSpawning ship: 2\n")) << client.output();
    EXPECT_TRUE(wait_for_pixel(display, host_window, kStartX - kLeftOfStartText, kStartY, kBlack))
        << "the host is still in its lobby\n"
        << host.output();

    client.terminate();
    EXPECT_EQ(client.exit_code(), 0) << client.output();
    host.terminate();
    EXPECT_EQ(host.exit_code(), 0) << host.output();
    EXPECT_EQ(count_of(client.output(), "ERROR: Track"), 0) << client.output();
}
