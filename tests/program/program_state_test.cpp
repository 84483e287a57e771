// The program's states: the menu's answers host or join, the lobby and race
// hooks get the machine's role, and leaving returns to the menu.
#include <gtest/gtest.h>

#include <cstring>

#include "base/modules.h"
#include "framework/menu.h"
#include "tests/program/fake_tables.h"
#include "tests/program/test_program.h"

namespace {

using Hooks = std::vector<std::string>;

class ProgramStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_tables(800, 600);
        program.menu->add_server("a");
        program.menu->add_server("bc");
        program.menu->initialised = true;
        char name[32] = "racer";
        memcpy(player_name, name, sizeof name);
        program.menu->setup("title", "", player_name, nullptr);
    }
    void TearDown() override { uninstall_fake_tables(); }

    void update()
    {
        float dt = 0.01f;
        program.update_program(&dt);
    }

    char player_name[32];
    TestProgram program;
};

TEST_F(ProgramStateTest, EscapeInTheMenuQuitsEvenWithTheDialogueOpen)
{
    program.menu->adding_server = true;
    fake_tables().pressed = {kFakeEscape, kFakeEnter};
    EXPECT_FALSE(program.run_frame());
    EXPECT_TRUE(program.quit);
    // The menu did not run, so the Enter added no server.
    EXPECT_EQ(program.menu->server_names.count(), 2u);
    EXPECT_TRUE(program.menu->adding_server);
}

