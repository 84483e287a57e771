#include <gtest/gtest.h>

#include <string>

#include "base/input_names.h"

namespace {

struct NamedIndex {
    int index;
    const char* name;
};

}  // namespace

TEST(InputNames, KeyNamesAtTheEndsOfEveryGroup)
{
    const NamedIndex cases[] = {
        {0, "Any Key"}, {1, "Escape"}, {3, "Backspace"}, {4, "Enter"}, {15, "Right"},
        {16, "A"}, {41, "Z"}, {42, "0"}, {51, "9"},
        {52, "F1"}, {55, "F4"}, {63, "F12"},
        {64, "Keypad 0"}, {73, "Keypad 9"}, {74, "Keypad ."}, {79, "Keypad Enter"},
        {80, "Num Lock"}, {82, "Scroll Lock"}, {83, "Left Shift"}, {88, "Right Alt"},
        {89, "~"}, {94, "\\"}, {95, ":"}, {96, "\""}, {99, "?"},
        {100, "Print Screen"}, {101, "Pause"},
        {102, "Any Mouse"}, {103, "Left Mouse"}, {105, "Middle Mouse"}, {107, "Mouse Wheel Down"},
        {108, "Pad 1 Any"}, {109, "Pad 1 Btn 1"}, {124, "Pad 1 Btn 16"},
        {125, "Pad 1 Axis 1 Center"}, {126, "Pad 1 Axis 1 -"}, {127, "Pad 1 Axis 1 --"}, {129, "Pad 1 Axis 1 ++"},
        {144, "Pad 1 Axis 4 ++"}, {145, "Pad 1 Hat 1 Left"}, {152, "Pad 1 Hat 2 Down"},
        {153, "Pad 2 Any"}, {198, "Pad 3 Any"}, {243, "Pad 4 Any"}, {287, "Pad 4 Hat 2 Down"},
    };
    ASSERT_EQ(keyNames.size(), 288u);
    for (const NamedIndex& c : cases) EXPECT_EQ(keyNames[c.index], c.name) << "index " << c.index;
    EXPECT_EQ(keyNames[digital_index_of_pad_input(3, 44)], "Pad 4 Hat 2 Down");
}

TEST(InputNames, EveryPadBlockRepeatsThePadInputsWithItsNumber)
{
    for (int pad = 0; pad < kPadCount; ++pad)
        for (int input = 0; input < kPadInputCount; ++input) {
            std::string expected = padInputNames[input];
            expected.insert(3, " " + std::to_string(pad + 1));
            EXPECT_EQ(keyNames[digital_index_of_pad_input(pad, input)], expected);
        }
}

TEST(InputNames, SmallTables)
{
    ASSERT_EQ(padInputNames.size(), 45u);
    EXPECT_EQ(padInputNames[0], "Pad Any");
    EXPECT_EQ(padInputNames[16], "Pad Btn 16");
    EXPECT_EQ(padInputNames[21], "Pad Axis 1 ++");
    EXPECT_EQ(padInputNames[22], "Pad Axis 2 Center");
    EXPECT_EQ(padInputNames[37], "Pad Hat 1 Left");
    EXPECT_EQ(padInputNames[44], "Pad Hat 2 Down");

    ASSERT_EQ(analogAxisNames.size(), 18u);
    EXPECT_EQ(analogAxisNames[0], "Mouse X");
    EXPECT_EQ(analogAxisNames[1], "Mouse Y");
    EXPECT_EQ(analogAxisNames[2], "Pad 1 Axis 1");
    EXPECT_EQ(analogAxisNames[analog_index_of_pad_axis(1, 2)], "Pad 2 Axis 3");
    EXPECT_EQ(analogAxisNames[17], "Pad 4 Axis 4");

    EXPECT_EQ(bindingOperatorNames[0], "Or");
    EXPECT_EQ(bindingOperatorNames[1], "And");
    EXPECT_EQ(bindingOperatorNames[2], "Not");
    EXPECT_EQ(padAxisNames[0], "Pad Axis 1");
    EXPECT_EQ(padAxisNames[3], "Pad Axis 4");
}

TEST(InputNames, NamesByIndexGiveNoneOutsideTheTables)
{
    EXPECT_EQ(digital_input_name(kNoInput), "[NONE]");
    EXPECT_EQ(digital_input_name(288), "[NONE]");
    EXPECT_EQ(digital_input_name(0xFFFE), "[NONE]");
    EXPECT_EQ(digital_input_name(287), "Pad 4 Hat 2 Down");

    EXPECT_EQ(pad_input_name(1, 3), "Pad 2 Btn 3");
    EXPECT_EQ(pad_input_name(-1, 3), "Pad Btn 3");
    EXPECT_EQ(pad_input_name(4, 3), "[NONE]");
    EXPECT_EQ(pad_input_name(0, 45), "[NONE]");
    EXPECT_EQ(pad_input_name(0, -1), "[NONE]");

    EXPECT_EQ(analog_axis_name(8), "Pad 2 Axis 3");
    EXPECT_EQ(analog_axis_name(18), "[NONE]");
    EXPECT_EQ(analog_axis_name(kNoInput), "[NONE]");
}

TEST(InputNames, EveryNameFindsItsOwnIndex)
{
    for (int index = 0; index < kDigitalInputCount; ++index)
        EXPECT_EQ(find_digital_input(keyNames[index]), index) << keyNames[index];
    EXPECT_EQ(find_digital_input("Pad 5 Any"), kNoInput);
    EXPECT_EQ(find_digital_input(""), kNoInput);
    EXPECT_EQ(find_digital_input("[NONE]"), kNoInput);
}
