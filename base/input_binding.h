// Queries over input bindings: a digital binding combines up to two inputs
// with a mode, an analog binding shapes one axis. Nothing is kept between
// calls; every answer comes from the input table of the current frame.
// Bindings are read from the rules and settings files, so every key, axis
// and device is checked: one that names no input is absent (false, 0 or
// "[NONE]").
#pragma once

#include <cstdint>

#include "base/keel.h"

constexpr int32_t kBindingOr = 0;
constexpr int32_t kBindingAnd = 1;
constexpr int32_t kBindingNot = 2;

// A key of 0xFFFF is absent. With a device of 0xFFFF the key is a digital
// input index; with device d (a pad, 0..3) it is pad input k of that pad.
struct cInputDigital {
    uint16_t key1 = 0xFFFF;
    uint16_t device1 = 0xFFFF;
    uint16_t key2 = 0xFFFF;
    uint16_t device2 = 0xFFFF;
    int32_t mode = kBindingOr;
};

// An axis of 0xFFFF is absent. With a device of 0xFFFF the axis is an analog
// axis index; with a pad 0..3 it is that pad's axis 0..3.
struct cInputAnalog {
    uint16_t axis = 0xFFFF;
    uint16_t device = 0xFFFF;
    float dead_zone = 0;
    float saturation = 0;
    uint8_t invert = 0;
};

KEEL_API bool __cInputDigital_query_down(const cInputDigital* binding);
KEEL_API bool __cInputDigital_query_press(const cInputDigital* binding);
KEEL_API bool __cInputDigital_query_release(const cInputDigital* binding);
KEEL_API bool __cInputDigital_query_hold_press(const cInputDigital* binding);
KEEL_API bool __cInputDigital_query_double_click(const cInputDigital* binding);
// The names of the first and of the second input.
KEEL_API const char* __cInputDigital_display_name1(const cInputDigital* binding);
KEEL_API const char* __cInputDigital_display_name2(const cInputDigital* binding);

// The shaped value in -1..1: 0 inside the dead zone, then a ramp that is full
// at the saturation.
KEEL_API float __cInputAnalog_query(const cInputAnalog* binding);
// The axis crossed above +dead_zone, below -dead_zone, or back inside the dead zone this frame.
KEEL_API bool __cInputAnalog_query_up(const cInputAnalog* binding);
KEEL_API bool __cInputAnalog_query_down(const cInputAnalog* binding);
KEEL_API bool __cInputAnalog_query_center(const cInputAnalog* binding);
KEEL_API const char* __cInputAnalog_display_name(const cInputAnalog* binding);
