// The input table: the frame's event pump, pads over SDL's joysticks, the
// queries by index, text editing and the queue of files dropped on the window.
#include "platform/input.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/containers.h"
#include "base/input_interface.h"
#include "base/keel.h"
#include "platform/x11.h"

namespace trellis {

namespace {

// Runs of SDL keys that map onto consecutive digital indices.
struct KeyRun {
    int first_key;
    int first_index;
    int count;
};

const KeyRun keyRuns[] = {
    {SDLK_ESCAPE, kInputEscape, 1},
    {SDLK_TAB, 2, 1},
    {SDLK_BACKSPACE, kInputBackspace, 1},
    {SDLK_RETURN, kInputEnter, 1},
    {SDLK_SPACE, kInputSpace, 1},
    {SDLK_INSERT, 6, 1},
    {SDLK_DELETE, 7, 1},
    {SDLK_HOME, 8, 1},
    {SDLK_END, 9, 1},
    {SDLK_PAGEUP, 10, 1},
    {SDLK_PAGEDOWN, 11, 1},
    {SDLK_UP, 12, 1},
    {SDLK_DOWN, 13, 1},
    {SDLK_LEFT, kInputLeft, 1},
    {SDLK_RIGHT, kInputRight, 1},
    {SDLK_a, kInputFirstLetter, 26},
    {SDLK_0, kInputFirstDigit, 10},
    {SDLK_F1, 52, 12},
    {SDLK_KP0, 64, 10},
    {SDLK_KP_PERIOD, 74, 1},
    {SDLK_KP_DIVIDE, 75, 1},
    {SDLK_KP_MULTIPLY, 76, 1},
    {SDLK_KP_MINUS, 77, 1},
    {SDLK_KP_PLUS, 78, 1},
    {SDLK_KP_ENTER, 79, 1},
    {SDLK_NUMLOCK, kInputNumLock, 1},
    {SDLK_CAPSLOCK, kInputCapsLock, 1},
    {SDLK_SCROLLOCK, kInputScrollLock, 1},
    {SDLK_LSHIFT, kInputLeftShift, 1},
    {SDLK_RSHIFT, kInputRightShift, 1},
    {SDLK_LCTRL, kInputLeftControl, 1},
    {SDLK_RCTRL, kInputRightControl, 1},
    {SDLK_LALT, kInputLeftAlt, 1},
    {SDLK_RALT, kInputRightAlt, 1},
    {SDLK_BACKQUOTE, 89, 1},
    {SDLK_MINUS, kInputMinus, 1},
    {SDLK_EQUALS, kInputEquals, 1},
    {SDLK_LEFTBRACKET, 92, 1},
    {SDLK_RIGHTBRACKET, 93, 1},
    {SDLK_BACKSLASH, 94, 1},
    {SDLK_SEMICOLON, 95, 1},
    {SDLK_QUOTE, 96, 1},
    {SDLK_COMMA, kInputComma, 1},
    {SDLK_PERIOD, kInputPeriod, 1},
    {SDLK_SLASH, kInputSlash, 1},
    {SDLK_PRINT, 100, 1},
    {SDLK_PAUSE, kInputLastKey, 1},
};

void press(InputState& state, int index, bool holds = true) {
    state.pressed[index] = true;
    state.held[index] = holds;
    state.double_click[index] = state.since_release[index] < kDoubleClickSeconds;
}

void release(InputState& state, int index)
{
    state.held[index] = false;
    state.released[index] = true;
    state.since_release[index] = 0.0f;
}

// For inputs whose state is read rather than reported: an edge presses or releases.
void follow(InputState& state, int index, bool on)
{
    if (on && !state.held[index]) press(state, index);
    if (!on && state.held[index]) release(state, index);
}

void on_key_down(InputState& state, int index)
{
    press(state, index);
    if (index == kInputNumLock) state.num_lock = !state.num_lock;
    if (index == kInputCapsLock) state.caps_lock = !state.caps_lock;
    if (index == kInputScrollLock) state.scroll_lock = !state.scroll_lock;
}

// The event's own button counts, so a click that starts and ends within one
// frame, or one pushed into the queue, is still seen.
void on_button_down(InputState& state, int button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: press(state, kInputLeftMouse); break;
    case SDL_BUTTON_RIGHT: press(state, kInputRightMouse); break;
    case SDL_BUTTON_MIDDLE: press(state, kInputMiddleMouse); break;
    case SDL_BUTTON_WHEELUP: press(state, kInputWheelUp, false); break;
    case SDL_BUTTON_WHEELDOWN: press(state, kInputWheelDown, false); break;
    }
}

void on_button_up(InputState& state, int button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: release(state, kInputLeftMouse); break;
    case SDL_BUTTON_RIGHT: release(state, kInputRightMouse); break;
    case SDL_BUTTON_MIDDLE: release(state, kInputMiddleMouse); break;
    }
}

