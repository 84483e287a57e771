// The table cosine in degrees and in radians against std::cos on the same
// angles: the per-vertex and per-frame angles the game draws with, within a
// few turns either way.
#include "base/angles.h"
#include "base/trigonometry.h"
#include "bench/support/timing.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kAngles = 1 << 20;

// Every sum lands here, so no loop can be left out.
volatile double checksum = 0;

// Deterministic angles over -720..720 degrees.
std::vector<double> make_degrees()
{
    std::vector<double> degrees(kAngles);
    for (int i = 0; i < kAngles; ++i) degrees[size_t(i)] = double((unsigned(i) * 2654435761u) % 1440000u) / 1000 - 720;
    return degrees;
}

template <typename Cosine>
double nanoseconds_per_call(const std::vector<double>& angles, Cosine cosine)
{
    const double seconds = median_seconds([&] {
        double sum = 0;
        for (double angle : angles) sum += cosine(angle);
        checksum = checksum + sum;
    });
    return seconds * 1e9 / double(angles.size());
}

}  // namespace

int main()
{
    __init_trig_tables();
    const std::vector<double> degrees = make_degrees();
    std::vector<double> radians(degrees.size());
    for (size_t i = 0; i < degrees.size(); ++i) radians[i] = degrees[i] * double(kDegreesToRadians);

    const double table_degrees = nanoseconds_per_call(degrees, cosTD);
    const double library_degrees =
        nanoseconds_per_call(degrees, [](double d) { return std::cos(d * double(kDegreesToRadians)); });
    const double table_radians = nanoseconds_per_call(radians, cosTR);
    const double library_radians = nanoseconds_per_call(radians, [](double r) { return std::cos(r); });
    __clear_trig_tables();

    print_ratio("cosTD, one call", table_degrees, "ns", library_degrees, "ns std::cos");
    print_ratio("cosTR, one call", table_radians, "ns", library_radians, "ns std::cos");
    return 0;
}
