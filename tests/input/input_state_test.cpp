#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/containers.h"
#include "base/input_interface.h"
#include "base/input_names.h"
#include "platform/input.h"
#include "tests/input/window_event_double.h"

extern "C" input_interface* connect_input_interface(input_interface* table);

using trellis::InputState;
using trellis::PadReading;

namespace {

SDL_Event key_event(SDLKey key, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    return event;
}

// One frame as the pump runs it, with these events in the queue.
void run_frame(InputState& state, const std::vector<SDL_Event>& events, float seconds = 1.0f / 64)
{
    trellis::begin_input_frame(state, seconds);
    for (const SDL_Event& event : events) trellis::handle_input_event(state, event);
    trellis::finish_input_frame(state, seconds);
}

InputState fresh_state()
{
    InputState state;
    trellis::clear_input_state(state);
    return state;
}

}  // namespace

TEST(KeyMapping, KeysLandOnTheIndexOfTheirName)
{
    const struct {
        SDLKey key;
        const char* name;
    } cases[] = {
        {SDLK_ESCAPE, "Escape"}, {SDLK_RETURN, "Enter"}, {SDLK_PAGEDOWN, "Page Down"}, {SDLK_LEFT, "Left"},
        {SDLK_a, "A"}, {SDLK_z, "Z"}, {SDLK_0, "0"}, {SDLK_9, "9"}, {SDLK_F4, "F4"}, {SDLK_F12, "F12"},
        {SDLK_KP0, "Keypad 0"}, {SDLK_KP9, "Keypad 9"}, {SDLK_KP_PERIOD, "Keypad ."},
        {SDLK_KP_ENTER, "Keypad Enter"}, {SDLK_SCROLLOCK, "Scroll Lock"},
        {SDLK_RSHIFT, "Right Shift"}, {SDLK_LCTRL, "Left Control"}, {SDLK_RALT, "Right Alt"},
        {SDLK_BACKQUOTE, "~"}, {SDLK_EQUALS, "+"}, {SDLK_BACKSLASH, "\\"}, {SDLK_SEMICOLON, ":"},
        {SDLK_QUOTE, "\""}, {SDLK_COMMA, "<"}, {SDLK_PERIOD, ">"}, {SDLK_SLASH, "?"},
        {SDLK_PRINT, "Print Screen"}, {SDLK_PAUSE, "Pause"},
    };
    for (const auto& c : cases) {
        const int index = trellis::digital_index_of_key(c.key);
        ASSERT_GE(index, 0) << c.name;
        EXPECT_EQ(keyNames[index], c.name);
    }
    EXPECT_EQ(trellis::digital_index_of_key(SDLK_MENU), -1);
    EXPECT_EQ(trellis::digital_index_of_key(SDLK_KP_EQUALS), -1);
}

TEST(KeyMapping, EveryKeyIndexHasExactlyOneKey)
{
    std::multiset<int> reached;
    for (int key = 0; key < SDLK_LAST; ++key) {
        const int index = trellis::digital_index_of_key(key);
        if (index >= 0) reached.insert(index);
    }
    for (int index = 1; index <= 101; ++index) EXPECT_EQ(reached.count(index), 1u) << keyNames[index];
    EXPECT_EQ(reached.size(), 101u);
}

namespace {

struct EditCase {
    const char* what;
    const char* before;
    int capacity;
    int cursor;  // -1: no cursor
    std::vector<SDLKey> keys;
    const char* after;
    int cursor_after;
};

}  // namespace