void on_motion(InputState& state, const SDL_MouseMotionEvent& motion)
{
    state.analog[0] += motion.xrel;
    state.analog[1] += motion.yrel;
    state.mouse_idle = 0.0f;
    state.mouse_x = int16_t(motion.x);
    state.mouse_y = int16_t(motion.y);
}

bool any_held(const InputState& state, int first, int last)
{
    return std::any_of(state.held + first, state.held + last + 1, [](bool held) { return held; });
}

void step_hold_repeat(InputState& state, int index, float seconds)
{
    state.hold_press[index] = false;
    if (state.pressed[index]) {
        state.hold_timer[index] = 0.0f;
        state.hold_press[index] = true;
    } else if (state.held[index]) {
        state.hold_timer[index] += seconds;
        if (state.hold_timer[index] > kHoldRepeatDelay) {
            state.hold_press[index] = true;
            state.hold_timer[index] = kHoldRepeatRestart;
        }
    }
}

float axis_value(int16_t raw)
{
    return std::clamp(float(raw) / 32767.0f, -1.0f, 1.0f);
}

// Slots 17 + 5a .. 21 + 5a: centre, minus, strong minus, plus, strong plus.
void read_axis(float value, const PadReading& reading, bool* states)
{
    states[0] = std::fabs(value) <= reading.threshold;
    states[1] = value < -reading.threshold;
    states[2] = value < -reading.strong_threshold;
    states[3] = value > reading.threshold;
    states[4] = value > reading.strong_threshold;
}

// Slots 37 + 4h .. 40 + 4h: left, right, up, down.
void read_hat(uint8_t bits, bool* states)
{
    states[0] = bits & SDL_HAT_LEFT;
    states[1] = bits & SDL_HAT_RIGHT;
    states[2] = bits & SDL_HAT_UP;
    states[3] = bits & SDL_HAT_DOWN;
}

bool shift_held(const InputState& state)
{
    return state.held[kInputLeftShift] || state.held[kInputRightShift];
}

char shifted_digit(int digit)
{
    static const char shifted[10] = {')', '!', '@', 0, '$', '%', '^', '&', '*', '('};
    return shifted[digit];
}

// The character this frame's hold-presses type, 0 for none; later keys win.
char typed_character(const InputState& state)
{
    const bool shift = shift_held(state);
    char typed = 0;
    for (int letter = 0; letter < 26; ++letter)
        if (state.hold_press[kInputFirstLetter + letter]) typed = char((shift || state.caps_lock ? 'A' : 'a') + letter);
    for (int digit = 0; digit < 10; ++digit) {
        if (!state.hold_press[kInputFirstDigit + digit]) continue;
        const char character = shift ? shifted_digit(digit) : char('0' + digit);
        if (character) typed = character;
    }
    if (state.hold_press[kInputPeriod])
        typed = shift ? '>' : '.';
    else if (state.hold_press[kInputSpace])
        typed = ' ';
    const struct {
        int index;
        char plain, shifted;
    } punctuation[] = {
        {kInputComma, ',', '<'}, {kInputSlash, '/', '?'}, {kInputMinus, '-', '_'}, {kInputEquals, '=', '+'}};
    for (const auto& key : punctuation)
        if (state.hold_press[key.index]) typed = shift ? key.shifted : key.plain;
    return typed;
}

int type_character(char* text, int capacity, int length, int16_t* cursor, char typed)
{
    if (!cursor) {
        if (length >= capacity - 1) return length;
        text[length] = typed;
        text[length + 1] = '\0';
        return length + 1;
    }
    const int at = *cursor;
    if (at >= capacity - 1) return length;
    text[at] = typed;
    if (at == length) text[++length] = '\0';
    *cursor = int16_t(at + 1);
    return length;
}

int move_or_erase(const InputState& state, char* text, int length, int16_t* cursor)
{
    if (state.hold_press[kInputBackspace]) {
        if (!cursor) {
            if (length > 0) text[--length] = '\0';
        } else if (*cursor > 0) {
            std::memmove(text + *cursor - 1, text + *cursor, size_t(length - *cursor + 1));
            --*cursor;
            --length;
        }
    }
    if (!cursor) return length;
    if (state.hold_press[kInputLeft] && *cursor > 0) --*cursor;
    if (state.hold_press[kInputRight] && *cursor < length) ++*cursor;
    return length;
}

}  // namespace

