#include "framework/chat_console.h"

#include <algorithm>
#include <cstring>

#include "base/input_names.h"
#include "base/input_interface.h"
#include "framework/screen_text.h"

static const int32_t kGlyphCell = 16;
static const int32_t kGlyphAdvance = 12;

void chat_console::add_line(const std::string& text)
{
    for (int i = kChatLines - 1; i > 0; --i) {
        lines[i] = lines[i - 1];
        line_time[i] = line_time[i - 1];
    }
    lines[0] = text;
    line_time[0] = kChatLineSeconds;
}

void chat_console::remove_line(int index)
{
    for (int i = index; i < kChatLines - 1; ++i) {
        lines[i] = lines[i + 1];
        line_time[i] = line_time[i + 1];
    }
    lines[kChatLines - 1].clear();
    line_time[kChatLines - 1] = 0;
}

// A line that moves down into a removed line's place is aged in the next call.
void chat_console::age_lines(float dt)
{
    for (int i = 0; i < kChatLines; ++i) {
        if (line_time[i] <= 0) continue;
        line_time[i] -= dt;
        if (line_time[i] <= 0) remove_line(i);
    }
}

// The Enter that opens the typing line is not also the one that sends it.
std::string chat_console::input(float dt, input_interface* keys)
{
    age_lines(dt);
    if (!typing) {
        if (keys->digital_pressed(kInputEnter)) typing = true;
        return "";
    }
    keys->edit_text(input_line, kChatInputBytes - 1, nullptr);
    if (!keys->digital_pressed(kInputEnter)) return "";
    const std::string finished = input_line;
    typing = false;
    input_line[0] = 0;
    return finished;
}

void chat_console::clear()
{
    for (int i = 0; i < kChatLines; ++i) {
        lines[i].clear();
        line_time[i] = 0;
    }
}

void chat_console::draw(cGraphicsText* text, int32_t window_width, int32_t window_height) const
{
    const int32_t centre_x = window_width / 2;
    const int32_t first_y = anchor_top ? lines_offset : window_height - lines_offset;
    for (int i = 0; i < kChatLines; ++i) {
        if (lines[i].empty()) continue;
        const cColor fading(1, 1, 1, std::min(line_time[i], 1.0f));
        draw_screen_text(text, cVector2D<int32_t>(centre_x, first_y - kGlyphCell * i), kGlyphCell, kGlyphAdvance,
                         lines[i].c_str(), fading, -1, true, false, false);
    }
    if (!typing) return;
    const int32_t box_y = window_height - input_offset;
    draw_screen_box(cVector2D<int32_t>(500, 16), text, cVector2D<int32_t>(centre_x, box_y), cColor(0.3f, 0.3f, 0.3f, 1));
    draw_screen_box(cVector2D<int32_t>(498, 14), text, cVector2D<int32_t>(centre_x, box_y),
                    cColor(0.15f, 0.15f, 0.15f, 1));
    draw_screen_text(text, cVector2D<int32_t>(centre_x - 250, box_y - 8), kGlyphCell, kGlyphAdvance, input_line,
                     cColor(1, 1, 1, 1), int32_t(strlen(input_line)), false, false, false);
}
