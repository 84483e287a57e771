// A lap driven for real: the host's own cart under the keyboard scheme of the
// shipped rules file, steered by held arrow keys frame by frame as a player
// would, through the race update, until the host counts a lap.
#include "game/control_bindings.h"
#include "tests/race/race_fixture.h"

namespace {

cVector3D column(const cQuaternion& q, int c)
{
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &q);
    return cVector3D(m.m[c], m.m[3 + c], m.m[6 + c]);
}

class LapDriveTest : public RaceFixture {
protected:
    // The host's race under the shipped rules' keyboard scheme, with a view
    // for the chase camera.
    void start_keyboard_race()
    {
        game->rules = new cArbData(std::string(ZR_SOURCE_DIR) + "/data/zorblitRally/rules.ini");
        settings_record.control_scheme = 0;
        game->views.insert(new cUserView(cVector2D<int32_t>(0, 0), 0.15f, 3000.0f, 4000.0f, 45.0f,
                                         cVector2D<int32_t>(800, 600), cColor(0, 0, 0, 1), cVector3D(), cMatrix3D()));
        __mRandom_srand(4321);
        start_race(game.get());
    }

    // The arrow key on the side of the centre line a little way ahead (Left
    // when it lies to the left of the front about the cart's up), with Up
    // held throughout; R when it is stuck off the track.
    void steer(const czrCar& car, bool stuck)
    {
        FakeGameTables& keys = fake_game();
        keys.held = {uint16_t(find_key_name("Up"))};
        keys.pressed.clear();
        if (stuck) keys.pressed.insert(uint16_t(find_key_name("R")));
        double ahead = car.track_fraction - 0.015;
        if (ahead < 0) ahead += 1;
        const cVector3D to_line = game->track->position_at(ahead) - car.position;
        const cVector3D front = -column(car.rotation, 2);
        const cVector3D up = column(car.rotation, 1);
        const double leftwards = dot(cross(front, to_line.normalized()), up);
        if (std::abs(leftwards) < 0.02) return;
        keys.held.insert(uint16_t(find_key_name(leftwards > 0 ? "Left" : "Right")));
    }
};

}  // namespace

// Left and Right as the player sees them: the chase camera's own right is the
// first column of its rotation, so the cart's front after the turn, taken
// into the camera that stood behind it before, points to that side.
TEST_F(LapDriveTest, LeftAndRightTurnTheCartThatWayAsTheChaseCameraShowsIt)
{
    start_keyboard_race();
    czrCar* car = cart_of(0);
    ASSERT_NE(car, nullptr);
    const cQuaternion start = car->rotation;
    const cVector3D start_position = car->position;
    const cUserView* view = game->views.get(0);
    const struct {
        const char* key;
        double side;  // -1 left, +1 right
    } cases[] = {{"Left", -1}, {"Right", 1}};
    for (const auto& c : cases) {
        car->rotation = start;
        car->position = start_position;
        car->velocity = cVector3D();
        fake_game().held.clear();
        game->update_race(0.02f, true);
        const cMatrix3D camera = view->camera_rotation;
        const cVector3D camera_right(camera.m[0], camera.m[3], camera.m[6]);
        const cVector3D camera_back(camera.m[2], camera.m[5], camera.m[8]);
        ASSERT_LT(dot(-column(car->rotation, 2), camera_back), -0.9) << c.key << ": the camera looks along the front";

        fake_game().held = {uint16_t(find_key_name(c.key))};
        for (int frame = 0; frame < 25; ++frame) game->update_race(0.02f, true);
        // Half a second at 2 radians a second: sin(1) of the front to that side.
        EXPECT_GT(c.side * dot(-column(car->rotation, 2), camera_right), 0.8) << c.key;
    }
}

TEST_F(LapDriveTest, ThePlayersCartGoesRoundAndTheLapCountRises)
{
    start_keyboard_race();
    ASSERT_EQ(game->program_state, kStateHostRace);
    czrCar* car = cart_of(0);
    ASSERT_NE(car, nullptr);
    ASSERT_NE(car->controller, nullptr);

    const float dt = 0.02f;
    double stopped_for = 0;
    double lap_at = -1;
    uint8_t sections_seen = 0;
    for (int frame = 0; frame < 60 / dt && lap_at < 0; ++frame) {
        steer(*car, stopped_for > 0.5);
        game->update_race(dt, true);
        stopped_for = car->velocity.length() < 0.5 ? stopped_for + dt : 0;
        sections_seen |= uint8_t(1 << slot(0).section);
        if (slot(0).laps > 0) lap_at = frame * dt;
    }
    ASSERT_GT(lap_at, 0) << "no lap in 60 s; section " << int(slot(0).section) << ", at "
                         << car->position.x << " " << car->position.y << " " << car->position.z;
    EXPECT_EQ(sections_seen, 7) << "every third of the ring on the way";
    EXPECT_EQ(slot(0).laps, 1);
    EXPECT_EQ(slot(0).section, 0);
    EXPECT_EQ(game->chat.lines[0], "#C0888LAP 2");
    EXPECT_EQ(slot(0).rank, 0);
    const cUserView* view = game->views.get(0);
    EXPECT_LT((view->camera_position - car->position).length(), 10) << "the camera follows";
    EXPECT_GT((view->camera_position - car->position).length(), 1);
}
