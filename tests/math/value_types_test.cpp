#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "base/color.h"
#include "base/light.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"
#include "base/zone.h"
#include "tests/math/packed_bytes.h"

namespace {

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct PackCase {
    std::string name;
    std::function<std::unique_ptr<cSerializable, void (*)(cSerializable*)>()> make;
    std::vector<uint8_t> bytes;
};

template <class T, class... Args>
std::unique_ptr<cSerializable, void (*)(cSerializable*)> make_value(Args... args)
{
    return {new T(args...), [](cSerializable* value) { delete static_cast<T*>(value); }};
}

std::vector<PackCase> pack_cases()
{
    const cColor red(1, 0, 0, 1);
    const cColor half(0.5f, 0.5f, 0.5f, 0.5f);
    return {
        {"vector2d_double", [] { return make_value<cVector2D<double>>(1.5, -2.0); },
         {0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0}},
        {"vector2d_int32", [] { return make_value<cVector2D<int32_t>>(1, -2); },
         {1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"vector3d", [] { return make_value<cVector3D>(1.0, 2.0, 3.0); }, float_bytes({1, 2, 3})},
        {"matrix3d", [] { return make_value<cMatrix3D>(1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0); },
         float_bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"quaternion", [] { return make_value<cQuaternion>(0.25, 0.5, 0.75, 1.0); },
         float_bytes({0.25f, 0.5f, 0.75f, 1})},
        {"color_clamped", [] { return make_value<cColor>(1.5f, -0.2f, 0.5f, 1.0f); }, {255, 0, 127, 255}},
        {"material",
         [=] { return make_value<cMaterial>(red, half, red, half, 12.5f); },
         concat({{255, 0, 0, 255, 127, 127, 127, 127, 255, 0, 0, 255, 127, 127, 127, 127}, float_bytes({12.5f})})},
        {"zone", [] { return make_value<cZone3D>(1.0, -2.0, 3.0); }, float_bytes({-1, -2, -3, 1, 2, 3})},
    };
}

void PrintTo(const PackCase& c, std::ostream* os)
{
    *os << c.name;
}

class PackedForms : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackedForms, WritesTheListedBytesAndSize)
{
    const auto value = GetParam().make();
    EXPECT_EQ(packed(*value), GetParam().bytes);
    EXPECT_EQ(value->serialized_size(), int(GetParam().bytes.size()));
}

TEST_P(PackedForms, ReadsBackWhatItWrote)
{
    const auto value = GetParam().make();
    const std::vector<uint8_t> bytes = packed(*value);
    const auto copy = GetParam().make();
    std::vector<uint8_t> zeros(bytes.size(), 0);
    copy->deserialize(zeros.data());
    EXPECT_EQ(copy->deserialize(bytes.data()), int(bytes.size()));
    EXPECT_EQ(packed(*copy), bytes);
}

INSTANTIATE_TEST_SUITE_P(ValueTypes, PackedForms, ::testing::ValuesIn(pack_cases()),
                         [](const auto& info) { return info.param.name; });

TEST(ColorPacking, ReadsBytesAsFractionsOf255)
{
    const uint8_t bytes[4] = {255, 0, 127, 255};
    cColor color;
    EXPECT_EQ(color.deserialize(bytes), 4);
    EXPECT_EQ(color.r, 1.0f);
    EXPECT_EQ(color.g, 0.0f);
    EXPECT_FLOAT_EQ(color.b, 0.49803922f);
    EXPECT_EQ(color.a, 1.0f);
}

TEST(ColorPacking, NotANumberPacksAsZero)
{
    const cColor color(std::nanf(""), 1, 1, 1);
    EXPECT_EQ(packed(color)[0], 0);
}

TEST(LightPacking, DefaultLightHasItsCutoffAfterTheVectorsAndEndsEnabled)
{
    const cLight light;
    const std::vector<uint8_t> bytes = packed(light);
    ASSERT_EQ(bytes.size(), 61u);
    EXPECT_EQ(light.serialized_size(), 61);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12),
              std::vector<uint8_t>({255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}));
    const std::vector<float> floats = {180, 0, 1, 0, 0, 1};
    for (size_t i = 0; i < floats.size(); ++i) EXPECT_EQ(float_at(bytes, 36 + 4 * i), floats[i]) << i;
    EXPECT_EQ(bytes[60], 1);
}

