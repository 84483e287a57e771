// Angle constants in single precision, all derived from the float value of pi.
// They are used widened in double arithmetic, and every peer must widen the
// same float, so they are never replaced by double-precision values.
#pragma once

constexpr float kPi = 3.1415927f;
constexpr float kThreeHalfPi = 3.0f * kPi / 2.0f;
constexpr float kInversePi = 1.0f / kPi;
constexpr float kTwoPi = 2.0f * kPi;
constexpr float kSixthPi = kPi / 6.0f;
constexpr float kQuarterPi = kPi / 4.0f;
constexpr float kThirdPi = kPi / 3.0f;
constexpr float kHalfPi = kPi / 2.0f;
constexpr float kDegreesToRadians = kPi / 180.0f;
constexpr float kRadiansToDegrees = 180.0f / kPi;
