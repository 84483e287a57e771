// The server browser menu: where it draws, what its clicks answer, the text
// fields and the add-server dialogue.
#include <gtest/gtest.h>

#include "base/modules.h"
#include "framework/menu.h"
#include "tests/program/fake_tables.h"

namespace {

struct Point {
    int x, y;
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_tables(800, 600);
        menu.setup("Title", "#C0488Ann#C5558 - code\n#C0488Bo#C5558 - music", name, nullptr);
        menu.initialised = true;
    }
    void TearDown() override { uninstall_fake_tables(); }

    void add_servers(int count)
    {
        for (int i = 0; i < count; ++i) menu.add_server(std::string(1, char('a' + i)));
    }
    void add_list(const char* title, std::vector<std::string> options, uint16_t* selection)
    {
        auto* texts = new DSParray<std::string>;
        for (const std::string& option : options) texts->insert(new std::string(option));
        menu.button_lists.insert(new cVantorMenu::ButtonList(selection, title, texts));
    }
    uint16_t click(Point at, uint16_t button = kFakeLeftMouse)
    {
        fake_tables().next_frame();
        fake_tables().click(at.x, at.y, button);
        return menu.update(0.01f);
    }
    // The centre of a drawn text, or (-1, -1) when it was not drawn.
    Point drawn_at(const std::string& text)
    {
        const FakeText* drawn = fake_tables().text(text);
        return drawn ? Point{drawn->x, drawn->y} : Point{-1, -1};
    }
    void redraw()
    {
        fake_tables().next_frame();
        menu.draw();
    }

    char name[32] = "racer";
    char password[32] = "secret";
    uint16_t scheme = 0;
    cVantorMenu menu;
};

bool operator==(Point a, Point b)
{
    return a.x == b.x && a.y == b.y;
}

std::ostream& operator<<(std::ostream& out, Point p)
{
    return out << "(" << p.x << ", " << p.y << ")";
}

