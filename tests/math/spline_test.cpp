#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/spline.h"
#include "tests/math/math_expect.h"
#include "tests/math/packed_bytes.h"

namespace {

cSpline3D spline_through(const std::vector<cVector3D>& points, bool looped)
{
    cSpline3D spline;
    __cSpline3d_create_with_control_points(&spline, points.data(), uint32_t(points.size()));
    spline.looped = looped;
    return spline;
}

// Ten points on a circle of radius 10 in the x-z plane.
cSpline3D ring(bool looped)
{
    std::vector<cVector3D> points;
    for (int i = 0; i < 10; ++i) {
        const double a = i * 2 * M_PI / 10;
        points.emplace_back(10 * std::cos(a), 0, 10 * std::sin(a));
    }
    return spline_through(points, looped);
}

const std::vector<cVector3D> kZigzag = {cVector3D(0, 0, 0), cVector3D(4, 0, 0), cVector3D(4, 3, 0),
                                        cVector3D(8, 3, 1)};

TEST(SplineGrowth, CapacityDoublesAsPointsAreAdded)
{
    cSpline3D spline;
    __cSpline3d_create_empty(&spline, 0);
    std::vector<int32_t> capacities;
    for (int i = 0; i < 5; ++i) {
        const cVector3D p(i, 0, 0);
        EXPECT_EQ(__cSpline3d_add_control_point(&spline, &p), i + 1);
        capacities.push_back(spline.capacity);
    }
    EXPECT_EQ(capacities, std::vector<int32_t>({1, 2, 4, 4, 8}));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(spline.points[i].x, i);
}

TEST(SplineGrowth, ExpandGoesToThePowerOfTwoAboveAndKeepsPoints)
{
    cSpline3D spline = spline_through(kZigzag, false);
    spline.count = 3;
    spline.capacity = 3;
    EXPECT_EQ(__cSpline3d_expand_array(&spline, 2), 3);
    EXPECT_EQ(__cSpline3d_expand_array(&spline, 9), 16);
    EXPECT_EQ(spline.count, 3);
    expect_vector_near(spline.points[2], kZigzag[2], 0);

    cSpline3D empty;
    __cSpline3d_create_empty(&empty, 6);
    EXPECT_EQ(empty.capacity, 6);
    EXPECT_EQ(empty.count, 0);
}

// Doubling from 16384 would give 32768 points, one more than a packed spline
// can carry; growth stops at the limit, so such a spline reads back its own
// packed form, and a full one takes no further point.
TEST(SplineGrowth, StopsAtThePackedLimitAndStillReadsBack)
{
    cSpline3D spline;
    __cSpline3d_create_empty(&spline, 0);
    for (int i = 0; i < 16385; ++i) {
        const cVector3D p(i, 0, 0);
        ASSERT_EQ(__cSpline3d_add_control_point(&spline, &p), i + 1);
    }
    EXPECT_EQ(spline.capacity, kMaxSplinePoints);

    std::vector<uint8_t> bytes(size_t(spline.serialized_size()));
    spline.serialize(bytes.data());
    cSpline3D back;
    EXPECT_EQ(back.deserialize(bytes.data()), spline.serialized_size());
    EXPECT_TRUE(__cSpline3d_is_equal_to(&back, &spline));

    while (spline.count < kMaxSplinePoints) {
        const cVector3D p(spline.count, 0, 0);
        __cSpline3d_add_control_point(&spline, &p);
    }
    const cVector3D extra(-1, -1, -1);
    EXPECT_EQ(__cSpline3d_add_control_point(&spline, &extra), kMaxSplinePoints);
    EXPECT_EQ(spline.count, kMaxSplinePoints);
    EXPECT_EQ(__cSpline3d_expand_array(&spline, kMaxSplinePoints + 1), kMaxSplinePoints);
    EXPECT_EQ(spline.points[kMaxSplinePoints - 1].x, kMaxSplinePoints - 1);
}

TEST(HardValue, InterpolatesLinearlyAndEndsOnTheLastPoint)
{
    const cSpline3D spline = spline_through(kZigzag, false);
    cVector3D out;
    __cSpline3d_get_hard_value(&spline, &out, 0.25);
    expect_vector_near(out, cVector3D(1, 0, 0), 0);
    __cSpline3d_get_hard_value(&spline, &out, 1.5);
    expect_vector_near(out, cVector3D(4, 1.5, 0), 0);
    __cSpline3d_get_hard_value(&spline, &out, 3);
    expect_vector_near(out, kZigzag[3], 0);
    __cSpline3d_get_hard_value(&spline, &out, 3.5);
    expect_vector_near(out, kZigzag[3], 0);
}

TEST(HardValue, LoopedSplineClosesBackToTheStart)
{
    const cSpline3D spline = spline_through(kZigzag, true);
    cVector3D out;
    __cSpline3d_get_hard_value(&spline, &out, 3.5);
    expect_vector_near(out, cVector3D(4, 1.5, 0.5), 0);
    __cSpline3d_get_hard_value(&spline, &out, -0.5);
    expect_vector_near(out, cVector3D(-2, 0, 0), 0);
}

TEST(SmoothValue, PassesThroughControlPoints)
{
    for (bool looped : {false, true}) {
        const cSpline3D spline = spline_through(kZigzag, looped);
        for (int i = 0; i < 4; ++i) {
            cVector3D out;
            __cSpline3d_get_smooth_value(&spline, &out, i);
            expect_vector_near(out, kZigzag[size_t(i)], 0);
        }
    }
}

TEST(SmoothValue, BezierWithBlendedTangents)
{
    const cSpline3D spline = spline_through(kZigzag, false);
    // Segment 1 from (4, 0, 0) to (4, 3, 0): both ends blend their tangents.
    const cVector3D p0 = kZigzag[0], p1 = kZigzag[1], p2 = kZigzag[2], p3 = kZigzag[3];
    const double l = (p2 - p1).length();
    const cVector3D t1 = ((p2 - p1).normalized() + (p1 - p0).normalized()).normalized();
    const cVector3D t2 = ((p1 - p2).normalized() + (p2 - p3).normalized()).normalized();
    const cVector3D c1 = p1 + t1 * l / 3;
    const cVector3D c2 = p2 + t2 * l / 3;
    const double f = 0.25, u = 0.75;
    const cVector3D expected = p1 * (u * u * u) + c1 * (3 * u * u * f) + c2 * (3 * u * f * f) + p2 * (f * f * f);
    cVector3D out;
    __cSpline3d_get_smooth_value(&spline, &out, 1.25);
    expect_vector_near(out, expected, 0);

    // The first segment of an open spline leaves along its chord.
    __cSpline3d_get_smooth_value(&spline, &out, 0.01);
    EXPECT_NEAR(out.y, 0, 1e-3);
    EXPECT_GT(out.x, 0);
}

TEST(SmoothValue, NonFiniteParameterGivesNaNNotACrash)
{
    const cSpline3D spline = ring(true);
    cVector3D out;
    __cSpline3d_get_smooth_value(&spline, &out, std::nan(""));
    EXPECT_TRUE(std::isnan(out.x));
    __cSpline3d_get_hard_value(&spline, &out, std::numeric_limits<double>::infinity());
    __cSpline3d_get_smooth_value(&spline, &out, 1e300);
}

TEST(ClosestValue, FindsTheParameterOfTheNearestPoint)
{
    const cSpline3D spline = ring(true);
    cVector3D target;
    __cSpline3d_get_smooth_value(&spline, &target, 3.4);
    const cVector3D outside = target * 1.05;
    const double t = __cSpline3d_get_value_closest_to(&spline, &outside, 0.001, 25);
    EXPECT_NEAR(t, 3.4, 0.01);
}

TEST(ClosestValue, LoopedSearchWrapsIntoTheLoop)
{
    const cSpline3D spline = ring(true);
    cVector3D target;
    __cSpline3d_get_smooth_value(&spline, &target, 9.8);
    const double t = __cSpline3d_get_value_closest_to(&spline, &target, 0.001, 25);
    EXPECT_GE(t, 0);
    EXPECT_LE(t, 10);
    cVector3D found;
    __cSpline3d_get_smooth_value(&spline, &found, t);
    EXPECT_LT((found - target).length(), 0.05);
}

TEST(ClosestValue, OpenSearchIsNotWrapped)
{
    const cSpline3D spline = spline_through(kZigzag, false);
    const cVector3D before_start(-3, 0, 0);
    const double t = __cSpline3d_get_value_closest_to(&spline, &before_start, 0.001, 25);
    EXPECT_LT(t, 0);
}

TEST(ClosestValue, ZeroForwardStepStopsWithTheErrorLine)
{
    // Every sample of a curve collapsed onto the origin is exactly zero.
    const cSpline3D spline = spline_through({cVector3D(0, 0, 0), cVector3D(0, 0, 0)}, false);
    const cVector3D point(1, 0, 0);
    ::testing::internal::CaptureStdout();
    const double t = __cSpline3d_get_value_closest_to(&spline, &point, 0.001, 25);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "ERROR: Error, spline forward guess comes out to zero\n");
    EXPECT_EQ(t, 0);
}

