// A race drawn at 1024 x 768 by the real plug-in, checked by its pixels:
// the planet's disc in the middle, the rings in the hue of the race clock,
// and the HUD's rows of text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "game/cart.h"
#include "game/game.h"
#include "game/projectile.h"
#include "game/race.h"
#include "game/race_start.h"
#include "tests/race_view/race_stage.h"
#include "tests/support/gl_version.h"
#include "tests/support/scratch.h"

namespace {

constexpr uint16_t kWidth = 1024;
constexpr uint16_t kHeight = 768;

struct Mode {
    const char* name;
    const char* gl_version;  // what Mesa is told to offer; null: all it has
};

class RaceView : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override
    {
        if (ran_alone_for_gl_version(GetParam().gl_version)) GTEST_SKIP() << "ran alone, for its GL version";
        if (GetParam().gl_version) setenv("MESA_GL_VERSION_OVERRIDE", GetParam().gl_version, 1);
        const std::string failure = stage.open(scratch.path(), kWidth, kHeight, 4, 1234);
        ASSERT_EQ(failure, "");
        note_gl_version(GetParam().gl_version);
    }
    void TearDown() override
    {
        stage.close();
        unsetenv("MESA_GL_VERSION_OVERRIDE");
    }

    void draw(const std::string& suffix = "")
    {
        stage.draw_race_frame();
        pixels = stage.screenshot();
        const char* folder = std::getenv("ZR_SCREENSHOT_DIR");
        if (!folder) return;
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        stage.save_png(std::string(folder) + "/" + name + suffix + ".png");
    }

    const uint8_t* at(int x, int y) const { return &pixels[(size_t(y) * kWidth + size_t(x)) * 4]; }

    // Pixels of the box whose colour passes the test.
    template <class Test>
    int count(int left, int top, int right, int bottom, Test test) const
    {
        int found = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) found += test(at(x, y)) ? 1 : 0;
        return found;
    }

    ScratchFolder scratch;
    RaceStage stage;
    std::vector<uint8_t> pixels;
};

bool dark(const uint8_t* p)
{
    return p[0] + p[1] + p[2] < 60;
}

bool red(const uint8_t* p)
{
    return p[0] > 200 && p[1] < 40 && p[2] < 40;
}

bool green(const uint8_t* p)
{
    return p[1] > 200 && p[0] < 40 && p[2] < 40;
}

bool whitish(const uint8_t* p)
{
    return p[0] > 150 && p[1] > 150 && p[2] > 150;
}

bool grey_or_white(const uint8_t* p)
{
    return p[0] > 60 && std::abs(p[0] - p[1]) < 20 && std::abs(p[0] - p[2]) < 20;
}

bool light_blue(const uint8_t* p)
{
    return p[0] < 60 && p[1] > 50 && p[1] < 170 && p[2] > 150;
}

// The camera sees the planet's centre in the middle of the window, from
// 274.6 away: its radius of 55 spans 189.5 pixels at a 45 degree field.
const cVector3D kEye(0, 150, 230);
constexpr int kCentreX = kWidth / 2;
constexpr int kCentreY = kHeight / 2;
constexpr double kDiscRadius = 189.5;
constexpr int kRingPixels = 5000;
// Text cells are 12 x 16; the standings start at (8, 8), the rank box at
// 128 from the right edge, the respawn hint at y 64.
constexpr int kRow = 16;

}  // namespace

TEST_P(RaceView, ThePlanetIsADiscOfItsRadiusInTheMiddle)
{
    stage.look_from(kEye, cVector3D(0, 0, 0));
    draw();
    // Up and right lie on the day side: the sun shines from (1, 1, 0).
    int up = 0, right = 0;
    while (up < kCentreY && !dark(at(kCentreX, kCentreY - up))) ++up;
    while (right < kCentreX && !dark(at(kCentreX + right, kCentreY))) ++right;
    EXPECT_NEAR(up, kDiscRadius, 6) << "from the centre up to the sky";
    EXPECT_NEAR(right, kDiscRadius, 6) << "from the centre right to the gap inside the ring";
    EXPECT_FALSE(dark(at(kCentreX, kCentreY)));
}

TEST_P(RaceView, TheRingsGlowInTheHueOfTheRaceClock)
{
    stage.look_from(kEye, cVector3D(0, 0, 0));
    draw();
    EXPECT_GT(count(0, 0, kWidth, kHeight, red), kRingPixels) << "hue 0 at the start";
    EXPECT_LT(count(0, 0, kWidth, kHeight, green), 100);
    stage.game().race_time = 14;  // a third of the 42 s cycle
    stage.end_frame();
    draw();
    EXPECT_GT(count(0, 0, kWidth, kHeight, green), kRingPixels) << "a third of the way round the hues";
    EXPECT_LT(count(0, 0, kWidth, kHeight, red), 100);
}

