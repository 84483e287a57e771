// The race update: its fixed steps, the host's sections, laps and ranks,
// respawns, contacts resolved by impulses, and the packets each side applies.
#include <string>
#include <vector>

#include "game/control_bindings.h"
#include "game/packet_records.h"
#include "game/race_view.h"
#include "tests/race/race_fixture.h"

namespace {

class RaceUpdateTest : public RaceFixture {
protected:
    // Puts the cart at a point, on the track as far as the standings see.
    void put(int index, const cVector3D& at) { cart_of(index)->position = cart_of(index)->last_on_track = at; }
    void place(int index, double angle) { put(index, ring_point(angle)); }
    // Puts the cart there and takes the standings again.
    void drive_to(int index, const cVector3D& at)
    {
        put(index, at);
        update_standings(game.get());
    }
};

const double kPi = 3.14159265358979;

}  // namespace

TEST(RaceSteps, AFrameOf35MillisecondsRunsFourStepsAndLeavesMinusFiveMilliseconds)
{
    float accumulator = 0;
    EXPECT_EQ(take_fixed_steps(&accumulator, 0.035f), 4);
    EXPECT_FLOAT_EQ(accumulator, -0.00499999523f);
    EXPECT_GT(accumulator, -kStepSeconds);

    struct Case {
        const char* what;
        float start;
        float dt;
        int steps;
    };
    const Case cases[] = {
        {"no time", 0, 0, 0},
        {"one step exactly", 0, 0.01f, 1},
        {"the leftover of the last frame counts", -0.00499999523f, 0.004f, 0},
        {"a stall of five seconds runs one second of steps", 0, 5.0f, kMaxStepsPerFrame},
        {"a negative frame time owes nothing", 0, -3.0f, 0},
        {"a frame time that is not a number runs no step", 0, std::nanf(""), 0},
    };
    for (const Case& c : cases) {
        accumulator = c.start;
        EXPECT_EQ(take_fixed_steps(&accumulator, c.dt), c.steps) << c.what;
        EXPECT_LE(accumulator, 0) << c.what;
        EXPECT_GT(accumulator, -kStepSeconds) << c.what;
    }
}

TEST_F(RaceUpdateTest, SectionsOnlyMoveForwardAndALapCountsFromTwoToZero)
{
    seat(1, 4);
    start();
    struct Case {
        const char* what;
        uint8_t section;
        double angle;
        uint8_t expected_section;
        uint8_t expected_laps;
    };
    const Case cases[] = {
        {"0 to 1", 0, 2.5, 1, 0},
        {"1 to 2", 1, 4.5, 2, 0},
        {"2 to 0 is a lap", 2, 0.2, 0, 1},
        {"backwards from 0 to 2 changes nothing", 0, 5.5, 0, 0},
        {"backwards from 1 to 0 changes nothing", 1, 0.2, 1, 0},
        {"jumping from 0 to 2 stays at 0", 0, 4.5, 0, 0},
        {"staying in 1", 1, 3.0, 1, 0},
    };
    for (const Case& c : cases) {
        slot(0).section = c.section;
        slot(0).laps = 0;
        place(0, c.angle);
        place(1, 1.0);
        update_standings(game.get());
        EXPECT_EQ(slot(0).section, c.expected_section) << c.what;
        EXPECT_EQ(slot(0).laps, c.expected_laps) << c.what;
        EXPECT_LE(slot(0).progress, (slot(0).section + 1) / 3.0) << c.what;
    }
    EXPECT_EQ(game->chat.lines[0], "#C0888LAP 2") << "the host's own lap is shown to it";
    EXPECT_EQ(fake_game().count_sent(4, kPacketNextLap), 0);

    slot(1).section = 2;
    slot(1).laps = 4;
    place(1, 0.1);
    update_standings(game.get());
    EXPECT_EQ(slot(1).laps, 5);
    ASSERT_EQ(fake_game().count_sent(4, kPacketNextLap), 1);
    EXPECT_EQ(fake_game().sends.back().bytes[16], 5) << "the client is told its new lap count";
}

