// The program's particles: they move, age out after their life, sort back
// to front along the camera's view, and refuse numbers the sort cannot order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/particles.h"

namespace {

const cColor kGrey(0.5f, 0.5f, 0.5f, 1.0f);

void add_at(cVantorParticleSystem& system, const cVector3D& position, float life = 10)
{
    ASSERT_TRUE(system.add(position, cVector3D(), kGrey, life, 1.0f));
}

}  // namespace

TEST(Particles, ALifeOfOneLastsTwoHalfSecondUpdatesAndGoesOnTheThird)
{
    cVantorParticleSystem system;
    ASSERT_TRUE(system.add(cVector3D(), cVector3D(2, 0, 0), kGrey, 1.0f, 0.5f));
    const cMatrix3D camera;
    system.update(0.5f, cVector3D(), camera);
    ASSERT_EQ(system.count(), 1u);
    EXPECT_FLOAT_EQ(system.get(0)->fade(), 0.5f);
    EXPECT_DOUBLE_EQ(system.get(0)->position.x, 1.0);
    system.update(0.5f, cVector3D(), camera);
    ASSERT_EQ(system.count(), 1u) << "life 0 is still there";
    EXPECT_EQ(system.get(0)->fade(), 0.0f);
    system.update(0.5f, cVector3D(), camera);
    EXPECT_EQ(system.count(), 0u);
}

TEST(Particles, TheyAreSortedFarthestFirstAlongTheView)
{
    // The camera looks down minus its third column: here along -z from z = 10.
    cVantorParticleSystem system;
    for (double z : {5.0, -20.0, 8.0, 0.0}) add_at(system, cVector3D(0, 0, z));
    system.update(0, cVector3D(0, 0, 10), cMatrix3D());
    ASSERT_EQ(system.count(), 4u);
    const double expected[] = {-20, 0, 5, 8};
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(system.get(i)->position.z, expected[i]) << i;
    EXPECT_FLOAT_EQ(system.get(0)->depth, -30.0f);

    // Turned half round about y the camera looks along +z: the order flips.
    system.update(0, cVector3D(0, 0, -30), cMatrix3D(-1, 0, 0, 0, 1, 0, 0, 0, -1));
    EXPECT_EQ(system.get(0)->position.z, 8);
    EXPECT_EQ(system.get(3)->position.z, -20);
}

TEST(Particles, NonFiniteNumbersAreRefusedAndAZeroLifeFadesToZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    cVantorParticleSystem system;
    EXPECT_FALSE(system.add(cVector3D(), cVector3D(), kGrey, nan, 1));
    EXPECT_FALSE(system.add(cVector3D(), cVector3D(), kGrey, std::numeric_limits<float>::infinity(), 1));
    EXPECT_FALSE(system.add(cVector3D(inf, 0, 0), cVector3D(), kGrey, 1, 1));
    EXPECT_FALSE(system.add(cVector3D(), cVector3D(0, nan, 0), kGrey, 1, 1));
    EXPECT_FALSE(system.add(cVector3D(), cVector3D(), kGrey, 1, nan));
    EXPECT_EQ(system.count(), 0u);

    EXPECT_TRUE(system.add(cVector3D(), cVector3D(), kGrey, 0, 1));
    EXPECT_EQ(system.get(0)->fade(), 0.0f);
    system.update(0.01f, cVector3D(), cMatrix3D());
    EXPECT_EQ(system.count(), 0u);

    // A particle thrown so fast its depth overflows is dropped, not sorted.
    EXPECT_TRUE(system.add(cVector3D(), cVector3D(0, 0, 1e300), kGrey, 1e20f, 1));
    add_at(system, cVector3D(0, 0, 1), 1e20f);
    system.update(1e10f, cVector3D(), cMatrix3D());
    EXPECT_EQ(system.count(), 1u);
    system.clear();
    EXPECT_EQ(system.count(), 0u);
}
