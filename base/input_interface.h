// The input interface table: 35 plain function slots, filled by the platform
// plug-in's connect_input_interface. Indices 0xFFFF mean no input.
#pragma once

#include <cstdint>
#include <string>

template <class T> class DSParray;

struct input_interface {
    bool (*input_init)();                                   // 0: opens up to four pads, clears state
    void (*input_close)();                                  // 1: closes the pads
    void (*update_input)(float* frame_seconds);             // 2: reads the frame's events
    bool (*quit_requested)();                               // 3: the window was asked to close
    int16_t (*pad_count)();                                 // 4: pads opened (at most 4)
    void (*pad_name)(int pad, char out[64]);                // 5: "UNUSED" for a bad index
    int (*pad_axis_count)(int pad);                         // 6
    int (*pad_button_count)(int pad);                       // 7
    int (*pad_hat_count)(int pad);                          // 8
    float* (*pad_axis_threshold)(int pad);                  // 9: writable; null for a bad index
    float* (*pad_axis_strong_threshold)(int pad);           // 10: writable; null for a bad index
    bool (*digital_down)(uint16_t index);                   // 11: held now
    bool (*digital_pressed)(uint16_t index);                // 12: went down this frame
    bool (*digital_hold_press)(uint16_t index);             // 13: auto-repeat while held
    bool (*digital_released)(uint16_t index);               // 14: went up this frame
    bool (*digital_double_click)(uint16_t index);           // 15: pressed soon after a release
    float (*analog_value)(uint16_t axis);                   // 16
    float (*analog_delta)(uint16_t axis);                   // 17: change since the last frame
    int16_t (*mouse_x)();                                   // 18
    int16_t (*mouse_y)();                                   // 19
    float (*mouse_idle_time)();                             // 20: seconds since the pointer moved
    bool (*num_lock_on)();                                  // 21
    bool (*caps_lock_on)();                                 // 22
    bool (*scroll_lock_on)();                               // 23
    bool (*alt_down)();                                     // 24: either Alt key
    bool (*ctrl_down)();                                    // 25: either Control key
    bool (*shift_down)();                                   // 26: either Shift key
    int (*grab_input)();                                    // 27
    int (*release_input)();                                 // 28
    int (*hide_cursor)();                                   // 29
    int (*show_cursor)();                                   // 30
    bool (*is_input_grabbed)();                             // 31
    bool (*is_cursor_hidden)();                             // 32
    int (*edit_text)(char* text, int capacity, int16_t* cursor);     // 33: applies this frame's keys
    bool (*next_dropped_file)(DSParray<std::string>* names);         // 34: false when none dropped
};

static_assert(sizeof(input_interface) == 35 * sizeof(void*), "input_interface has 35 slots");
