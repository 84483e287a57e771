// The plug-in loader: every shared object in the folder "plugin" that exports
// the six mandatory functions becomes a cPlugin record, and the module kinds
// (graphics, input, system, network, audio) are bound to plug-ins of purpose
// "Module" that accept them.
#pragma once

#include <string>

#include "base/containers.h"
#include "base/keel.h"

class modCore;

using PluginInitialize = bool (*)(DSPrefHashMap<void>* parameters);
using PluginShutdown = void (*)();
using PluginGetText = const char* (*)();
using PluginCompatibility = bool (*)(const char* text);
using PluginPrerequisites = void (*)(DSParray<std::string>& names);

// One loaded library. It owns the library: destroying it shuts the plug-in
// down (when it was initialised) and releases it.
class cPlugin {
public:
    cPlugin(void* library, PluginInitialize initialize, PluginShutdown shutdown, PluginGetText name,
            PluginGetText purpose, PluginCompatibility compatibility, PluginPrerequisites prerequisites);
    virtual ~cPlugin();
    cPlugin(const cPlugin&) = delete;
    cPlugin& operator=(const cPlugin&) = delete;

    // The export, initialising the plug-in first when it is not yet; null when
    // the export is missing or initialisation refuses.
    void* lookup(const char* export_name);

    void* library;
    bool initialised = false;
    PluginInitialize initialize;
    PluginShutdown shutdown;
    PluginGetText get_plugin_name;
    PluginGetText get_plugin_purpose;
    PluginCompatibility get_plugin_compatibility;
    PluginPrerequisites get_plugin_prereqs;
};

KEEL_API bool __mCore_open();
KEEL_API void __mCore_close();
KEEL_API void __mCore_parse_folder_for_plugins(const char* folder);
KEEL_API void* __mCore_add_plugin_init_parameter(const char* name, void* value);
KEEL_API int __mCore_get_plugin_count();
// First plug-in of the purpose whose compatibility accepts text (any when
// text is null); -1 when none.
KEEL_API int16_t __mCore_get_first_valid_plugin(const char* purpose, const char* text);
KEEL_API const char* __mCore_get_plugin_name(int16_t id);
KEEL_API const char* __mCore_get_plugin_purpose(int16_t id);
KEEL_API bool __mCore_check_plugin_compatibility(int16_t id, const char* text);
KEEL_API void* __mCore_get_plugin_function(int16_t id, const char* export_name);
// Calls export(argument); 0 when the id is invalid or the export cannot be had.
KEEL_API uint8_t __mCore_call_plugin_function(int16_t id, const char* export_name, void* argument);
KEEL_API void* __mCore_store_unique_pointer(void* pointer, int key);
KEEL_API void* __mCore_get_unique_pointer(int key);
