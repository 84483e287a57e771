#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <vector>

#include "base/angles.h"
#include "base/trigonometry.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

double cos_entry(int i) { return std::cos(i * double(kPi) / 36000); }
double sin_entry(int i) { return std::sin(i * double(kPi) / 36000); }
double tan_entry(int i) { return std::tan(i * double(kPi) / 1800); }

struct TableCase {
    double degrees;
    int index;
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.degrees << " degrees";
}

class DegreeTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(DegreeTables, RoundToTheStepAndWrap)
{
    const TableCase& c = GetParam();
    EXPECT_EQ(cosTD(c.degrees), cos_entry(c.index));
    EXPECT_EQ(sinTD(c.degrees), sin_entry(c.index));
}

INSTANTIATE_TEST_SUITE_P(Edges, DegreeTables,
                         ::testing::Values(TableCase{0, 0}, TableCase{90, 18000}, TableCase{-0.001, 0},
                                           TableCase{360, 0}, TableCase{359.9999, 0}, TableCase{370, 2000},
                                           TableCase{-90, 54001}, TableCase{-350, 2001},
                                           TableCase{720.01, 2}, TableCase{-3600.001, 1}));

TEST(DegreeTables, KnownValues)
{
    EXPECT_EQ(cosTD(0), 1);
    EXPECT_EQ(sinTD(90), std::sin(18000 * double(kPi) / 36000));
    EXPECT_EQ(tanTD(359.96), 0);
    EXPECT_EQ(tanTD(45), tan_entry(450));
    EXPECT_EQ(tanTD(-45), tan_entry(3600 - 449));
    EXPECT_EQ(tanTD(3645), tan_entry(450));
}

TEST(RadianTables, GoThroughDegreesWithTheFloatInverseOfPi)
{
    for (double radians : {0.0, 0.3, 1.0, -2.5, 7.0, 100.0}) {
        const double degrees = radians * 180 * double(kInversePi);
        EXPECT_EQ(cosTR(radians), cosTD(degrees)) << radians;
        EXPECT_EQ(sinTR(radians), sinTD(degrees)) << radians;
        EXPECT_EQ(tanTR(radians), tanTD(degrees)) << radians;
    }
    EXPECT_NEAR(sinTR(kHalfPi), 1, 1e-12);
    EXPECT_NEAR(cosTR(kPi), -1, 1e-12);
}

TEST(TrigTables, HugeAnglesReturnTableValuesAndNonFiniteGiveNaN)
{
    for (double huge : {1e300, -1e300, 1e308, -1.7e308, 4.5e15}) {
        const double c = cosTD(huge);
        EXPECT_TRUE(c >= -1 && c <= 1) << huge;
        EXPECT_TRUE(std::isfinite(tanTD(huge))) << huge;
        EXPECT_TRUE(std::isfinite(sinTR(huge / 1e10))) << huge;
    }
    for (double bad : {kInf, -kInf, kNaN}) {
        EXPECT_TRUE(std::isnan(cosTD(bad)));
        EXPECT_TRUE(std::isnan(sinTD(bad)));
        EXPECT_TRUE(std::isnan(tanTD(bad)));
        EXPECT_TRUE(std::isnan(cosTR(bad)));
    }
}

// The entry as every lookup once found it, by an fmod of each angle: the
// fast path must give the very same entries, so every figure stays the same.
int entry_by_fmod(double degrees, double steps_per_degree, int entries)
{
    double steps = degrees * steps_per_degree + 0.5;
    if (!std::isfinite(steps)) steps = std::fmod(degrees, 360.0) * steps_per_degree + 0.5;
    const int index = int(std::fmod(steps, double(entries)));
    return index < 0 ? index + entries : index;
}

bool same_bits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Angles in degrees: a fine sweep over several turns either way, every
// rounding edge of the first turns, whole and half steps at many turns, and
// angles far beyond, up to the largest doubles.
std::vector<double> angles_to_pin()
{
    std::vector<double> angles;
    for (int i = 0; i < 400000; ++i) angles.push_back(-2600 + i * 0.0131);
    for (int step = -3000; step <= 3000; ++step)
        for (double offset : {-0.5, -0.4999999, 0.0, 0.4999999, 0.5})
            for (int turns : {0, 1, -1, 3, -3, 4, -4, 5, -5})
                angles.push_back((step + offset) * 0.005 + 360.0 * turns);
    for (double turns = 1; turns < 1e18; turns *= 3.7)
        for (double offset : {0.0, 0.0025, -0.0025, 0.1, 123.4567})
            for (double sign : {1.0, -1.0}) angles.push_back(sign * (360.0 * turns + offset));
    for (double huge : {1e300, -1e300, 1.7e308, -1.7e308, 9e305, -9e305, 4.5e15, 2.1e9, -2.1e9, 1.1e7, -1.1e7})
        angles.push_back(huge);
    return angles;
}