TEST(ClosestValue, NonFinitePointsReturn)
{
    const cSpline3D spline = ring(true);
    for (double bad : {std::numeric_limits<double>::infinity(), std::nan(""), 1e300}) {
        const cVector3D point(bad, 0, 0);
        const double t = __cSpline3d_get_value_closest_to(&spline, &point, 0.001, 25);
        EXPECT_TRUE(std::isfinite(t)) << bad;
    }
}

TEST(SplineCopy, SetBySplineCopiesAndIsEqual)
{
    const cSpline3D source = spline_through(kZigzag, true);
    cSpline3D copy = ring(false);
    __cSpline3d_set_by_spline(&copy, &source);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&copy, &source));
    EXPECT_NE(copy.points, source.points);
    EXPECT_EQ(copy.capacity, source.capacity);

    __cSpline3d_set_by_spline(&copy, &copy);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&copy, &source));

    const cSpline3D constructed(source);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&constructed, &source));
}

TEST(SplineCompare, LoopedFlagCountAndPointsMatter)
{
    const cSpline3D a = spline_through(kZigzag, false);
    cSpline3D b = spline_through(kZigzag, false);
    b.points[2].y += 1e-7;
    EXPECT_TRUE(__cSpline3d_is_equal_to(&a, &b));
    b.points[2].y += 1e-5;
    EXPECT_FALSE(__cSpline3d_is_equal_to(&a, &b));
    const cSpline3D looped = spline_through(kZigzag, true);
    EXPECT_FALSE(__cSpline3d_is_equal_to(&a, &looped));
    const cSpline3D shorter = spline_through({kZigzag.begin(), kZigzag.end() - 1}, false);
    EXPECT_FALSE(__cSpline3d_is_equal_to(&a, &shorter));
}