void clear_input_state(InputState& state)
{
    const bool num_lock = state.num_lock, caps_lock = state.caps_lock, scroll_lock = state.scroll_lock;
    const bool quit = state.quit;
    state = InputState();
    state.num_lock = num_lock;
    state.caps_lock = caps_lock;
    state.scroll_lock = scroll_lock;
    state.quit = quit;
    // Nothing has been released yet, so the first press is no double click.
    std::fill(std::begin(state.since_release), std::end(state.since_release), kDoubleClickSeconds);
}

void begin_input_frame(InputState& state, float seconds)
{
    std::copy(std::begin(state.analog), std::end(state.analog), state.previous_analog);
    std::fill(std::begin(state.analog), std::end(state.analog), 0.0f);
    std::fill(std::begin(state.released), std::end(state.released), false);
    std::fill(std::begin(state.pressed), std::end(state.pressed), false);
    std::fill(std::begin(state.double_click), std::end(state.double_click), false);
    state.mouse_idle += seconds;
    // Grown before the events, so a press is measured against this frame's
    // releases as well as earlier ones.
    for (float& since : state.since_release) since += seconds;
}

int digital_index_of_key(int sdl_key)
{
    for (const KeyRun& run : keyRuns)
        if (sdl_key >= run.first_key && sdl_key < run.first_key + run.count)
            return run.first_index + (sdl_key - run.first_key);
    return -1;
}

void handle_input_event(InputState& state, const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int index = digital_index_of_key(event.key.keysym.sym);
        if (index < 0) break;
        if (event.type == SDL_KEYDOWN)
            on_key_down(state, index);
        else
            release(state, index);
        break;
    }
    case SDL_MOUSEBUTTONDOWN: on_button_down(state, event.button.button); break;
    case SDL_MOUSEBUTTONUP: on_button_up(state, event.button.button); break;
    case SDL_MOUSEMOTION: on_motion(state, event.motion); break;
    case SDL_QUIT: state.quit = true; break;
    }
}

void finish_input_frame(InputState& state, float seconds)
{
    follow(state, kInputAnyKey, any_held(state, kInputAnyKey + 1, kInputLastKey));
    follow(state, kInputAnyMouse, any_held(state, kInputLeftMouse, kInputWheelDown));
    for (int index = 0; index < kDigitalInputCount; ++index) step_hold_repeat(state, index, seconds);
}

void apply_pad_reading(InputState& state, int pad, const PadReading& reading)
{
    if (pad < 0 || pad >= kPadCount) return;
    bool on[kPadInputCount] = {};
    for (int axis = 0; axis < std::min(reading.axis_count, kPadAxisCount); ++axis) {
        const float value = axis_value(reading.axes[axis]);
        state.analog[analog_index_of_pad_axis(pad, axis)] = value;
        read_axis(value, reading, on + kPadFirstAxisInput + 5 * axis);
    }
    for (int hat = 0; hat < std::min(reading.hat_count, kPadHatCount); ++hat)
        read_hat(reading.hats[hat], on + kPadFirstHatInput + 4 * hat);
    for (int button = 0; button < std::min(reading.button_count, kPadButtonCount); ++button)
        on[kPadFirstButtonInput + button] = reading.buttons[button];
    // Axes do not count towards "Pad Any".
    on[kPadAnyInput] = std::any_of(on + kPadFirstButtonInput, on + kPadFirstAxisInput, [](bool b) { return b; }) ||
                       std::any_of(on + kPadFirstHatInput, on + kPadInputCount, [](bool b) { return b; });
    for (int input = 0; input < kPadInputCount; ++input)
        follow(state, digital_index_of_pad_input(pad, input), on[input]);
}

int edit_text(const InputState& state, char* text, int capacity, int16_t* cursor)
{
    if (!text || capacity <= 0) return 0;
    int length = int(strnlen(text, size_t(capacity)));
    if (length == capacity) text[--length] = '\0';
    if (cursor) *cursor = int16_t(std::clamp(int(*cursor), 0, length));
    const char typed = typed_character(state);
    if (typed) return type_character(text, capacity, length, cursor, typed);
    return move_or_erase(state, text, length, cursor);
}

