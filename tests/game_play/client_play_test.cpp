// The client's network step against the fake network: the welcome, reposts
// and time-outs, and what the host's packets may change here.
#include <cmath>
#include <memory>

#include "tests/game_play/game_fixture.h"
#include "game/track.h"
#include "tests/support/scratch.h"

namespace {

class ClientPlayTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        copy_player_name(settings_record.player_name, "Ann");
        settings_record.species = 1;
        fake_game().client = true;
        game->program_state = kStateClientLobby;
        game->on_client_joined();
        game->send_join_request();
    }

    // Frames of the client's step; what they printed, and whether one asked to leave.
    std::string step(float dt = 0.01f, int frames = 1, bool* leave = nullptr)
    {
        testing::internal::CaptureStdout();
        bool asked = false;
        for (int i = 0; i < frames; ++i) asked = client_network_update(game.get(), &dt) || asked;
        if (leave) *leave = asked;
        return testing::internal::GetCapturedStdout();
    }

    void welcomed(uint16_t own)
    {
        fake_game().from_server = welcome_bytes(own, 0);
        step();
        fake_game().sends.clear();
    }

    int requests_sent() const { return fake_game().count_sent(kAllConnections, kPacketRequestJoin); }
};

TEST_F(ClientPlayTest, TheJoinRequestCarriesNameAndSpecies)
{
    ASSERT_EQ(fake_game().sends.size(), 1u);
    const FakeSend& request = fake_game().sends[0];
    EXPECT_EQ(request.type(), kPacketRequestJoin);
    ASSERT_EQ(request.bytes.size(), 52u);
    EXPECT_EQ(payload_of(request).substr(0, 33), std::string("Ann") + std::string(29, '\0') + "\x01");
}

TEST_F(ClientPlayTest, TheWelcomeGivesOurSlot)
{
    const struct {
        uint16_t slot;
        uint16_t host;
        const char* printed;
        int16_t own_slot;
        int16_t host_slot;
    } cases[] = {
        {1, 0, "Server welcome packet - id 1\n", 1, 0},
        {15, 0, "Server welcome packet - id 15\n", 15, 0},
        {0xFFFF, 0, "Server welcome packet - id -1\nERROR: Could not find our user name in the list\n", -1, 0},
        {16, 99, "Server welcome packet - id -1\nERROR: Could not find our user name in the list\n", -1, -1},
    };
    for (const auto& c : cases) {
        SetUp();
        fake_game().from_server = welcome_bytes(c.slot, c.host);
        EXPECT_EQ(step(), c.printed) << c.slot;
        EXPECT_EQ(game->own_slot, c.own_slot) << c.slot;
        EXPECT_EQ(game->host_slot, c.host_slot) << c.slot;
        EXPECT_EQ(game->join_phase, 1) << c.slot;
        TearDown();
    }
    SetUp();
}

TEST_F(ClientPlayTest, AShortWelcomeIsDropped)
{
    fake_game().from_server = forged(kPacketWelcome, std::string("\0\0\1\0", 4), true);
    EXPECT_EQ(step(), "ERROR: Dropped packet of Type 30001: too short\n");
    EXPECT_EQ(game->join_phase, 0);
    EXPECT_EQ(game->own_slot, kNoSlot);
}

// Without an answer the request goes out again every 5 s, six times; the
// seventh silence ends the attempt.
TEST_F(ClientPlayTest, ASilentHostGetsSixRepostsThenTheClientGivesUp)
{
    std::vector<int> repost_frames;
    bool leave = false;
    int frame = 0;
    for (; frame < 200 && !leave; ++frame) {
        const std::string printed = step(0.5f, 1, &leave);
        if (leave) {
            EXPECT_EQ(printed, "Server stopped responding!\n");
        } else if (printed == "Reposting join request to server\n") {
            repost_frames.push_back(frame);
        } else {
            EXPECT_EQ(printed, "") << frame;
        }
    }
    ASSERT_TRUE(leave);
    ASSERT_EQ(repost_frames.size(), 6u);
    EXPECT_EQ(repost_frames[0], 10);  // silence above 5 s after eleven half-second frames
    for (size_t i = 1; i < repost_frames.size(); ++i) EXPECT_EQ(repost_frames[i] - repost_frames[i - 1], 11);
    EXPECT_EQ(frame - 1 - repost_frames.back(), 11);
    EXPECT_EQ(requests_sent(), 7);
}

