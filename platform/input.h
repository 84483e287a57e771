// The input half of trellis: one frame's keys, mouse and pads in the flat
// index space of 288 digital inputs and 18 analog axes. The state and the
// steps that change it are plain functions over InputState, so they run
// without a window or a joystick; input.cpp feeds them from SDL.
#pragma once

#include <cstdint>

#include "base/input_names.h"

union SDL_Event;

namespace trellis {

constexpr float kHoldRepeatDelay = 0.8f;
// The hold timer drops back to this after each repeat: 0.05 s between repeats.
constexpr float kHoldRepeatRestart = 0.75f;
constexpr float kDoubleClickSeconds = 0.18f;
constexpr float kPadThreshold = 0.15f;
constexpr float kPadStrongThreshold = 0.5f;

struct InputState {
    bool released[kDigitalInputCount] = {};
    bool hold_press[kDigitalInputCount] = {};  // pressed, or its hold repeat fired
    bool held[kDigitalInputCount] = {};
    bool pressed[kDigitalInputCount] = {};
    bool double_click[kDigitalInputCount] = {};
    float hold_timer[kDigitalInputCount] = {};
    float since_release[kDigitalInputCount] = {};
    float analog[kAnalogAxisCount] = {};
    float previous_analog[kAnalogAxisCount] = {};
    int16_t mouse_x = 0;
    int16_t mouse_y = 0;
    float mouse_idle = 0.0f;
    bool num_lock = false;
    bool caps_lock = false;
    bool scroll_lock = false;
    bool quit = false;
};

// What input_init clears: every input, axis and timer and the pointer; the
// lock toggles and the quit request stay.
void clear_input_state(InputState& state);

// One frame is begin, then every event, then every pad, then finish.
void begin_input_frame(InputState& state, float seconds);
// Keys, mouse buttons, wheel, motion and quit; other events are ignored.
void handle_input_event(InputState& state, const SDL_Event& event);
void finish_input_frame(InputState& state, float seconds);

// -1 for a key the index space has no place for.
int digital_index_of_key(int sdl_key);

// One pad as SDL reports it this frame; counts above 16 buttons, 4 axes and
// 2 hats are not read.
struct PadReading {
    int axis_count = 0;
    int hat_count = 0;
    int button_count = 0;
    int16_t axes[kPadAxisCount] = {};
    uint8_t hats[kPadHatCount] = {};  // SDL's hat bits
    bool buttons[kPadButtonCount] = {};
    float threshold = kPadThreshold;
    float strong_threshold = kPadStrongThreshold;
};
// Sets pad d's axis values and its 45 digital inputs from one reading.
void apply_pad_reading(InputState& state, int pad, const PadReading& reading);

// Applies this frame's hold-presses to a zero-terminated text of at most
// capacity - 1 characters; cursor may be null (then keys type at the end).
// Returns the text's new length.
int edit_text(const InputState& state, char* text, int capacity, int16_t* cursor);

}  // namespace trellis
