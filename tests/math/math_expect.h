// Comparisons of matrices, quaternions and vectors for the math tests.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"

inline void PrintTo(const cVector3D& v, std::ostream* os)
{
    *os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

inline void PrintTo(const cQuaternion& q, std::ostream* os)
{
    *os << "(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ")";
}

inline void expect_matrix_near(const cMatrix3D& actual, const cMatrix3D& expected, double tolerance)
{
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

inline void expect_matrix_eq(const cMatrix3D& actual, const cMatrix3D& expected)
{
    for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(actual.m[i], expected.m[i]) << "element " << i;
}

inline void expect_vector_near(const cVector3D& actual, const cVector3D& expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void expect_quaternion_near(const cQuaternion& actual, const cQuaternion& expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}
