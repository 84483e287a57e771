// The plug-in's input table in a real window: events pushed into SDL's queue
// come out of update_input as the states the game reads.
#include <gtest/gtest.h>

#include <SDL.h>
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/input_interface.h"

namespace {

constexpr uint16_t kAnyKey = 0;
constexpr uint16_t kEscape = 1;
constexpr uint16_t kLetterA = 16;
constexpr uint16_t kNumLock = 80;
constexpr uint16_t kCapsLock = 81;
constexpr uint16_t kAnyMouse = 102;
constexpr uint16_t kLeftMouse = 103;
constexpr uint16_t kRightMouse = 104;
constexpr uint16_t kMiddleMouse = 105;
constexpr uint16_t kWheelUp = 106;
constexpr uint16_t kWheelDown = 107;

// Only the events a test pushes: the X server's own (the pointer crossing the
// window as other windows come and go) never reach the queue.
int only_pushed_events(const SDL_Event*)
{
    return 0;
}

class InputWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(64, 64, 0, SDL_SWSURFACE), nullptr) << SDL_GetError();
        SDL_SetEventFilter(only_pushed_events);
        plugin = dlopen(ZR_GAME_DIR "/plugin/trellis.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(plugin, nullptr) << dlerror();
        using Connect = input_interface* (*)(input_interface*);
        auto connect = Connect(dlsym(plugin, "connect_input_interface"));
        ASSERT_NE(connect, nullptr);
        EXPECT_EQ(connect(&input), &input);
    }

    static void TearDownTestSuite()
    {
        if (plugin) dlclose(plugin);
        SDL_Quit();
    }

    void SetUp() override
    {
        ASSERT_NE(input.input_init, nullptr);
        ASSERT_TRUE(input.input_init());
        frame();  // whatever the window itself queued
    }

    void TearDown() override { input.input_close(); }

    static void frame(float seconds = 1.0f / 64) { input.update_input(&seconds); }

    static void key(SDLKey symbol, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = symbol;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    static void tap(SDLKey symbol)
    {
        key(symbol, true);
        key(symbol, false);
    }

    static void button(uint8_t which, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = which;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    static void motion(int16_t xrel, int16_t yrel, uint16_t x, uint16_t y)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = xrel;
        event.motion.yrel = yrel;
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    static void* plugin;
    static input_interface input;
};

void* InputWindow::plugin = nullptr;
input_interface InputWindow::input = {};

}  // namespace

TEST_F(InputWindow, KeyIsPressedThenHeldThenReleased)
{
    key(SDLK_a, true);
    frame();
    EXPECT_TRUE(input.digital_pressed(kLetterA));
    EXPECT_TRUE(input.digital_down(kLetterA));
    EXPECT_TRUE(input.digital_hold_press(kLetterA));
    EXPECT_FALSE(input.digital_released(kLetterA));
    EXPECT_TRUE(input.digital_pressed(kAnyKey) && input.digital_down(kAnyKey));

    frame();
    EXPECT_FALSE(input.digital_pressed(kLetterA));
    EXPECT_FALSE(input.digital_hold_press(kLetterA));
    EXPECT_TRUE(input.digital_down(kLetterA));
    EXPECT_FALSE(input.digital_pressed(kAnyKey));
    EXPECT_TRUE(input.digital_down(kAnyKey));

    key(SDLK_a, false);
    frame();
    EXPECT_TRUE(input.digital_released(kLetterA));
    EXPECT_FALSE(input.digital_down(kLetterA));
    EXPECT_TRUE(input.digital_released(kAnyKey));
    EXPECT_FALSE(input.digital_down(kAnyKey));

    frame();
    EXPECT_FALSE(input.digital_released(kLetterA));
    EXPECT_FALSE(input.digital_released(kAnyKey));
}