// The table's side: one state, the pads and the dropped-file queue.
namespace {

struct Pad {
    SDL_Joystick* joystick = nullptr;
    char name[64] = {};
    uint16_t button_count = 0;
    uint16_t axis_count = 0;
    uint16_t hat_count = 0;
    float threshold = kPadThreshold;
    float strong_threshold = kPadStrongThreshold;
};

InputState inputState;
Pad pads[kPadCount];
int16_t padsOpen = 0;
bool initialised = false;
bool inputGrabbed = false;
bool cursorShown = true;
DSParray<std::string> droppedFiles;

const Pad* pad_at(int pad)
{
    return pad >= 0 && pad < padsOpen ? &pads[pad] : nullptr;
}

bool open_pad(int sdl_index, Pad& pad)
{
    pad.joystick = SDL_JoystickOpen(sdl_index);
    if (!pad.joystick) {
        printf("WARNING: Could not open joystick %i\n", sdl_index);
        return false;
    }
    const char* name = SDL_JoystickName(sdl_index);
    snprintf(pad.name, sizeof pad.name, "%s", name ? name : "");
    pad.button_count = uint16_t(std::min(SDL_JoystickNumButtons(pad.joystick), kPadButtonCount));
    pad.axis_count = uint16_t(std::min(SDL_JoystickNumAxes(pad.joystick), kPadAxisCount));
    pad.hat_count = uint16_t(std::min(SDL_JoystickNumHats(pad.joystick), kPadHatCount));
    printf("Found Joystick %i: \"%s\"\n{axes-%i, hats-%i, buttons-%i}\n", sdl_index, pad.name, pad.axis_count,
           pad.hat_count, pad.button_count);
    return true;
}

void open_pads()
{
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return;
    const int available = std::min(SDL_NumJoysticks(), kPadCount);
    for (int sdl_index = 0; sdl_index < available; ++sdl_index) {
        Pad pad;
        if (open_pad(sdl_index, pad)) pads[padsOpen++] = pad;
    }
}

PadReading read_pad(const Pad& pad)
{
    PadReading reading;
    reading.axis_count = pad.axis_count;
    reading.hat_count = pad.hat_count;
    reading.button_count = pad.button_count;
    for (int axis = 0; axis < pad.axis_count; ++axis) reading.axes[axis] = SDL_JoystickGetAxis(pad.joystick, axis);
    for (int hat = 0; hat < pad.hat_count; ++hat) reading.hats[hat] = SDL_JoystickGetHat(pad.joystick, hat);
    for (int button = 0; button < pad.button_count; ++button)
        reading.buttons[button] = SDL_JoystickGetButton(pad.joystick, button);
    reading.threshold = pad.threshold;
    reading.strong_threshold = pad.strong_threshold;
    return reading;
}

void poll_pads()
{
    if (padsOpen == 0) return;
    SDL_JoystickUpdate();
    for (int pad = 0; pad < padsOpen; ++pad) apply_pad_reading(inputState, pad, read_pad(pads[pad]));
}

void queue_dropped_file(const char* path)
{
    droppedFiles.insert(new std::string(path));
}

float usable_seconds(const float* frame_seconds)
{
    if (!frame_seconds || !std::isfinite(*frame_seconds) || *frame_seconds < 0.0f) return 0.0f;
    return *frame_seconds;
}

void input_close()
{
    if (!initialised) return;
    for (int pad = 0; pad < padsOpen; ++pad) SDL_JoystickClose(pads[pad].joystick);
    std::fill(std::begin(pads), std::end(pads), Pad());
    padsOpen = 0;
    droppedFiles.clear();
    initialised = false;
}

bool input_init()
{
    if (initialised) input_close();
    SDL_EnableUNICODE(1);
    open_pads();
    clear_input_state(inputState);
    initialised = true;
    return true;
}

void update_input(float* frame_seconds)
{
    const float seconds = usable_seconds(frame_seconds);
    begin_input_frame(inputState, seconds);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_SYSWMEVENT)
            x11_handle_window_event(event.syswm.msg, queue_dropped_file);
        else
            handle_input_event(inputState, event);
    }
    poll_pads();
    finish_input_frame(inputState, seconds);
}

bool quit_requested()
{
    return inputState.quit;
}

int16_t pad_count()
{
    return padsOpen;
}

void pad_name(int pad, char out[64])
{
    if (!out) return;
    const Pad* record = pad_at(pad);
    snprintf(out, 64, "%s", record ? record->name : "UNUSED");
}

int pad_axis_count(int pad)
{
    const Pad* record = pad_at(pad);
    return record ? record->axis_count : 0;
}

int pad_button_count(int pad)
{
    const Pad* record = pad_at(pad);
    return record ? record->button_count : 0;
}

int pad_hat_count(int pad)
{
    const Pad* record = pad_at(pad);
    return record ? record->hat_count : 0;
}

float* pad_axis_threshold(int pad)
{
    return pad_at(pad) ? &pads[pad].threshold : nullptr;
}

