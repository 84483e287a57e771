// Binding queries over a fake input table holding one frame's state. The
// fake notes every index it is asked for, so a binding from a file that names
// no input can be seen never to reach the table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "base/input_binding.h"
#include "base/modules.h"

namespace {

struct FakeInput {
    std::set<uint16_t> down, pressed, released, hold_press, double_click;
    float value[18] = {};
    float delta[18] = {};
    int out_of_range_queries = 0;
};

FakeInput& fake()
{
    static FakeInput state;
    return state;
}

bool in(const std::set<uint16_t>& set, uint16_t index)
{
    if (index >= 288) ++fake().out_of_range_queries;
    return set.count(index) > 0;
}

float axis_of(const float* values, uint16_t axis)
{
    if (axis >= 18) {
        ++fake().out_of_range_queries;
        return 0;
    }
    return values[axis];
}

class InputBindingTest : public testing::Test {
protected:
    void SetUp() override
    {
        static input_interface table = [] {
            input_interface t = {};
            t.digital_down = [](uint16_t i) { return in(fake().down, i); };
            t.digital_pressed = [](uint16_t i) { return in(fake().pressed, i); };
            t.digital_released = [](uint16_t i) { return in(fake().released, i); };
            t.digital_hold_press = [](uint16_t i) { return in(fake().hold_press, i); };
            t.digital_double_click = [](uint16_t i) { return in(fake().double_click, i); };
            t.analog_value = [](uint16_t a) { return axis_of(fake().value, a); };
            t.analog_delta = [](uint16_t a) { return axis_of(fake().delta, a); };
            return t;
        }();
        fake() = FakeInput();
        __mInput_instance()->interface_table = &table;
    }
    void TearDown() override
    {
        EXPECT_EQ(fake().out_of_range_queries, 0) << "an index that names no input reached the table";
        __mInput_instance()->interface_table = nullptr;
    }
};

constexpr uint16_t kNone = 0xFFFF;
constexpr uint16_t kA = 16;
constexpr uint16_t kB = 17;

cInputDigital digital(uint16_t key1, uint16_t key2, int32_t mode, uint16_t device1 = kNone, uint16_t device2 = kNone)
{
    cInputDigital binding;
    binding.key1 = key1;
    binding.device1 = device1;
    binding.key2 = key2;
    binding.device2 = device2;
    binding.mode = mode;
    return binding;
}

struct DigitalCase {
    const char* name;
    cInputDigital binding;
    std::set<uint16_t> down;
    std::set<uint16_t> pressed;  // pressed inputs are held as well
    bool expect_down;
    bool expect_press;
};

TEST_F(InputBindingTest, DigitalModesCombineTheTwoInputs)
{
    const DigitalCase cases[] = {
        {"nothing bound, Or", digital(kNone, kNone, kBindingOr), {kA, kB}, {kA, kB}, false, false},
        {"nothing bound, And", digital(kNone, kNone, kBindingAnd), {kA, kB}, {kA, kB}, false, false},
        {"nothing bound, Not", digital(kNone, kNone, kBindingNot), {kA, kB}, {kA, kB}, false, false},
        {"Or: the first held", digital(kA, kB, kBindingOr), {kA}, {}, true, false},
        {"Or: the second pressed", digital(kA, kB, kBindingOr), {}, {kB}, true, true},
        {"And with one key bound", digital(kA, kNone, kBindingAnd), {}, {kA}, false, false},
        {"And: one held, the other pressed", digital(kA, kB, kBindingAnd), {kA}, {kB}, true, true},
        {"And: both pressed in one frame", digital(kA, kB, kBindingAnd), {}, {kA, kB}, true, true},
        {"And: one pressed, the other up", digital(kA, kB, kBindingAnd), {}, {kA}, false, false},
        {"Not with one key bound acts as that key", digital(kA, kNone, kBindingNot), {}, {kA}, true, true},
        {"Not: the second held blocks", digital(kA, kB, kBindingNot), {kB}, {kA}, false, false},
        {"Not: the second pressed alone", digital(kA, kB, kBindingNot), {}, {kB}, false, false},
        {"an unknown mode", digital(kA, kB, 3), {}, {kA, kB}, false, false},
        {"a pad key: key 3 of pad 1", digital(3, kNone, kBindingOr, 1), {}, {108 + 45 + 3}, true, true},
        {"a key past the table", digital(288, kA, kBindingOr), {}, {kA}, true, true},
        {"a key past the table, And", digital(300, kA, kBindingAnd), {}, {kA}, false, false},
        {"a pad key past the pad's block", digital(45, kNone, kBindingOr, 0), {}, {108 + 45}, false, false},
        {"a fifth pad", digital(0, kNone, kBindingOr, 4), {}, {108 + 4 * 45}, false, false},
    };
    for (const DigitalCase& c : cases) {
        SCOPED_TRACE(c.name);
        fake().down = c.down;
        fake().down.insert(c.pressed.begin(), c.pressed.end());
        fake().pressed = c.pressed;
        EXPECT_EQ(__cInputDigital_query_down(&c.binding), c.expect_down);
        EXPECT_EQ(__cInputDigital_query_press(&c.binding), c.expect_press);
    }
}

TEST_F(InputBindingTest, EachEventQueryAsksItsOwnSlot)
{
    cInputDigital binding = digital(kA, kNone, kBindingOr);
    fake().released = {kA};
    EXPECT_TRUE(__cInputDigital_query_release(&binding));
    EXPECT_FALSE(__cInputDigital_query_press(&binding));
    EXPECT_FALSE(__cInputDigital_query_hold_press(&binding));
    fake().released.clear();
    fake().hold_press = {kA};
    EXPECT_TRUE(__cInputDigital_query_hold_press(&binding));
    EXPECT_FALSE(__cInputDigital_query_double_click(&binding));
    fake().double_click = {kA};
    EXPECT_TRUE(__cInputDigital_query_double_click(&binding));
    EXPECT_FALSE(__cInputDigital_query_down(&binding));

    __mInput_instance()->interface_table = nullptr;
    EXPECT_FALSE(__cInputDigital_query_double_click(&binding)) << "no input module answers false";
}

cInputAnalog analog(uint16_t axis, float dead_zone, float saturation, bool invert = false, uint16_t device = kNone)
{
    cInputAnalog binding;
    binding.axis = axis;
    binding.device = device;
    binding.dead_zone = dead_zone;
    binding.saturation = saturation;
    binding.invert = invert ? 1 : 0;
    return binding;
}

struct AnalogCase {
    const char* name;
    cInputAnalog binding;
    uint16_t index;  // the axis the value is put on
    float value;
    float expected;
};

TEST_F(InputBindingTest, AnalogValuesAreShaped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const AnalogCase cases[] = {
        {"a ramp from the dead zone", analog(4, 0.2f, 0), 4, 0.6f, 0.5f},
        {"the other way", analog(4, 0.2f, 0), 4, -0.6f, -0.5f},
        {"inside the dead zone", analog(4, 0.2f, 0), 4, -0.1f, 0},
        {"on the dead zone's edge", analog(4, 0.2f, 0), 4, 0.2f, 0},
        {"past the saturation", analog(4, 0.2f, 0.5f), 4, 0.6f, 1},
        {"saturation 1 is full at once", analog(4, 0.2f, 1), 4, 0.3f, 1},
        {"saturation 1 inverted", analog(4, 0.2f, 1, true), 4, 0.3f, -1},
        {"inverted ramp", analog(4, 0.2f, 0, true), 4, 0.6f, -0.5f},
        {"the mouse is scaled by 0.1", analog(0, 0.2f, 0), 0, 6.0f, 0.5f},
        {"pad 1's axis 2", analog(2, 0.2f, 0, false, 1), 8, 0.6f, 0.5f},
        {"an absent axis", analog(kNone, 0.2f, 0), 4, 0.6f, 0},
        {"an axis past the table", analog(18, 0.2f, 0), 4, 0.6f, 0},
        {"a pad axis past the pad's four", analog(4, 0.2f, 0, false, 0), 6, 0.6f, 0},
        {"a fifth pad", analog(0, 0.2f, 0, false, 4), 4, 0.6f, 0},
        {"a dead zone of 1 divides by nothing", analog(4, 1.0f, 0), 4, 1.5f, 1},
        {"a value that is not a number", analog(4, 0.2f, 0), 4, nan, 0},
    };
    for (const AnalogCase& c : cases) {
        SCOPED_TRACE(c.name);
        fake() = FakeInput();
        fake().value[c.index] = c.value;
        float result = __cInputAnalog_query(&c.binding);
        EXPECT_FALSE(std::isnan(result));
        EXPECT_NEAR(result, c.expected, 1e-6);
    }
}

struct EdgeCase {
    const char* name;
    cInputAnalog binding;
    float before, now;
    bool up, down, center;
};

TEST_F(InputBindingTest, AnalogEdgesCompareThisFrameWithTheLast)
{
    const EdgeCase cases[] = {
        {"the mouse moving from 2 to 5 crosses 0.3", analog(0, 0.3f, 0), 2, 5, true, false, false},
        {"already above stays quiet", analog(4, 0.3f, 0), 0.5f, 0.6f, false, false, false},
        {"crossing below", analog(4, 0.3f, 0), -0.3f, -0.5f, false, true, false},
        {"inversion does not flip edges", analog(4, 0.3f, 0, true), 0, 0.5f, true, false, false},
        {"back inside", analog(4, 0.3f, 0), -0.5f, 0.1f, false, false, true},
        {"an axis past the table", analog(20, 0.3f, 0), 0, 0.5f, false, false, false},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        fake() = FakeInput();
        uint16_t index = c.binding.axis < 18 ? c.binding.axis : 4;
        fake().value[index] = c.now;
        fake().delta[index] = c.now - c.before;
        EXPECT_EQ(__cInputAnalog_query_up(&c.binding), c.up);
        EXPECT_EQ(__cInputAnalog_query_down(&c.binding), c.down);
        EXPECT_EQ(__cInputAnalog_query_center(&c.binding), c.center);
    }
}

TEST_F(InputBindingTest, DisplayNamesComeFromTheNameTables)
{
    struct NameCase {
        cInputDigital binding;
        const char* first;
        const char* second;
    };
    const NameCase digital_names[] = {
        {digital(kNone, kA, kBindingOr), "[NONE]", "A"},
        {digital(3, 0, kBindingOr, 1, kNone), "Pad 2 Btn 3", "Any Key"},
        {digital(44, 287, kBindingOr, 3, kNone), "Pad 4 Hat 2 Down", "Pad 4 Hat 2 Down"},
        {digital(288, 45, kBindingOr, kNone, 0), "[NONE]", "[NONE]"},
        {digital(1, 1, kBindingOr, 4, 0x8000), "[NONE]", "Escape"},
    };
    for (const NameCase& c : digital_names) {
        EXPECT_STREQ(__cInputDigital_display_name1(&c.binding), c.first);
        EXPECT_STREQ(__cInputDigital_display_name2(&c.binding), c.second);
    }
    struct AxisName {
        cInputAnalog binding;
        const char* name;
    };
    const AxisName axis_names[] = {
        {analog(kNone, 0, 0), "[NONE]"},         {analog(1, 0, 0), "Mouse Y"},
        {analog(2, 0, 0, false, 1), "Pad 2 Axis 3"}, {analog(17, 0, 0), "Pad 4 Axis 4"},
        {analog(18, 0, 0), "[NONE]"},            {analog(4, 0, 0, false, 0), "[NONE]"},
        {analog(0, 0, 0, false, 4), "[NONE]"},
    };
    for (const AxisName& c : axis_names) EXPECT_STREQ(__cInputAnalog_display_name(&c.binding), c.name);
}

}  // namespace