TEST_F(ProgramStateTest, MenuResultsHostOrJoin)
{
    const struct Case {
        const char* name;
        int click_x, click_y;
        uint16_t server_result, client_result;
        uint16_t state;
        bool quit;
        Hooks hooks;
        std::vector<std::string> net_calls;
        const char* printed;
        short server_state;  // of server 1 afterwards (it starts failed)
    } cases[] = {
        {"host", 400, 302, 0, 0, kStateHostLobby, false, {"on_host_started"}, {"start_server"}, "", 1},
        {"host fails", 400, 302, 4, 0, kStateMenu, true, {}, {"start_server"}, "Could not open server...\n", 1},
        {"join", 400, 254, 0, 0, kStateClientLobby, false, {"on_client_joined", "send_join_request"},
         {"start_client bc"}, "", 0},
        {"join fails", 400, 254, 0, 3, kStateMenu, false, {}, {"start_client bc"},
         "Could not connect to server - bailing out.\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProgram fresh;
        fresh.menu->setup("title", "", player_name, nullptr);
        fresh.menu->initialised = true;
        fresh.menu->add_server("a");
        fresh.menu->add_server("bc");
        fresh.menu->server_states.data()[1] = 1;
        fake_tables() = FakeTables();
        fake_tables().server_result = c.server_result;
        fake_tables().client_result = c.client_result;
        fake_tables().click(c.click_x, c.click_y, kFakeLeftMouse);
        cUserView* view = new cUserView(cVector2D<int32_t>(0, 0), 0.1f, 1, 2, 45, cVector2D<int32_t>(800, 600),
                                        cColor(0, 0, 0, 1), cVector3D(1, 2, 3), cMatrix3D());
        view->camera_rotation.m[1] = 0.5;
        fresh.views.insert(view);

        testing::internal::CaptureStdout();
        float dt = 0.01f;
        fresh.update_program(&dt);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(fresh.program_state, c.state);
        EXPECT_EQ(fresh.quit, c.quit);
        EXPECT_EQ(fresh.hooks, c.hooks);
        EXPECT_EQ(fake_tables().net_calls, c.net_calls);
        EXPECT_EQ(fresh.menu->server_states.get(1), c.server_state);
        EXPECT_EQ(fresh.menu->server_states.get(0), 0);
        EXPECT_EQ(view->camera_position.x, 0);
        EXPECT_EQ(view->camera_position.z, 0);
        EXPECT_EQ(view->camera_rotation.m[1], 0);
    }
}

TEST_F(ProgramStateTest, JoinKeepsTheServerTextForTheLobby)
{
    program.join_server(0);
    EXPECT_EQ(program.joined_host, "a");
    // An index the menu never gives changes nothing.
    program.program_state = kStateMenu;
    fake_tables().net_calls.clear();
    program.join_server(2);
    EXPECT_TRUE(fake_tables().net_calls.empty());
    EXPECT_EQ(program.program_state, kStateMenu);
}

TEST_F(ProgramStateTest, LobbyAndRaceStatesCallTheGameWithItsRole)
{
    const struct {
        uint16_t state;
        Hooks update;
        Hooks render;
    } cases[] = {
        {kStateHostLobby, {"update_lobby server"}, {"render_lobby_screen server"}},
        {kStateHostRace, {"update_race server"}, {"render_race_scene", "render_race_effects server", "render_race_hud server"}},
        {kStateClientLobby, {"update_lobby client"}, {"render_lobby_screen client"}},
        {kStateClientRace, {"update_race client"}, {"render_race_scene", "render_race_effects client", "render_race_hud client"}},
        {7, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        program.program_state = c.state;
        program.hooks.clear();
        fake_tables().pressed = {kFakeEscape};  // the game's business outside the menu
        update();
        EXPECT_EQ(program.hooks, c.update);
        EXPECT_FALSE(program.quit);
        program.hooks.clear();
        cViewReference reference = {-1, nullptr};
        program.render_view_scene();
        program.render_view_effects(&reference);
        program.render_overlay(&reference);
        EXPECT_EQ(program.hooks, c.render);
    }
}

TEST_F(ProgramStateTest, OverlayDrawsTheMenuOnlyInTheMenuAndTheChatElsewhere)
{
    program.add_chat_line("hello");
    cViewReference reference = {-1, nullptr};
    program.render_overlay(&reference);
    EXPECT_NE(fake_tables().text("Host Game"), nullptr);
    EXPECT_EQ(fake_tables().text("hello"), nullptr);
    fake_tables().next_frame();
    program.program_state = kStateClientLobby;
    program.render_overlay(&reference);
    EXPECT_EQ(fake_tables().text("Host Game"), nullptr);
    EXPECT_NE(fake_tables().text("hello"), nullptr);
}

TEST_F(ProgramStateTest, LeavingAndStoppingClearTheChatAndReturnToTheMenu)
{
    const struct {
        const char* name;
        uint16_t state;
        bool client;
        bool server;
        void (cVantorProgramP2P::*leave)();
        Hooks hooks;
        std::vector<std::string> net_calls;
    } cases[] = {
        {"client leaves the lobby", kStateClientLobby, true, false, &cVantorProgramP2P::leave_as_client,
         {"on_client_leave"}, {"stop_client"}},
        {"client leaves the race", kStateClientRace, true, false, &cVantorProgramP2P::leave_as_client,
         {"on_client_leave"}, {"stop_client"}},
        {"host stops the lobby", kStateHostLobby, false, true, &cVantorProgramP2P::stop_hosting, {"on_host_stop"},
         {"stop_server"}},
        {"host stops the race", kStateHostRace, false, true, &cVantorProgramP2P::stop_hosting, {"on_host_stop"},
         {"stop_server"}},
        // The transport is no longer running: nothing to stop.
        {"client whose link is gone", kStateClientLobby, false, false, &cVantorProgramP2P::leave_as_client,
         {"on_client_leave"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        program.program_state = c.state;
        program.joined_host = "bc";
        program.join_phase = 1;
        program.hooks.clear();
        fake_tables().net_calls.clear();
        fake_tables().client = c.client;
        fake_tables().server = c.server;
        for (int i = 0; i < 3; ++i) program.add_chat_line("line");
        (program.*c.leave)();
        EXPECT_EQ(program.program_state, kStateMenu);
        EXPECT_EQ(program.hooks, c.hooks);
        EXPECT_EQ(fake_tables().net_calls, c.net_calls);
        const bool client = c.leave == &cVantorProgramP2P::leave_as_client;
        EXPECT_EQ(program.joined_host, client ? "" : "bc");
        EXPECT_EQ(program.join_phase, client ? 0 : 1);
        for (int i = 0; i < kChatLines; ++i) {
            EXPECT_EQ(program.chat.lines[i], "");
            EXPECT_EQ(program.chat.line_time[i], 0);
        }
    }
}

TEST_F(ProgramStateTest, WithoutANetworkModuleNothingCallsThroughTheMissingTable)
{
    uninstall_fake_network();
    program.program_state = kStateClientLobby;
    program.leave_as_client();
    program.program_state = kStateHostLobby;
    program.stop_hosting();
    EXPECT_EQ(program.program_state, kStateMenu);
    program.save_servers_file();

    testing::internal::CaptureStdout();
    program.join_server(1);
    program.host_server();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not connect to server - bailing out.\nCould not open server...\n");
    EXPECT_EQ(program.program_state, kStateMenu);
    EXPECT_TRUE(program.quit);
}

TEST_F(ProgramStateTest, ChatInputOfTheProgramReadsTheInputModule)
{
    fake_tables().pressed = {kFakeEnter};
    EXPECT_EQ(program.chat_console_input(0.01f), "");
    fake_tables().next_frame();
    fake_tables().typed = "gg";
    fake_tables().pressed = {kFakeEnter};
    EXPECT_EQ(program.chat_console_input(0.01f), "gg");
}

TEST_F(ProgramStateTest, NetworkNameIsTheFirstLocalAddress)
{
    strcpy(__mNetwork_instance()->host_addresses[0], "10.1.2.3");
    EXPECT_EQ(program.get_network_name(), "10.1.2.3");
    memset(__mNetwork_instance()->host_addresses[0], '9', 16);
    EXPECT_EQ(program.get_network_name(), std::string(16, '9'));
}

}  // namespace