float* pad_axis_strong_threshold(int pad)
{
    return pad_at(pad) ? &pads[pad].strong_threshold : nullptr;
}

bool digital_down(uint16_t index)
{
    return index < kDigitalInputCount && inputState.held[index];
}

bool digital_pressed(uint16_t index)
{
    return index < kDigitalInputCount && inputState.pressed[index];
}

bool digital_hold_press(uint16_t index)
{
    return index < kDigitalInputCount && inputState.hold_press[index];
}

bool digital_released(uint16_t index)
{
    return index < kDigitalInputCount && inputState.released[index];
}

bool digital_double_click(uint16_t index)
{
    return index < kDigitalInputCount && inputState.double_click[index];
}

float analog_value(uint16_t axis)
{
    return axis < kAnalogAxisCount ? inputState.analog[axis] : 0.0f;
}

float analog_delta(uint16_t axis)
{
    return axis < kAnalogAxisCount ? inputState.analog[axis] - inputState.previous_analog[axis] : 0.0f;
}

int16_t mouse_x()
{
    return inputState.mouse_x;
}

int16_t mouse_y()
{
    return inputState.mouse_y;
}

float mouse_idle_time()
{
    return inputState.mouse_idle;
}

bool num_lock_on()
{
    return inputState.num_lock;
}

bool caps_lock_on()
{
    return inputState.caps_lock;
}

bool scroll_lock_on()
{
    return inputState.scroll_lock;
}

bool alt_down()
{
    return inputState.held[kInputLeftAlt] || inputState.held[kInputRightAlt];
}

bool ctrl_down()
{
    return inputState.held[kInputLeftControl] || inputState.held[kInputRightControl];
}

bool shift_down()
{
    return shift_held(inputState);
}

int grab_input()
{
    inputGrabbed = true;
    return SDL_WM_GrabInput(SDL_GRAB_ON);
}

int release_input()
{
    inputGrabbed = false;
    return SDL_WM_GrabInput(SDL_GRAB_OFF);
}

int hide_cursor()
{
    cursorShown = false;
    return SDL_ShowCursor(SDL_DISABLE);
}

int show_cursor()
{
    cursorShown = true;
    return SDL_ShowCursor(SDL_ENABLE);
}

bool is_input_grabbed()
{
    return inputGrabbed;
}

bool is_cursor_hidden()
{
    return !cursorShown;
}

int edit_text_slot(char* text, int capacity, int16_t* cursor)
{
    return edit_text(inputState, text, capacity, cursor);
}

// Moves the queued names, in drop order, to the end of the caller's list;
// with no list they are dropped.
bool next_dropped_file(DSParray<std::string>* names)
{
    const bool any = droppedFiles.count() > 0;
    if (!names) {
        droppedFiles.clear();
        return any;
    }
    while (std::string* name = droppedFiles.get(0)) {
        droppedFiles.erase(0, true);
        names->insert(name);
    }
    return any;
}

}  // namespace

}  // namespace trellis

KEEL_API input_interface* connect_input_interface(input_interface* table)
{
    using namespace trellis;
    table->input_init = input_init;
    table->input_close = input_close;
    table->update_input = update_input;
    table->quit_requested = quit_requested;
    table->pad_count = pad_count;
    table->pad_name = pad_name;
    table->pad_axis_count = pad_axis_count;
    table->pad_button_count = pad_button_count;
    table->pad_hat_count = pad_hat_count;
    table->pad_axis_threshold = pad_axis_threshold;
    table->pad_axis_strong_threshold = pad_axis_strong_threshold;
    table->digital_down = digital_down;
    table->digital_pressed = digital_pressed;
    table->digital_hold_press = digital_hold_press;
    table->digital_released = digital_released;
    table->digital_double_click = digital_double_click;
    table->analog_value = analog_value;
    table->analog_delta = analog_delta;
    table->mouse_x = mouse_x;
    table->mouse_y = mouse_y;
    table->mouse_idle_time = mouse_idle_time;
    table->num_lock_on = num_lock_on;
    table->caps_lock_on = caps_lock_on;
    table->scroll_lock_on = scroll_lock_on;
    table->alt_down = alt_down;
    table->ctrl_down = ctrl_down;
    table->shift_down = shift_down;
    table->grab_input = grab_input;
    table->release_input = release_input;
    table->hide_cursor = hide_cursor;
    table->show_cursor = show_cursor;
    table->is_input_grabbed = is_input_grabbed;
    table->is_cursor_hidden = is_cursor_hidden;
    table->edit_text = edit_text_slot;
    table->next_dropped_file = next_dropped_file;
    return table;
}
