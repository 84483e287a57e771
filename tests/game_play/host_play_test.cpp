// The host's network step against the fake network: joins and refusals,
// boots, chat relay, and what a client may not make the host do.
#include <cmath>

#include "tests/game_play/game_fixture.h"

namespace {

class HostPlayTest : public HostFixture {
protected:

    // Frames of the host's step; what they printed.
    std::string step(float dt = 0.01f, int frames = 1)
    {
        testing::internal::CaptureStdout();
        for (int i = 0; i < frames; ++i) server_network_update(game.get(), &dt);
        return testing::internal::GetCapturedStdout();
    }

    void connect(uint16_t id, const std::string& bytes)
    {
        fake_game().peers[id].active = true;
        fake_game().peers[id].pending += bytes;
    }

    // A peer on id that joined under name; the join's sends are forgotten.
    int joined(uint16_t id, const char* name)
    {
        connect(id, join_bytes(name));
        step();
        fake_game().sends.clear();
        for (int s = 0; s < kPlayerSlots; ++s)
            if (slot(s).state == kSlotInUse && strcmp(slot(s).name, name) == 0) return s;
        return -1;
    }

    void occupy(int index, uint16_t state, const char* name, uint16_t id = kAllConnections)
    {
        slot(index).state = state;
        copy_player_name(slot(index).name, name);
        slot(index).link.connection_id = id;
        slot(index).link.send_id = id;
    }

    bool was_dropped(uint16_t id) const
    {
        for (uint16_t dropped : fake_game().dropped)
            if (dropped == id) return true;
        return false;
    }
};

TEST_F(HostPlayTest, HostingFillsOurOwnRecord)
{
    EXPECT_EQ(game->own_slot, 0);
    EXPECT_EQ(game->host_slot, kNoSlot);
    EXPECT_EQ(slot(0).state, kSlotInUse);
    EXPECT_STREQ(slot(0).name, "Host");
    EXPECT_EQ(slot(0).link.connection_id, kAllConnections);
    for (int s = 1; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).state, kSlotFree);
}

TEST_F(HostPlayTest, AJoinGetsAWelcomeAndTheRoster)
{
    connect(3, join_bytes("Ann", 1));
    EXPECT_EQ(step(), "join request from 127.0.0.1 ... Ann joined in slot 1\n");
    EXPECT_EQ(slot(1).state, kSlotInUse);
    EXPECT_STREQ(slot(1).name, "Ann");
    EXPECT_EQ(slot(1).species, 1);
    EXPECT_EQ(slot(1).link.connection_id, 3);
    EXPECT_EQ(slot(1).link.send_id, 3);
    const std::vector<uint16_t> types = fake_game().types_sent_to(3);
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types[0], kPacketWelcome);
    EXPECT_EQ(types[1], kPacketRoster);
    // The welcome: welcome word 0, the slot given, our own slot.
    EXPECT_EQ(payload_of(fake_game().sends[0]), std::string("\0\0\1\0\0\0", 6));
}

struct JoinCase {
    const char* what;
    void (*prepare)(cGame* game);
    uint16_t program_state;
    const char* printed;
    int slot;  // where the joiner sits, -1 when refused
    bool booted;  // a 104 went to the peer
    bool dropped;
};

void fill_all_slots(cGame* game)
{
    for (int s = 1; s < kPlayerSlots; ++s) {
        game->players[s].state = kSlotInUse;
        copy_player_name(game->players[s].name, ("P" + std::to_string(s)).c_str());
        game->players[s].link.connection_id = uint16_t(20 + s);
    }
}

const JoinCase joinCases[] = {
    {"fresh", [](cGame*) {}, kStateHostLobby, "join request from 127.0.0.1 ... Ann joined in slot 1\n", 1, false,
     false},
    {"rejoin after a quit",
     [](cGame* game) {
         game->players[1].state = kSlotInUse;
         copy_player_name(game->players[1].name, "Bob");
         game->players[1].link.connection_id = 9;
         game->players[4].state = kSlotLeft;
         copy_player_name(game->players[4].name, "Ann");
     },
     kStateHostLobby, "join request from 127.0.0.1 ... Ann rejoined in slot 4\n", 4, false, false},
    {"name in use",
     [](cGame* game) {
         game->players[2].state = kSlotInUse;
         copy_player_name(game->players[2].name, "Ann");
         game->players[2].link.connection_id = 9;
     },
     kStateHostLobby, "join request from 127.0.0.1 ... name Ann is already registered ... booted\n", -1, true, true},
    {"the host's own name",
     [](cGame* game) { copy_player_name(game->players[0].name, "Ann"); }, kStateHostLobby,
     "join request from 127.0.0.1 ... name Ann is already registered ... booted\n", -1, true, true},
    {"all sixteen in use", fill_all_slots, kStateHostLobby,
     "join request from 127.0.0.1 ... no available slots ... booted\n", -1, true, true},
    {"only a left slot",
     [](cGame* game) {
         fill_all_slots(game);
         game->players[7].state = kSlotLeft;
         game->players[7].link.connection_id = kAllConnections;
     },
     kStateHostLobby, "join request from 127.0.0.1 ... Ann joined in slot 7\n", 7, false, false},
    {"during the race", [](cGame*) {}, kStateHostRace, "...game in progress: booted\n", -1, true, false},
};

