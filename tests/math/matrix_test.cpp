#include <gtest/gtest.h>

#include <cmath>

#include "base/angles.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/random.h"
#include "tests/math/math_expect.h"

namespace {

const cMatrix3D kIdentity;
const cMatrix3D kSample(1, 2, 3, 4, 5, 6, 7, 8, 10);

cMatrix3D times(cMatrix3D a, const cMatrix3D& b)
{
    __cMatrix3d_multiply(&a, &b);
    return a;
}

TEST(MatrixBuilders, ElementaryRotationsAtAQuarterTurn)
{
    cMatrix3D m;
    __nsMatrix3d_yaw(&m, kHalfPi);
    expect_matrix_near(m, cMatrix3D(0, 0, -1, 0, 1, 0, 1, 0, 0), 1e-6);
    __nsMatrix3d_pitch(&m, kHalfPi);
    expect_matrix_near(m, cMatrix3D(1, 0, 0, 0, 0, -1, 0, 1, 0), 1e-6);
    __nsMatrix3d_roll(&m, kHalfPi);
    expect_matrix_near(m, cMatrix3D(0, -1, 0, 1, 0, 0, 0, 0, 1), 1e-6);
}

struct InPlaceCase {
    const char* name;
    void (*in_place)(cMatrix3D*, double);
    void (*builder)(cMatrix3D*, double);
};

void PrintTo(const InPlaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class InPlaceRotation : public ::testing::TestWithParam<InPlaceCase> {};

TEST_P(InPlaceRotation, IsMultiplyingByTheBuiltRotation)
{
    for (double angle : {0.7, 2.0, 5.5}) {
        cMatrix3D m = kSample;
        GetParam().in_place(&m, angle);
        cMatrix3D rotation;
        GetParam().builder(&rotation, angle);
        expect_matrix_eq(m, times(kSample, rotation));
    }
}

TEST_P(InPlaceRotation, NegativeAnglesAreTakenAsLessThanATurn)
{
    cMatrix3D m = kSample;
    GetParam().in_place(&m, -0.7);
    cMatrix3D rotation;
    GetParam().builder(&rotation, -0.7 + kTwoPi);
    expect_matrix_eq(m, times(kSample, rotation));
}

INSTANTIATE_TEST_SUITE_P(Axes, InPlaceRotation,
                         ::testing::Values(InPlaceCase{"yaw", __cMatrix3d_yaw, __nsMatrix3d_yaw},
                                           InPlaceCase{"pitch", __cMatrix3d_pitch, __nsMatrix3d_pitch},
                                           InPlaceCase{"roll", __cMatrix3d_roll, __nsMatrix3d_roll}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MatrixBuilders, AxisAngleMatchesTheBuildersForUnitAxes)
{
    const struct {
        cVector3D axis;
        void (*builder)(cMatrix3D*, double);
    } cases[] = {{cVector3D(0, 3, 0), __nsMatrix3d_yaw},
                 {cVector3D(2, 0, 0), __nsMatrix3d_pitch},
                 {cVector3D(0, 0, 1), __nsMatrix3d_roll}};
    for (const auto& c : cases) {
        cMatrix3D m;
        __cMatrix3d_construct_matrix(&m, 0.9, &c.axis);
        cMatrix3D expected;
        c.builder(&expected, 0.9);
        expect_matrix_near(m, expected, 1e-15);
    }
}

TEST(MatrixBuilders, EulerIsYawThenPitchThenRoll)
{
    const cVector3D angles(0.3, 1.1, -0.4);
    cMatrix3D m;
    __nsMatrix3d_euler(&m, &angles);
    cMatrix3D yaw, pitch, roll;
    __nsMatrix3d_yaw(&yaw, angles.y);
    __nsMatrix3d_pitch(&pitch, angles.x);
    __nsMatrix3d_roll(&roll, angles.z);
    expect_matrix_eq(m, times(times(yaw, pitch), roll));
}

TEST(MatrixBuilders, FromQuaternion)
{
    cMatrix3D m(0, 0, 0, 0, 0, 0, 0, 0, 0);
    const cQuaternion identity(0, 0, 0, 1);
    __cMatrix3d_from_quaternion(&m, &identity);
    expect_matrix_eq(m, kIdentity);

    const double h = std::sqrt(0.5);
    const cQuaternion quarter_about_y(0, h, 0, h);
    __cMatrix3d_from_quaternion(&m, &quarter_about_y);
    expect_matrix_near(m, cMatrix3D(0, 0, -1, 0, 1, 0, 1, 0, 0), 1e-15);
}

TEST(MatrixBuilders, FromEigenvectorsSetsColumns)
{
    const cVector3D a(1, 2, 3), b(4, 5, 6), c(7, 8, 9);
    cMatrix3D m;
    __cMatrix3d_from_eigenvectors(&m, &a, &b, &c);
    expect_matrix_eq(m, cMatrix3D(1, 4, 7, 2, 5, 8, 3, 6, 9));
}

TEST(MatrixBuilders, FromForwardAndUp)
{
    const cVector3D forward(0, 0, 1), up(0, 1, 0);
    cMatrix3D m;
    __cMatrix3d_from_forward_and_up(&m, &forward, &up);
    expect_matrix_eq(m, kIdentity);

    const cVector3D long_forward(0, 0, 2), leaning_up(0, 1, 1);
    __cMatrix3d_from_forward_and_up(&m, &long_forward, &leaning_up);
    expect_matrix_near(m, kIdentity, 1e-15);

    const cVector3D east(1, 0, 0);
    __cMatrix3d_from_forward_and_up(&m, &east, &up);
    expect_matrix_near(m, cMatrix3D(0, 0, 1, 0, 1, 0, -1, 0, 0), 1e-15);
    EXPECT_NEAR(__cMatrix3d_get_determinant(&m), 1, 1e-15);
}

TEST(MatrixOperations, NormalizeLeavesZeroColumns)
{
    cMatrix3D m(3, 0, 0, 4, 0, 2, 0, 0, 0);
    __cMatrix3d_normalize(&m);
    expect_matrix_eq(m, cMatrix3D(0.6, 0, 0, 0.8, 0, 1, 0, 0, 0));
}

TEST(MatrixOperations, ArithmeticAndDeterminant)
{
    cMatrix3D a = kSample;
    __cMatrix3d_add(&a, &kIdentity);
    expect_matrix_eq(a, cMatrix3D(2, 2, 3, 4, 6, 6, 7, 8, 11));
    __cMatrix3d_subtract(&a, &kSample);
    expect_matrix_eq(a, kIdentity);

    const cMatrix3D b(0, 1, 0, 1, 0, 0, 0, 0, 2);
    expect_matrix_eq(times(kSample, b), cMatrix3D(2, 1, 6, 5, 4, 12, 8, 7, 20));
    cMatrix3D self = kSample;
    __cMatrix3d_multiply(&self, &self);
    expect_matrix_eq(self, cMatrix3D(30, 36, 45, 66, 81, 102, 109, 134, 169));

    EXPECT_EQ(__cMatrix3d_get_determinant(&kSample), -3);
    EXPECT_EQ(__cMatrix3d_get_determinant(&kIdentity), 1);
}

TEST(MatrixOperations, RotateConjugatesByTheRotation)
{
    cMatrix3D yaw;
    __nsMatrix3d_yaw(&yaw, kHalfPi);
    cMatrix3D a(1, 0, 0, 0, 2, 0, 0, 0, 3);
    __cMatrix3d_rotate(&a, &yaw);
    expect_matrix_near(a, cMatrix3D(3, 0, 0, 0, 2, 0, 0, 0, 1), 1e-6);

    cMatrix3D same = yaw;
    __cMatrix3d_rotate(&same, &same);
    expect_matrix_near(same, yaw, 1e-6);
}

TEST(MatrixFromString, FillsInElementOrderAndCountsFields)
{
    cMatrix3D m;
    EXPECT_EQ(__cMatrix3d_from_string(&m, "1#2#3#4#5#6#7#8#9#10#11#"), 11);
    expect_matrix_eq(m, cMatrix3D(1, 2, 3, 4, 5, 6, 7, 8, 9));

    cMatrix3D partial;
    EXPECT_EQ(__cMatrix3d_from_string(&partial, "5#-2.5#7"), 2);
    expect_matrix_eq(partial, cMatrix3D(5, -2.5, 0, 0, 1, 0, 0, 0, 1));
    EXPECT_EQ(__cMatrix3d_from_string(&partial, nullptr), 0);
}

TEST(MatrixRandom, DrawsHeadingThenElevation)
{
    __mRandom_srand(1234);
    const int heading = __mRandom_rand();
    const int elevation = __mRandom_rand();
    const int after = __mRandom_rand();
    cMatrix3D expected;
    __cMatrix3d_yaw(&expected, double(heading) / 32767 * kTwoPi);
    __cMatrix3d_pitch(&expected, (double(elevation) / 32767 - 0.5) * kPi);

    __mRandom_srand(1234);
    cMatrix3D m(0, 0, 0, 0, 0, 0, 0, 0, 0);
    __nsMatrix3d_random(&m);
    expect_matrix_eq(m, expected);
    EXPECT_EQ(__mRandom_rand(), after);
    EXPECT_NEAR(__cMatrix3d_get_determinant(&m), 1, 1e-9);
}

TEST(MatrixPacking, NarrowsToFloat)
{
    const cMatrix3D m(0.1, 0, 0, 0, 1, 0, 0, 0, 1);
    uint8_t bytes[36];
    EXPECT_EQ(m.serialize(bytes), 36);
    cMatrix3D back(0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(back.deserialize(bytes), 36);
    EXPECT_EQ(back.m[0], double(0.1f));
    EXPECT_EQ(back.m[8], 1);
}

}  // namespace