TEST_F(InputWindow, HoldRepeatsAfterItsDelayThenSteadily)
{
    // Frame lengths that add up exactly, so the frames of the repeats are known.
    const struct {
        float seconds;
        int first_repeat;  // the first frame past 0.8 s
        int period;        // frames past 0.05 s from the restart at 0.75 s
    } cases[] = {{1.0f / 64, 52, 4}, {1.0f / 128, 103, 7}, {0.25f, 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        key(SDLK_ESCAPE, true);
        std::vector<int> repeats;
        for (int index = 0; index <= c.first_repeat + 3 * c.period; ++index) {
            frame(c.seconds);
            if (input.digital_hold_press(kEscape)) repeats.push_back(index);
        }
        key(SDLK_ESCAPE, false);
        frame(c.seconds);
        EXPECT_FALSE(input.digital_hold_press(kEscape));
        const std::vector<int> expected = {0, c.first_repeat, c.first_repeat + c.period,
                                           c.first_repeat + 2 * c.period, c.first_repeat + 3 * c.period};
        EXPECT_EQ(repeats, expected);
    }
}

TEST_F(InputWindow, SecondClickSoonAfterAReleaseIsADoubleClick)
{
    const struct {
        float gap;  // from the release to the second press
        bool double_click;
    } cases[] = {{1.0f / 64, true}, {0.171875f, true}, {0.1875f, false}, {0.25f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gap);
        frame(1.0f);  // far from any earlier click
        button(SDL_BUTTON_LEFT, true);
        frame();
        EXPECT_FALSE(input.digital_double_click(kLeftMouse));
        button(SDL_BUTTON_LEFT, false);
        frame();
        button(SDL_BUTTON_LEFT, true);
        frame(c.gap);
        EXPECT_TRUE(input.digital_pressed(kLeftMouse));
        EXPECT_EQ(input.digital_double_click(kLeftMouse), c.double_click);
        frame();
        EXPECT_FALSE(input.digital_double_click(kLeftMouse));  // only on the frame of the press
        button(SDL_BUTTON_LEFT, false);
        frame();
    }
}

TEST_F(InputWindow, DoubleClickWithinOneFrame)
{
    frame(1.0f);
    tap(SDLK_RETURN);
    frame();
    EXPECT_TRUE(input.digital_pressed(4));
    EXPECT_FALSE(input.digital_double_click(4));  // one click alone

    frame(1.0f);
    tap(SDLK_RETURN);
    tap(SDLK_RETURN);
    frame();
    EXPECT_TRUE(input.digital_double_click(4));
}

TEST_F(InputWindow, ButtonsPressedAndReleasedInOneFrameStillCount)
{
    const struct {
        uint8_t button;
        uint16_t index;
    } cases[] = {{SDL_BUTTON_LEFT, kLeftMouse}, {SDL_BUTTON_RIGHT, kRightMouse}, {SDL_BUTTON_MIDDLE, kMiddleMouse}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.button));
        button(c.button, true);
        button(c.button, false);
        frame();
        EXPECT_TRUE(input.digital_pressed(c.index));
        EXPECT_TRUE(input.digital_released(c.index));
        EXPECT_FALSE(input.digital_down(c.index));

        button(c.button, true);
        frame();
        EXPECT_TRUE(input.digital_down(c.index));
        EXPECT_TRUE(input.digital_pressed(kAnyMouse) && input.digital_down(kAnyMouse));
        button(c.button, false);
        frame();
        EXPECT_TRUE(input.digital_released(c.index));
        EXPECT_TRUE(input.digital_released(kAnyMouse));
    }
}

TEST_F(InputWindow, WheelPressesWithoutBeingHeld)
{
    button(SDL_BUTTON_WHEELUP, true);
    button(SDL_BUTTON_WHEELUP, false);
    frame();
    EXPECT_TRUE(input.digital_pressed(kWheelUp));
    EXPECT_FALSE(input.digital_down(kWheelUp));
    EXPECT_FALSE(input.digital_pressed(kWheelDown));

    button(SDL_BUTTON_WHEELDOWN, true);
    frame();
    EXPECT_TRUE(input.digital_pressed(kWheelDown));
    EXPECT_FALSE(input.digital_down(kWheelDown));
    EXPECT_FALSE(input.digital_pressed(kWheelUp));
    frame();
    EXPECT_FALSE(input.digital_pressed(kWheelDown));
}

TEST_F(InputWindow, MotionWithinAFrameAddsUp)
{
    frame(0.5f);
    EXPECT_FLOAT_EQ(input.mouse_idle_time(), 1.0f / 64 + 0.5f);
    motion(3, 4, 10, 20);
    motion(5, -1, 15, 19);
    frame();
    EXPECT_FLOAT_EQ(input.analog_value(0), 8.0f);
    EXPECT_FLOAT_EQ(input.analog_value(1), 3.0f);
    EXPECT_FLOAT_EQ(input.analog_delta(0), 8.0f);
    EXPECT_EQ(input.mouse_x(), 15);
    EXPECT_EQ(input.mouse_y(), 19);
    EXPECT_FLOAT_EQ(input.mouse_idle_time(), 0.0f);

    frame(0.25f);
    EXPECT_FLOAT_EQ(input.analog_value(0), 0.0f);
    EXPECT_FLOAT_EQ(input.analog_delta(0), -8.0f);
    EXPECT_FLOAT_EQ(input.analog_delta(1), -3.0f);
    EXPECT_EQ(input.mouse_x(), 15);
    EXPECT_FLOAT_EQ(input.mouse_idle_time(), 0.25f);
}

