// The engine's named constants, built once in keelcore before main runs.
// Nothing in keelcore reads them during its own static initialisation.
#pragma once

#include <string>

#include "base/angles.h"
#include "base/color.h"
#include "base/keel.h"
#include "base/light.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"
#include "base/zone.h"

KEEL_SHARED const cVector2D<double> zeroVector2D;
KEEL_SHARED const cVector2D<double> unitXVector2D;
KEEL_SHARED const cVector2D<double> unitYVector2D;
KEEL_SHARED const cVector2D<double> onesVector2D;

KEEL_SHARED const cVector2D<int32_t> zeroVector2DInt;
KEEL_SHARED const cVector2D<int32_t> unitXVector2DInt;
KEEL_SHARED const cVector2D<int32_t> unitYVector2DInt;
KEEL_SHARED const cVector2D<int32_t> onesVector2DInt;

KEEL_SHARED const cVector3D zeroVector3D;
KEEL_SHARED const cVector3D unitXVector3D;
KEEL_SHARED const cVector3D unitYVector3D;
KEEL_SHARED const cVector3D unitZVector3D;
KEEL_SHARED const cVector3D onesVector3D;

KEEL_SHARED const cMatrix3D zeroMatrix3D;
KEEL_SHARED const cMatrix3D identityMatrix3D;
KEEL_SHARED const cQuaternion identityQuaternion;
// Half-extents 0.5 about the origin.
KEEL_SHARED const cZone3D unitZone3D;
KEEL_SHARED const std::string noneText;

// Single-precision physical constants (SI units).
KEEL_SHARED const float avogadroNumber;
KEEL_SHARED const float magneticConstant;
KEEL_SHARED const float boltzmannConstant;
KEEL_SHARED const float stefanBoltzmannConstant;
KEEL_SHARED const float planckConstant;
KEEL_SHARED const float reducedPlanckConstant;
KEEL_SHARED const float protonMass;
KEEL_SHARED const float neutronMass;
KEEL_SHARED const float electronMass;
KEEL_SHARED const float atomicMassUnit;
KEEL_SHARED const float megaElectronVoltInJoules;

// The palette, opaque unless named otherwise.
KEEL_SHARED const cColor colorBlack;
KEEL_SHARED const cColor colorWhite;
KEEL_SHARED const cColor colorRed;
KEEL_SHARED const cColor colorGreen;
KEEL_SHARED const cColor colorBlue;
KEEL_SHARED const cColor colorYellow;
KEEL_SHARED const cColor colorCyan;
KEEL_SHARED const cColor colorMagenta;
KEEL_SHARED const cColor colorDarkRed;
KEEL_SHARED const cColor colorDarkGreen;
KEEL_SHARED const cColor colorDarkBlue;
KEEL_SHARED const cColor colorPurple;
KEEL_SHARED const cColor colorTeal;
KEEL_SHARED const cColor colorOlive;
KEEL_SHARED const cColor colorGrey;
KEEL_SHARED const cColor colorAzure;
KEEL_SHARED const cColor colorSpringGreen;
KEEL_SHARED const cColor colorOrange;
KEEL_SHARED const cColor colorChartreuse;
KEEL_SHARED const cColor colorRose;
KEEL_SHARED const cColor colorViolet;
KEEL_SHARED const cColor colorBrown;
KEEL_SHARED const cColor colorDarkGrey;
KEEL_SHARED const cColor colorCopper;
KEEL_SHARED const cColor colorGold;
KEEL_SHARED const cColor colorSilver;
KEEL_SHARED const cColor colorTransparentWhite;

KEEL_SHARED const cLight defaultLight;
KEEL_SHARED const cMaterial defaultMaterial;

constexpr int kMaterialPresetCount = 26;
// Classic surface presets (plastics, metals, stones); each preset's colours
// share one alpha, and none glows.
KEEL_SHARED const cMaterial materialPresets[kMaterialPresetCount];