TEST_F(ClientPlayTest, BytesFromTheHostResetTheReposts)
{
    step(0.5f, 11);
    step(0.5f, 11);
    ASSERT_EQ(game->repost_count, 2);
    fake_game().from_server = bare_bytes(kPacketKeepAlive);
    step();
    EXPECT_EQ(game->repost_count, 0);
}

TEST_F(ClientPlayTest, AWelcomedClientLeavesAfterFiveSilentSeconds)
{
    welcomed(1);
    bool leave = false;
    step(1.0f, 5, &leave);
    EXPECT_FALSE(leave);
    step(1.0f, 1, &leave);
    EXPECT_TRUE(leave);
}

// The host keeps talking, so the client never times out, but takes nothing
// the client sends: the keep-alive waits, and after five seconds of waiting
// the client gives up on the host.
TEST_F(ClientPlayTest, AClientWhoseHostTakesNothingLeavesAfterFiveSeconds)
{
    welcomed(1);
    fake_game().server_room = 0;
    game->client_keepalive_timer = 0;
    bool leave = false;
    for (int frame = 0; frame <= 10; ++frame) {
        fake_game().from_server += bare_bytes(kPacketKeepAlive);
        ASSERT_EQ(step(0.5f, 1, &leave), "") << "frame " << frame;
        ASSERT_FALSE(leave) << "frame " << frame;
    }
    EXPECT_FALSE(game->player(0)->link.outgoing.empty()) << "the keep-alives wait";
    fake_game().from_server += bare_bytes(kPacketKeepAlive);
    EXPECT_EQ(step(0.5f, 1, &leave), "WARNING: Server stopped taking data: leaving\n");
    EXPECT_TRUE(leave);
    EXPECT_TRUE(fake_game().sends.empty());
}

TEST_F(ClientPlayTest, AWelcomedClientSendsAKeepAliveEveryOneAndAHalfSeconds)
{
    welcomed(1);
    game->client_keepalive_timer = 1.5f;
    step(0.5f, 3);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketKeepAlive), 0);
    step(0.5f);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketKeepAlive), 1);
    step(0.5f, 3);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketKeepAlive), 1);
    step(0.5f);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketKeepAlive), 2);
}

TEST_F(ClientPlayTest, ABootFromTheHostEndsTheJoin)
{
    welcomed(1);
    fake_game().from_server = bare_bytes(kPacketBooted);
    bool leave = false;
    EXPECT_EQ(step(0.01f, 1, &leave), "Booted by Server!\n");
    EXPECT_TRUE(leave);
}

TEST_F(ClientPlayTest, ChatFromTheHostIsShown)
{
    welcomed(1);
    fake_game().from_server = chat_bytes("#C6668Bob#C4448: #C8888hi");
    step();
    EXPECT_EQ(game->chat.lines[0], "#C6668Bob#C4448: #C8888hi");
}

TEST_F(ClientPlayTest, ClientPacketsFromTheHostOnlyPrintTheWrongSideLine)
{
    welcomed(1);
    ctPhysicsObject body;
    czrpPostMovement movement(body);
    const struct {
        std::string bytes;
        const char* printed;
    } cases[] = {
        {bare_bytes(kPacketClientQuit), "ERROR: Client quit packed recieved in client mode\n"},
        {bare_bytes(kPacketRequestReset), "ERROR: Request Reset packed recieved in client mode\n"},
        {wire_of(movement), "ERROR: Post Movement packed recieved in client mode\n"},
        {join_bytes("Eve"), ""},
    };
    for (const auto& c : cases) {
        fake_game().from_server = c.bytes;
        EXPECT_EQ(step(), c.printed);
        EXPECT_EQ(game->own_slot, 1);
        for (int s = 0; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).state, kSlotFree);
    }
}

// Roster entries as a host could forge them: a name without terminator, a species out of range.
TEST_F(ClientPlayTest, TheRosterIsCopiedWithNamesTerminatedAndSpeciesChecked)
{
    welcomed(1);
    std::string payload(kPlayerSlots * 64, '\0');
    payload[0] = 2;  // slot 0 in use
    payload.replace(2, 32, std::string(32, 'z'));
    payload[40] = 1;
    payload[64] = 2;  // slot 1 in use
    payload.replace(66, 3, "Ann");
    payload[64 + 40] = 7;
    payload[64 + 58] = 3;
    fake_game().from_server = forged(kPacketRoster, payload, false);
    step();
    EXPECT_EQ(slot(0).state, kSlotInUse);
    EXPECT_EQ(std::string(slot(0).name), std::string(31, 'z'));
    EXPECT_EQ(slot(0).species, 1);
    EXPECT_EQ(slot(1).state, kSlotInUse);
    EXPECT_STREQ(slot(1).name, "Ann");
    EXPECT_EQ(slot(1).species, 0);
    EXPECT_EQ(slot(1).rank, 3);
    EXPECT_EQ(slot(2).state, kSlotFree);
}