TEST(EditText, AppliesTheFramesKeys)
{
    const EditCase cases[] = {
        {"a letter is appended", "ab", 8, -1, {SDLK_a}, "aba", -1},
        {"shift gives capitals", "", 8, -1, {SDLK_LSHIFT, SDLK_a}, "A", -1},
        {"caps lock gives capitals", "", 8, -1, {SDLK_CAPSLOCK, SDLK_q}, "Q", -1},
        {"the later letter wins", "", 8, -1, {SDLK_a, SDLK_z}, "z", -1},
        {"a digit", "", 8, -1, {SDLK_7}, "7", -1},
        {"a digit beats a letter", "", 8, -1, {SDLK_x, SDLK_4}, "4", -1},
        {"shift with 2", "", 8, -1, {SDLK_RSHIFT, SDLK_2}, "@", -1},
        {"shift with 0", "", 8, -1, {SDLK_LSHIFT, SDLK_0}, ")", -1},
        {"shift with 3 types nothing", "x", 8, -1, {SDLK_LSHIFT, SDLK_3}, "x", -1},
        {"period", "", 8, -1, {SDLK_PERIOD}, ".", -1},
        {"shift with period", "", 8, -1, {SDLK_LSHIFT, SDLK_PERIOD}, ">", -1},
        {"space", "a", 8, -1, {SDLK_SPACE}, "a ", -1},
        {"period beats space", "", 8, -1, {SDLK_SPACE, SDLK_PERIOD}, ".", -1},
        {"minus beats a letter", "", 8, -1, {SDLK_a, SDLK_MINUS}, "-", -1},
        {"shift with minus", "", 8, -1, {SDLK_LSHIFT, SDLK_MINUS}, "_", -1},
        {"equals beats comma", "", 8, -1, {SDLK_COMMA, SDLK_EQUALS}, "=", -1},
        {"shift with equals", "", 8, -1, {SDLK_LSHIFT, SDLK_EQUALS}, "+", -1},
        {"shift with slash", "", 8, -1, {SDLK_LSHIFT, SDLK_SLASH}, "?", -1},
        {"shift with comma", "", 8, -1, {SDLK_LSHIFT, SDLK_COMMA}, "<", -1},
        {"backspace removes the last character", "abc", 8, -1, {SDLK_BACKSPACE}, "ab", -1},
        {"backspace on an empty text", "", 8, -1, {SDLK_BACKSPACE}, "", -1},
        {"backspace on an empty text with a cursor", "", 8, 0, {SDLK_BACKSPACE}, "", 0},
        {"a full text takes nothing more", "abc", 4, -1, {SDLK_d}, "abc", -1},
        {"the last free place is taken", "abc", 5, -1, {SDLK_d}, "abcd", -1},
        {"a text with no end inside its capacity is cut", "abcdef", 4, -1, {SDLK_g}, "abc", -1},
        {"the cursor overwrites", "abc", 8, 1, {SDLK_x}, "axc", 2},
        {"the cursor at the end appends", "ab", 8, 2, {SDLK_c}, "abc", 3},
        {"the cursor at the last place writes nothing", "abc", 4, 3, {SDLK_d}, "abc", 3},
        {"backspace removes before the cursor", "abcd", 8, 2, {SDLK_BACKSPACE}, "acd", 1},
        {"backspace at the start", "abc", 8, 0, {SDLK_BACKSPACE}, "abc", 0},
        {"left", "abc", 8, 2, {SDLK_LEFT}, "abc", 1},
        {"left at the start", "abc", 8, 0, {SDLK_LEFT}, "abc", 0},
        {"right", "abc", 8, 1, {SDLK_RIGHT}, "abc", 2},
        {"right at the end", "abc", 8, 3, {SDLK_RIGHT}, "abc", 3},
        {"a cursor past the end is brought back", "ab", 8, 7, {SDLK_c}, "abc", 3},
        {"a negative cursor is brought back", "ab", 8, -5, {SDLK_c}, "cb", 1},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        InputState state = fresh_state();
        std::vector<SDL_Event> events;
        for (SDLKey key : c.keys) events.push_back(key_event(key, true));
        run_frame(state, events);

        // The text sits between guard bytes, so any write outside it shows.
        char memory[32];
        std::memset(memory, '#', sizeof memory);
        char* text = memory + 1;
        std::memcpy(text, c.before, std::strlen(c.before) + 1);
        const size_t untouched_from = 1 + std::max(size_t(c.capacity), std::strlen(c.before) + 1);
        int16_t cursor = int16_t(c.cursor);
        const bool with_cursor = c.cursor != -1;

        const int length = trellis::edit_text(state, text, c.capacity, with_cursor ? &cursor : nullptr);
        EXPECT_STREQ(text, c.after);
        EXPECT_EQ(length, int(std::strlen(c.after)));
        if (with_cursor) {
            EXPECT_EQ(cursor, c.cursor_after);
        }
        EXPECT_EQ(memory[0], '#');
        for (size_t i = untouched_from; i < sizeof memory; ++i) EXPECT_EQ(memory[i], '#') << "byte " << i;
    }
}

TEST(EditText, NothingTypedWithoutAKeyThisFrame)
{
    InputState state = fresh_state();
    run_frame(state, {key_event(SDLK_a, true)});
    run_frame(state, {});
    char text[8] = "x";
    EXPECT_EQ(trellis::edit_text(state, text, sizeof text, nullptr), 1);
    EXPECT_STREQ(text, "x");
    EXPECT_EQ(trellis::edit_text(state, nullptr, 8, nullptr), 0);
    EXPECT_EQ(trellis::edit_text(state, text, 0, nullptr), 0);
}

