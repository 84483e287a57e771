// What the device does when no window can be opened: it says so once, keeps
// nothing half made, and every later call stays harmless.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "platform/device.h"
#include "platform/window.h"

TEST(NoWindow, FailedOpenLeavesTheDeviceClosedAndHarmless)
{
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);  // no falling back to a text-terminal driver
    testing::internal::CaptureStdout();
    EXPECT_FALSE(trellis::open_window(320, 240, false, true, true, false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: No display to open the game's window on: start the game from a desktop session, or set "
              "DISPLAY (for example DISPLAY=:0)\n");
    EXPECT_FALSE(trellis::device().window_open);
    EXPECT_EQ(trellis::device().loader_thread, nullptr);
    EXPECT_EQ(trellis::device().loader_mutex, nullptr);

    uint16_t width = 4, height = 4;
    uint8_t pixels[64] = {};
    testing::internal::CaptureStdout();
    EXPECT_EQ(trellis::create_texture(&width, &height, pixels, false, false, false, -1, nullptr), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Cannot create a texture without an open window\n");

    trellis::close_window();
    FrameStatistics stats = {};
    trellis::device().counters.draw_calls = 7;
    trellis::end_frame(nullptr, &stats);
    EXPECT_EQ(stats.frames, 1);
    EXPECT_EQ(stats.draw_calls, 7);
    SDL_Quit();
}
