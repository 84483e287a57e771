#include "base/constants.h"

#include <cmath>

const cVector2D<double> zeroVector2D(0, 0);
const cVector2D<double> unitXVector2D(1, 0);
const cVector2D<double> unitYVector2D(0, 1);
const cVector2D<double> onesVector2D(1, 1);

const cVector2D<int32_t> zeroVector2DInt(0, 0);
const cVector2D<int32_t> unitXVector2DInt(1, 0);
const cVector2D<int32_t> unitYVector2DInt(0, 1);
const cVector2D<int32_t> onesVector2DInt(1, 1);

const cVector3D zeroVector3D(0, 0, 0);
const cVector3D unitXVector3D(1, 0, 0);
const cVector3D unitYVector3D(0, 1, 0);
const cVector3D unitZVector3D(0, 0, 1);
const cVector3D onesVector3D(1, 1, 1);

const cMatrix3D zeroMatrix3D(0, 0, 0, 0, 0, 0, 0, 0, 0);
const cMatrix3D identityMatrix3D(1, 0, 0, 0, 1, 0, 0, 0, 1);
const cQuaternion identityQuaternion(0, 0, 0, 1);
const cZone3D unitZone3D(0.5, 0.5, 0.5);
const std::string noneText("NONE");

static float scientific(float mantissa, float exponent)
{
    return mantissa * std::pow(10.0f, exponent);
}

const float avogadroNumber = scientific(6.0221415f, 23);
const float magneticConstant = scientific(1.2566371f, -6);
const float boltzmannConstant = scientific(1.3806503f, -23);
const float stefanBoltzmannConstant = scientific(5.670373f, -8);
const float planckConstant = scientific(6.6260695f, -34);
const float reducedPlanckConstant = scientific(1.0545717f, -34);
const float protonMass = scientific(1.6726216f, -27);
const float neutronMass = scientific(1.6749f, -27);
const float electronMass = scientific(9.109382f, -31);
const float atomicMassUnit = scientific(1.6605388f, -27);
const float megaElectronVoltInJoules = scientific(1.6021764f, -13);

const cColor colorBlack(0, 0, 0, 1);
const cColor colorWhite(1, 1, 1, 1);
const cColor colorRed(1, 0, 0, 1);
const cColor colorGreen(0, 1, 0, 1);
const cColor colorBlue(0, 0, 1, 1);
const cColor colorYellow(1, 1, 0, 1);
const cColor colorCyan(0, 1, 1, 1);
const cColor colorMagenta(1, 0, 1, 1);
const cColor colorDarkRed(0.5f, 0, 0, 1);
const cColor colorDarkGreen(0, 0.5f, 0, 1);
const cColor colorDarkBlue(0, 0, 0.5f, 1);
const cColor colorPurple(0.5f, 0, 0.5f, 1);
const cColor colorTeal(0, 0.5f, 0.5f, 1);
const cColor colorOlive(0.5f, 0.5f, 0, 1);
const cColor colorGrey(0.5f, 0.5f, 0.5f, 1);
const cColor colorAzure(0, 0.5f, 1, 1);
const cColor colorSpringGreen(0, 1, 0.5f, 1);
const cColor colorOrange(1, 0.5f, 0, 1);
const cColor colorChartreuse(0.5f, 1, 0, 1);
const cColor colorRose(1, 0, 0.5f, 1);
const cColor colorViolet(0.5f, 0, 1, 1);
const cColor colorBrown(0.6f, 0.3f, 0.15f, 1);
const cColor colorDarkGrey(0.3f, 0.3f, 0.3f, 1);
const cColor colorCopper(0.72156864f, 0.4509804f, 0.2f, 1);
const cColor colorGold(1, 0.84313726f, 0, 1);
const cColor colorSilver(0.7490196f, 0.7490196f, 0.7490196f, 1);
const cColor colorTransparentWhite(1, 1, 1, 0);

const cLight defaultLight;
const cMaterial defaultMaterial;

static cMaterial preset(float ar, float ag, float ab, float dr, float dg, float db, float sr, float sg, float sb,
                        float alpha, float shininess)
{
    return cMaterial(cColor(ar, ag, ab, alpha), cColor(dr, dg, db, alpha), cColor(sr, sg, sb, alpha),
                     cColor(0, 0, 0, alpha), shininess);
}

