#include <gtest/gtest.h>

#include <cmath>

#include "base/angles.h"
#include "base/physics.h"
#include "base/trigonometry.h"

namespace {

const double kTurn = kTwoPi;

struct AngleCase {
    double x, y, angle;
};

void PrintTo(const AngleCase& c, std::ostream* os)
{
    *os << "(" << c.x << ", " << c.y << ")";
}

class AngleFromVector : public ::testing::TestWithParam<AngleCase> {};

TEST_P(AngleFromVector, AxesAndQuadrants)
{
    EXPECT_EQ(__mPhysics_angle_from_vector(GetParam().x, GetParam().y), GetParam().angle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AngleFromVector,
    ::testing::Values(AngleCase{0, 1, 1.5707963705062866}, AngleCase{0, -1, 3 * 3.1415927410125732 / 2},
                      AngleCase{0, 0, 3 * 3.1415927410125732 / 2}, AngleCase{1, 0, 0},
                      AngleCase{-1, 0, double(kPi)}, AngleCase{1, 1, std::atan(1.0)},
                      AngleCase{-1, 1, std::atan(-1.0) + double(kPi)},
                      AngleCase{-1, -1, std::atan(1.0) + double(kPi)},
                      AngleCase{1, -1, std::atan(-1.0) + kTurn}));

TEST(AngleFromVector, StraightDownIsTheListedValue)
{
    EXPECT_NEAR(__mPhysics_angle_from_vector(0, 0), 4.7123891, 1e-7);
}

struct InterpolationCase {
    double from, to, step, expected;
};

void PrintTo(const InterpolationCase& c, std::ostream* os)
{
    *os << c.from << " to " << c.to << " by " << c.step;
}

class InterpolateAngle : public ::testing::TestWithParam<InterpolationCase> {};

TEST_P(InterpolateAngle, TurnsTheShortWay)
{
    const InterpolationCase& c = GetParam();
    EXPECT_EQ(__mPhysics_interpolate_angle(c.from, c.to, c.step), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InterpolateAngle,
    ::testing::Values(
        // Reaching the target across zero returns it unwrapped, above a turn.
        InterpolationCase{6.0, 0.1, 1.0, 6.0 + (0.1 + kTurn - 6.0)},
        InterpolationCase{0, 3, 0.5, 0.5},
        // And below zero the other way round.
        InterpolationCase{0.2, 6.0, 0.5, 0.2 + (6.0 - kTurn - 0.2)},
        InterpolationCase{1, 1, 0.1, 1},
        InterpolationCase{1, 2, 0.25, 1.25},
        InterpolationCase{2, 1, 0.25, 1.75},
        InterpolationCase{6.2, 0.3, 0.2, 6.2 + 0.2 - kTurn},
        InterpolationCase{0.1, 6.0, 0.2, 0.1 - 0.2 + kTurn}));

TEST(DirectionPos, UsesTheRadianTables)
{
    double x = 0;
    double y = 0;
    __mPhysics_direction_pos(1.2, &x, &y);
    EXPECT_EQ(x, cosTR(1.2));
    EXPECT_EQ(y, sinTR(1.2));
}

// A static box from (-5, -5) to (5, 5) and a 2 x 2 moving box sampled at
// 0.4 of its half-size, so only the edge facing the static box meets it.
struct ContactCase {
    const char* name;
    double x, y, vx, vy;
    double pushed_x, pushed_y, vx_after, vy_after;
    bool lower, left, upper, right;
};

void PrintTo(const ContactCase& c, std::ostream* os)
{
    *os << c.name;
}

class StaticBox : public ::testing::TestWithParam<ContactCase> {};

TEST_P(StaticBox, StopsAndPushesTheMeetingEdge)
{
    const ContactCase& c = GetParam();
    double x = c.x, y = c.y, vx = c.vx, vy = c.vy, w = 2, h = 2;
    const BoxContacts contacts = __mPhysics_collide_staticBox(&x, &y, &vx, &vy, &w, &h, 0, 0, 10, 10, 0.4, false);
    EXPECT_EQ(x, c.pushed_x);
    EXPECT_EQ(y, c.pushed_y);
    EXPECT_EQ(vx, c.vx_after);
    EXPECT_EQ(vy, c.vy_after);
    EXPECT_EQ(contacts.lower, c.lower);
    EXPECT_EQ(contacts.left, c.left);
    EXPECT_EQ(contacts.upper, c.upper);
    EXPECT_EQ(contacts.right, c.right);
}

TEST_P(StaticBox, NoPushStopsWithoutMoving)
{
    const ContactCase& c = GetParam();
    double x = c.x, y = c.y, vx = c.vx, vy = c.vy, w = 2, h = 2;
    const BoxContacts contacts = __mPhysics_collide_staticBox(&x, &y, &vx, &vy, &w, &h, 0, 0, 10, 10, 0.4, true);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(vx, c.vx_after);
    EXPECT_EQ(vy, c.vy_after);
    EXPECT_EQ(contacts.lower, c.lower);
    EXPECT_EQ(contacts.right, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, StaticBox,
    ::testing::Values(ContactCase{"falling_onto_top", 0, 5.5, 0.5, -1, 0, 6, 0.5, 0, true, false, false, false},
                      ContactCase{"rising_into_bottom", 0, -5.5, 0, 1, 0, -6, 0, 0, false, false, true, false},
                      ContactCase{"moving_left_into_right_side", 5.5, 0, -1, 0, 6, 0, 0, 0, false, true, false,
                                  false},
                      ContactCase{"moving_right_into_left_side", -5.5, 0, 1, 0.25, -6, 0, 0, 0.25, false, false,
                                  false, true},
                      ContactCase{"leaving_upwards", 0, 5.5, 0, 1, 0, 5.5, 0, 1, false, false, false, false},
                      ContactCase{"clear_of_it", 20, 0, -1, -1, 20, 0, -1, -1, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