// Both players ended the last race in its last third; as the next one
// starts in the first third, neither is told of a lap.
TEST_F(RaceUpdateTest, TheNextRaceCountsNoLapForWhereTheLastOneEnded)
{
    seat(1, 4);
    start();
    for (int s = 0; s < 2; ++s) {
        drive_to(s, ring_point(2.5));
        drive_to(s, ring_point(4.5));
        ASSERT_EQ(slot(s).section, 2) << s;
    }
    start();
    place(0, 0.2);
    drive_to(1, ring_point(0.3));
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(slot(s).laps, 0) << s;
        EXPECT_EQ(slot(s).section, 0) << s;
    }
    EXPECT_EQ(game->chat.lines[0], "") << "no lap shown to the host";
    EXPECT_EQ(fake_game().count_sent(4, kPacketNextLap), 0);
}

TEST_F(RaceUpdateTest, RanksGoByLapsThenSectionThenProgressAndTiesKeepSlotOrder)
{
    for (int s = 1; s < 5; ++s) seat(s, uint16_t(s + 2));
    start();
    const double angle = 1.0;  // section 0
    for (int s = 0; s < 5; ++s) place(s, angle);
    slot(2).laps = 1;
    slot(3).section = 1;
    place(3, 2.5);
    // slot 4 fell off: it keeps its rank and is not ranked
    slot(4).rank = 9;
    cart_of(4)->position = cart_of(4)->position + cVector3D(0, 3, 0);
    update_standings(game.get());
    EXPECT_EQ(slot(2).rank, 0) << "more laps first, whatever its section";
    EXPECT_EQ(slot(3).rank, 1) << "then the higher section";
    EXPECT_EQ(slot(0).rank, 2) << "equal records keep their slot order";
    EXPECT_EQ(slot(1).rank, 3);
    EXPECT_EQ(slot(4).rank, 9);

    place(1, angle + 0.3);  // farther along section 0: more progress
    update_standings(game.get());
    EXPECT_EQ(slot(1).rank, 2);
    EXPECT_EQ(slot(0).rank, 3);
    EXPECT_TRUE(rank_before(game.get(), 1, 0));
    EXPECT_FALSE(rank_before(game.get(), 0, 0));
    EXPECT_TRUE(rank_less(game.get(), 2, 3));
}

// The race runs towards falling spline parameter: fraction 0.97 lies some
// 20 m past the line, 0.004 a little behind it.
TEST_F(RaceUpdateTest, ACartAheadOfTheGridRanksFirstFromTheStart)
{
    seat(1, 4);
    start();
    const cVector3D spawn = cart_of(0)->position;
    struct Case {
        const char* what;
        cVector3D grid;
    };
    const Case cases[] = {
        {"on its place on the grid", spawn},
        {"a little behind the line", top_at(0.004)},
    };
    for (const Case& c : cases) {
        slot(0).section = slot(1).section = 0;
        put(0, c.grid);
        drive_to(1, top_at(0.97));
        EXPECT_EQ(slot(1).rank, 0) << c.what;
        EXPECT_EQ(slot(0).rank, 1) << c.what;
        EXPECT_EQ(slot(0).section, 0) << c.what;
        EXPECT_EQ(slot(0).laps, 0) << c.what;
    }

    // Over the line from the grid is no lap; the order follows the track.
    drive_to(0, top_at(0.99));
    EXPECT_EQ(slot(0).laps, 0) << "the start is not a lap";
    EXPECT_EQ(slot(1).rank, 0) << "still 20 m ahead";
    drive_to(0, top_at(0.9));
    EXPECT_EQ(slot(0).rank, 0) << "past the other cart";
    EXPECT_EQ(slot(0).laps, 0);

    // Laps still count only from section 2 to 0.
    slot(1).section = 2;
    drive_to(1, top_at(0.004));
    EXPECT_EQ(slot(1).laps, 0) << "behind the line at the end of the lap";
    EXPECT_EQ(slot(1).rank, 0) << "a whole lap on, nearly done";
    drive_to(1, top_at(0.99));
    EXPECT_EQ(slot(1).laps, 1);
    EXPECT_EQ(slot(1).section, 0);
    EXPECT_EQ(slot(1).rank, 0);
}

