#include <gtest/gtest.h>

#include "base/constants.h"

namespace {

void expect_color(const cColor& c, float r, float g, float b, float a)
{
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
    EXPECT_EQ(c.a, a);
}

TEST(Constants, VectorsMatricesQuaternionZone)
{
    EXPECT_EQ(onesVector2D.x, 1);
    EXPECT_EQ(unitYVector2D.x, 0);
    EXPECT_EQ(unitYVector2D.y, 1);
    EXPECT_EQ(unitXVector2DInt.x, 1);
    EXPECT_EQ(onesVector2DInt.y, 1);
    EXPECT_EQ(unitZVector3D.z, 1);
    EXPECT_EQ(unitZVector3D.x, 0);
    EXPECT_EQ(onesVector3D.length_squared(), 3);
    EXPECT_EQ(zeroVector3D.length_squared(), 0);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(zeroMatrix3D.m[i], 0);
        EXPECT_EQ(identityMatrix3D.m[i], i % 4 == 0 ? 1 : 0);
    }
    EXPECT_EQ(identityQuaternion.x, 0);
    EXPECT_EQ(identityQuaternion.y, 0);
    EXPECT_EQ(identityQuaternion.z, 0);
    EXPECT_EQ(identityQuaternion.w, 1);
    EXPECT_EQ(unitZone3D.minimum.y, -0.5);
    EXPECT_EQ(unitZone3D.maximum.z, 0.5);
    EXPECT_EQ(noneText, "NONE");
}

TEST(Constants, AnglesAreSinglePrecision)
{
    EXPECT_EQ(kPi, 3.1415927f);
    EXPECT_EQ(kTwoPi, 6.2831855f);
    EXPECT_EQ(kThreeHalfPi, 4.712389f);
    EXPECT_EQ(kInversePi, 0.31830987f);
    EXPECT_EQ(kSixthPi, 0.52359879f);
    EXPECT_EQ(kQuarterPi, 0.78539819f);
    EXPECT_EQ(kThirdPi, 1.0471976f);
    EXPECT_EQ(kHalfPi, 1.5707964f);
    EXPECT_EQ(kDegreesToRadians, 0.017453292f);
    EXPECT_EQ(kRadiansToDegrees, 57.295776f);
}

TEST(Constants, PhysicalConstants)
{
    EXPECT_FLOAT_EQ(avogadroNumber, 6.0221415e23f);
    EXPECT_FLOAT_EQ(boltzmannConstant, 1.3806503e-23f);
    EXPECT_FLOAT_EQ(planckConstant, 6.6260695e-34f);
    EXPECT_FLOAT_EQ(neutronMass, 1.6749e-27f);
    EXPECT_FLOAT_EQ(megaElectronVoltInJoules, 1.6021764e-13f);
}

TEST(Constants, PaletteInOrder)
{
    const struct {
        const cColor& color;
        float r, g, b, a;
    } palette[] = {
        {colorBlack, 0, 0, 0, 1},          {colorWhite, 1, 1, 1, 1},
        {colorRed, 1, 0, 0, 1},            {colorGreen, 0, 1, 0, 1},
        {colorBlue, 0, 0, 1, 1},           {colorYellow, 1, 1, 0, 1},
        {colorCyan, 0, 1, 1, 1},           {colorMagenta, 1, 0, 1, 1},
        {colorDarkRed, 0.5f, 0, 0, 1},     {colorDarkGreen, 0, 0.5f, 0, 1},
        {colorDarkBlue, 0, 0, 0.5f, 1},    {colorPurple, 0.5f, 0, 0.5f, 1},
        {colorTeal, 0, 0.5f, 0.5f, 1},     {colorOlive, 0.5f, 0.5f, 0, 1},
        {colorGrey, 0.5f, 0.5f, 0.5f, 1},  {colorAzure, 0, 0.5f, 1, 1},
        {colorSpringGreen, 0, 1, 0.5f, 1}, {colorOrange, 1, 0.5f, 0, 1},
        {colorChartreuse, 0.5f, 1, 0, 1},  {colorRose, 1, 0, 0.5f, 1},
        {colorViolet, 0.5f, 0, 1, 1},      {colorBrown, 0.6f, 0.3f, 0.15f, 1},
        {colorDarkGrey, 0.3f, 0.3f, 0.3f, 1},
        {colorCopper, 0.72156864f, 0.4509804f, 0.2f, 1},
        {colorGold, 1, 0.84313726f, 0, 1},
        {colorSilver, 0.7490196f, 0.7490196f, 0.7490196f, 1},
        {colorTransparentWhite, 1, 1, 1, 0},
    };
    EXPECT_EQ(std::size(palette), 27u);
    for (const auto& entry : palette) expect_color(entry.color, entry.r, entry.g, entry.b, entry.a);
}

TEST(Constants, DefaultLightAndMaterial)
{
    expect_color(defaultLight.diffuse, 1, 1, 1, 1);
    expect_color(defaultLight.ambient, 0, 0, 0, 1);
    EXPECT_EQ(defaultLight.spot_cutoff, 180);
    EXPECT_EQ(defaultLight.enabled, 1);
    expect_color(defaultMaterial.ambient, 1, 1, 1, 1);
    expect_color(defaultMaterial.diffuse, 1, 1, 1, 1);
    expect_color(defaultMaterial.specular, 0, 0, 0, 1);
    expect_color(defaultMaterial.emission, 0, 0, 0, 1);
    EXPECT_EQ(defaultMaterial.shininess, 0);
}

TEST(Constants, MaterialPresetsShareAlphaAndNeverGlow)
{
    for (const cMaterial& preset : materialPresets) {
        const float alpha = preset.ambient.a;
        EXPECT_EQ(preset.diffuse.a, alpha);
        EXPECT_EQ(preset.specular.a, alpha);
        expect_color(preset.emission, 0, 0, 0, alpha);
    }
    expect_color(materialPresets[7].ambient, 0.0215f, 0.1745f, 0.0215f, 0.55f);
    EXPECT_EQ(materialPresets[7].shininess, 76.8f);
    expect_color(materialPresets[14].specular, -1, 0, 1, 1);
    expect_color(materialPresets[15].specular, -0.35f, 1, 1.3f, 1);
    expect_color(materialPresets[16].specular, 0, -1, 0.8f, 1);
    expect_color(materialPresets[13].diffuse, 1, 0.829f, 0.829f, 0.922f);
    EXPECT_EQ(materialPresets[25].shininess, 12.8f);
    EXPECT_EQ(materialPresets[19].shininess, 10);
}

}  // namespace