std::string racetrack_bytes(const std::vector<std::shared_ptr<czrCar>>& carts, int16_t node_count = 20)
{
    TrackLoadRecord track;
    track.node_count = node_count;
    track.seed = 1234;
    czrpRacetrackLoad load(track, uint32_t(carts.size()));
    for (const auto& cart : carts) load.append_cart(*cart);
    return wire_of(load);
}

std::shared_ptr<czrCar> cart(uint8_t owner, uint32_t sync_id)
{
    auto car = std::make_shared<czrCar>(cVector3D(), cQuaternion(), int8_t(owner), 0);
    car->sync_id = sync_id;
    return car;
}

TEST_F(ClientPlayTest, ARacetrackLoadBuildsTheCartsAndTheTrackAndEntersTheRace)
{
    welcomed(1);
    fake_game().from_server = racetrack_bytes({cart(0, 11), cart(1, 12)});
    ASSERT_EQ(fake_game().from_server.size(), 214u);
    const std::string printed = step();
    EXPECT_EQ(game->program_state, kStateClientRace);
    EXPECT_EQ(game->track_params.node_count, 20);
    EXPECT_EQ(game->track_params.seed, 1234);
    ASSERT_NE(game->track, nullptr);
    EXPECT_EQ(game->track->params().seed, 1234);
    EXPECT_NE(printed.find("Spawning ship: 11\nSpawning ship: 12\n"), std::string::npos) << printed;
    EXPECT_EQ(slot(1).car_sync_id, 12u);
    EXPECT_EQ(slot(0).car_sync_id, 0u);
    ASSERT_NE(cartRegistry.find(12), nullptr);
    ASSERT_NE(cartRegistry.find(11), nullptr);
    EXPECT_NE(cartRegistry.find(12)->controller, nullptr) << "our own cart is driven from our controls";
    EXPECT_EQ(cartRegistry.find(11)->controller, nullptr);
    EXPECT_EQ(game->chat.lines[0], "#C6668(Toggle Music with M)");
    EXPECT_EQ(game->music_position, 0);
}

TEST_F(ClientPlayTest, ACartAlreadyRegisteredIsNotSpawnedAgain)
{
    welcomed(1);
    fake_game().from_server = racetrack_bytes({cart(0, 11)});
    step();
    czrCar* first = cartRegistry.find(11);
    fake_game().from_server = racetrack_bytes({cart(0, 11), cart(1, 12)});
    const std::string printed = step();
    EXPECT_EQ(cartRegistry.find(11), first);
    EXPECT_EQ(count_of(printed, "Spawning ship"), 1) << printed;
}

TEST_F(ClientPlayTest, ATrackThatCannotBeBuiltKeepsTheClientInTheLobby)
{
    for (int16_t nodes : {int16_t(0), int16_t(2), int16_t(1025), int16_t(-1)}) {
        game->program_state = kStateClientLobby;
        welcomed(1);
        fake_game().from_server = racetrack_bytes({cart(1, 12)}, nodes);
        const std::string printed = step();
        EXPECT_EQ(game->program_state, kStateClientLobby) << nodes;
        EXPECT_EQ(game->track, nullptr) << nodes;
        EXPECT_EQ(count_of(printed, "ERROR: Track node count out of range"), 1) << printed;
    }
}

TEST_F(ClientPlayTest, AnOwnerOutsideTheSlotsOwnsNoCartOfOurs)
{
    welcomed(kNoOwner);
    ASSERT_EQ(game->own_slot, kNoSlot);
    fake_game().from_server = racetrack_bytes({cart(kNoOwner, 11), cart(200, 12)});
    step();
    for (int s = 0; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).car_sync_id, 0u);
}