TEST(LightPacking, RoundTripKeepsEveryField)
{
    cLight light;
    light.diffuse = cColor(0, 1, 0, 1);
    light.position = cVector3D(1, 2, 3);
    light.direction = cVector3D(0, -1, 0);
    light.spot_cutoff = 45;
    light.quadratic_attenuation = 0.25f;
    light.enabled = 0;
    const std::vector<uint8_t> bytes = packed(light);
    cLight copy;
    EXPECT_EQ(copy.deserialize(bytes.data()), 61);
    EXPECT_EQ(packed(copy), bytes);
    EXPECT_EQ(copy.position.z, 3);
    EXPECT_EQ(copy.spot_cutoff, 45);
    EXPECT_EQ(copy.enabled, 0);
}

TEST(LightDefaults, DirectionIsTheNormalisedZeroPosition)
{
    const cLight light;
    EXPECT_EQ(light.direction.x, 0);
    EXPECT_EQ(light.direction.y, 0);
    EXPECT_EQ(light.direction.z, 0);
    EXPECT_EQ(light.ambient.a, 1);
    EXPECT_EQ(light.specular.r, 1);
}

TEST(ComponentAccess, OutOfRangeGivesAFreshZeroEachTime)
{
    cVector3D v(1, 2, 3);
    cMatrix3D m;
    cQuaternion q(1, 2, 3, 4);
    cColor c(1, 1, 1, 1);
    cVector2D<int32_t> p(5, 6);
    v[3] = 9;
    m[-1] = 9;
    q[4] = 9;
    c[7] = 9;
    p[2] = 9;
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[-5], 0);
    EXPECT_EQ(m[9], 0);
    EXPECT_EQ(q[-1], 0);
    EXPECT_EQ(c[4], 0);
    EXPECT_EQ(p[-1], 0);
    EXPECT_EQ(v[2], 3);
    EXPECT_EQ(m[8], 1);
    EXPECT_EQ(q[3], 4);
    EXPECT_EQ(c[3], 1);
    EXPECT_EQ(p[1], 6);
}

TEST(Vector3D, LengthsAndNormalising)
{
    cVector3D v(3, 4, 12);
    EXPECT_EQ(v.length_squared(), 169);
    EXPECT_EQ(v.length(), 13);
    v.normalize();
    EXPECT_DOUBLE_EQ(v.x, 3.0 / 13);
    EXPECT_DOUBLE_EQ(v.length(), 1);

    cVector3D zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
    EXPECT_EQ(zero.z, 0);
    EXPECT_FALSE(std::isnan(zero.normalized().x));
}

TEST(Vector3D, HeaderOperators)
{
    const cVector3D a(1, 2, 3);
    const cVector3D b(4, 6, 8);
    const cVector3D d = b - a;
    EXPECT_EQ(d.x, 3);
    EXPECT_EQ(d.z, 5);
    EXPECT_EQ((a * 2).y, 4);
    EXPECT_EQ((b / 2).z, 4);
    EXPECT_EQ((-a).x, -1);
}

TEST(Vector2D, DifferenceAndCentre)
{
    const cVector2D<int32_t> size(801, 600);
    const cVector2D<int32_t> centre = size.half();
    EXPECT_EQ(centre.x, 400);
    EXPECT_EQ(centre.y, 300);
    const cVector2D<int32_t> d = size - cVector2D<int32_t>(1, 100);
    EXPECT_EQ(d.x, 800);
    EXPECT_EQ(d.y, 500);
}

