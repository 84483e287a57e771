// In-memory graphics, input, system and network tables installed straight
// into the module singletons for one test: scripted keys, pointer, typed text
// and transport results, and a record of every box and text drawn.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/color.h"

struct FakeBox {
    int x, y, width, height;  // top-left and size
    cColor color;
};

struct FakeText {
    int x, y;
    int glyph_width, glyph_height, advance_x, advance_y;
    std::string text;
    cColor color;
    int cursor;
    bool centred;
    bool masked;
};

struct FakeTables {
    // input
    std::set<uint16_t> pressed;  // digital inputs pressed this frame
    int16_t mouse_x = 0;
    int16_t mouse_y = 0;
    std::string typed;  // characters this frame's keys type
    std::vector<int> edit_capacities;  // capacity of each edit_text call
    // network
    uint16_t server_result = 0;
    uint16_t client_result = 0;
    bool server = false;
    bool client = false;
    std::vector<std::string> net_calls;
    // graphics
    std::vector<FakeBox> boxes;
    std::vector<FakeText> texts;  // the colour pass of each glyph text
    int mask_passes = 0;

    void next_frame();
    void click(int x, int y, uint16_t button);
    const FakeText* text(const std::string& text) const;
    const FakeBox* box_centred_at(int x, int y, int width, int height) const;
};

constexpr uint16_t kFakeEnter = 4;
constexpr uint16_t kFakeEscape = 1;
constexpr uint16_t kFakeLeftMouse = 103;
constexpr uint16_t kFakeRightMouse = 104;

FakeTables& fake_tables();
// Installs every table with a window of the given size; uninstall before the test ends.
void install_fake_tables(uint16_t window_width, uint16_t window_height);
void uninstall_fake_tables();
void uninstall_fake_network();