TEST_F(ClientPlayTest, ShortOrPoisonedRacePacketsAreDropped)
{
    std::string four_carts_in_two = racetrack_bytes({cart(0, 1), cart(1, 2)});
    four_carts_in_two[16 + 12] = 4;
    std::string seventeen(12, '\0');
    seventeen += std::string("\x11\0\0\0", 4) + std::string(17 * 91, '\0');
    std::shared_ptr<czrCar> poisoned = cart(1, 2);
    poisoned->position.y = INFINITY;
    czrpImpulse impulse(cVector3D(0, NAN, 0));
    czrTeleport place;
    place.rotation.w = INFINITY;
    czrpCarTeleport teleport(place);
    const struct {
        const char* what;
        std::string bytes;
        const char* printed;
    } cases[] = {
        {"racetrack count above the carts", four_carts_in_two,
         "ERROR: Dropped packet of Type 30002: cart count does not fit\n"},
        {"racetrack count above 16", forged(kPacketRacetrackLoad, seventeen, true),
         "ERROR: Dropped packet of Type 30002: cart count does not fit\n"},
        {"racetrack without its words", forged(kPacketRacetrackLoad, std::string(8, '\0'), true),
         "ERROR: Dropped packet of Type 30002: too short\n"},
        {"update cars short of its ranks", forged(kPacketUpdateCars, std::string(4 + 10, '\0'), true),
         "ERROR: Dropped packet of Type 30012: too short\n"},
        {"racetrack with a cart out of this world", racetrack_bytes({cart(0, 1), poisoned}),
         "ERROR: Dropped packet of Type 30002: value not finite\n"},
        {"update cars announcing a cart",
         forged(kPacketUpdateCars, std::string("\1\0\0\0", 4) + std::string(16, 5), true),
         "ERROR: Dropped packet of Type 30012: too short\n"},
        {"impulse", wire_of(impulse), "ERROR: Dropped packet of Type 30013: value not finite\n"},
        {"teleport", wire_of(teleport), "ERROR: Dropped packet of Type 30011: value not finite\n"},
        {"short projectile spawn", forged(kPacketProjectileSpawn, std::string(100, '\0'), true),
         "ERROR: Dropped packet of Type 30007: too short\n"},
    };
    for (const auto& c : cases) {
        SetUp();
        welcomed(1);
        fake_game().from_server = c.bytes;
        EXPECT_EQ(step(), c.printed) << c.what;
        EXPECT_EQ(game->program_state, kStateClientLobby) << c.what;
        for (int s = 0; s < kPlayerSlots; ++s) EXPECT_EQ(slot(s).rank, 0) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(ClientPlayTest, CarUpdatesSetTheRanks)
{
    welcomed(1);
    czrpUpdateCars update(0, 0);
    uint8_t ranks[kPlayerSlots] = {1, 0, 2};
    update.append_ranks(ranks);
    fake_game().from_server = wire_of(update);
    ASSERT_EQ(fake_game().from_server.size(), 36u);
    step();
    EXPECT_EQ(slot(0).rank, 1);
    EXPECT_EQ(slot(1).rank, 0);
    EXPECT_EQ(slot(2).rank, 2);
}

TEST_F(ClientPlayTest, NextLapAndBackToLobby)
{
    welcomed(1);
    game->program_state = kStateClientRace;
    czrpNextLap lap(2);
    fake_game().from_server = wire_of(lap);
    step();
    EXPECT_EQ(game->chat.lines[0], "#C0888LAP 3");
    fake_game().from_server = bare_bytes(kPacketBackToLobby);
    step();
    EXPECT_EQ(game->program_state, kStateClientLobby);
    EXPECT_EQ(game->music_position, -1);
}

TEST_F(ClientPlayTest, AJoinStartForgetsTheEarlierServer)
{
    cVantorNetConnection& link = slot(0).link;
    link.stream.assign(20, 'x');
    link.received.insert(new czrpBare(kPacketBooted));
    link.silence = 3;
    link.timed_out = true;
    game->repost_count = 4;
    game->client_keepalive_timer = 0.7f;
    game->on_client_joined();
    EXPECT_TRUE(link.stream.empty());
    EXPECT_EQ(link.received.count(), 0u);
    EXPECT_EQ(link.silence, 0.0f);
    EXPECT_FALSE(link.timed_out);
    EXPECT_EQ(game->repost_count, 0);
    EXPECT_EQ(game->client_keepalive_timer, 0.0f);
    bool leave = true;
    EXPECT_EQ(step(0.01f, 1, &leave), "");
    EXPECT_FALSE(leave);
}

TEST_F(ClientPlayTest, LeavingTellsTheHost)
{
    welcomed(1);
    game->leave_as_client();
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketClientQuit), 1);
    EXPECT_EQ(game->join_phase, 0);
    EXPECT_EQ(game->program_state, kStateMenu);
}

}  // namespace
