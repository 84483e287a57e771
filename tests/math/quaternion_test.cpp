#include <gtest/gtest.h>

#include <cmath>

#include "base/angles.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/random.h"
#include "tests/math/math_expect.h"

namespace {

const double kH = std::sqrt(0.5);
const cQuaternion kIdentity(0, 0, 0, 1);
const cQuaternion kQuarterAboutY(0, kH, 0, kH);

cQuaternion product(cQuaternion a, const cQuaternion& b)
{
    __cQuaternion_multiply(&a, &b);
    return a;
}

cQuaternion normalized(double x, double y, double z, double w)
{
    const double l = std::sqrt(x * x + y * y + z * z + w * w);
    return cQuaternion(x / l, y / l, z / l, w / l);
}

TEST(HamiltonProduct, UnitQuaternionsMultiplyLikeIJK)
{
    const cQuaternion i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0);
    expect_quaternion_near(product(i, j), k, 0);
    expect_quaternion_near(product(j, i), cQuaternion(0, 0, -1, 0), 0);
    expect_quaternion_near(product(j, k), i, 0);
    expect_quaternion_near(product(i, i), cQuaternion(0, 0, 0, -1), 0);

    const cQuaternion q(0.1, -0.2, 0.3, 0.9);
    expect_quaternion_near(product(kIdentity, q), q, 0);
    expect_quaternion_near(product(q, kIdentity), q, 0);
    cQuaternion self = q;
    __cQuaternion_multiply(&self, &self);
    expect_quaternion_near(self, product(q, q), 0);
}

TEST(QuaternionFromMatrix, IdentityGivesIdentity)
{
    const cMatrix3D identity;
    cQuaternion q(1, 2, 3, 4);
    __cQuaternion_from_matrix(&q, &identity);
    expect_quaternion_near(q, kIdentity, 0);
}

class MatrixRoundTrip : public ::testing::TestWithParam<cQuaternion> {};

// Each case makes a different component dominant, so each branch is taken.
TEST_P(MatrixRoundTrip, MatrixFromQuaternionAndBack)
{
    const cQuaternion& q = GetParam();
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &q);
    cQuaternion back;
    __cQuaternion_from_matrix(&back, &m);
    const double sign = back.x * q.x + back.y * q.y + back.z * q.z + back.w * q.w < 0 ? -1 : 1;
    expect_quaternion_near(cQuaternion(sign * back.x, sign * back.y, sign * back.z, sign * back.w), q, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Branches, MatrixRoundTrip,
                         ::testing::Values(normalized(0.1, 0.2, 0.3, 0.9), normalized(0.9, 0.3, -0.2, 0.1),
                                           normalized(0.2, -0.9, 0.3, 0.1), normalized(-0.1, 0.3, 0.9, 0.2)));

TEST(QuaternionBuilders, AxisAngleUsesTheAxisAsGiven)
{
    const cVector3D axis(0, 2, 0);
    const double angle = kHalfPi;
    cQuaternion q;
    __cQuaternion_from_axis_angle(&q, &axis, &angle);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 2 * std::sin(angle / 2));
    EXPECT_EQ(q.w, std::cos(angle / 2));
}

TEST(QuaternionBuilders, EulerComponentsTurnXAndZTheOtherWay)
{
    const double zero = 0, a = 0.8;
    cQuaternion q;
    __cQuaternion_from_euler_components(&q, &a, &zero, &zero);
    expect_quaternion_near(q, cQuaternion(std::sin(-a / 2), 0, 0, std::cos(-a / 2)), 1e-15);
    __cQuaternion_from_euler_components(&q, &zero, &a, &zero);
    expect_quaternion_near(q, cQuaternion(0, std::sin(a / 2), 0, std::cos(a / 2)), 1e-15);
    __cQuaternion_from_euler_components(&q, &zero, &zero, &a);
    expect_quaternion_near(q, cQuaternion(0, 0, std::sin(-a / 2), std::cos(-a / 2)), 1e-15);

    const double x = 0.3, y = -1.2, z = 2.0;
    __cQuaternion_from_euler_components(&q, &x, &y, &z);
    const cQuaternion qz(0, 0, std::sin(-z / 2), std::cos(-z / 2));
    const cQuaternion qy(0, std::sin(y / 2), 0, std::cos(y / 2));
    const cQuaternion qx(std::sin(-x / 2), 0, 0, std::cos(-x / 2));
    expect_quaternion_near(q, product(product(qz, qy), qx), 0);

    const cVector3D v(x, y, z);
    cQuaternion from_vector;
    __cQuaternion_from_euler(&from_vector, &v);
    expect_quaternion_near(from_vector, q, 0);
}

