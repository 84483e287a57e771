// Control schemes from rules text become named axes and buttons; the turn
// axis is shaped from fake analog readings and held keys.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "base/input_names.h"
#include "game/control_bindings.h"
#include "game/game.h"
#include "game/settings.h"
#include "tests/game_play/fake_game_tables.h"
#include "tests/support/scratch.h"

namespace {

const uint16_t kPad1Axis1 = 2;

std::unique_ptr<cArbData> parse_rules(const std::string& text)
{
    ScratchFolder folder;
    write_file(folder / "rules.ini", text);
    return std::make_unique<cArbData>(folder / "rules.ini");
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override { install_fake_game_tables(); }
    void TearDown() override { uninstall_fake_game_tables(); }

    // Binds the first scheme of the rules text.
    void bind(const std::string& scheme_fields)
    {
        rules = parse_rules("Scheme {\n" + scheme_fields + "\n}\n");
        build_bindings(&controller, find_control_scheme(rules.get(), 0));
    }

    std::unique_ptr<cArbData> rules;
    cVantorController controller;
};

}  // namespace

TEST(BindingNames, UnderscoresAreBlanksAndOnlyExactNamesAreFound)
{
    EXPECT_EQ(binding_word_to_name("Left_Mouse"), "Left Mouse");
    EXPECT_EQ(find_key_name("Left Mouse"), kInputLeftMouse);
    EXPECT_EQ(find_key_name("Left"), kInputLeft);
    EXPECT_EQ(find_key_name("left"), -1);
    EXPECT_EQ(find_key_name("NULL"), -1);
    EXPECT_EQ(find_axis_name("Mouse X"), 0);
    EXPECT_EQ(find_axis_name("Pad 1 Axis 1"), kPad1Axis1);
    EXPECT_EQ(find_axis_name("Mouse_X"), -1);
}

TEST_F(BindingTest, AxisFieldGivesSignAxisKeysAndScale)
{
    bind("TURN < - Mouse_X Left Right 2 >\nSTEER < + Pad_1_Axis_1 NULL Up >");
    const cVantorController::_Axis* turn = controller.find_axis("TURN");
    ASSERT_NE(turn, nullptr);
    EXPECT_EQ(turn->sign, -1);
    EXPECT_EQ(turn->axis, 0);
    EXPECT_EQ(turn->key_minus, kInputLeft);
    EXPECT_EQ(turn->key_plus, kInputRight);
    EXPECT_FLOAT_EQ(turn->scale, 2.0f);
    const cVantorController::_Axis* steer = controller.find_axis("STEER");
    ASSERT_NE(steer, nullptr);
    EXPECT_EQ(steer->sign, 1);
    EXPECT_EQ(steer->axis, kPad1Axis1);
    EXPECT_EQ(steer->key_minus, 0xFFFF);
    EXPECT_EQ(steer->key_plus, 12);
    EXPECT_FLOAT_EQ(steer->scale, 1.0f);
}

TEST_F(BindingTest, ValueCountsDecideTheKindOfBinding)
{
    testing::internal::CaptureStdout();
    bind("TURN < + NULL Left Right >\nACCELERATE Up\nTWO < a b >\nTHREE < a b c >\nBRAKE Nothing_Known\n"
         "ACCELERATE Down");
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_NE(controller.find_button("ACCELERATE"), nullptr);
    EXPECT_EQ(*controller.find_button("ACCELERATE"), 12) << "the first of a repeated name stays";
    ASSERT_NE(controller.find_button("BRAKE"), nullptr);
    EXPECT_EQ(*controller.find_button("BRAKE"), -1);
    EXPECT_EQ(controller.find_button("TWO"), nullptr);
    EXPECT_EQ(controller.find_axis("TWO"), nullptr);
    EXPECT_EQ(controller.find_button("THREE"), nullptr);
    EXPECT_EQ(controller.find_axis("THREE"), nullptr);
    EXPECT_EQ(count_of(printed, "WARNING: Control binding"), 2) << printed;
}

TEST_F(BindingTest, SchemesAreCountedAmongChildrenWithATurnValue)
{
    rules = parse_rules("Servers < a >\nOther { X 1 }\nFirst { TURN < + NULL Left Right > }\n"
                        "Second { TURN < + Mouse_X NULL NULL > }\n");
    const cArbData* second = find_control_scheme(rules.get(), 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->name, "Second");
    EXPECT_EQ(find_control_scheme(rules.get(), 2), nullptr);
    build_bindings(&controller, second);
    EXPECT_TRUE(binding_uses_input(&controller, "Mouse X"));
    build_bindings(&controller, find_control_scheme(rules.get(), 0));
    EXPECT_FALSE(binding_uses_input(&controller, "Mouse X"));
    EXPECT_TRUE(binding_uses_input(&controller, "Left"));
}