namespace {

class PadState : public ::testing::Test {
protected:
    InputState state = fresh_state();

    static PadReading full_pad()
    {
        PadReading reading;
        reading.axis_count = 4;
        reading.hat_count = 2;
        reading.button_count = 16;
        return reading;
    }

    void poll(const PadReading& reading, int pad = 0)
    {
        trellis::begin_input_frame(state, 1.0f / 64);
        trellis::apply_pad_reading(state, pad, reading);
        trellis::finish_input_frame(state, 1.0f / 64);
    }

    bool held(int pad, int input) const { return state.held[digital_index_of_pad_input(pad, input)]; }
    bool pressed(int pad, int input) const { return state.pressed[digital_index_of_pad_input(pad, input)]; }
    bool released(int pad, int input) const { return state.released[digital_index_of_pad_input(pad, input)]; }
};

constexpr int kCentre = kPadFirstAxisInput;

}  // namespace

TEST_F(PadState, StickPushedFullyLeft)
{
    poll(full_pad());
    for (int axis = 0; axis < 4; ++axis) EXPECT_TRUE(held(0, kCentre + 5 * axis));

    PadReading left = full_pad();
    left.axes[0] = -32768;
    poll(left);
    EXPECT_FLOAT_EQ(state.analog[analog_index_of_pad_axis(0, 0)], -1.0f);
    EXPECT_TRUE(released(0, kCentre));
    EXPECT_FALSE(held(0, kCentre));
    EXPECT_TRUE(held(0, kCentre + 1) && pressed(0, kCentre + 1));
    EXPECT_TRUE(held(0, kCentre + 2) && pressed(0, kCentre + 2));
    EXPECT_FALSE(held(0, kCentre + 3) || held(0, kCentre + 4));
    EXPECT_TRUE(held(0, kCentre + 5));  // the second axis stays centred
    EXPECT_FALSE(held(0, kPadAnyInput));
}

TEST_F(PadState, AxisDirectionsFollowBothThresholds)
{
    const struct {
        int16_t raw;
        float threshold;
        bool centre, minus, strong_minus, plus, strong_plus;
    } cases[] = {
        {0, 0.15f, true, false, false, false, false},
        {32767, 0.15f, false, false, false, true, true},
        {-32768, 0.15f, false, true, true, false, false},
        {16384, 0.15f, false, false, false, true, true},  // just above one half
        {16383, 0.15f, false, false, false, true, false},
        {4915, 0.15f, true, false, false, false, false},  // just inside the threshold
        {5000, 0.15f, false, false, false, true, false},
        {-8000, 0.15f, false, true, false, false, false},
        {8000, 0.3f, true, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        state = fresh_state();
        PadReading reading = full_pad();
        reading.axes[2] = c.raw;
        reading.threshold = c.threshold;
        poll(reading);
        const int first = kCentre + 5 * 2;
        EXPECT_EQ(held(0, first), c.centre);
        EXPECT_EQ(held(0, first + 1), c.minus);
        EXPECT_EQ(held(0, first + 2), c.strong_minus);
        EXPECT_EQ(held(0, first + 3), c.plus);
        EXPECT_EQ(held(0, first + 4), c.strong_plus);
    }
}

TEST_F(PadState, HatsAndButtonsDrivePadAny)
{
    PadReading reading = full_pad();
    reading.hats[1] = SDL_HAT_LEFT | SDL_HAT_UP;
    poll(reading);
    const int hat2 = kPadFirstHatInput + 4;
    EXPECT_TRUE(held(0, hat2) && held(0, hat2 + 2));
    EXPECT_FALSE(held(0, hat2 + 1) || held(0, hat2 + 3));
    EXPECT_TRUE(pressed(0, kPadAnyInput) && held(0, kPadAnyInput));

    reading.hats[1] = SDL_HAT_CENTERED;
    reading.buttons[15] = true;
    poll(reading);
    EXPECT_TRUE(released(0, hat2));
    EXPECT_TRUE(pressed(0, kPadFirstButtonInput + 15));
    EXPECT_TRUE(held(0, kPadAnyInput));
    EXPECT_FALSE(pressed(0, kPadAnyInput));

    reading.buttons[15] = false;
    poll(reading);
    EXPECT_TRUE(released(0, kPadFirstButtonInput + 15));
    EXPECT_TRUE(released(0, kPadAnyInput));
    EXPECT_FALSE(held(0, kPadAnyInput));
}

TEST_F(PadState, LastPadUsesTheLastBlockAndAxes)
{
    PadReading reading = full_pad();
    reading.buttons[0] = true;
    reading.axes[3] = 32767;
    poll(reading, 3);
    EXPECT_TRUE(state.held[108 + 45 * 3 + 1]);
    EXPECT_FLOAT_EQ(state.analog[17], 1.0f);
    EXPECT_FALSE(held(0, kPadFirstButtonInput));

    const InputState before = state;
    poll(reading, 4);
    poll(reading, -1);
    EXPECT_EQ(std::memcmp(before.held, state.held, sizeof state.held), 0);
}

TEST_F(PadState, CountsPastTheCapsAreNotRead)
{
    PadReading reading = full_pad();
    reading.axis_count = 9;
    reading.hat_count = 9;
    reading.button_count = 99;
    reading.buttons[3] = true;
    poll(reading, 1);
    EXPECT_TRUE(held(1, kPadFirstButtonInput + 3));
    EXPECT_FALSE(held(2, kPadAnyInput));

    PadReading small;
    small.axis_count = 1;
    small.axes[1] = 32767;  // not an axis this pad has
    poll(small, 2);
    EXPECT_TRUE(held(2, kCentre));
    EXPECT_FALSE(held(2, kCentre + 5));
    EXPECT_FLOAT_EQ(state.analog[analog_index_of_pad_axis(2, 1)], 0.0f);
}

namespace {

// The whole table over SDL's dummy video driver: a queue to push events
// into, but no display.
class InputTable : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(16, 16, 0, SDL_SWSURFACE), nullptr) << SDL_GetError();
        connect_input_interface(&input);
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override { ASSERT_TRUE(input.input_init()); }
    void TearDown() override { input.input_close(); }

    static void frame(float seconds = 1.0f / 64) { input.update_input(&seconds); }

    static void drop(const std::vector<std::string>& paths)
    {
        SDL_Event event = window_event_dropping(paths);
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    static std::vector<std::string> names_of(const DSParray<std::string>& list)
    {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < list.count(); ++i) names.push_back(*list.get(i));
        return names;
    }

    static input_interface input;
};

