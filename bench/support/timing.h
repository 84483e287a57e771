// Timing for the benchmarks: the median of several runs of a callable, and
// the one line each benchmark prints.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Median seconds of one call of work over runs calls (after one warm-up).
template <typename Work>
double median_seconds(Work&& work, int runs = 15)
{
    work();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// "name: figure (unit) against reference (unit): ratio"
inline void print_ratio(const char* name, double figure, const char* figure_what, double reference,
                        const char* reference_what)
{
    printf("%-40s %12.6g %-18s | %12.6g %-22s | ratio %.4g\n", name, figure, figure_what, reference, reference_what,
           reference != 0 ? figure / reference : 0.0);
}

// One frame at 60 frames per second, the budget most figures are set against.
constexpr double kFrameBudgetSeconds = 1.0 / 60.0;