TEST(MatrixHeader, ColumnsReadDownTheRows)
{
    const cMatrix3D m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    for (int c = 0; c < 3; ++c) {
        const cVector3D column = m.column(c);
        EXPECT_EQ(column.x, 1 + c);
        EXPECT_EQ(column.y, 4 + c);
        EXPECT_EQ(column.z, 7 + c);
    }
}

struct HueCase {
    float hue, saturation;
    float r, g, b;
};

void PrintTo(const HueCase& c, std::ostream* os)
{
    *os << "hue " << c.hue << " saturation " << c.saturation;
}

class HueFunction : public ::testing::TestWithParam<HueCase> {};

TEST_P(HueFunction, GivesTheSectorsColour)
{
    const HueCase& c = GetParam();
    cColor out(0, 0, 0, 0);
    EXPECT_EQ(__nsColor_hue_function(&out, &c.hue, &c.saturation), &out);
    EXPECT_NEAR(out.r, c.r, 1e-6);
    EXPECT_NEAR(out.g, c.g, 1e-6);
    EXPECT_NEAR(out.b, c.b, 1e-6);
    EXPECT_EQ(out.a, 1);
}

INSTANTIATE_TEST_SUITE_P(Sectors, HueFunction,
                         ::testing::Values(HueCase{0, 1, 1, 0, 0}, HueCase{0.25f, 1, 0.5f, 1, 0},
                                           HueCase{0.5f, 1, 0, 1, 1}, HueCase{0.75f, 1, 0.5f, 0, 1},
                                           HueCase{0.95f, 1, 1, 0, 0.3f}, HueCase{0.1f, 0.5f, 1, 0.8f, 0.5f},
                                           HueCase{0, 0, 1, 1, 1}, HueCase{0.4f, 0, 1, 1, 1},
                                           HueCase{0.9f, 0, 1, 1, 1}));

TEST(ColorFromString, FillsChannelsInOrderAndKeepsTheRest)
{
    cColor full(0, 0, 0, 0);
    __nsColor_color_from_string(&full, "1#0.5#0#1#");
    EXPECT_EQ(full.r, 1);
    EXPECT_EQ(full.g, 0.5f);
    EXPECT_EQ(full.b, 0);
    EXPECT_EQ(full.a, 1);

    cColor one(0.1f, 0.2f, 0.3f, 0.4f);
    __nsColor_color_from_string(&one, "0.75#0.9");
    EXPECT_EQ(one.r, 0.75f);
    EXPECT_EQ(one.g, 0.2f);
    EXPECT_EQ(one.a, 0.4f);
}

TEST(ColorFromString, SurplusFieldsAndLongFieldsAreSafe)
{
    cColor color(0, 0, 0, 0);
    __nsColor_color_from_string(&color, "0.1#0.2#0.3#0.4#0.5#0.6#");
    EXPECT_EQ(color.a, 0.4f);
    const std::string long_field = "0." + std::string(200, '5') + "#";
    __nsColor_color_from_string(&color, long_field.c_str());
    EXPECT_NEAR(color.r, 0.5555555f, 1e-6);
}

TEST(Material, OpaquifyPremultipliesEachColour)
{
    cMaterial material(cColor(1, 0.5f, 0.25f, 0.5f), cColor(1, 1, 1, 0), cColor(0.2f, 0.4f, 0.6f, 1),
                       cColor(1, 1, 1, 0.25f), 10);
    __mMaterial_opaquify(&material);
    EXPECT_EQ(material.ambient.r, 0.5f);
    EXPECT_EQ(material.ambient.b, 0.125f);
    EXPECT_EQ(material.ambient.a, 1);
    EXPECT_EQ(material.diffuse.g, 0);
    EXPECT_EQ(material.specular.b, 0.6f);
    EXPECT_EQ(material.emission.r, 0.25f);
    EXPECT_EQ(material.emission.a, 1);
    EXPECT_EQ(material.shininess, 10);
}

}  // namespace