TEST(QuaternionTurns, YawPitchRollFromIdentity)
{
    const double a = 0.6;
    cQuaternion q = kIdentity;
    __cQuaternion_yaw(&q, &a);
    expect_quaternion_near(q, cQuaternion(0, std::sin(a / 2), 0, std::cos(a / 2)), 1e-15);
    q = kIdentity;
    __cQuaternion_pitch(&q, &a);
    expect_quaternion_near(q, cQuaternion(std::sin(-a / 2), 0, 0, std::cos(-a / 2)), 1e-15);
    q = kIdentity;
    __cQuaternion_roll(&q, &a);
    expect_quaternion_near(q, cQuaternion(0, 0, std::sin(-a / 2), std::cos(-a / 2)), 1e-15);
}

TEST(QuaternionTurns, TwoYawsAddUp)
{
    const double first = 0.5, second = 0.3, both = 0.8;
    cQuaternion twice = kIdentity;
    __cQuaternion_yaw(&twice, &first);
    __cQuaternion_yaw(&twice, &second);
    cQuaternion once = kIdentity;
    __cQuaternion_yaw(&once, &both);
    expect_quaternion_near(twice, once, 1e-15);
}

TEST(QuaternionArithmetic, ComponentWiseAndFromString)
{
    cQuaternion a(1, 2, 3, 4);
    const cQuaternion b(0.5, 0.25, -1, 2);
    __cQuaternion_add(&a, &b);
    expect_quaternion_near(a, cQuaternion(1.5, 2.25, 2, 6), 0);
    __cQuaternion_subtract(&a, &b);
    expect_quaternion_near(a, cQuaternion(1, 2, 3, 4), 0);

    __cQuaternion_from_string(&a, "0.5#-1#2#0.25#9#");
    expect_quaternion_near(a, cQuaternion(0.5, -1, 2, 0.25), 0);
    __cQuaternion_from_string(&a, "7#");
    expect_quaternion_near(a, cQuaternion(7, -1, 2, 0.25), 0);
}

TEST(QuaternionRotation, RotatesVectorsBothWays)
{
    cVector3D v(1, 0, 0);
    __cVector3d_rotate_by_quaternion(&v, &kQuarterAboutY);
    expect_vector_near(v, cVector3D(0, 0, 1), 1e-15);
    __cVector3d_rotate_backwards_by_quaternion(&v, &kQuarterAboutY);
    expect_vector_near(v, cVector3D(1, 0, 0), 1e-15);

    const cQuaternion q = normalized(0.3, -0.4, 0.5, 0.7);
    cVector3D w(1, 2, 3);
    __cVector3d_rotate_by_quaternion(&w, &q);
    EXPECT_NEAR(w.length(), std::sqrt(14.0), 1e-12);
    __cVector3d_rotate_backwards_by_quaternion(&w, &q);
    expect_vector_near(w, cVector3D(1, 2, 3), 1e-12);
}

TEST(Slerp, EndsAndMidpoint)
{
    cQuaternion out;
    __cQuaternion_slerp(&out, &kIdentity, &kQuarterAboutY, 0);
    expect_quaternion_near(out, kIdentity, 1e-4);
    __cQuaternion_slerp(&out, &kIdentity, &kQuarterAboutY, 1);
    expect_quaternion_near(out, kQuarterAboutY, 1e-4);
    __cQuaternion_slerp(&out, &kIdentity, &kQuarterAboutY, 0.5);
    expect_quaternion_near(out, cQuaternion(0, std::sin(kPi / 8), 0, std::cos(kPi / 8)), 1e-4);
}

TEST(Slerp, EqualEndsGiveFromExactly)
{
    const cQuaternion q(0, 0, 0, 1);
    cQuaternion out(9, 9, 9, 9);
    __cQuaternion_slerp(&out, &q, &q, 0.3);
    expect_quaternion_near(out, q, 0);
}

TEST(Slerp, TakesTheShortWayRound)
{
    const cQuaternion negated(-kQuarterAboutY.x, -kQuarterAboutY.y, -kQuarterAboutY.z, -kQuarterAboutY.w);
    cQuaternion out;
    __cQuaternion_slerp(&out, &kIdentity, &negated, 1);
    expect_quaternion_near(out, kQuarterAboutY, 1e-4);
}

TEST(Slerp, NearlyEqualEndsAreAveraged)
{
    const cQuaternion to = normalized(0, 0, 0.0004, 1);
    cQuaternion out;
    __cQuaternion_slerp(&out, &kIdentity, &to, 0.9);
    expect_quaternion_near(out, cQuaternion(0, 0, 0.5 * to.z, 0.5 + 0.5 * to.w), 0);
}

TEST(QuaternionRandom, DrawsZThenYThenX)
{
    __mRandom_srand(99);
    const double z = double(__mRandom_rand()) / 32767 * kTwoPi;
    const double y = double(__mRandom_rand()) / 32767 * kTwoPi;
    const double x = double(__mRandom_rand()) / 32767 * kTwoPi;
    cQuaternion expected;
    __cQuaternion_from_euler_components(&expected, &x, &y, &z);

    __mRandom_srand(99);
    cQuaternion q;
    __nsQuaternion_random(&q);
    expect_quaternion_near(q, expected, 0);
}

}  // namespace
