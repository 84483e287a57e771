// The host's race start: new track words from one generator draw, carts in
// rows of five for the joined records, the racetrack-load packet and the
// host's own cart under the user controller; and on either side every joined
// player back on the first lap.
#include "base/random.h"
#include "game/race_view.h"
#include "game/track.h"
#include "tests/game_play/game_fixture.h"

namespace {

class RaceStartTest : public HostFixture {
protected:
    void seat(int index, uint16_t state, uint8_t species = 0)
    {
        slot(index).state = state;
        slot(index).species = species;
    }
};

// A client in slot 1 that takes the host's racetrack load of one cart per slot.
void load_as_client(cGame* game)
{
    game->own_slot = 1;
    game->program_state = kStateClientLobby;
    TrackLoadRecord words;
    words.node_count = 20;
    std::vector<std::unique_ptr<czrCar>> carts;
    for (int s = 0; s < 2; ++s) {
        carts.push_back(std::make_unique<czrCar>(cVector3D(), cQuaternion(0, 0, 0, 1), int8_t(s), 0));
        carts.back()->sync_id = uint32_t(50 + s);
    }
    ASSERT_TRUE(load_racetrack(game, words, carts));
}

}  // namespace

TEST_F(RaceStartTest, SevenPlayersStandInRowsOfFiveAndTheSeedIsTheFirstDraw)
{
    for (int s = 1; s < 7; ++s) seat(s, kSlotInUse, uint8_t(s % 2));
    seat(9, 3);  // still being welcomed: no cart
    __mRandom_srand(77);
    const int16_t seed = int16_t(uint16_t(__mRandom_rand()));
    __mRandom_srand(77);
    spawn_carts(game.get());

    const int16_t words[6] = {20, 6, 3, 1, 1, seed};
    const TrackLoadRecord& params = game->track_params;
    EXPECT_EQ(params.node_count, words[0]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(params.carried[i], uint16_t(words[1 + i]));
    EXPECT_EQ(params.seed, words[5]);
    ASSERT_NE(game->track, nullptr);

    const double expected[7][2] = {{96, 0}, {98, 0}, {100, 0}, {102, 0}, {104, 0}, {96, 2}, {98, 2}};
    ASSERT_EQ(cartRegistry.objects.count(), 7u);
    for (int s = 0; s < 7; ++s) {
        czrCar* car = cartRegistry.find(slot(s).car_sync_id);
        ASSERT_NE(car, nullptr) << s;
        EXPECT_EQ(car->owner_slot, s);
        EXPECT_EQ(car->species, s == 0 ? 0 : s % 2);
        EXPECT_DOUBLE_EQ(car->position.x, expected[s][0]) << s;
        EXPECT_DOUBLE_EQ(car->position.y, 0.5) << s;
        EXPECT_DOUBLE_EQ(car->position.z, expected[s][1]) << s;
        EXPECT_FLOAT_EQ(car->radius, 0.65f);
        EXPECT_FLOAT_EQ(car->mass, 6.0f);
        EXPECT_DOUBLE_EQ(car->rotation.w, 1);
    }
    EXPECT_EQ(slot(9).car_sync_id, 0u);
}

TEST_F(RaceStartTest, SyncIdsKeepCountingAcrossRacesAndNeverIssueZero)
{
    seat(1, kSlotInUse);
    spawn_carts(game.get());
    EXPECT_EQ(slot(0).car_sync_id, 1u);
    EXPECT_EQ(slot(1).car_sync_id, 2u);
    spawn_carts(game.get());
    EXPECT_EQ(slot(0).car_sync_id, 3u);
    EXPECT_EQ(slot(1).car_sync_id, 4u);
    EXPECT_EQ(cartRegistry.objects.count(), 2u) << "the last race's carts are gone";

    game->next_car_sync_id = 0xFFFFFFFFu;
    spawn_carts(game.get());
    EXPECT_EQ(slot(0).car_sync_id, 0xFFFFFFFFu);
    EXPECT_EQ(slot(1).car_sync_id, 1u);
}

TEST_F(RaceStartTest, StartSendsTheTrackAndCartsToEveryoneAndDrivesTheHostsCart)
{
    seat(1, kSlotInUse, 1);
    slot(1).link.connection_id = 5;
    slot(1).link.send_id = 5;
    fake_game().peers[5].active = true;
    start_race(game.get());
    EXPECT_EQ(game->program_state, kStateHostRace);
    ASSERT_EQ(fake_game().count_sent(5, kPacketRacetrackLoad), 1);
    std::string bytes;
    for (const FakeSend& send : fake_game().sends)
        if (send.id == 5 && send.type() == kPacketRacetrackLoad) bytes = send.bytes;
    ASSERT_EQ(bytes.size(), 16u + 12 + 4 + 2 * 91);
    EXPECT_EQ(uint8_t(bytes[16 + 12]), 2) << "the cart count";
    EXPECT_EQ(uint8_t(bytes[16 + 16]), 0) << "the host's cart first: its species";
    EXPECT_EQ(uint8_t(bytes[16 + 17]), 0) << "and its owner";
    EXPECT_EQ(uint8_t(bytes[16 + 16 + 91]), 1) << "the second cart's species";
    EXPECT_EQ(uint8_t(bytes[16 + 17 + 91]), 1) << "and its owner";
    EXPECT_NE(cartRegistry.find(slot(0).car_sync_id)->controller, nullptr);
    EXPECT_EQ(cartRegistry.find(slot(1).car_sync_id)->controller, nullptr);
}

TEST_F(RaceStartTest, StoppingOrLeavingDeletesTheCarts)
{
    spawn_carts(game.get());
    ASSERT_EQ(cartRegistry.objects.count(), 1u);
    game->on_host_stop();
    EXPECT_EQ(cartRegistry.objects.count(), 0u);
    spawn_carts(game.get());
    game->on_client_leave();
    EXPECT_EQ(cartRegistry.objects.count(), 0u);
}

// The last race ended with the players wherever they stood: a lap done, in
// the last third, ranked. The next one starts every joined player on the
// first lap, so the lap rule cannot count a lap as the carts leave the grid.
TEST_F(RaceStartTest, EveryRaceStartsEveryJoinedPlayerOnTheFirstLapUnranked)
{
    const struct {
        const char* what;
        void (*begin)(cGame*);
    } cases[] = {
        {"the host spawns the carts", spawn_carts},
        {"the host starts the race", start_race},
        {"a client loads the racetrack", load_as_client},
    };
    for (const auto& c : cases) {
        SetUp();
        seat(1, kSlotInUse);
        seat(2, kSlotListed);
        for (int s = 0; s < 3; ++s) {
            slot(s).laps = 1;
            slot(s).section = 2;
            slot(s).progress = 0.9;
            slot(s).rank = uint8_t(2 - s);
        }
        c.begin(game.get());
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(slot(s).laps, 0) << c.what << ", slot " << s;
            EXPECT_EQ(slot(s).section, 0) << c.what << ", slot " << s;
            EXPECT_EQ(slot(s).progress, 0) << c.what << ", slot " << s;
            EXPECT_EQ(slot(s).rank, 0) << c.what << ", slot " << s;
        }
        EXPECT_EQ(own_box_text(*game->player(game->own_slot)), "Rank: 1\nLap:  1") << c.what;
        TearDown();
    }
    SetUp();
}
