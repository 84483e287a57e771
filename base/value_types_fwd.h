// Forward declarations of the value types the interface tables pass by address.
#pragma once

#include <cstdint>

template <class T> class cVector2D;
class cVector3D;
class cMatrix3D;
class cColor;
class cLight;
class cMaterial;
