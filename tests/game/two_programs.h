// Two real programs side by side under X, over the real network plug-in on
// 127.0.0.1, at 640 x 480 with the game's menu: one hosts, one joins.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_window.h"

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
// The lobby's start button, centred at (W / 2, 74).
constexpr int kStartX = 320;
constexpr int kStartY = 74;
const Rgb kButtonBlue{0, 0, 255};
const Rgb kBlack{0, 0, 0};

// Version 296 and the record: the name, control scheme and species 0, the two
// network periods and the music on.
inline std::string settings_for(const std::string& name, char roster_interval = 23, char update_interval = 4)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(4, '\0') +
           roster_interval + update_interval + std::string(2, '\0');
}

// A click can land on a window that another test has just opened over ours:
// raise ours and click again until the click has taken, three times at most.
template <class Took>
bool click_until(Display* display, Window window, int x, int y, Took took)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        place_window(display, window, 0, kWindowTop);
        click_window(display, window, x, y);
        if (took()) return true;
    }
    return false;
}

class TwoProgramsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = open_test_display();
        ASSERT_NE(display, nullptr);
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
