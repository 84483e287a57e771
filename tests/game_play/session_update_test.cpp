// The network half of the lobby and the race: the typed line goes out as
// chat, the network step runs, Escape leaves, and the race plays its music.
#include "game/track.h"
#include "tests/game_play/game_fixture.h"

namespace {

const uint16_t kEnter = 4;
const uint16_t kEscape = 1;

class SessionUpdateTest : public GameFixture {
protected:
    void type_line(const char* text)
    {
        game->chat.typing = true;
        strcpy(game->chat.input_line, text);
        fake_game().pressed.insert(kEnter);
    }
    std::string lobby_frame(bool am_server)
    {
        testing::internal::CaptureStdout();
        game->update_lobby(0.01f, am_server);
        fake_game().pressed.clear();
        return testing::internal::GetCapturedStdout();
    }
    void host_with_client()
    {
        fake_game().server = true;
        game->program_state = kStateHostLobby;
        game->on_host_started();
        fake_game().peers[4].active = true;
        fake_game().peers[4].pending = join_bytes("Ann");
        lobby_frame(true);
        fake_game().sends.clear();
    }
    void joined_client()
    {
        fake_game().client = true;
        game->program_state = kStateClientLobby;
        game->on_client_joined();
        fake_game().from_server = welcome_bytes(1, 0);
        lobby_frame(false);
        fake_game().sends.clear();
    }
};

TEST_F(SessionUpdateTest, TheHostsTypedLineIsRelayedToTheClients)
{
    host_with_client();
    ASSERT_EQ(slot(1).state, kSlotInUse);
    game->race_time = 3;
    type_line("go");
    EXPECT_EQ(lobby_frame(true), "forwarding chat: #C6668Host#C4448: #C8888go\n");
    EXPECT_EQ(fake_game().count_sent(4, kPacketChat), 1);
    EXPECT_EQ(game->race_time, 0);
}

TEST_F(SessionUpdateTest, EscapeStopsHostingAndBootsTheClients)
{
    host_with_client();
    fake_game().pressed.insert(kEscape);
    lobby_frame(true);
    EXPECT_EQ(game->program_state, kStateMenu);
    EXPECT_FALSE(fake_game().server);
    EXPECT_EQ(fake_game().count_sent(4, kPacketBooted), 1);
}

TEST_F(SessionUpdateTest, TheClientsTypedLineGoesToTheHost)
{
    joined_client();
    ASSERT_EQ(game->join_phase, 1);
    type_line("hello");
    lobby_frame(false);
    ASSERT_EQ(fake_game().count_sent(kAllConnections, kPacketChat), 1);
    EXPECT_STREQ(payload_of(fake_game().sends[0]).c_str(), "hello");
    EXPECT_EQ(game->program_state, kStateClientLobby);
}

TEST_F(SessionUpdateTest, TheClientLeavesOnEscapeOrWhenBooted)
{
    joined_client();
    fake_game().pressed.insert(kEscape);
    lobby_frame(false);
    EXPECT_EQ(game->program_state, kStateMenu);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketClientQuit), 1);

    GameFixture::TearDown();
    GameFixture::SetUp();
    joined_client();
    fake_game().from_server = bare_bytes(kPacketBooted);
    EXPECT_EQ(lobby_frame(false), "Booted by Server!\n");
    EXPECT_EQ(game->program_state, kStateMenu);
    EXPECT_FALSE(fake_game().client);
}

TEST_F(SessionUpdateTest, TheRaceKeepsTheClientConnectedAndTheMusicGoing)
{
    for (int i = 0; i < kMusicTracks; ++i) game->music_handles[i] = uint16_t(40 + i);
    joined_client();
    czrpRacetrackLoad load(host_track_record(5), 0);
    fake_game().from_server = wire_of(load);
    lobby_frame(false);
    ASSERT_EQ(game->program_state, kStateClientRace);
    fake_game().calls.clear();
    fake_game().music_is_playing = false;
    game->update_race(0.01f, false);
    EXPECT_EQ(fake_game().calls, std::vector<std::string>{"play_music 40 1 0 0"});
    EXPECT_EQ(game->music_position, 1);
    fake_game().from_server = bare_bytes(kPacketBackToLobby);
    game->update_race(0.01f, false);
    EXPECT_EQ(game->program_state, kStateClientLobby);
    EXPECT_EQ(game->music_position, -1);
}

}  // namespace
