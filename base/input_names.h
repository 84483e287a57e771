// The input index space and its display names. Digital inputs 0..287: any
// key, the keys, the mouse buttons and wheel, then 45 inputs for each of four
// pads; analog axes 0..17: mouse X and Y, then four axes for each pad.
// 0xFFFF is no input.
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr uint16_t kNoInput = 0xFFFF;
constexpr int kDigitalInputCount = 288;
constexpr int kAnalogAxisCount = 18;
constexpr int kPadCount = 4;
constexpr int kPadAxisCount = 4;
constexpr int kPadButtonCount = 16;
constexpr int kPadHatCount = 2;
constexpr int kPadInputCount = 45;
constexpr int kFirstPadInput = 108;

// Pad input k of a pad's block of 45.
constexpr int kPadAnyInput = 0;
constexpr int kPadFirstButtonInput = 1;
constexpr int kPadFirstAxisInput = 17;  // + 5 per axis: Center, -, --, +, ++
constexpr int kPadFirstHatInput = 37;   // + 4 per hat: Left, Right, Up, Down

constexpr int digital_index_of_pad_input(int pad, int input)
{
    return kFirstPadInput + kPadInputCount * pad + input;
}

constexpr int analog_index_of_pad_axis(int pad, int axis)
{
    return 2 + kPadAxisCount * pad + axis;
}

#define KEEL_INPUT_NAMES extern __attribute__((visibility("default")))

// Built once in keelcore before main runs; every file reads the same tables.
KEEL_INPUT_NAMES const std::array<std::string, 3> bindingOperatorNames;
KEEL_INPUT_NAMES const std::array<std::string, kPadAxisCount> padAxisNames;
KEEL_INPUT_NAMES const std::array<std::string, kAnalogAxisCount> analogAxisNames;
KEEL_INPUT_NAMES const std::array<std::string, kPadInputCount> padInputNames;
KEEL_INPUT_NAMES const std::array<std::string, kDigitalInputCount> keyNames;

// "[NONE]" for no input and for any index past the table.
KEEL_INPUT_NAMES const std::string& digital_input_name(uint16_t index);
// Pad input k of pad d; a negative pad gives the name without a pad number.
KEEL_INPUT_NAMES const std::string& pad_input_name(int pad, int input);
KEEL_INPUT_NAMES const std::string& analog_axis_name(uint16_t axis);
// The first digital input with this name; kNoInput when none has it.
KEEL_INPUT_NAMES uint16_t find_digital_input(const std::string& name);
