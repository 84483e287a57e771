#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/angles.h"
#include "base/matrix.h"
#include "base/random.h"
#include "base/vector.h"
#include "base/zone.h"
#include "tests/math/math_expect.h"

namespace {

TEST(VectorRotation, ByMatrixAndBackwards)
{
    const cMatrix3D m(0, -1, 0, 1, 0, 0, 0, 0, 2);
    cVector3D v(1, 2, 3);
    __cVector3d_rotate_by_matrix(&v, &m);
    expect_vector_near(v, cVector3D(-2, 1, 6), 0);
    cVector3D w(1, 2, 3);
    __cVector3d_rotate_backwards_by_matrix(&w, &m);
    expect_vector_near(w, cVector3D(2, -1, 6), 0);
}

struct AngleCase {
    cVector3D a, b;
    double angle;
};

void PrintTo(const AngleCase& c, std::ostream* os)
{
    PrintTo(c.a, os);
    *os << " and ";
    PrintTo(c.b, os);
}

class AngleBetween : public ::testing::TestWithParam<AngleCase> {};

TEST_P(AngleBetween, IsDefinedForEveryPair)
{
    const double angle = __cVector3d_get_angle_between(&GetParam().a, &GetParam().b);
    EXPECT_FALSE(std::isnan(angle));
    EXPECT_NEAR(angle, GetParam().angle, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AngleBetween,
    ::testing::Values(AngleCase{cVector3D(1, 0, 0), cVector3D(0, 1, 0), 1.5707964},
                      AngleCase{cVector3D(0, 0, 0), cVector3D(0, 1, 0), 0},
                      AngleCase{cVector3D(1, 1, 0), cVector3D(0, 0, 0), 0},
                      AngleCase{cVector3D(1, 0, 0), cVector3D(1, 1, 0), M_PI / 4},
                      AngleCase{cVector3D(2, 0, 0), cVector3D(-1, 0, 0), M_PI},
                      // Rounding takes the cosine of these parallel vectors past 1.
                      AngleCase{cVector3D(0.1, 0.2, 0.3), cVector3D(0.3, 0.6, 0.9), 0},
                      AngleCase{cVector3D(0.1, 0.7, 0.3), cVector3D(-0.3, -2.1, -0.9), M_PI}));

TEST(AngleBetween, PerpendicularIsTheFloatQuarterTurn)
{
    const cVector3D a(0, 0, 3), b(2, 0, 0);
    EXPECT_EQ(__cVector3d_get_angle_between(&a, &b), double(kHalfPi));
}

TEST(AngleBetween, ClampCoversRoundingPastOne)
{
    int past_one = 0;
    for (int i = 1; i < 200; ++i) {
        const cVector3D a(0.1 * i, 0.3 * i, 0.7), b(0.2 * i, 0.6 * i, 1.4);
        const double cosine = dot(a, b) / (a.length() * b.length());
        if (cosine > 1) ++past_one;
        EXPECT_FALSE(std::isnan(__cVector3d_get_angle_between(&a, &b))) << i;
    }
    EXPECT_GT(past_one, 0);
}

TEST(ProjectionScalar, RatioOfDotsAndZeroForZeroVectors)
{
    const cVector3D a(3, 4, 0), b(2, 0, 0), zero;
    EXPECT_EQ(__cVector3d_get_scalar_for_projection_onto(&a, &b), 1.5);
    EXPECT_EQ(__cVector3d_get_scalar_for_projection_onto(&a, &zero), 0);
    EXPECT_EQ(__cVector3d_get_scalar_for_projection_onto(&zero, &b), 0);
}

TEST(VectorFromString, ReadsUpToThreeNumbers)
{
    cVector3D v(7, 8, 9);
    __cVector3d_vector_from_string(&v, "1.5#-2#");
    expect_vector_near(v, cVector3D(1.5, -2, 9), 0);
    __cVector3d_vector_from_string(&v, "1#2#3#4#5#");
    expect_vector_near(v, cVector3D(1, 2, 3), 0);
    const std::string long_field = std::string(100, '0') + "4.25#";
    __cVector3d_vector_from_string(&v, long_field.c_str());
    EXPECT_EQ(v.x, 4.25);
    __cVector3d_vector_from_string(&v, "5");
    EXPECT_EQ(v.x, 4.25);
}

TEST(UnitSphere, DrawsZThenYThenXAndNormalises)
{
    __mRandom_srand(5);
    const double z = double(__mRandom_rand()) / 32767 - 0.5;
    const double y = double(__mRandom_rand()) / 32767 - 0.5;
    const double x = double(__mRandom_rand()) / 32767 - 0.5;
    const cVector3D expected = cVector3D(x, y, z).normalized();

    __mRandom_srand(5);
    cVector3D v;
    __nsVector3d_on_unit_sphere(&v);
    expect_vector_near(v, expected, 0);
    EXPECT_NEAR(v.length(), 1, 1e-15);
}

TEST(Zone, ConstructorTakesAbsoluteHalfExtents)
{
    const cZone3D zone(-1, 2, -3);
    expect_vector_near(zone.minimum, cVector3D(-1, -2, -3), 0);
    expect_vector_near(zone.maximum, cVector3D(1, 2, 3), 0);
}

TEST(Zone, ExpandToContain)
{
    cZone3D zone(0.5, 0.5, 0.5);
    const cVector3D right(2, 0, 0);
    __cZone3d_expand_to_contain(&zone, &right);
    expect_vector_near(zone.minimum, cVector3D(-0.5, -0.5, -0.5), 0);
    expect_vector_near(zone.maximum, cVector3D(2, 0.5, 0.5), 0);
    const cVector3D low_corner(-1, -3, 0.25);
    __cZone3d_expand_to_contain(&zone, &low_corner);
    expect_vector_near(zone.minimum, cVector3D(-1, -3, -0.5), 0);
    expect_vector_near(zone.maximum, cVector3D(2, 0.5, 0.5), 0);
}

TEST(Zone, FromStringFillsMinimumThenMaximum)
{
    cZone3D zone(1, 1, 1);
    EXPECT_EQ(__cZone3d_zone_from_string(&zone, "-1#-2#-3#4#5#6#7#"), 7);
    expect_vector_near(zone.minimum, cVector3D(-1, -2, -3), 0);
    expect_vector_near(zone.maximum, cVector3D(4, 5, 6), 0);
    EXPECT_EQ(__cZone3d_zone_from_string(&zone, "0#0#0#9#"), 4);
    expect_vector_near(zone.maximum, cVector3D(9, 5, 6), 0);
}

}  // namespace
