// The five input name tables. The pad rows of keyNames repeat padInputNames
// with the pad's number after "Pad", so both are built from one list.
#include "base/input_names.h"

namespace {

std::array<std::string, kAnalogAxisCount> build_analog_axis_names()
{
    std::array<std::string, kAnalogAxisCount> names;
    names[0] = "Mouse X";
    names[1] = "Mouse Y";
    for (int pad = 0; pad < kPadCount; ++pad)
        for (int axis = 0; axis < kPadAxisCount; ++axis)
            names[analog_index_of_pad_axis(pad, axis)] =
                "Pad " + std::to_string(pad + 1) + " Axis " + std::to_string(axis + 1);
    return names;
}

std::array<std::string, kPadInputCount> build_pad_input_names()
{
    static const char* const axisDirections[5] = {"Center", "-", "--", "+", "++"};
    static const char* const hatDirections[4] = {"Left", "Right", "Up", "Down"};
    std::array<std::string, kPadInputCount> names;
    names[kPadAnyInput] = "Pad Any";
    for (int button = 0; button < kPadButtonCount; ++button)
        names[kPadFirstButtonInput + button] = "Pad Btn " + std::to_string(button + 1);
    for (int axis = 0; axis < kPadAxisCount; ++axis)
        for (int direction = 0; direction < 5; ++direction)
            names[kPadFirstAxisInput + 5 * axis + direction] =
                "Pad Axis " + std::to_string(axis + 1) + " " + axisDirections[direction];
    for (int hat = 0; hat < kPadHatCount; ++hat)
        for (int direction = 0; direction < 4; ++direction)
            names[kPadFirstHatInput + 4 * hat + direction] =
                "Pad Hat " + std::to_string(hat + 1) + " " + hatDirections[direction];
    return names;
}

const char* const keyboardAndMouseNames[kFirstPadInput] = {
    "Any Key", "Escape", "Tab", "Backspace", "Enter", "Space", "Insert", "Delete", "Home", "End", "Page Up",
    "Page Down", "Up", "Down", "Left", "Right",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V",
    "W", "X", "Y", "Z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "Keypad 0", "Keypad 1", "Keypad 2", "Keypad 3", "Keypad 4", "Keypad 5", "Keypad 6", "Keypad 7", "Keypad 8",
    "Keypad 9", "Keypad .", "Keypad /", "Keypad *", "Keypad -", "Keypad +", "Keypad Enter",
    "Num Lock", "Caps Lock", "Scroll Lock",
    "Left Shift", "Right Shift", "Left Control", "Right Control", "Left Alt", "Right Alt",
    "~", "-", "+", "[", "]", "\\", ":", "\"", "<", ">", "?",
    "Print Screen", "Pause",
    "Any Mouse", "Left Mouse", "Right Mouse", "Middle Mouse", "Mouse Wheel Up", "Mouse Wheel Down",
};

std::array<std::string, kDigitalInputCount> build_key_names(const std::array<std::string, kPadInputCount>& pad_inputs)
{
    std::array<std::string, kDigitalInputCount> names;
    for (int index = 0; index < kFirstPadInput; ++index) names[index] = keyboardAndMouseNames[index];
    const std::string word = "Pad";
    for (int pad = 0; pad < kPadCount; ++pad)
        for (int input = 0; input < kPadInputCount; ++input)
            names[digital_index_of_pad_input(pad, input)] =
                word + " " + std::to_string(pad + 1) + pad_inputs[input].substr(word.size());
    return names;
}

}  // namespace

const std::array<std::string, 3> bindingOperatorNames = {"Or", "And", "Not"};
const std::array<std::string, kPadAxisCount> padAxisNames = {"Pad Axis 1", "Pad Axis 2", "Pad Axis 3",
                                                             "Pad Axis 4"};
const std::array<std::string, kAnalogAxisCount> analogAxisNames = build_analog_axis_names();
const std::array<std::string, kPadInputCount> padInputNames = build_pad_input_names();
const std::array<std::string, kDigitalInputCount> keyNames = build_key_names(padInputNames);

static const std::string noInputName = "[NONE]";

const std::string& digital_input_name(uint16_t index)
{
    return index < kDigitalInputCount ? keyNames[index] : noInputName;
}

const std::string& pad_input_name(int pad, int input)
{
    if (input < 0 || input >= kPadInputCount || pad >= kPadCount) return noInputName;
    return pad < 0 ? padInputNames[input] : keyNames[digital_index_of_pad_input(pad, input)];
}

const std::string& analog_axis_name(uint16_t axis)
{
    return axis < kAnalogAxisCount ? analogAxisNames[axis] : noInputName;
}

uint16_t find_digital_input(const std::string& name)
{
    for (int index = 0; index < kDigitalInputCount; ++index)
        if (keyNames[index] == name) return uint16_t(index);
    return kNoInput;
}
