// The input index space and its display names. Digital inputs 0..287: any
// key, the keys, the mouse buttons and wheel, then 45 inputs for each of four
// pads; analog axes 0..17: mouse X and Y, then four axes for each pad.
// 0xFFFF is no input.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/keel.h"

constexpr uint16_t kNoInput = 0xFFFF;
constexpr int kDigitalInputCount = 288;
constexpr int kAnalogAxisCount = 18;
constexpr int kPadCount = 4;
constexpr int kPadAxisCount = 4;
constexpr int kPadButtonCount = 16;
constexpr int kPadHatCount = 2;
constexpr int kPadInputCount = 45;
constexpr int kFirstPadInput = 108;

// Digital inputs named in code; letters and digits run on from their first.
constexpr uint16_t kInputAnyKey = 0;
constexpr uint16_t kInputEscape = 1;
constexpr uint16_t kInputBackspace = 3;
constexpr uint16_t kInputEnter = 4;
constexpr uint16_t kInputSpace = 5;
constexpr uint16_t kInputLeft = 14;
constexpr uint16_t kInputRight = 15;
constexpr uint16_t kInputFirstLetter = 16;
constexpr uint16_t kInputFirstDigit = 42;
constexpr uint16_t kInputNumLock = 80;
constexpr uint16_t kInputCapsLock = 81;
constexpr uint16_t kInputScrollLock = 82;
constexpr uint16_t kInputLeftShift = 83;
constexpr uint16_t kInputRightShift = 84;
constexpr uint16_t kInputLeftControl = 85;
constexpr uint16_t kInputRightControl = 86;
constexpr uint16_t kInputLeftAlt = 87;
constexpr uint16_t kInputRightAlt = 88;
constexpr uint16_t kInputMinus = 90;
constexpr uint16_t kInputEquals = 91;
constexpr uint16_t kInputComma = 97;
constexpr uint16_t kInputPeriod = 98;
constexpr uint16_t kInputSlash = 99;
constexpr uint16_t kInputLastKey = 101;
constexpr uint16_t kInputAnyMouse = 102;
constexpr uint16_t kInputLeftMouse = 103;
constexpr uint16_t kInputRightMouse = 104;
constexpr uint16_t kInputMiddleMouse = 105;
constexpr uint16_t kInputWheelUp = 106;
constexpr uint16_t kInputWheelDown = 107;
constexpr uint16_t kInputM = kInputFirstLetter + ('M' - 'A');

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

// Built once in keelcore before main runs; every file reads the same tables.
KEEL_SHARED const std::array<std::string, 3> bindingOperatorNames;
KEEL_SHARED const std::array<std::string, kPadAxisCount> padAxisNames;
KEEL_SHARED const std::array<std::string, kAnalogAxisCount> analogAxisNames;
KEEL_SHARED const std::array<std::string, kPadInputCount> padInputNames;
KEEL_SHARED const std::array<std::string, kDigitalInputCount> keyNames;

// "[NONE]" for no input and for any index past the table.
KEEL_SHARED const std::string& digital_input_name(uint16_t index);
// Pad input k of pad d; a negative pad gives the name without a pad number.
KEEL_SHARED const std::string& pad_input_name(int pad, int input);
KEEL_SHARED const std::string& analog_axis_name(uint16_t axis);
// The first digital input with this name; kNoInput when none has it.
KEEL_SHARED uint16_t find_digital_input(const std::string& name);