const cMaterial materialPresets[kMaterialPresetCount] = {
    preset(0, 0, 0, 0.01f, 0.01f, 0.01f, 0.5f, 0.5f, 0.5f, 1, 32),
    preset(0.329412f, 0.223529f, 0.027451f, 0.780392f, 0.568627f, 0.113725f, 0.992157f, 0.941176f, 0.807843f, 1,
           27.8974f),
    preset(0.2125f, 0.1275f, 0.054f, 0.714f, 0.4284f, 0.18144f, 0.393548f, 0.271906f, 0.166721f, 1, 25.6f),
    preset(0.25f, 0.148f, 0.06475f, 0.4f, 0.2368f, 0.1036f, 0.774597f, 0.458561f, 0.200621f, 1, 76.8f),
    preset(0.25f, 0.25f, 0.25f, 0.4f, 0.4f, 0.4f, 0.774597f, 0.774597f, 0.774597f, 1, 76.8f),
    preset(0.19125f, 0.0735f, 0.0275f, 0.7038f, 0.27048f, 0.0828f, 0.256777f, 0.137622f, 0.086014f, 1, 12.8f),
    preset(0.2295f, 0.08825f, 0.0275f, 0.5508f, 0.2118f, 0.066f, 0.580594f, 0.223257f, 0.0695701f, 1, 51.2f),
    preset(0.0215f, 0.1745f, 0.0215f, 0.07568f, 0.61424f, 0.07568f, 0.633f, 0.727811f, 0.633f, 0.55f, 76.8f),
    preset(0.234118f, 0.267059f, 0.244706f, 0.546275f, 0.623137f, 0.57098f, 0.546275f, 0.623137f, 0.57098f, 1, 32),
    preset(0.24725f, 0.1995f, 0.0745f, 0.75164f, 0.60648f, 0.22648f, 0.628281f, 0.555802f, 0.366065f, 1, 51.2f),
    preset(0.24725f, 0.2245f, 0.0645f, 0.34615f, 0.3143f, 0.0903f, 0.797357f, 0.723991f, 0.208006f, 1, 83.2f),
    preset(0.135f, 0.2225f, 0.1575f, 0.54f, 0.89f, 0.63f, 0.316228f, 0.316228f, 0.316228f, 0.95f, 12.8f),
    preset(0.05375f, 0.05f, 0.06625f, 0.18275f, 0.17f, 0.22525f, 0.332741f, 0.328634f, 0.346435f, 0.82f, 38.4f),
    preset(0.25f, 0.20725f, 0.20725f, 1, 0.829f, 0.829f, 0.296648f, 0.296648f, 0.296648f, 0.922f, 11.264f),
    preset(1, 0.5f, 0, 1, 0.5f, 0, -1, 0, 1, 1, 8),
    preset(0.35f, 0.15f, 0.3f, 0.35f, 0.15f, 0.3f, -0.35f, 1, 1.3f, 1, 8),
    preset(0, 0.8f, 0, 0, 0.8f, 0, 0, -1, 0.8f, 1, 8),
    preset(1, 0, 0, 1, 0, 0, 0, 1, 0, 1, 8),
    preset(0.105882f, 0.058824f, 0.113725f, 0.427451f, 0.470558f, 0.541176f, 0.333333f, 0.333333f, 0.521569f, 1,
           9.84615f),
    preset(0.02f, 0.02f, 0.02f, 0.01f, 0.01f, 0.01f, 0.4f, 0.4f, 0.4f, 1, 1e+01f),
    preset(0.1745f, 0.01175f, 0.01175f, 0.61424f, 0.04136f, 0.04136f, 0.727811f, 0.626959f, 0.626959f, 0.55f, 76.8f),
    preset(0.01175f, 0.01175f, 0.1745f, 0.04136f, 0.04136f, 0.61424f, 0.626959f, 0.626959f, 0.727811f, 0.55f, 76.8f),
    preset(0.19225f, 0.19225f, 0.19225f, 0.50754f, 0.50754f, 0.50754f, 0.508273f, 0.508273f, 0.508273f, 1, 51.2f),
    preset(0.23125f, 0.23125f, 0.23125f, 0.2775f, 0.2775f, 0.2775f, 0.773911f, 0.773911f, 0.773911f, 1, 89.6f),
    preset(0.1745f, 0.1745f, 0.01175f, 0.61424f, 0.61424f, 0.04136f, 0.727811f, 0.727811f, 0.626959f, 0.55f, 76.8f),
    preset(0.1f, 0.18725f, 0.1745f, 0.396f, 0.74151f, 0.69102f, 0.297254f, 0.30829f, 0.306678f, 0.8f, 12.8f),
};
