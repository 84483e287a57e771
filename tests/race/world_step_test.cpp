// Carts on the track: held to the top face within its bounds, off it above
// 5, below 0.1 or beside the ribbon, and still while there is no track.
#include "tests/race/race_fixture.h"

namespace {

class WorldStepTest : public RaceFixture {};

}  // namespace

TEST_F(WorldStepTest, ACartIsOnTheTrackFromJustBelowTheFaceToJustUnderFiveAbove)
{
    start();
    czrCar* car = cart_of(0);
    struct Case {
        const char* what;
        double height;  // above the top face
        double lateral;  // as a share of the half width
        bool on_track;
    };
    const Case cases[] = {
        {"on the face", 0, 0, true},
        {"4.9 above snaps onto the face", 4.9, 0, true},
        {"just over 5.0 above is off", 5.02, 0, false},
        {"0.05 below snaps up", -0.05, 0, true},
        {"0.1 below is off, though inside the ribbon", -0.1, 0, false},
        {"near the edge", 0.5, 0.95, true},
        {"beside the ribbon", 0.5, 1.05, false},
    };
    const double f = 0.45;
    for (const Case& c : cases) {
        cVector3D up, side;
        const cVector3D top = top_at(f, &up, &side);
        const cVector3D kept(1, 2, 3);
        car->last_on_track = kept;
        car->position = top + up * c.height + side * (c.lateral * half_width_at(f));
        EXPECT_EQ(hold_to_track(*game->track, car), c.on_track) << c.what;
        const double height = dot(car->position - top_at(car->track_fraction), up);
        if (c.on_track) {
            EXPECT_NEAR(height, 0, 0.01) << c.what;
            EXPECT_EQ(car->last_on_track.x, car->position.x) << c.what;
            cMatrix3D m;
            __cMatrix3d_from_quaternion(&m, &car->rotation);
            EXPECT_NEAR(dot(cVector3D(m.m[1], m.m[4], m.m[7]), up), 1, 1e-3) << c.what << ": levelled on the face";
        } else {
            EXPECT_NEAR(height, c.height, 0.01) << c.what;
            EXPECT_EQ(car->last_on_track.x, kept.x) << c.what;
        }
        EXPECT_NEAR(car->track_fraction, f, 1e-3) << c.what;
    }
}

TEST_F(WorldStepTest, WithoutATrackNoCartMoves)
{
    start();
    delete_track(&game->track);
    czrCar* car = cart_of(0);
    car->velocity = cVector3D(10, 0, 0);
    const cVector3D before = car->position;
    world_step(game.get(), kStepSeconds);
    EXPECT_EQ(car->position.x, before.x);
}

TEST_F(WorldStepTest, CartsOfPlayersNoLongerRacingStandStill)
{
    seat(1, 4);
    start();
    czrCar* car = cart_of(1);
    car->position = cVector3D(0, 150, 0);
    car->velocity = cVector3D(10, 0, 0);
    slot(1).state = kSlotLeft;
    world_step(game.get(), kStepSeconds);
    EXPECT_EQ(car->position.x, 0);
    slot(1).state = kSlotInUse;
    world_step(game.get(), kStepSeconds);
    EXPECT_NEAR(car->position.x, 0.1, 1e-6);
}

TEST_F(WorldStepTest, ACartDrivenOnTheFaceStaysOnIt)
{
    start();
    czrCar* car = cart_of(0);
    respawn_cart(game.get(), car->sync_id);
    ASSERT_TRUE(hold_to_track(*game->track, car));
    const double start_fraction = car->track_fraction;
    cVector3D forward;
    car->get_forward_vector(forward);
    car->motion_a = -forward;  // accelerate
    for (int i = 0; i < 100; ++i) world_step(game.get(), kStepSeconds);
    EXPECT_TRUE(hold_to_track(*game->track, car));
    EXPECT_GT(car->velocity.length(), 7);
    const double driven = std::fmod(start_fraction - car->track_fraction + 1, 1.0);
    EXPECT_GT(driven, 0.002) << "it drove the race's way, to falling fractions";
    EXPECT_LT(driven, 0.5);
}