TEST_P(RaceView, TheHudListsTheStandingsAndOurRankAndLap)
{
    stage.look_from(kEye, cVector3D(0, 0, 0));
    draw();
    EXPECT_GT(count(8, 8, 140, 8 + kRow, whitish), 30) << "our own line is white";
    for (int k = 1; k < 4; ++k)
        EXPECT_GT(count(8, 8 + kRow * k, 140, 8 + kRow * (k + 1), light_blue), 30) << "standings row " << k;
    EXPECT_LT(count(8, 8 + kRow * 4, 140, 8 + kRow * 5, [](const uint8_t* p) { return whitish(p) || light_blue(p); }),
              5)
        << "four players, four rows";
    EXPECT_GT(count(kWidth - 128, 16, kWidth, 16 + kRow, whitish), 30) << "Rank: 1";
    EXPECT_GT(count(kWidth - 128, 16 + kRow, kWidth, 16 + 2 * kRow, whitish), 30) << "Lap:  1";
    EXPECT_LT(count(0, 64, kWidth, 64 + kRow, red), 5) << "no respawn hint while the cart is on the track";
}

TEST_P(RaceView, TheRespawnHintShowsOnceTheCartSinksIntoThePlanet)
{
    czrCar* own = cartRegistry.find(stage.game().players[0].car_sync_id);
    ASSERT_NE(own, nullptr);
    own->position = cVector3D(0, 54, 0);
    stage.look_from(kEye, cVector3D(0, 0, 0));
    draw();
    // "Press [NONE] to reset": 21 cells, right-aligned 16 from the edge.
    const int hint_left = kWidth - 12 * 21 - 16;
    EXPECT_GT(count(hint_left, 64, kWidth - 16, 64 + kRow, red), 40);
    EXPECT_LT(count(0, 64, hint_left - 2, 64 + kRow, red), 5) << "nothing left of it";
}

TEST_P(RaceView, AProjectileOfASphereTypeGlowsWhiteAndOtherTypesAreNotDrawn)
{
    // 80 above the centre the projectile shows 115 pixels from the top,
    // its radius of 3 x 5 about 60 pixels wide. Its diffuse alpha of 0.3
    // lets the fixed pipeline blend it grey over the sky.
    czrProjectileType sphere;
    sphere.radius = 5;
    czrProjectileType other = sphere;
    other.draw_kind = 1;
    projectileTypes.insert(new czrProjectileType(sphere));
    projectileTypes.insert(new czrProjectileType(other));
    czrProjectile* shot = new czrProjectile;
    shot->position = cVector3D(0, 80, 0);
    projectileRegistry.register_object(shot);
    stage.look_from(kEye, cVector3D(0, 0, 0));
    draw("_sphere");
    EXPECT_EQ(count(kCentreX - 20, 95, kCentreX + 20, 135, grey_or_white), 40 * 40) << "a sphere type";
    shot->kind = 1;
    stage.end_frame();
    draw();
    EXPECT_LT(count(kCentreX - 20, 95, kCentreX + 20, 135, grey_or_white), 10) << "another type";
    shot->kind = 7;
    stage.end_frame();
    draw();
    EXPECT_LT(count(kCentreX - 20, 95, kCentreX + 20, 135, grey_or_white), 10) << "a kind without a type";
    clear_projectiles();
    projectileTypes.clear();
}

namespace {

// What the player's own controller does while Up is held.
class HoldUp : public czrCarAiController {
public:
    void update(float) override
    {
        cVector3D forward;
        car->get_forward_vector(forward);
        car->motion_a = forward * -1.0;
    }
};

// Lit by the ring's glow in hue 0: red well above green and blue.
bool track_lit(const uint8_t* p)
{
    return p[0] > 30 && p[0] > p[1] + 20 && p[0] > p[2] + 20;
}

// The own cart from the chase camera: its box sits in the middle of the
// window's lower half.
constexpr int kCartLeft = kWidth / 2 - 150;
constexpr int kCartRight = kWidth / 2 + 150;

}  // namespace

TEST_P(RaceView, FromTheChaseCameraTheTrackShowsUnderAndAheadOfTheCart)
{
    czrCar* own = cartRegistry.find(stage.game().players[0].car_sync_id);
    ASSERT_NE(own, nullptr);
    set_controller(own, new HoldUp);
    const cVector3D grid = own->position;
    for (int frame = 0; frame < 200; ++frame) race_frame(&stage.game(), 0.01f);
    ASSERT_GT((own->position - grid).length(), 10) << "the cart drove off the grid";
    stage.game().race_time = 0;
    draw();
    const int lower_half = kWidth * kHeight / 2 - (kCartRight - kCartLeft) * kHeight / 2;
    const int lit = count(0, kHeight / 2, kCartLeft, kHeight, track_lit) +
                    count(kCartRight, kHeight / 2, kWidth, kHeight, track_lit);
    EXPECT_GT(lit, lower_half * 3 / 4) << lit << " of " << lower_half << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Modes, RaceView,
                         ::testing::Values(Mode{"shaders", nullptr}, Mode{"gl14", "1.4"}),
                         [](const ::testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });
