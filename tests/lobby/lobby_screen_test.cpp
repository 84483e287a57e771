// The lobby screen over recording tables: what the host and a client see, and
// where the start button answers a click.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/modules.h"
#include "game/game.h"
#include "game/lobby.h"
#include "tests/program/fake_tables.h"

namespace {

class LobbyScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_tables(800, 600);
        strcpy(__mNetwork_instance()->host_addresses[0], "10.1.2.3");
        game = std::make_unique<cGame>();
    }
    void TearDown() override
    {
        game.reset();
        uninstall_fake_tables();
    }

    void seat(int slot, uint16_t state, const char* name, uint8_t species)
    {
        game->players[slot].state = state;
        strcpy(game->players[slot].name, name);
        game->players[slot].species = species;
    }

    std::unique_ptr<cGame> game;
};

}  // namespace

TEST_F(LobbyScreenTest, HostSeesItsAddressTheStartButtonAndTheCompetitors)
{
    seat(0, 2, "Host", 0);
    seat(3, 3, "", 1);
    seat(5, 1, "Joining", 0);
    game->render_lobby_screen(nullptr, true);
    const FakeTables& drawn = fake_tables();

    const FakeText* hosting = drawn.text("You are hosting at: 10.1.2.3");
    ASSERT_NE(hosting, nullptr);
    EXPECT_TRUE(hosting->centred);
    EXPECT_EQ(hosting->y, 16);
    EXPECT_NE(drawn.box_centred_at(400, 74, 256, 32), nullptr);
    EXPECT_NE(drawn.box_centred_at(400, 74, 252, 28), nullptr);
    const FakeText* start = drawn.text("OMG START!");
    ASSERT_NE(start, nullptr);
    EXPECT_TRUE(start->centred);
    EXPECT_EQ(start->y, 74);

    const FakeText* title = drawn.text("CCCCCCOMPETITORS!!!!");
    ASSERT_NE(title, nullptr);
    EXPECT_FALSE(title->centred);
    const FakeText* host = drawn.text("Host - Fox");
    const FakeText* unnamed = drawn.text(" - Ermine");
    ASSERT_NE(host, nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(host->y, 160);
    EXPECT_EQ(unnamed->y, 176);
    EXPECT_EQ(drawn.text("Joining - Fox"), nullptr) << "a record still joining is not listed";
}

TEST_F(LobbyScreenTest, ClientSeesTheHostItJoinedAndNoStartButton)
{
    game->joined_host = "racer.example";
    seat(0, 2, "Host", 1);
    game->render_lobby_screen(nullptr, false);
    EXPECT_NE(fake_tables().text("You have joined: racer.example"), nullptr);
    EXPECT_EQ(fake_tables().text("OMG START!"), nullptr);
    EXPECT_NE(fake_tables().text("Host - Ermine"), nullptr);
}

TEST_F(LobbyScreenTest, StartButtonAnswersAPressInsideItsBox)
{
    const struct {
        int x, y;
        uint16_t button;
        bool starts;
    } cases[] = {
        {400, 74, kFakeLeftMouse, true},        {400 + 127, 74 + 15, kFakeLeftMouse, true},
        {400 - 127, 74 - 15, kFakeRightMouse, true}, {400 + 128, 74, kFakeLeftMouse, false},
        {400 - 128, 74, kFakeLeftMouse, false}, {400, 74 + 16, kFakeLeftMouse, false},
        {400, 74 - 16, kFakeRightMouse, false},
    };
    for (const auto& c : cases) {
        fake_tables().next_frame();
        fake_tables().click(c.x, c.y, c.button);
        EXPECT_EQ(start_button_clicked(), c.starts) << c.x << ", " << c.y;
    }
    fake_tables().next_frame();
    EXPECT_FALSE(start_button_clicked()) << "the pointer resting on the button is no press";
}
