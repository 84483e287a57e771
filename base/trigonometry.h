// Table-driven trigonometry for per-vertex and per-frame code: one multiply,
// one conversion, one wrap and one load each; only angles beyond a few turns
// pay for an fmod as well. "TD" functions take degrees, "TR" radians.
// Non-finite angles give NaN rather than an index.
#pragma once

#include "base/keel.h"

// Fills every table; the arc-tangent table is allocated on the heap.
KEEL_API void __init_trig_tables();
// Frees the arc-tangent table; the static tables stay filled.
KEEL_API void __clear_trig_tables();

KEEL_API double cosTD(double degrees);
KEEL_API double sinTD(double degrees);
KEEL_API double tanTD(double degrees);
KEEL_API double cosTR(double radians);
KEEL_API double sinTR(double radians);
KEEL_API double tanTR(double radians);
// Inputs outside -1..1 read the end entries.
KEEL_API float acosT(double x);
KEEL_API float asinT(double x);
// Inputs outside -20..20 read the end entries; needs the heap table.
KEEL_API float atanT(double x);

// Brings an angle into 0..2pi; a non-finite angle becomes 0.
KEEL_API void trig_bind(double* angle);
KEEL_API void trig_bind_32(float* angle);

// e^(-d / (2 s^2)) by its seventh-order Taylor series, for small exponents.
KEEL_API double gauss_near_zero_taylor7(float d, float s);
// OR of 1 << (n mod 32) for each bit number n that is not -1.
KEEL_API int32_t construct_bitmask(int16_t b0, int16_t b1, int16_t b2, int16_t b3, int16_t b4, int16_t b5,
                                   int16_t b6, int16_t b7);