TEST_F(BindingTest, ShapedAxisHasADeadZoneAndFullRangeShortOfTheEnd)
{
    const struct {
        uint16_t axis;
        float reading, factor, expected;
    } cases[] = {
        {kPad1Axis1, 0.15f, 1, 0.0f},  {kPad1Axis1, 0.10f, 1, 0.0f},   {kPad1Axis1, 0.915f, 1, 1.0f},
        {kPad1Axis1, 1.0f, 1, 1.0f},   {kPad1Axis1, -1.0f, 1, -1.0f},  {kPad1Axis1, 0.5f, -1, -0.4575163f},
        {kPad1Axis1, 0.25f, 2, 0.45751634f}, {0, 3.0f, 1, 0.3f},        {1, -5.0f, 2, -1.0f},
    };
    for (const auto& c : cases) {
        fake_game().analog[c.axis] = c.reading;
        EXPECT_NEAR(shape_axis(c.axis, c.factor), c.expected, 2e-6) << c.axis << " " << c.reading << " " << c.factor;
    }
}

TEST_F(BindingTest, TurnValueAddsItsKeysAndSquaresTheResult)
{
    bind("TURN < + Pad_1_Axis_1 Left Right >");
    EXPECT_FLOAT_EQ(turn_value(&controller), 0.0f);
    fake_game().held = {kInputLeft, kInputRight};
    EXPECT_FLOAT_EQ(turn_value(&controller), 0.0f) << "both keys cancel";
    fake_game().held = {kInputRight};
    EXPECT_FLOAT_EQ(turn_value(&controller), 1.0f);
    fake_game().analog[kPad1Axis1] = -1.0f;
    EXPECT_FLOAT_EQ(turn_value(&controller), 0.0f) << "a key against the stick at the far side";
    fake_game().analog[kPad1Axis1] = 1.0f;
    EXPECT_FLOAT_EQ(turn_value(&controller), 2.0f) << "beyond 1 the magnitude is the value itself";

    bind("TURN < + Mouse_X NULL NULL 1.0 >");
    fake_game().held.clear();
    fake_game().analog[0] = 3.0f;
    EXPECT_NEAR(turn_value(&controller), 0.09f, 1e-6);
}

TEST_F(BindingTest, AHugeScaleStaysWithinTheFloatRange)
{
    bind("TURN < + Mouse_X NULL NULL 3e38 >");
    fake_game().analog[0] = 100.0f;
    const float turn = turn_value(&controller);
    EXPECT_TRUE(std::isfinite(turn));
    EXPECT_EQ(turn, std::numeric_limits<float>::max());
    fake_game().analog[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(turn_value(&controller), 0.0f);
}

TEST_F(BindingTest, UnboundNamesAnswerNothing)
{
    bind("TURN < + NULL NULL NULL >\nRESPAWN R");
    fake_game().held = {0xFFFF};
    fake_game().pressed = {uint16_t(kInputFirstLetter + ('R' - 'A'))};
    EXPECT_FLOAT_EQ(turn_value(&controller), 0.0f);
    EXPECT_TRUE(respawn_pressed(&controller));
    EXPECT_FALSE(button_down(&controller, "ACCELERATE"));
    build_bindings(&controller, nullptr);
    EXPECT_FALSE(respawn_pressed(&controller));
    EXPECT_FLOAT_EQ(turn_value(&controller), 0.0f);
}

TEST_F(BindingTest, EnteringARaceBindsTheSelectedSchemeAndGrabsTheMouseOnlyForMouseSchemes)
{
    settings_record = SettingsRecord();
    for (uint16_t scheme : {0, 1}) {
        cGame game;
        game.rules = parse_rules(read_file(std::string(ZR_SOURCE_DIR) + "/data/zorblitRally/rules.ini")).release();
        settings_record.control_scheme = scheme;
        fake_game().calls.clear();
        enter_race(&game);
        const bool grabbed = count_of(testing::PrintToString(fake_game().calls), "grab_input") == 1 &&
                             count_of(testing::PrintToString(fake_game().calls), "hide_cursor") == 1;
        EXPECT_EQ(grabbed, scheme == 1) << "scheme " << scheme;
        EXPECT_NE(game.controller.find_axis("TURN"), nullptr);
        EXPECT_NE(game.controller.find_button("ACCELERATE"), nullptr);
    }
}
