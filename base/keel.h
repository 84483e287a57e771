// keelcore's export marker: every function that crosses a file boundary is a
// plain, unmangled, default-visibility symbol.
#pragma once

#include <cstdint>

#define KEEL_API extern "C" __attribute__((visibility("default")))
// The same for the tables and C++ functions whose types need C++ linkage.
#define KEEL_SHARED extern __attribute__((visibility("default")))