// Each placed item is drawn there and answers a left click there.
TEST_F(MenuTest, LayoutFollowsTheWindowCentreAndTheMenuContents)
{
    const struct Case {
        const char* name;
        uint16_t width;
        int servers;
        int lists;
        bool password;
        Point caption;
        std::vector<Point> server_buttons;  // the last is "Add Server"
        Point host;
    } cases[] = {
        {"empty menu", 800, 0, 0, false, {400, 230}, {{400, 254}}, {400, 302}},
        {"three servers", 800, 3, 0, false, {400, 230}, {{100, 254}, {300, 254}, {500, 254}, {700, 254}}, {400, 302}},
        {"one server, wide window", 1280, 1, 0, false, {640, 230}, {{540, 254}, {740, 254}}, {640, 302}},
        {"one option list", 800, 0, 1, false, {400, 300}, {{400, 324}}, {400, 372}},
        {"password field", 800, 0, 0, true, {400, 300}, {{400, 324}}, {400, 372}},
        {"both lists and a password", 800, 2, 2, true, {400, 440}, {{200, 464}, {400, 464}, {600, 464}}, {400, 512}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cVantorMenu& m = menu;
        m.server_names.clear();
        m.server_states.clear();
        m.button_lists.clear();
        m.second_field = c.password ? password : nullptr;
        __mGraphics_instance()->window_width = c.width;
        add_servers(c.servers);
        for (int i = 0; i < c.lists; ++i) add_list("List", {"one", "two"}, &scheme);

        redraw();
        EXPECT_EQ(drawn_at("Click Server to Join..."), c.caption);
        for (int k = 0; k < c.servers; ++k)
            EXPECT_EQ(drawn_at(std::string(1, char('a' + k))), c.server_buttons[size_t(k)]) << k;
        EXPECT_EQ(drawn_at("Add Server"), c.server_buttons.back());
        EXPECT_EQ(drawn_at("Host Game"), c.host);
        EXPECT_NE(fake_tables().box_centred_at(c.host.x, c.host.y, 180, 32), nullptr);

        EXPECT_EQ(click(c.host), kMenuHostGame);
        for (int k = 0; k < c.servers; ++k) EXPECT_EQ(click(c.server_buttons[size_t(k)]), k);
    }
}

TEST_F(MenuTest, OptionListsAreRowsBelowTheFields)
{
    uint16_t species = 1;
    add_list("Selected Control Scheme", {"Keys", "Mouse", "Pad"}, &scheme);
    add_list("Selected Species", {"Fox", "Ermine"}, &species);
    redraw();
    EXPECT_EQ(drawn_at("Selected Control Scheme"), (Point{400, 140}));
    EXPECT_EQ(drawn_at("Keys"), (Point{200, 164}));
    EXPECT_EQ(drawn_at("Pad"), (Point{600, 164}));
    EXPECT_EQ(drawn_at("Selected Species"), (Point{400, 210}));
    EXPECT_EQ(drawn_at("Fox"), (Point{300, 234}));
    EXPECT_EQ(drawn_at("Ermine"), (Point{500, 234}));
    // The chosen option's box is the lighter grey.
    EXPECT_FLOAT_EQ(fake_tables().box_centred_at(500, 234, 180, 32)->color.r, 0.5f);
    EXPECT_FLOAT_EQ(fake_tables().box_centred_at(300, 234, 180, 32)->color.r, 0.3f);

    EXPECT_EQ(click({600, 164}, kFakeRightMouse), kMenuNothing);
    EXPECT_EQ(scheme, 2);
    click({300, 234});
    EXPECT_EQ(species, 0);
    EXPECT_EQ(scheme, 2);
}

TEST_F(MenuTest, ClicksOnButtons)
{
    const struct Case {
        const char* name;
        Point at;
        uint16_t button;
        bool initialised;
        uint16_t result;
        std::vector<std::string> servers_after;
        bool dialogue;
    } cases[] = {
        {"left on a server joins it", {300, 254}, kFakeLeftMouse, true, 1, {"a", "b", "c"}, false},
        {"right on a server removes it", {300, 254}, kFakeRightMouse, true, kMenuNothing, {"a", "c"}, false},
        {"right on Add Server does nothing", {700, 254}, kFakeRightMouse, true, kMenuNothing, {"a", "b", "c"}, false},
        {"left on Add Server opens the dialogue", {700, 254}, kFakeLeftMouse, true, kMenuNothing, {"a", "b", "c"}, true},
        {"Host Game", {400, 302}, kFakeLeftMouse, true, kMenuHostGame, {"a", "b", "c"}, false},
        {"Host Game by the right button", {400, 302}, kFakeRightMouse, true, kMenuHostGame, {"a", "b", "c"}, false},
        {"Host Game before start-up is done", {400, 302}, kFakeLeftMouse, false, kMenuNothing, {"a", "b", "c"}, false},
        {"inside the right edge", {300 + 89, 254}, kFakeLeftMouse, true, 1, {"a", "b", "c"}, false},
        {"on the right edge", {300 + 90, 254}, kFakeLeftMouse, true, kMenuNothing, {"a", "b", "c"}, false},
        {"inside the left edge", {300 - 89, 254}, kFakeLeftMouse, true, 1, {"a", "b", "c"}, false},
        {"inside the bottom edge", {400, 302 + 15}, kFakeLeftMouse, true, kMenuHostGame, {"a", "b", "c"}, false},
        {"on the bottom edge", {400, 302 + 16}, kFakeLeftMouse, true, kMenuNothing, {"a", "b", "c"}, false},
        {"on the top edge", {400, 254 - 16}, kFakeLeftMouse, true, kMenuNothing, {"a", "b", "c"}, false},
        {"between the rows", {100, 278}, kFakeLeftMouse, true, kMenuNothing, {"a", "b", "c"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        menu.server_names.clear();
        menu.server_states.clear();
        menu.adding_server = false;
        add_servers(3);
        menu.server_states.data()[2] = 1;
        menu.initialised = c.initialised;
        EXPECT_EQ(click(c.at, c.button), c.result);
        std::vector<std::string> servers;
        for (uint32_t i = 0; i < menu.server_names.count(); ++i) servers.push_back(*menu.server_names.get(i));
        EXPECT_EQ(servers, c.servers_after);
        EXPECT_EQ(menu.server_states.count(), menu.server_names.count());
        EXPECT_EQ(menu.server_states.get(menu.server_states.count() - 1), 1);  // "c" keeps its mark
        EXPECT_EQ(menu.adding_server, c.dialogue);
    }
}

TEST_F(MenuTest, NoClickNoAnswer)
{
    fake_tables().mouse_x = 400;
    fake_tables().mouse_y = 302;
    EXPECT_EQ(menu.update(0.01f), kMenuNothing);
}

TEST_F(MenuTest, FieldBandsChooseTheFieldAnywhereAcrossTheWindow)
{
    menu.setup("Title", "", name, password);
    const struct {
        Point at;
        int focus;
    } cases[] = {
        {{0, 70}, 0}, {{799, 102}, 0}, {{400, 69}, 1}, {{400, 103}, 1},
        {{0, 140}, 1}, {{400, 172}, 1}, {{400, 139}, 0}, {{400, 173}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at.y);
        menu.focus = c.focus == 0 ? 1 : 0;
        click(c.at);
        const int expected_unchanged = c.focus == 0 ? 1 : 0;
        const bool in_band = (c.at.y >= 70 && c.at.y <= 102) || (c.at.y >= 140 && c.at.y <= 172);
        EXPECT_EQ(menu.focus, in_band ? c.focus : expected_unchanged);
    }
    // Without a second field its band chooses nothing.
    menu.setup("Title", "", name, nullptr);
    menu.focus = 0;
    click({400, 150});
    EXPECT_EQ(menu.focus, 0);
}

TEST_F(MenuTest, TheNameFieldTakesThirtyCharacters)
{
    name[0] = 0;
    fake_tables().typed = std::string(40, 'n');
    menu.update(0.01f);
    EXPECT_EQ(std::string(name), std::string(30, 'n'));
    EXPECT_EQ(fake_tables().edit_capacities, std::vector<int>{31});

    menu.setup("Title", "", name, password);
    menu.focus = 1;
    fake_tables().next_frame();
    fake_tables().edit_capacities.clear();
    fake_tables().typed = "!";
    menu.update(0.01f);
    EXPECT_STREQ(password, "secret!");
    EXPECT_EQ(fake_tables().edit_capacities, std::vector<int>{31});
}

TEST_F(MenuTest, AddServerDialogue)
{
    const struct {
        const char* name;
        const char* typed;
        Point click;
        bool enter;
        std::string added;
    } cases[] = {
        {"Enter adds the name", "srv.example", {-500, -500}, true, "srv.example"},
        {"Enter adds an empty name", "", {-500, -500}, true, ""},
        {"the button adds the name", "10.0.0.2", {400, 168}, false, "10.0.0.2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        menu.server_names.clear();
        menu.server_states.clear();
        click({400, 254});  // "Add Server" of an empty list
        ASSERT_TRUE(menu.adding_server);
        const float blink = menu.blink_phase;

        fake_tables().next_frame();
        fake_tables().typed = c.typed;
        EXPECT_EQ(menu.update(0.3f), kMenuNothing);
        fake_tables().next_frame();
        if (c.enter) fake_tables().pressed.insert(kFakeEnter);
        if (c.click.x >= 0) fake_tables().click(c.click.x, c.click.y, kFakeLeftMouse);
        EXPECT_EQ(menu.update(0.3f), kMenuNothing);

        EXPECT_FALSE(menu.adding_server);
        ASSERT_EQ(menu.server_names.count(), 1u);
        EXPECT_EQ(*menu.server_names.get(0), c.added);
        EXPECT_EQ(menu.server_states.get(0), 0);
        EXPECT_STREQ(menu.new_server_name, "");
        EXPECT_FLOAT_EQ(menu.blink_phase, blink);
    }
}

TEST_F(MenuTest, TheDialogueTakesSixtyTwoCharactersAndNothingElseAnswers)
{
    click({400, 254});
    fake_tables().next_frame();
    fake_tables().typed = std::string(70, 's');
    fake_tables().click(400, 302, kFakeLeftMouse);  // where Host Game is outside the dialogue
    EXPECT_EQ(menu.update(0.01f), kMenuNothing);
    EXPECT_EQ(std::string(menu.new_server_name), std::string(62, 's'));
    EXPECT_EQ(fake_tables().edit_capacities.back(), 63);
    EXPECT_STREQ(name, "racer");  // the name field is not edited meanwhile

    redraw();
    EXPECT_EQ(drawn_at("New Server Name [type to change]"), (Point{400, 96}));
    EXPECT_EQ(drawn_at("Add Server"), (Point{400, 168}));
    EXPECT_EQ(drawn_at("Host Game"), (Point{-1, -1}));
    EXPECT_EQ(drawn_at("User Name [type to change]"), (Point{-1, -1}));
    EXPECT_EQ(drawn_at("Title"), (Point{400, 16}));
}

TEST_F(MenuTest, TitleCreditsAndNameField)
{
    redraw();
    const FakeText* title = fake_tables().text("Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->glyph_height, 32);
    EXPECT_EQ(title->advance_x, 24);
    EXPECT_EQ(drawn_at(menu.credits), (Point{400, 600 - 16}));  // two lines
    EXPECT_EQ(drawn_at("User Name [type to change]"), (Point{400, 54}));
    const FakeBox* field = fake_tables().box_centred_at(400, 70, 256, 16);
    ASSERT_NE(field, nullptr);
    EXPECT_FLOAT_EQ(field->color.r, 0.2f);
    // The cursor shows during the first half of each second; a blank holds its place.
    EXPECT_EQ(drawn_at("racer#C5558_"), (Point{400, 70}));
    menu.blink_phase = 0.5f;
    redraw();
    EXPECT_EQ(drawn_at("racer "), (Point{400, 70}));
    menu.focus = 1;
    redraw();
    EXPECT_EQ(drawn_at("User Name"), (Point{400, 54}));
}

TEST_F(MenuTest, BlinkPhaseWrapsIntoOneSecond)
{
    const struct {
        float dt;
        float phase;
    } steps[] = {{0.4f, 0.4f}, {0.6f, 1.0f}, {0.25f, 0.25f}, {2.5f, 0.75f}};
    for (const auto& step : steps) {
        menu.update(step.dt);
        EXPECT_NEAR(menu.blink_phase, step.phase, 1e-5);
    }
}

TEST_F(MenuTest, PasswordIsMaskedWithoutACursor)
{
    menu.setup("Title", "", name, password);
    menu.focus = 1;
    redraw();
    EXPECT_EQ(drawn_at("Password [type to change]"), (Point{400, 124}));
    const FakeText* secret = fake_tables().text("secret");
    ASSERT_NE(secret, nullptr);
    EXPECT_TRUE(secret->masked);
    EXPECT_EQ(secret->y, 140);
    EXPECT_EQ(drawn_at("Click Server to Join..."), (Point{400, 300}));
}

TEST_F(MenuTest, FailedServerIsOrangeAndRed)
{
    add_servers(2);
    menu.server_states.data()[1] = 1;
    redraw();
    const FakeBox* normal = fake_tables().box_centred_at(200, 254, 172, 24);
    const FakeBox* outer = fake_tables().box_centred_at(400, 254, 180, 32);
    const FakeBox* inner = fake_tables().box_centred_at(400, 254, 172, 24);
    ASSERT_TRUE(normal && outer && inner);
    EXPECT_FLOAT_EQ(normal->color.b, 1);
    EXPECT_FLOAT_EQ(outer->color.r, 1);
    EXPECT_FLOAT_EQ(outer->color.g, 0.5f);
    EXPECT_FLOAT_EQ(inner->color.r, 1);
    EXPECT_FLOAT_EQ(inner->color.g, 0);
}

// Server names come from a file that anybody may have written.
TEST_F(MenuTest, ServerNamesAreDrawnAsTheyAre)
{
    menu.add_server("%s%n%d");
    testing::internal::CaptureStdout();
    redraw();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(drawn_at("%s%n%d"), (Point{300, 254}));
}

TEST_F(MenuTest, WithoutANameBufferEachUpdateAndDrawSaysSo)
{
    cVantorMenu bare;
    testing::internal::CaptureStdout();
    bare.update(0.01f);
    bare.draw();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Vantor Menu does not appear to be properly initialized\n"
              "ERROR: Vantor Menu does not appear to be properly initialized\n");
    EXPECT_TRUE(fake_tables().edit_capacities.empty());
}

}  // namespace