TEST_F(HostPlayTest, JoinRules)
{
    for (const JoinCase& c : joinCases) {
        SetUp();
        c.prepare(game.get());
        game->program_state = c.program_state;
        connect(5, join_bytes("Ann"));
        EXPECT_EQ(step(), c.printed) << c.what;
        if (c.slot >= 0) {
            EXPECT_EQ(slot(c.slot).state, kSlotInUse) << c.what;
            EXPECT_STREQ(slot(c.slot).name, "Ann") << c.what;
            EXPECT_EQ(slot(c.slot).link.connection_id, 5) << c.what;
            EXPECT_EQ(fake_game().count_sent(5, kPacketWelcome), 1) << c.what;
        } else {
            EXPECT_EQ(fake_game().count_sent(5, kPacketWelcome), 0) << c.what;
        }
        EXPECT_EQ(fake_game().count_sent(5, kPacketBooted), c.booted ? 1 : 0) << c.what;
        EXPECT_EQ(was_dropped(5), c.dropped) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(HostPlayTest, AJoinsNameAndSpeciesAreChecked)
{
    std::string payload(33, 'n');  // no terminator in the name, species byte 'n'
    connect(2, forged(kPacketRequestJoin, payload + std::string(3, '\0'), false));
    EXPECT_EQ(step(), "join request from 127.0.0.1 ... " + std::string(31, 'n') + " joined in slot 1\n");
    EXPECT_EQ(std::string(slot(1).name), std::string(31, 'n'));
    EXPECT_EQ(slot(1).species, 0);
}

TEST_F(HostPlayTest, BytesFromANewPeerThatAreNoWholeJoinSeatNobody)
{
    const struct {
        const char* what;
        std::string bytes;
        const char* printed;
    } cases[] = {
        {"a short join", join_bytes("Ann").substr(0, 40), "ERROR: Dropped packet of Type 20001: too short\n"},
        {"a chat line", chat_bytes("hello"), ""},
        {"junk", std::string(60, 'j'), ""},
    };
    for (const auto& c : cases) {
        SetUp();
        connect(6, c.bytes);
        EXPECT_EQ(step(), c.printed) << c.what;
        for (int s = 1; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).state, kSlotFree) << c.what;
        EXPECT_TRUE(fake_game().sends.empty()) << c.what;
        EXPECT_FALSE(was_dropped(6)) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(HostPlayTest, APeerThatReadsNothingIsDropped)
{
    fake_game().peers[8].active = true;
    fake_game().peers[8].closed = true;
    step();
    EXPECT_TRUE(was_dropped(8));
    EXPECT_FALSE(fake_game().peers[8].active);
}

TEST_F(HostPlayTest, ASilentClientIsBootedAfterFiveSeconds)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    EXPECT_EQ(step(1.0f, 5), "");
    EXPECT_EQ(slot(1).state, kSlotInUse);
    EXPECT_EQ(step(1.0f), "Booting inactive client Ann [1]!\n");
    EXPECT_EQ(slot(1).state, kSlotLeft);
    EXPECT_EQ(slot(1).link.connection_id, kAllConnections);
    EXPECT_EQ(slot(1).link.send_id, kAllConnections);
    EXPECT_TRUE(was_dropped(4));
    EXPECT_EQ(step(1.0f, 3), "");
}

// Ann keeps sending, keep-alives or chat, but her socket takes nothing more
// from the host; Bob reads everything. Frames run until Ann is booted or the
// frames are used up; what the host printed.
struct StalledPeerCase {
    const char* what;
    std::string sent_each_frame;
    float dt;
    int frames_before_boot;  // Ann is still in after these
    float seconds_at_most;  // and booted before these have passed
};

TEST_F(HostPlayTest, AJoinedPeerThatStopsReadingIsBootedAsASilentOneWhileOthersGoOn)
{
    const StalledPeerCase cases[] = {
        {"nothing taken for more than five seconds", bare_bytes(kPacketKeepAlive), 0.25f, 20, 6.0f},
        {"its queue would pass the bound", chat_bytes("flood"), 0.001f, int(kSendQueueLimit / 128), 3.0f},
    };
    for (const StalledPeerCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        settings_record.update_interval = 1;
        ASSERT_EQ(joined(4, "Ann"), 1);
        ASSERT_EQ(joined(5, "Bob"), 2);
        fake_game().peers[4].room = 0;
        std::string printed;
        int frames = 0;
        for (; frames < 10000 && printed.find("Booting") == std::string::npos; ++frames) {
            fake_game().peers[4].pending += c.sent_each_frame;
            fake_game().peers[5].pending += bare_bytes(kPacketKeepAlive);
            printed += step(c.dt);
            if (frames < c.frames_before_boot) {
                ASSERT_EQ(slot(1).state, kSlotInUse) << "frame " << frames;
            }
        }
        EXPECT_NE(printed.find("Booting inactive client Ann [1]!\n"), std::string::npos);
        EXPECT_LE(frames * c.dt, c.seconds_at_most);
        EXPECT_EQ(slot(1).state, kSlotLeft);
        EXPECT_TRUE(was_dropped(4));
        EXPECT_TRUE(slot(1).link.outgoing.empty()) << "what waited for Ann is gone with her";
        EXPECT_EQ(slot(2).state, kSlotInUse) << "Bob, who reads, stays";
        EXPECT_GT(fake_game().count_sent(5, kPacketRoster), 0) << "Bob hears that Ann left";
        EXPECT_TRUE(slot(2).link.outgoing.empty());
        TearDown();
    }
    SetUp();
}

TEST_F(HostPlayTest, KeepAlivesGoOutOnTheUpdatePeriod)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    game->update_timer = 0.2f;
    step(0.1f, 2);
    EXPECT_EQ(fake_game().count_sent(4, kPacketKeepAlive), 0);
    step(0.1f);
    EXPECT_EQ(fake_game().count_sent(4, kPacketKeepAlive), 1);
    EXPECT_FLOAT_EQ(game->update_timer, 4 * 0.0625f);
}

TEST_F(HostPlayTest, TheRosterGoesToAllOnTheRosterPeriod)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    ASSERT_EQ(joined(5, "Bob"), 2);
    game->roster_timer = 1.0f;
    step(0.5f, 2);
    EXPECT_EQ(fake_game().count_sent(4, kPacketRoster), 0);
    step(0.5f);
    EXPECT_EQ(fake_game().count_sent(4, kPacketRoster), 1);
    EXPECT_EQ(fake_game().count_sent(5, kPacketRoster), 1);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketRoster), 0);
    EXPECT_FLOAT_EQ(game->roster_timer, 23 * 0.25f);
}

