#include "base/trigonometry.h"

#include <cmath>
#include <initializer_list>
#include <limits>

#include "base/angles.h"

namespace {

constexpr int kTurnEntries = 72000;       // steps of 0.005 degree
constexpr int kTangentEntries = 3600;     // steps of 0.1 degree
constexpr int kArcEntries = 20001;        // -1..1 in steps of 0.0001
constexpr int kArcTangentHalf = 1000000;  // -20..20 in steps of 0.00002
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double cosineTable[kTurnEntries];
double sineTable[kTurnEntries];
double tangentTable[kTangentEntries];
float arcCosineTable[kArcEntries];
float arcSineTable[kArcEntries];
float* arcTangentTable = nullptr;

// Angles within this many turns either way are wrapped by whole turns; only
// those beyond pay for an fmod, which also keeps huge ones from looping.
constexpr int kNearTurns = 4;

// An index less than kNearTurns turns from 0 either way, brought into one
// turn: the sum is never negative, so its remainder is the entry.
int wrapped_index(int index, int entries)
{
    return (index + kNearTurns * entries) % entries;
}

// Far angles are brought within one turn first. The remainder is exact, so
// this gives the same entry as stepping by whole turns would.
int far_turn_index(double degrees, double steps, double steps_per_degree, int entries)
{
    if (!std::isfinite(steps)) steps = std::fmod(degrees, 360.0) * steps_per_degree + 0.5;
    return wrapped_index(int(std::fmod(steps, double(entries))), entries);
}

// The entry of a table of `entries` steps over one turn for an angle in
// degrees: rounded to the nearest step (halves toward zero for negative
// angles), then wrapped.
int turn_index(double degrees, double steps_per_degree, int entries)
{
    const double steps = degrees * steps_per_degree + 0.5;
    const double near = double(kNearTurns) * entries;
    if (steps > -near && steps < near) return wrapped_index(int(steps), entries);
    return far_turn_index(degrees, steps, steps_per_degree, entries);
}

double radians_to_degrees(double radians)
{
    return radians * 180 * kInversePi;
}

int arc_index(double x)
{
    const double steps = (x + 1) * 10000;
    if (steps <= 0) return 0;
    if (steps >= kArcEntries - 1) return kArcEntries - 1;
    return int(steps);
}

template <class T>
void bind_to_turn(T* angle)
{
    constexpr T turn = kTwoPi;
    // Beyond a few turns the stepping below would take too long, or never end.
    constexpr T far = 16 * turn;
    if (!std::isfinite(*angle)) {
        *angle = 0;
        return;
    }
    if (std::fabs(*angle) > far) *angle = std::fmod(*angle, turn);
    while (*angle < 0) *angle += turn;
    while (*angle > turn) *angle -= turn;
}

}  // namespace

void __init_trig_tables()
{
    for (int i = 0; i < kTurnEntries; ++i) {
        cosineTable[i] = std::cos(i * double(kPi) / 36000);
        sineTable[i] = std::sin(i * double(kPi) / 36000);
    }
    for (int i = 0; i < kTangentEntries; ++i) tangentTable[i] = std::tan(i * double(kPi) / 1800);
    for (int i = 0; i < kArcEntries; ++i) {
        arcCosineTable[i] = float(std::acos(i / 10000.0 - 1));
        arcSineTable[i] = float(std::asin(i / 10000.0 - 1));
    }
    if (!arcTangentTable) arcTangentTable = new float[2 * kArcTangentHalf + 1];
    for (int i = 0; i <= 2 * kArcTangentHalf; ++i)
        arcTangentTable[i] = float(std::atan((i - kArcTangentHalf) / 50000.0));
}

void __clear_trig_tables()
{
    delete[] arcTangentTable;
    arcTangentTable = nullptr;
}

double cosTD(double degrees)
{
    if (!std::isfinite(degrees)) return kNaN;
    return cosineTable[turn_index(degrees, 200, kTurnEntries)];
}

double sinTD(double degrees)
{
    if (!std::isfinite(degrees)) return kNaN;
    return sineTable[turn_index(degrees, 200, kTurnEntries)];
}

double tanTD(double degrees)
{
    if (!std::isfinite(degrees)) return kNaN;
    return tangentTable[turn_index(degrees, 10, kTangentEntries)];
}

double cosTR(double radians)
{
    return cosTD(radians_to_degrees(radians));
}

double sinTR(double radians)
{
    return sinTD(radians_to_degrees(radians));
}

double tanTR(double radians)
{
    return tanTD(radians_to_degrees(radians));
}

float acosT(double x)
{
    if (std::isnan(x)) return float(kNaN);
    return arcCosineTable[arc_index(x)];
}

float asinT(double x)
{
    if (std::isnan(x)) return float(kNaN);
    return arcSineTable[arc_index(x)];
}

float atanT(double x)
{
    if (std::isnan(x) || !arcTangentTable) return float(kNaN);
    // Clamped in double: converting a huge value to int is undefined.
    const double steps = std::fmax(-kArcTangentHalf, std::fmin(double(kArcTangentHalf), x * 50000));
    return arcTangentTable[int(steps) + kArcTangentHalf];
}

void trig_bind(double* angle)
{
    bind_to_turn(angle);
}

void trig_bind_32(float* angle)
{
    bind_to_turn(angle);
}

double gauss_near_zero_taylor7(float d, float s)
{
    const double c = -d / (2 * s * s);
    return 1 + c + c * c / 2 + c * c * c / 6 + c * c * c * c / 24 + c * c * c * c * c / 120 +
           c * c * c * c * c * c / 720 + c * c * c * c * c * c * c / 5040;
}

int32_t construct_bitmask(int16_t b0, int16_t b1, int16_t b2, int16_t b3, int16_t b4, int16_t b5, int16_t b6,
                          int16_t b7)
{
    uint32_t mask = 0;
    for (int16_t bit : {b0, b1, b2, b3, b4, b5, b6, b7}) {
        if (bit == -1) continue;
        mask |= 1u << (((bit % 32) + 32) % 32);
    }
    return int32_t(mask);
}
