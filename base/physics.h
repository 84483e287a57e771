// The physics module: lookup tables for trigonometry and the physics helpers.
#pragma once

#include "base/keel.h"

// Builds the module's tables; true when it is ready.
KEEL_API bool __mPhysics_open();
KEEL_API void __mPhysics_close();