TEST_F(HostPlayTest, ChatIsForwardedToEveryoneWithTheSendersName)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    ASSERT_EQ(joined(5, "Bob"), 2);
    fake_game().peers[4].pending = chat_bytes("hi all");
    const std::string line = "#C6668Ann#C4448: #C8888hi all";
    EXPECT_EQ(step(), "forwarding chat: " + line + "\n");
    for (uint16_t id : {4, 5}) {
        ASSERT_EQ(fake_game().count_sent(id, kPacketChat), 1);
        for (const FakeSend& send : fake_game().sends) {
            if (send.id == id && send.type() == kPacketChat) {
                EXPECT_STREQ(payload_of(send).c_str(), line.c_str());
            }
        }
    }
    EXPECT_EQ(game->chat.lines[0], line);
}

TEST_F(HostPlayTest, TheHostsOwnChatIsRelayed)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    cVantorChatPacket<kPacketMagic>* chat = send_chat_line("ready?");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(handle_packet(game.get(), uint16_t(game->own_slot), chat));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "forwarding chat: #C6668Host#C4448: #C8888ready?\n");
    chat->destroy();
    EXPECT_EQ(fake_game().count_sent(4, kPacketChat), 1);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketChat), 0);
}

TEST_F(HostPlayTest, AQuitFreesTheSlotQuietly)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    ASSERT_EQ(joined(5, "Bob"), 2);
    fake_game().peers[4].pending = bare_bytes(kPacketClientQuit);
    EXPECT_EQ(step(), "Client Ann [1] Quit!\n");
    EXPECT_EQ(slot(1).state, kSlotLeft);
    EXPECT_TRUE(was_dropped(4));
    EXPECT_EQ(fake_game().count_sent(4, kPacketBooted), 0);
    EXPECT_GE(fake_game().count_sent(5, kPacketRoster), 1);
}

TEST_F(HostPlayTest, AClientThatSendsABootIsBooted)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    fake_game().peers[4].pending = bare_bytes(kPacketBooted);
    EXPECT_EQ(step(), "ERROR: Client quit packed recieved in server mode\n");
    EXPECT_EQ(slot(1).state, kSlotLeft);
    EXPECT_EQ(fake_game().count_sent(4, kPacketBooted), 1);
    EXPECT_TRUE(was_dropped(4));
}