input_interface InputTable::input;

}  // namespace

TEST_F(InputTable, DroppedFilesMoveToTheCallerInDropOrder)
{
    DSParray<std::string> list;
    EXPECT_FALSE(input.next_dropped_file(&list));
    list.insert(new std::string("mine"));
    drop({"/tmp/a b.png", "/tmp/c.jmf"});
    frame();
    drop({"/tmp/d"});
    frame();
    EXPECT_TRUE(input.next_dropped_file(&list));
    EXPECT_EQ(names_of(list), (std::vector<std::string>{"mine", "/tmp/a b.png", "/tmp/c.jmf", "/tmp/d"}));
    EXPECT_FALSE(input.next_dropped_file(&list));
    EXPECT_EQ(list.count(), 4u);
}

TEST_F(InputTable, DroppedFilesCanBeDiscarded)
{
    drop({"/tmp/e"});
    frame();
    EXPECT_TRUE(input.next_dropped_file(nullptr));
    EXPECT_FALSE(input.next_dropped_file(nullptr));

    drop({"/tmp/f"});
    frame();
    input.input_close();
    ASSERT_TRUE(input.input_init());
    DSParray<std::string> list;
    EXPECT_FALSE(input.next_dropped_file(&list));
    EXPECT_EQ(list.count(), 0u);
}

TEST_F(InputTable, FrameSecondsThatAreNoTimeCountAsNone)
{
    frame(0.5f);
    ASSERT_FLOAT_EQ(input.mouse_idle_time(), 0.5f);
    float negative = -3.0f, not_a_number = std::nanf("");
    input.update_input(&negative);
    input.update_input(&not_a_number);
    input.update_input(nullptr);
    EXPECT_FLOAT_EQ(input.mouse_idle_time(), 0.5f);
}

TEST_F(InputTable, BadPadIndicesAnswerUnused)
{
    const int opened = input.pad_count();
    ASSERT_GE(opened, 0);
    ASSERT_LE(opened, 4);
    for (int pad : {opened, 4, -1, 1000}) {
        SCOPED_TRACE(pad);
        char name[64];
        std::memset(name, 'x', sizeof name);
        input.pad_name(pad, name);
        EXPECT_STREQ(name, "UNUSED");
        EXPECT_EQ(input.pad_axis_count(pad), 0);
        EXPECT_EQ(input.pad_button_count(pad), 0);
        EXPECT_EQ(input.pad_hat_count(pad), 0);
        EXPECT_EQ(input.pad_axis_threshold(pad), nullptr);
        EXPECT_EQ(input.pad_axis_strong_threshold(pad), nullptr);
    }
    input.pad_name(0, nullptr);
}