TEST_F(InputWindow, LockKeysFlipOnEachPress)
{
    const bool caps = input.caps_lock_on(), num = input.num_lock_on();
    tap(SDLK_CAPSLOCK);
    frame();
    EXPECT_TRUE(input.digital_pressed(kCapsLock));
    EXPECT_NE(input.caps_lock_on(), caps);
    tap(SDLK_CAPSLOCK);
    frame();
    EXPECT_EQ(input.caps_lock_on(), caps);

    key(SDLK_NUMLOCK, true);
    frame();
    EXPECT_TRUE(input.digital_down(kNumLock));
    EXPECT_NE(input.num_lock_on(), num);
    key(SDLK_NUMLOCK, false);
    frame();
    EXPECT_NE(input.num_lock_on(), num);  // only a press flips it
    tap(SDLK_NUMLOCK);
    frame();
    EXPECT_EQ(input.num_lock_on(), num);
    EXPECT_FALSE(input.scroll_lock_on());
}

TEST_F(InputWindow, ModifiersOnEitherSide)
{
    const struct {
        SDLKey left, right;
        bool (*down)();
    } cases[] = {{SDLK_LSHIFT, SDLK_RSHIFT, input.shift_down},
                 {SDLK_LCTRL, SDLK_RCTRL, input.ctrl_down},
                 {SDLK_LALT, SDLK_RALT, input.alt_down}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.left);
        EXPECT_FALSE(c.down());
        key(c.left, true);
        key(c.right, true);
        frame();
        EXPECT_TRUE(c.down());
        key(c.left, false);
        frame();
        EXPECT_TRUE(c.down());
        key(c.right, false);
        frame();
        EXPECT_FALSE(c.down());
    }
}

TEST_F(InputWindow, TypedKeysReachEditText)
{
    char text[16] = "zr";
    int16_t cursor = 1;
    key(SDLK_LSHIFT, true);
    key(SDLK_k, true);
    frame();
    EXPECT_EQ(input.edit_text(text, sizeof text, &cursor), 2);
    EXPECT_STREQ(text, "zK");
    EXPECT_EQ(cursor, 2);
    key(SDLK_k, false);
    key(SDLK_LSHIFT, false);
    tap(SDLK_1);
    frame();
    EXPECT_EQ(input.edit_text(text, sizeof text, nullptr), 3);
    EXPECT_STREQ(text, "zK1");
}

TEST_F(InputWindow, QuitEventStaysRequested)
{
    EXPECT_FALSE(input.quit_requested());
    SDL_Event event = {};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    frame();
    EXPECT_TRUE(input.quit_requested());
    frame();
    EXPECT_TRUE(input.quit_requested());
}

TEST_F(InputWindow, IndicesPastTheTablesAnswerNothing)
{
    // Everything that could be read past the ends is set first.
    for (int symbol = SDLK_a; symbol <= SDLK_z; ++symbol) key(SDLKey(symbol), true);
    button(SDL_BUTTON_LEFT, true);
    motion(7, 7, 1, 1);
    frame();
    motion(9, 9, 2, 2);
    frame();
    for (int symbol = SDLK_a; symbol <= SDLK_z; ++symbol) key(SDLKey(symbol), false);
    key(SDLK_a, true);
    frame();
    ASSERT_TRUE(input.digital_down(kAnyKey) && input.digital_pressed(kLetterA) && input.digital_released(17));
    ASSERT_TRUE(input.digital_hold_press(kLetterA));

    for (int index = 288; index <= 0xFFFF; ++index) {
        const uint16_t i = uint16_t(index);
        ASSERT_FALSE(input.digital_down(i) || input.digital_pressed(i) || input.digital_hold_press(i) ||
                     input.digital_released(i) || input.digital_double_click(i))
            << index;
    }
    for (int axis = 18; axis <= 0xFFFF; ++axis) {
        ASSERT_EQ(input.analog_value(uint16_t(axis)), 0.0f) << axis;
        ASSERT_EQ(input.analog_delta(uint16_t(axis)), 0.0f) << axis;
    }
}

TEST_F(InputWindow, CursorAndGrabFlagsFollowTheCalls)
{
    EXPECT_FALSE(input.is_cursor_hidden());
    input.hide_cursor();
    EXPECT_TRUE(input.is_cursor_hidden());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    input.show_cursor();
    EXPECT_FALSE(input.is_cursor_hidden());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    EXPECT_FALSE(input.is_input_grabbed());
    input.grab_input();
    EXPECT_TRUE(input.is_input_grabbed());
    input.release_input();
    EXPECT_FALSE(input.is_input_grabbed());
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_OFF);
}