TEST(TrigTables, EveryAngleReadsTheEntryOfOneFmod)
{
    int mismatches = 0;
    for (double degrees : angles_to_pin()) {
        const bool same = same_bits(cosTD(degrees), cos_entry(entry_by_fmod(degrees, 200, 72000))) &&
                          same_bits(sinTD(degrees), sin_entry(entry_by_fmod(degrees, 200, 72000))) &&
                          same_bits(tanTD(degrees), tan_entry(entry_by_fmod(degrees, 10, 3600)));
        if (!same && ++mismatches <= 5) ADD_FAILURE() << std::setprecision(17) << degrees << " degrees";
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TrigTables, EveryRadianAngleReadsTheEntryOfOneFmod)
{
    int mismatches = 0;
    for (double degrees : angles_to_pin()) {
        const double radians = degrees / 57.29577951308232;
        const double through = radians * 180 * double(kInversePi);
        if (!std::isfinite(through)) continue;  // NaN, as the degree functions give
        const bool same = same_bits(cosTR(radians), cos_entry(entry_by_fmod(through, 200, 72000))) &&
                          same_bits(sinTR(radians), sin_entry(entry_by_fmod(through, 200, 72000))) &&
                          same_bits(tanTR(radians), tan_entry(entry_by_fmod(through, 10, 3600)));
        if (!same && ++mismatches <= 5) ADD_FAILURE() << std::setprecision(17) << radians << " radians";
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ArcTables, ClampToTheirEnds)
{
    EXPECT_EQ(acosT(-2), float(std::acos(-1.0)));
    EXPECT_EQ(acosT(2), 0.0f);
    EXPECT_EQ(acosT(-1e300), acosT(-1));
    EXPECT_EQ(acosT(kInf), 0.0f);
    EXPECT_EQ(acosT(0), float(std::acos(0.0)));
    EXPECT_EQ(asinT(0.5), float(std::asin(0.5)));
    EXPECT_EQ(asinT(7), float(std::asin(1.0)));
    EXPECT_EQ(atanT(100), float(std::atan(20.0)));
    EXPECT_EQ(atanT(1e300), float(std::atan(20.0)));
    EXPECT_EQ(atanT(-kInf), float(std::atan(-20.0)));
    EXPECT_EQ(atanT(1), float(std::atan(1.0)));
    EXPECT_EQ(atanT(-0.00001), 0.0f);
    EXPECT_TRUE(std::isnan(acosT(kNaN)));
    EXPECT_TRUE(std::isnan(atanT(kNaN)));
}

TEST(TrigBind, BringsAnglesIntoOneTurn)
{
    const double turn = kTwoPi;
    double angle = -0.5;
    trig_bind(&angle);
    EXPECT_EQ(angle, -0.5 + turn);
    angle = turn;
    trig_bind(&angle);
    EXPECT_EQ(angle, turn);
    angle = 7;
    trig_bind(&angle);
    EXPECT_EQ(angle, 7 - turn);
    angle = -20;
    trig_bind(&angle);
    EXPECT_EQ(angle, -20 + turn + turn + turn + turn);

    for (double huge : {1e300, -1e300, 1e9}) {
        angle = huge;
        trig_bind(&angle);
        EXPECT_TRUE(angle >= 0 && angle <= turn) << huge;
    }
    for (double bad : {kInf, -kInf, kNaN}) {
        angle = bad;
        trig_bind(&angle);
        EXPECT_EQ(angle, 0);
    }
}

TEST(TrigBind, SinglePrecision)
{
    float angle = -0.5f;
    trig_bind_32(&angle);
    EXPECT_EQ(angle, -0.5f + kTwoPi);
    angle = 3e38f;
    trig_bind_32(&angle);
    EXPECT_TRUE(angle >= 0 && angle <= kTwoPi);
    angle = std::numeric_limits<float>::infinity();
    trig_bind_32(&angle);
    EXPECT_EQ(angle, 0);
}

TEST(Gauss, TaylorSeriesNearZero)
{
    EXPECT_EQ(gauss_near_zero_taylor7(0, 1), 1);
    EXPECT_NEAR(gauss_near_zero_taylor7(1, 1), std::exp(-0.5), 1e-6);
    EXPECT_NEAR(gauss_near_zero_taylor7(0.5f, 2), std::exp(-0.0625), 1e-12);
}

TEST(Bitmask, SetsOneBitPerNumber)
{
    EXPECT_EQ(uint32_t(construct_bitmask(0, 3, -1, -1, -1, -1, -1, 31)), 1u + 8u + (1u << 31));
    EXPECT_EQ(construct_bitmask(-1, -1, -1, -1, -1, -1, -1, -1), 0);
    EXPECT_EQ(construct_bitmask(33, 1, -1, -1, -1, -1, -1, -1), 2);
    EXPECT_EQ(uint32_t(construct_bitmask(-2, -33, -32, -1, -1, -1, -1, -1)), (1u << 30) | (1u << 31) | 1u);
    EXPECT_EQ(uint32_t(construct_bitmask(-32768, 32767, -1, -1, -1, -1, -1, -1)), 1u | (1u << 31));
}

}  // namespace
