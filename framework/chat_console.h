// The chat console of the lobby and the race: the last eight lines, newest
// first, each shown for a few seconds and fading over its last one, and the
// line the player is typing.
#pragma once

#include <cstdint>
#include <string>

class cGraphicsText;
struct input_interface;

constexpr int kChatLines = 8;
constexpr float kChatLineSeconds = 8.5f;
constexpr int kChatInputBytes = 128;

struct chat_console {
    std::string lines[kChatLines];  // 0 is the newest
    float line_time[kChatLines] = {};  // seconds left; shown while above 0
    bool anchor_top = false;  // lines_offset from the top instead of the bottom
    int32_t lines_offset = 80;  // y of line 0
    int32_t input_offset = 48;  // centre of the typing box, from the bottom
    bool typing = false;
    char input_line[kChatInputBytes] = {};

    void add_line(const std::string& text);
    // Ages the lines and runs the typing line; the finished line or "".
    std::string input(float dt, input_interface* keys);
    // Every line empty; the typing line stays as it is.
    void clear();
    void draw(cGraphicsText* text, int32_t window_width, int32_t window_height) const;

private:
    void age_lines(float dt);
    void remove_line(int index);
};
