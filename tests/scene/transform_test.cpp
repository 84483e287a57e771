// What transforms push onto the graphics matrix stack.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "base/modules.h"
#include "scene/transform.h"

namespace {

std::vector<std::string> calls;
cVector3D last_translate, last_scale;
cMatrix3D last_rotation;

void record_translate(cVector3D* offset)
{
    calls.push_back("translate");
    last_translate = *offset;
}
void record_scale(cVector3D* scale)
{
    calls.push_back("scale");
    last_scale = *scale;
}
void record_transform(cMatrix3D* rotation)
{
    calls.push_back("transform");
    last_rotation = *rotation;
}
void record_pop()
{
    calls.push_back("pop");
}

class TransformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        table.push_translate = record_translate;
        table.push_scale = record_scale;
        table.push_transform = record_transform;
        table.pop_matrix = record_pop;
        saved = __mGraphics_instance()->interface_table;
        __mGraphics_instance()->interface_table = &table;
    }
    void TearDown() override { __mGraphics_instance()->interface_table = saved; }

    graphics_interface table{};
    graphics_interface* saved = nullptr;
};

using Calls = std::vector<std::string>;

TEST_F(TransformTest, PushesTranslationThenRotationAndPopsBoth)
{
    const double half = std::sqrt(0.5);
    ctTransform transform(cVector3D(1, 2, 3), cQuaternion(0, 0, half, half));
    transform.begin_transform();
    EXPECT_EQ(calls, (Calls{"translate", "transform"}));
    EXPECT_EQ(last_translate.z, 3);
    cMatrix3D expected;
    __cMatrix3d_from_quaternion(&expected, &transform.rotation);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(last_rotation.m[i], expected.m[i]) << i;
    // A quarter turn about z: not the identity.
    EXPECT_NEAR(last_rotation.m[0], 0, 1e-12);
    transform.end_transform();
    EXPECT_EQ(calls, (Calls{"translate", "transform", "pop", "pop"}));
}

TEST_F(TransformTest, ScaledTransformScalesLastAndPopsThree)
{
    ctScaledTransform transform(cVector3D(0, 0, 0), cQuaternion(), cVector3D(2, 3, 4));
    transform.begin_transform();
    transform.end_transform();
    EXPECT_EQ(calls, (Calls{"translate", "transform", "scale", "pop", "pop", "pop"}));
    EXPECT_EQ(last_scale.y, 3);
    EXPECT_EQ(ctScaledTransform().scale.x, 1);
}

TEST_F(TransformTest, NothingIsPushedWithoutAGraphicsModule)
{
    __mGraphics_instance()->interface_table = nullptr;
    ctScaledTransform transform;
    transform.begin_transform();
    transform.end_transform();
    EXPECT_TRUE(calls.empty());
}

}  // namespace
