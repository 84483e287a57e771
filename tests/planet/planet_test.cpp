// The planet's turn with the race clock, and what loading does without
// textures or a graphics module.
#include <gtest/gtest.h>

#include <cmath>

#include "game/planet.h"
#include "scene/shader_set.h"

namespace {

void expect_rotation(const cQuaternion& actual, const cQuaternion& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-12);
    EXPECT_NEAR(actual.y, expected.y, 1e-12);
    EXPECT_NEAR(actual.z, expected.z, 1e-12);
    EXPECT_NEAR(actual.w, expected.w, 1e-12);
}

// a times b, written out (Hamilton product).
cQuaternion hamilton(const cQuaternion& a, const cQuaternion& b)
{
    return cQuaternion(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                       a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

// The base library's Euler quaternion turns by -a about x and by +a about y:
// (-sin(a/2), 0, 0, cos(a/2)) and (0, sin(a/2), 0, cos(a/2)).
cQuaternion turn_about_x(double angle)
{
    return cQuaternion(-std::sin(angle / 2), 0, 0, std::cos(angle / 2));
}

cQuaternion turn_about_y(double angle)
{
    return cQuaternion(0, std::sin(angle / 2), 0, std::cos(angle / 2));
}

}  // namespace

TEST(Planet, AtRaceClockZeroItIsAQuarterTurnAboutXAlone)
{
    const double tilt = double(1.5707963705062866);
    expect_rotation(planet_rotation(0), turn_about_x(tilt));
    const cQuaternion about_x = quaternion_about_x(&tilt);
    EXPECT_NEAR(about_x.x, -std::sin(tilt / 2), 1e-12);
    EXPECT_NEAR(about_x.y, 0, 1e-12);
    EXPECT_NEAR(about_x.z, 0, 1e-12);
}

TEST(Planet, TenSecondsOfRaceClockSpinItBySinglePrecisionRate)
{
    const double spin = 10.0 * double(0.025f);
    EXPECT_DOUBLE_EQ(spin, 0.25000000372529030);
    const double tilt = 1.5707963705062866;
    expect_rotation(planet_rotation(10), hamilton(turn_about_x(tilt), turn_about_y(spin)));
    expect_rotation(planet_rotation(10), hamilton(quaternion_about_x(&tilt), quaternion_about_y(&spin)));
    expect_rotation(quaternion_product(quaternion_about_x(&tilt), quaternion_about_y(&spin)),
                    hamilton(quaternion_about_x(&tilt), quaternion_about_y(&spin)));
}

TEST(Planet, LoadingWithoutTexturesStillAppendsItsSetAndDrawingTakesTheFirst)
{
    load_planet(true);
    EXPECT_EQ(planetColorTexture, 0);
    EXPECT_EQ(planetNormalTexture, 0);
    EXPECT_EQ(planetShaderSets.count(), 1u) << "no graphics module: the set is null, but it is there";
    load_planet(false);
    EXPECT_EQ(planetShaderSets.count(), 2u);
    EXPECT_EQ(planetColorTexture, 0) << "no graphics module, nothing loaded";
    czrOrbling world;
    EXPECT_DOUBLE_EQ(world.get_rotation().w, 1);
    EXPECT_DOUBLE_EQ(world.get_position().length(), 0);
    world.draw();
    planetShaderSets.clear();
}