TEST(SplineText, WritesAndReadsTheTextForm)
{
    const cSpline3D open = spline_through({cVector3D(1, 2, 3), cVector3D(4, 5, 6)}, false);
    char text[256];
    __cSpline3d_spline_to_string(&open, text);
    EXPECT_STREQ(text, "S2#1.000#2.000#3.000#4.000#5.000#6.000#");

    cSpline3D back;
    __cSpline3d_spline_from_string(&back, text);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&back, &open));
    EXPECT_EQ(back.capacity, 2);

    const cSpline3D looped = spline_through({cVector3D(-0.5, 0.0004, 1e3)}, true);
    __cSpline3d_spline_to_string(&looped, text);
    EXPECT_STREQ(text, "C1#-0.500#0.000#1000.000#");
    __cSpline3d_spline_from_string(&back, text);
    EXPECT_EQ(back.looped, 1);
    EXPECT_EQ(back.count, 1);
}

TEST(SplineText, SurplusNumbersAreIgnoredAndMissingOnesStayZero)
{
    cSpline3D spline;
    __cSpline3d_spline_from_string(&spline, "S2#1#2#3#4#5#6#7#8#9#10#");
    EXPECT_EQ(spline.count, 2);
    expect_vector_near(spline.points[1], cVector3D(4, 5, 6), 0);

    __cSpline3d_spline_from_string(&spline, "S3#1#2#3#4#");
    EXPECT_EQ(spline.count, 3);
    expect_vector_near(spline.points[1], cVector3D(4, 0, 0), 0);
    expect_vector_near(spline.points[2], cVector3D(0, 0, 0), 0);
}

class BadSplineText : public ::testing::TestWithParam<const char*> {};

TEST_P(BadSplineText, IsRefusedAndLeavesTheSplineAlone)
{
    cSpline3D spline = spline_through(kZigzag, false);
    ::testing::internal::CaptureStdout();
    __cSpline3d_spline_from_string(&spline, GetParam());
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("ERROR: ", 0), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
    const cSpline3D unchanged = spline_through(kZigzag, false);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&spline, &unchanged));
}

INSTANTIATE_TEST_SUITE_P(Counts, BadSplineText,
                         ::testing::Values("S-1#1#2#3#", "C40000#", "S99999999999999999999#", "S#", "S",
                                           "", "Sx#1#"));

TEST(SplinePacking, HeaderThenPointsForTheCapacity)
{
    cSpline3D spline;
    __cSpline3d_create_empty(&spline, 4);
    const cVector3D a(1, 2, 3), b(4, 5, 6);
    __cSpline3d_add_control_point(&spline, &a);
    __cSpline3d_add_control_point(&spline, &b);
    spline.looped = 1;
    EXPECT_EQ(spline.serialized_size(), 9 + 12 * 4);
    const std::vector<uint8_t> bytes = packed(spline);
    ASSERT_EQ(bytes.size(), 57u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 9),
              std::vector<uint8_t>({2, 0, 0, 0, 4, 0, 0, 0, 1}));
    EXPECT_EQ(float_at(bytes, 9), 1);
    EXPECT_EQ(float_at(bytes, 9 + 12 + 8), 6);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 33, bytes.end()), std::vector<uint8_t>(24, 0));

    cSpline3D back;
    EXPECT_EQ(back.deserialize(bytes.data()), 57);
    EXPECT_TRUE(__cSpline3d_is_equal_to(&back, &spline));
    EXPECT_EQ(back.capacity, 4);
}

TEST(SplinePacking, RefusesCountsBeyondTheCapacity)
{
    const uint8_t forged[9] = {200, 0, 0, 0, 1, 0, 0, 0, 0};
    cSpline3D spline = spline_through(kZigzag, false);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(spline.deserialize(forged), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout().rfind("ERROR: ", 0), 0u);
    EXPECT_EQ(spline.count, 4);
}

}  // namespace