// The leader drives off the ribbon: it keeps first place, so the cart still
// on the grid is second, in the records and in the standings on screen.
TEST_F(RaceUpdateTest, ALeaderOffTheTrackKeepsFirstPlaceAndTheCartOnTheGridIsSecond)
{
    seat(1, 4);
    start();
    copy_player_name(slot(0).name, "Hosty");
    copy_player_name(slot(1).name, "Cliento");
    put(1, cart_of(1)->position);
    drive_to(0, top_at(0.97));
    ASSERT_EQ(slot(0).rank, 0);
    ASSERT_EQ(slot(1).rank, 1);

    cVector3D up;
    const cVector3D ahead = top_at(0.97, &up);
    cart_of(0)->position = ahead + up * 3;
    for (const double f : {0.99, 0.9}) {
        drive_to(1, top_at(f));
        EXPECT_EQ(slot(0).rank, 0) << "off the track at " << f;
        EXPECT_EQ(slot(1).rank, 1) << "on the track at " << f;
        std::vector<std::string> lines;
        for (int s : standings_order(game.get())) lines.push_back(standings_line(game.get(), s));
        EXPECT_EQ(lines, (std::vector<std::string>{"1: Hosty", "2: Cliento"})) << f;
    }

    drive_to(0, ahead);
    EXPECT_EQ(slot(1).rank, 0) << "back on the track, behind the cart that passed it";
    EXPECT_EQ(slot(0).rank, 1);
}

