#include <gtest/gtest.h>

#include "platform/tangent.h"

TEST(Tangent, FollowsUAndFallsBackToX)
{
    const struct {
        const char* name;
        cVector3D p0, p1, p2;
        cVector2D<double> t0, t1, t2;
        cVector3D expected;
    } cases[] = {
        {"u along y", {0, 0, 0}, {0, 2, 0}, {0, 0, 3}, {0, 0}, {1, 0}, {0, 1}, {0, 1, 0}},
        {"u along -z", {0, 0, 0}, {0, 0, -5}, {1, 0, 0}, {0, 0}, {1, 0}, {0, 1}, {0, 0, -1}},
        {"degenerate uvs", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0}, {1, 1}, {2, 2}, {1, 0, 0}},
        {"tiny uv area", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0}, {0.001, 0}, {0, 0.05}, {1, 0, 0}},
        {"all positions alike", {3, 3, 3}, {3, 3, 3}, {3, 3, 3}, {0, 0}, {1, 0}, {0, 1}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        const cVector3D t = trellis::triangle_tangent(c.p0, c.p1, c.p2, c.t0, c.t1, c.t2);
        EXPECT_NEAR(t.x, c.expected.x, 1e-9) << c.name;
        EXPECT_NEAR(t.y, c.expected.y, 1e-9) << c.name;
        EXPECT_NEAR(t.z, c.expected.z, 1e-9) << c.name;
    }
}
