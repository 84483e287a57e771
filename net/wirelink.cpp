// wirelink's plug-in exports. It serves no module kind yet, so the loader lists it
// and binds nothing to it.
#include <string>

#include "base/containers.h"
#include "base/keel.h"

KEEL_API bool initialize(DSPrefHashMap<void>*)
{
    return true;
}

KEEL_API void shutdown()
{
}

KEEL_API const char* get_plugin_name()
{
    return "MOD-Wirelink";
}

KEEL_API const char* get_plugin_purpose()
{
    return "Module";
}

KEEL_API bool get_plugin_compatibility(const char*)
{
    return false;
}

KEEL_API void get_plugin_prereqs(DSParray<std::string>& names)
{
    names.insert(new std::string("MOD-Trellis"));
}