// Three carts on the track in slot order, the first ahead; some are lifted
// off it with the ranks they keep.
TEST_F(RaceUpdateTest, CartsOnTheTrackTakeThePlacesThatNoCartOffItKeeps)
{
    seat(1, 4);
    seat(2, 5);
    start();
    const double fractions[3] = {0.95, 0.97, 0.99};
    struct Case {
        const char* what;
        bool off[3];
        uint8_t kept[3];
        uint8_t laps[3];
        uint8_t expected[3];
    };
    const Case cases[] = {
        {"all on the track", {false, false, false}, {5, 5, 5}, {0, 0, 0}, {0, 1, 2}},
        {"the leader off", {true, false, false}, {0, 1, 2}, {0, 0, 0}, {0, 1, 2}},
        {"the second off", {false, true, false}, {0, 1, 2}, {0, 0, 0}, {0, 1, 2}},
        {"the last off, kept first", {false, false, true}, {1, 2, 0}, {0, 0, 0}, {1, 2, 0}},
        {"two off, not ranked yet: slot order", {true, true, false}, {0, 0, 0}, {0, 0, 0}, {0, 1, 2}},
        {"two off on one place: ranking order", {true, true, false}, {0, 0, 0}, {0, 1, 0}, {1, 0, 2}},
        {"two off on one place: the later takes the next", {true, false, true}, {1, 0, 1}, {0, 0, 0}, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        for (int s = 0; s < 3; ++s) {
            slot(s).rank = c.kept[s];
            slot(s).laps = c.laps[s];
            slot(s).section = 0;
            slot(s).progress = 0;
            cVector3D up;
            put(s, top_at(fractions[s], &up));
            if (c.off[s]) cart_of(s)->position = cart_of(s)->position + up * 3;
        }
        update_standings(game.get());
        for (int s = 0; s < 3; ++s) EXPECT_EQ(slot(s).rank, c.expected[s]) << c.what << ", slot " << s;
    }
}

TEST_F(RaceUpdateTest, ACartThatFellOffIsRespawnedOnTheTopFaceAndEveryoneIsTold)
{
    seat(1, 4);
    start();
    czrCar* car = cart_of(1);
    const double f = 0.3;
    const cVector3D top = top_at(f);
    car->position = top;
    ASSERT_TRUE(hold_to_track(*game->track, car));
    // off the edge and down into the planet
    car->position = cVector3D(0, -40, 0);
    car->velocity = cVector3D(0, -10, 0);
    car->motion_b = cVector3D(0, 1, 0);
    world_step(game.get(), kStepSeconds);
    EXPECT_NEAR(car->position.length(), 0, 0.1 + 1e-9) << "a cart inside the planet is parked at the centre";
    EXPECT_NEAR((car->last_on_track - top).length(), 0, 1e-3) << "the last on-track place is kept";
    world_step(game.get(), kStepSeconds);
    EXPECT_NEAR(car->position.length(), 0, 0.1 + 1e-9) << "and stays there, whatever its velocity";

    respawn_cart(game.get(), car->sync_id);
    EXPECT_NEAR((car->position - top).length(), 0, 0.05);
    EXPECT_EQ(car->velocity.length(), 0);
    EXPECT_EQ(car->motion_b.length(), 0);

    ASSERT_EQ(fake_game().count_sent(4, kPacketCarTeleport), 1);
    czrPacketFactory factory;
    const std::string& wire = fake_game().sends.back().bytes;
    czrpCarTeleport teleport(reinterpret_cast<const uint8_t*>(wire.data()) + 16);
    czrTeleport read;
    ASSERT_TRUE(teleport.read(&read));
    EXPECT_EQ(read.sync_id, car->sync_id);
    EXPECT_EQ(read.position.x, car->position.x);
    EXPECT_EQ(read.rotation.w, car->rotation.w);

    respawn_cart(game.get(), 999);  // unknown: nothing
    EXPECT_EQ(fake_game().count_sent(4, kPacketCarTeleport), 1);
    EXPECT_TRUE(hold_to_track(*game->track, car)) << "back on the track";
}

TEST_F(RaceUpdateTest, AClientsResetRequestRespawnsItsCart)
{
    seat(1, 4);
    start();
    czrCar* car = cart_of(1);
    car->last_on_track = top_at(0.6);
    car->position = cVector3D(0, 0, 0);
    fake_game().peers[4].active = true;
    fake_game().peers[4].pending = bare_bytes(kPacketRequestReset);
    float dt = 0.01f;
    server_network_update(game.get(), &dt);
    EXPECT_NEAR((car->position - top_at(0.6)).length(), 0, 0.05);
}

// Two carts meet head on, off the track in open space so nothing but the
// contact changes their velocities.
class HeadOnTest : public RaceUpdateTest {
protected:
    void meet()
    {
        seat(1, 4);
        start();
        a = cart_of(0);
        b = cart_of(1);
        a->position = cVector3D(0, 150, 0);
        b->position = cVector3D(1.0, 150, 0);
        a->velocity = cVector3D(5, 0, 0);
        b->velocity = cVector3D(-5, 0, 0);
    }
    czrCar* a = nullptr;
    czrCar* b = nullptr;
};

TEST_F(HeadOnTest, TheHostResolvesItByImpulsesAndTellsTheRemoteOwner)
{
    meet();
    cart_contact(game.get(), a, b);
    EXPECT_NEAR(a->velocity.x, -5, 1e-9) << "equal masses swap their velocities";
    EXPECT_NEAR(b->velocity.x, 5, 1e-9);
    EXPECT_NEAR(a->velocity.y, 0, 1e-9);
    ASSERT_EQ(fake_game().count_sent(4, kPacketImpulse), 1) << "only the client's cart gets a packet";
    EXPECT_EQ(fake_game().sends.size(), 1u);
    const std::string& wire = fake_game().sends.back().bytes;
    czrpImpulse packet(reinterpret_cast<const uint8_t*>(wire.data()) + 16);
    cVector3D impulse;
    ASSERT_TRUE(packet.read(&impulse));
    EXPECT_NEAR(impulse.x, 6 * 10.0, 1e-6) << "the client's cart gets mass x its change of velocity";

    // The client applies it once to its own cart and arrives where the host put it.
    czrCar remote(cVector3D(), cQuaternion(), 1, 0);
    remote.velocity = cVector3D(-5, 0, 0);
    apply_impulse(&remote, impulse);
    EXPECT_NEAR(remote.velocity.x, b->velocity.x, 1e-9);
}

TEST_F(HeadOnTest, TheWorldStepMakesContactsInTheHostRaceOnly)
{
    meet();
    game->program_state = kStateClientRace;
    world_step(game.get(), kStepSeconds);
    EXPECT_DOUBLE_EQ(a->velocity.x, 5) << "a client never resolves contacts";
    EXPECT_DOUBLE_EQ(b->velocity.x, -5);

    game->program_state = kStateHostRace;
    world_step(game.get(), kStepSeconds);
    EXPECT_LT(a->velocity.x, 0);
    EXPECT_GT(b->velocity.x, 0);
    EXPECT_GT(b->position.x - a->position.x, 1.0) << "they move apart";
}

TEST_F(RaceUpdateTest, TheHostStreamsCartUpdatesAndTheClientAppliesThem)
{
    seat(1, 4);
    start();
    fake_game().peers[4].active = true;
    cart_of(0)->position = cVector3D(1, 2, 3);
    slot(0).rank = 1;
    slot(1).rank = 0;
    game->update_timer = 0;
    float dt = 0.01f;
    server_network_update(game.get(), &dt);
    ASSERT_EQ(fake_game().count_sent(4, kPacketUpdateCars), 1);
    const std::string update = fake_game().sends.back().bytes;
    EXPECT_EQ(update.size(), 16u + 4 + 2 * 80 + 16);

    // The same bytes on a client whose own cart is slot 1's.
    const uint32_t host_cart = slot(0).car_sync_id;
    const uint32_t own_cart_id = slot(1).car_sync_id;
    cGame client;
    client.own_slot = 1;
    client.join_phase = 1;
    client.players[1].car_sync_id = own_cart_id;
    cartRegistry.find(own_cart_id)->position = cVector3D(7, 7, 7);
    cartRegistry.find(host_cart)->position = cVector3D(0, 0, 0);
    czrPacketFactory factory;
    PacketHeader header;
    ASSERT_TRUE(read_packet_header(reinterpret_cast<const uint8_t*>(update.data()), update.size(), &header));
    __cNetPacketBase* packet = factory.build_packet(header, reinterpret_cast<const uint8_t*>(update.data()) + 16,
                                                    uint32_t(update.size() - 16));
    ASSERT_NE(packet, nullptr);
    handle_packet(&client, kFromHost, packet);
    packet->destroy();
    EXPECT_EQ(cartRegistry.find(host_cart)->position.x, 1) << "other carts follow the host";
    EXPECT_EQ(client.players[0].rank, 1);
    EXPECT_EQ(client.players[1].rank, 0);
    czrCar* own = cartRegistry.find(own_cart_id);
    EXPECT_EQ(own->position.x, 7) << "our own cart keeps the body we drive";
    EXPECT_NE(own->snapshot->position.x, 7) << "only its snapshot follows the host";
}

TEST_F(RaceUpdateTest, AClientsMovementMovesItsCartOnTheHost)
{
    seat(1, 4);
    start();
    fake_game().peers[4].active = true;
    ctPhysicsObject body(*cart_of(1));
    body.position = cVector3D(11, 12, 13);
    body.velocity = cVector3D(1, 0, 0);
    czrpPostMovement movement(body);
    fake_game().peers[4].pending = wire_of(movement);
    float dt = 0.01f;
    server_network_update(game.get(), &dt);
    EXPECT_EQ(cart_of(1)->position.x, 11);
    EXPECT_EQ(cart_of(1)->velocity.x, 1);
    EXPECT_NE(cart_of(0)->position.x, 11);
}

// The client in slot 1 posts a body with a forged mass or radius, placed head
// on against slot 2's cart, both at top speed; slot 3's cart waits across
// the ring. Everything is off the track, so only the contact acts.
struct ForgedBody {
    const char* what;
    float mass;
    float radius;
};

TEST_F(RaceUpdateTest, AClientsMovementNeverSetsItsCartsMassOrRadius)
{
    // Two carts of mass 6 meeting head on at the top speed of 35 each turn
    // round: each velocity changes by 70, so the impulse is 6 x 70.
    const double top_speed = 35;
    const double largest_impulse = 6 * 2 * top_speed;
    const ForgedBody cases[] = {{"mass 0", 0, 0.65f}, {"mass -5.9", -5.9f, 0.65f}, {"radius 1e6", 6, 1e6f}};
    for (const ForgedBody& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (int index : {1, 2, 3}) {
            seat(index, uint16_t(3 + index));
            fake_game().peers[3 + index].active = true;
        }
        start();
        cart_of(2)->position = cVector3D(0, 150, 0);
        cart_of(2)->velocity = cVector3D(top_speed, 0, 0);
        cart_of(3)->position = cVector3D(0, -150, 0);
        ctPhysicsObject body(*cart_of(1));
        body.position = cVector3D(1.25, 150, 0);
        body.velocity = cVector3D(-top_speed, 0, 0);
        body.mass = c.mass;
        body.radius = c.radius;
        czrpPostMovement movement(body);
        fake_game().peers[4].pending = wire_of(movement);
        float dt = 0.01f;
        server_network_update(game.get(), &dt);
        EXPECT_EQ(cart_of(1)->position.x, body.position.x) << "the post was taken";
        EXPECT_EQ(cart_of(1)->velocity.x, -top_speed);
        for (int step = 0; step < 20; ++step) world_step(game.get(), kStepSeconds);

        EXPECT_EQ(cart_of(1)->mass, 6.0f);
        EXPECT_EQ(cart_of(1)->radius, 0.65f);
        EXPECT_EQ(fake_game().count_sent(5, kPacketImpulse), 1) << "the carts met once";
        EXPECT_EQ(fake_game().count_sent(6, kPacketImpulse), 0) << "nothing reaches across the ring";
        for (const FakeSend& send : fake_game().sends) {
            if (send.type() != kPacketImpulse) continue;
            czrpImpulse packet(reinterpret_cast<const uint8_t*>(send.bytes.data()) + 16);
            cVector3D impulse;
            ASSERT_TRUE(packet.read(&impulse)) << "to id " << send.id;
            EXPECT_LE(impulse.length(), largest_impulse * (1 + 1e-6)) << "to id " << send.id;
        }
        TearDown();
    }
    SetUp();
}

TEST_F(RaceUpdateTest, AClientPostsItsMovementEveryEighthOfASecondWhileInUse)
{
    seat(1, 4);
    start();
    game->program_state = kStateClientRace;
    fake_game().server = false;
    fake_game().client = true;
    player_record* record = &slot(1);
    game->own_slot = 1;
    for (int frame = 0; frame < 50; ++frame) control_own_cart(game.get(), 0.01f, record);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketPostMovement), 4);
    record->state = kSlotLeft;
    for (int frame = 0; frame < 50; ++frame) control_own_cart(game.get(), 0.01f, record);
    EXPECT_EQ(fake_game().count_sent(kAllConnections, kPacketPostMovement), 4);
}

TEST_F(RaceUpdateTest, TheRespawnKeyDoesNothingWhileTypingInTheChat)
{
    start();
    const int16_t r = find_key_name("R");
    game->controller.bind_button("RESPAWN", r);
    czrCar* car = cart_of(0);
    car->last_on_track = top_at(0.2);
    car->position = cVector3D(0, 0, 0);
    fake_game().pressed.insert(uint16_t(r));
    game->chat.typing = true;
    control_own_cart(game.get(), 0.01f, &slot(0));
    EXPECT_EQ(car->position.length(), 0);
    game->chat.typing = false;
    control_own_cart(game.get(), 0.01f, &slot(0));
    EXPECT_NEAR((car->position - top_at(0.2)).length(), 0, 0.05);
}