// Packets only the host sends, arriving from a client, change nothing here.
TEST_F(HostPlayTest, TheHostIgnoresHostPacketsFromClients)
{
    czrRosterEntry empty[kPlayerSlots];
    czrpRoster roster(empty);
    czrpRacetrackLoad load(TrackLoadRecord(), 0);
    czrpUpdateCars update(0, 0);
    uint8_t ranks[kPlayerSlots] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    update.append_ranks(ranks);
    czrpNextLap lap(2);
    const struct {
        const char* what;
        std::string bytes;
        const char* printed;
    } cases[] = {
        {"welcome", welcome_bytes(7, 3), "ERROR: Welcome packed recieved in server mode\n"},
        {"roster", wire_of(roster), ""},
        {"racetrack load", wire_of(load), ""},
        {"back to lobby", bare_bytes(kPacketBackToLobby), ""},
        {"update cars", wire_of(update), ""},
        {"next lap", wire_of(lap), "ERROR: Next Lap recieved in server mode\n"},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_EQ(joined(4, "Ann"), 1);
        fake_game().peers[4].pending = c.bytes;
        EXPECT_EQ(step(), c.printed) << c.what;
        EXPECT_EQ(game->own_slot, 0) << c.what;
        EXPECT_EQ(game->host_slot, kNoSlot) << c.what;
        EXPECT_EQ(game->program_state, kStateHostLobby) << c.what;
        EXPECT_EQ(game->join_phase, 0) << c.what;
        EXPECT_EQ(slot(0).state, kSlotInUse) << c.what;
        EXPECT_STREQ(slot(0).name, "Host") << c.what;
        EXPECT_EQ(slot(1).state, kSlotInUse) << c.what;
        EXPECT_EQ(slot(1).rank, 0) << c.what;
        EXPECT_FALSE(was_dropped(4)) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(HostPlayTest, AShortOrPoisonedMovementIsDropped)
{
    ctPhysicsObject body;
    body.velocity.x = std::nan("");
    czrpPostMovement poisoned(body);
    const struct {
        const char* what;
        std::string bytes;
        const char* printed;
    } cases[] = {
        {"short", forged(kPacketPostMovement, std::string(40, '\0'), true),
         "ERROR: Dropped packet of Type 20004: too short\n"},
        {"not finite", wire_of(poisoned), "ERROR: Dropped packet of Type 20004: value not finite\n"},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_EQ(joined(4, "Ann"), 1);
        fake_game().peers[4].pending = c.bytes;
        EXPECT_EQ(step(), c.printed) << c.what;
        EXPECT_EQ(slot(1).state, kSlotInUse) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(HostPlayTest, BootingASlotThatIsNotJoinedDoesNothing)
{
    occupy(3, kSlotLeft, "Gone");
    for (int s : {0, 3, 5, -1, 16, 200}) boot_client(game.get(), s, false);
    EXPECT_TRUE(fake_game().sends.empty());
    EXPECT_TRUE(fake_game().dropped.empty());
    EXPECT_EQ(slot(0).state, kSlotInUse);
}

TEST_F(HostPlayTest, StoppingTellsEveryJoinedClientBeforeClearingTheSlots)
{
    ASSERT_EQ(joined(4, "Ann"), 1);
    ASSERT_EQ(joined(5, "Bob"), 2);
    game->on_host_stop();
    EXPECT_EQ(fake_game().count_sent(4, kPacketBooted), 1);
    EXPECT_EQ(fake_game().count_sent(5, kPacketBooted), 1);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketBooted), 0);
    for (int s = 0; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).state, kSlotFree);
    EXPECT_EQ(game->music_position, -1);
}

TEST_F(HostPlayTest, ARejoinStartsFromACleanConnection)
{
    occupy(2, kSlotLeft, "Ann");
    slot(2).link.stream.assign(30, 'x');  // half a packet from the earlier peer
    slot(2).link.received.insert(new czrpBare(kPacketClientQuit));
    slot(2).link.silence = 4.5f;
    slot(2).link.timed_out = true;
    connect(6, join_bytes("Ann"));
    EXPECT_EQ(step(), "join request from 127.0.0.1 ... Ann rejoined in slot 2\n");
    EXPECT_TRUE(slot(2).link.stream.empty());
    EXPECT_EQ(slot(2).link.received.count(), 0u);
    EXPECT_EQ(slot(2).link.silence, 0.0f);
    EXPECT_FALSE(slot(2).link.timed_out);
    EXPECT_EQ(step(), "");
    EXPECT_EQ(slot(2).state, kSlotInUse);
}

}  // namespace
