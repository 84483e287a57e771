// The engine's named constants, built once in keelcore before main runs.
// Nothing in keelcore reads them during its own static initialisation.
#pragma once

#include <string>

#include "base/angles.h"
#include "base/color.h"
#include "base/light.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"
#include "base/zone.h"

#define KEEL_CONSTANT extern __attribute__((visibility("default")))

KEEL_CONSTANT const cVector2D<double> zeroVector2D;
KEEL_CONSTANT const cVector2D<double> unitXVector2D;
KEEL_CONSTANT const cVector2D<double> unitYVector2D;
KEEL_CONSTANT const cVector2D<double> onesVector2D;

KEEL_CONSTANT const cVector2D<int32_t> zeroVector2DInt;
KEEL_CONSTANT const cVector2D<int32_t> unitXVector2DInt;
KEEL_CONSTANT const cVector2D<int32_t> unitYVector2DInt;
KEEL_CONSTANT const cVector2D<int32_t> onesVector2DInt;

KEEL_CONSTANT const cVector3D zeroVector3D;
KEEL_CONSTANT const cVector3D unitXVector3D;
KEEL_CONSTANT const cVector3D unitYVector3D;
KEEL_CONSTANT const cVector3D unitZVector3D;
KEEL_CONSTANT const cVector3D onesVector3D;

KEEL_CONSTANT const cMatrix3D zeroMatrix3D;
KEEL_CONSTANT const cMatrix3D identityMatrix3D;
KEEL_CONSTANT const cQuaternion identityQuaternion;
// Half-extents 0.5 about the origin.
KEEL_CONSTANT const cZone3D unitZone3D;
KEEL_CONSTANT const std::string noneText;

// Single-precision physical constants (SI units).
KEEL_CONSTANT const float avogadroNumber;
KEEL_CONSTANT const float magneticConstant;
KEEL_CONSTANT const float boltzmannConstant;
KEEL_CONSTANT const float stefanBoltzmannConstant;
KEEL_CONSTANT const float planckConstant;
KEEL_CONSTANT const float reducedPlanckConstant;
KEEL_CONSTANT const float protonMass;
KEEL_CONSTANT const float neutronMass;
KEEL_CONSTANT const float electronMass;
KEEL_CONSTANT const float atomicMassUnit;
KEEL_CONSTANT const float megaElectronVoltInJoules;

// The palette, opaque unless named otherwise.
KEEL_CONSTANT const cColor colorBlack;
KEEL_CONSTANT const cColor colorWhite;
KEEL_CONSTANT const cColor colorRed;
KEEL_CONSTANT const cColor colorGreen;
KEEL_CONSTANT const cColor colorBlue;
KEEL_CONSTANT const cColor colorYellow;
KEEL_CONSTANT const cColor colorCyan;
KEEL_CONSTANT const cColor colorMagenta;
KEEL_CONSTANT const cColor colorDarkRed;
KEEL_CONSTANT const cColor colorDarkGreen;
KEEL_CONSTANT const cColor colorDarkBlue;
KEEL_CONSTANT const cColor colorPurple;
KEEL_CONSTANT const cColor colorTeal;
KEEL_CONSTANT const cColor colorOlive;
KEEL_CONSTANT const cColor colorGrey;
KEEL_CONSTANT const cColor colorAzure;
KEEL_CONSTANT const cColor colorSpringGreen;
KEEL_CONSTANT const cColor colorOrange;
KEEL_CONSTANT const cColor colorChartreuse;
KEEL_CONSTANT const cColor colorRose;
KEEL_CONSTANT const cColor colorViolet;
KEEL_CONSTANT const cColor colorBrown;
KEEL_CONSTANT const cColor colorDarkGrey;
KEEL_CONSTANT const cColor colorCopper;
KEEL_CONSTANT const cColor colorGold;
KEEL_CONSTANT const cColor colorSilver;
KEEL_CONSTANT const cColor colorTransparentWhite;

KEEL_CONSTANT const cLight defaultLight;
KEEL_CONSTANT const cMaterial defaultMaterial;

constexpr int kMaterialPresetCount = 26;
// Classic surface presets (plastics, metals, stones); each preset's colours
// share one alpha, and none glows.
KEEL_CONSTANT const cMaterial materialPresets[kMaterialPresetCount];
