// The chat console: eight lines that live 8.5 s and fade over the last one,
// the typing line, and where both are drawn.
#include <gtest/gtest.h>

#include "base/modules.h"
#include "framework/chat_console.h"
#include "tests/program/fake_tables.h"

namespace {

class ChatConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { install_fake_tables(800, 600); }
    void TearDown() override { uninstall_fake_tables(); }

    std::string input(float dt) { return chat.input(dt, __mInput_instance()->interface_table); }
    void draw() { chat.draw(__mGraphics_instance()->text, 800, 600); }

    chat_console chat;
};

TEST_F(ChatConsoleTest, KeepsTheNewestEightLines)
{
    for (int i = 1; i <= 9; ++i) chat.add_line("line " + std::to_string(i));
    for (int i = 0; i < kChatLines; ++i) {
        EXPECT_EQ(chat.lines[i], "line " + std::to_string(9 - i));
        EXPECT_FLOAT_EQ(chat.line_time[i], 8.5f);
    }
}

TEST_F(ChatConsoleTest, LinesLiveEightAndAHalfSecondsAndFadeOverTheLastOne)
{
    const struct {
        float elapsed;
        bool shown;
        float alpha;
    } cases[] = {
        {0, true, 1}, {7.5f, true, 1}, {8.0f, true, 0.5f}, {8.4f, true, 0.1f}, {8.5f, false, 0}, {9, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elapsed);
        chat = chat_console();
        chat.add_line("hi");
        if (c.elapsed > 0) input(c.elapsed);
        fake_tables().next_frame();
        draw();
        const FakeText* drawn = fake_tables().text("hi");
        ASSERT_EQ(drawn != nullptr, c.shown);
        if (drawn) {
            EXPECT_NEAR(drawn->color.a, c.alpha, 1e-4);
        }
    }
}

TEST_F(ChatConsoleTest, AnExpiredLineMakesRoomAndTheYoungerOnesKeepTheirOrder)
{
    chat.add_line("old");
    input(5);
    chat.add_line("new");
    input(4);  // old expires
    EXPECT_EQ(chat.lines[0], "new");
    EXPECT_EQ(chat.lines[1], "");
    EXPECT_FLOAT_EQ(chat.line_time[0], 4.5f);
    EXPECT_EQ(chat.line_time[1], 0);
}

TEST_F(ChatConsoleTest, LinesAreDrawnFromTheirAnchor)
{
    const struct {
        bool top;
        int line0_y;
    } cases[] = {{false, 600 - 80}, {true, 80}};
    for (const auto& c : cases) {
        chat = chat_console();
        chat.anchor_top = c.top;
        for (int i = kChatLines - 1; i >= 0; --i) chat.add_line("l" + std::to_string(i));
        fake_tables().next_frame();
        draw();
        for (int i = 0; i < kChatLines; ++i) {
            const FakeText* drawn = fake_tables().text("l" + std::to_string(i));
            ASSERT_NE(drawn, nullptr);
            EXPECT_EQ(drawn->x, 400);
            EXPECT_EQ(drawn->y, c.line0_y - 16 * i);  // from the top lines 6 and 7 lie above the window
            EXPECT_TRUE(drawn->centred);
            EXPECT_EQ(drawn->glyph_width, 16);
            EXPECT_EQ(drawn->glyph_height, 16);
            EXPECT_EQ(drawn->advance_x, 12);
            EXPECT_EQ(drawn->advance_y, 16);
            EXPECT_EQ(drawn->cursor, -1);
        }
        EXPECT_EQ(fake_tables().mask_passes, kChatLines);
    }
}

TEST_F(ChatConsoleTest, TheEnterThatOpensTypingDoesNotCloseIt)
{
    fake_tables().pressed = {kFakeEnter};
    fake_tables().typed = "x";
    EXPECT_EQ(input(0.01f), "");
    EXPECT_TRUE(chat.typing);
    EXPECT_TRUE(fake_tables().edit_capacities.empty());  // no keys are typed in the opening frame
    EXPECT_STREQ(chat.input_line, "");

    fake_tables().next_frame();
    fake_tables().typed = "gl hf";
    EXPECT_EQ(input(0.01f), "");
    EXPECT_STREQ(chat.input_line, "gl hf");
    EXPECT_EQ(fake_tables().edit_capacities, std::vector<int>{kChatInputBytes - 1});

    fake_tables().next_frame();
    fake_tables().pressed = {kFakeEnter};
    EXPECT_EQ(input(0.01f), "gl hf");
    EXPECT_FALSE(chat.typing);
    EXPECT_STREQ(chat.input_line, "");
}

TEST_F(ChatConsoleTest, EnterOnAnEmptyLineClosesItAndSendsNothing)
{
    chat.typing = true;
    fake_tables().pressed = {kFakeEnter};
    EXPECT_EQ(input(0.01f), "");
    EXPECT_FALSE(chat.typing);
}

TEST_F(ChatConsoleTest, TheTypingLineHoldsAtMost126Characters)
{
    chat.typing = true;
    fake_tables().typed = std::string(200, 'k');
    input(0.01f);
    EXPECT_EQ(std::string(chat.input_line), std::string(126, 'k'));
}

TEST_F(ChatConsoleTest, TheTypingBoxSitsAboveTheBottomWithTheCursorAtTheEnd)
{
    chat.typing = true;
    strcpy(chat.input_line, "abc");
    draw();
    EXPECT_NE(fake_tables().box_centred_at(400, 600 - 48, 500, 16), nullptr);
    const FakeBox* inner = fake_tables().box_centred_at(400, 600 - 48, 498, 14);
    ASSERT_NE(inner, nullptr);
    EXPECT_FLOAT_EQ(inner->color.r, 0.15f);
    const FakeText* line = fake_tables().text("abc");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x, 400 - 250);
    EXPECT_EQ(line->y, 600 - 48 - 8);
    EXPECT_FALSE(line->centred);
    EXPECT_EQ(line->cursor, 3);
}

// A peer's text is shown as it came, never taken as a format.
TEST_F(ChatConsoleTest, PeerTextIsDrawnAsItCame)
{
    const std::string hostile = "%s%s%n%x #C5558 100%";
    testing::internal::CaptureStdout();
    chat.add_line(hostile);
    input(0.01f);
    draw();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(fake_tables().text(hostile), nullptr);
}

}  // namespace
