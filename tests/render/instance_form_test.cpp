// A renderer instance's 32-byte packed form.
#include <gtest/gtest.h>

#include <vector>

#include "../math/packed_bytes.h"
#include "scene/visible_object.h"

using RendererInstance = _ctVisibleObjectBase::RendererInstance;

TEST(RendererInstanceForm, IsPositionRotationAndRadiusInFloat32)
{
    RendererInstance instance(nullptr, cVector3D(2, 2, 2));
    EXPECT_EQ(instance.radius, 0.0f);
    instance.position = cVector3D(1, 2, 3);
    instance.rotation = cQuaternion(0, 0.6, 0, 0.8);
    instance.radius = 4;
    EXPECT_EQ(instance.serialized_size(), 32);
    EXPECT_EQ(packed(instance), float_bytes({1, 2, 3, 0, 0.6f, 0, 0.8f, 4}));
}

TEST(RendererInstanceForm, ReadingNormalisesTheRotationAndRefusesDamage)
{
    RendererInstance instance(nullptr, cVector3D(1, 1, 1));
    std::vector<uint8_t> bytes = float_bytes({5, 6, 7, 0, 3, 0, 4, 9});
    EXPECT_EQ(instance.deserialize(bytes.data()), 32);
    EXPECT_DOUBLE_EQ(instance.position.z, 7);
    EXPECT_NEAR(instance.rotation.y, 0.6, 1e-6);
    EXPECT_NEAR(instance.rotation.w, 0.8, 1e-6);
    EXPECT_EQ(instance.radius, 9.0f);
    EXPECT_DOUBLE_EQ(instance.scale.x, 1) << "the scale does not travel";

    std::vector<uint8_t> damaged = float_bytes({1, 1, 1, 0, 0, 0, 1, __builtin_nanf("")});
    EXPECT_EQ(instance.deserialize(damaged.data()), -1);
    EXPECT_DOUBLE_EQ(instance.position.x, 5) << "unchanged";
}
