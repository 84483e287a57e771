#include "base/plugin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fileops.h"
#include "base/modules.h"
#include "base/os/os.h"
#include "base/strings.h"

static DSParray<cPlugin> pluginList(false);
static DSPrefHashMap<void> pluginInitParameters;
static DSPhashMap<void> uniquePointers(false);

cPlugin::cPlugin(void* library, PluginInitialize initialize, PluginShutdown shutdown, PluginGetText name,
                 PluginGetText purpose, PluginCompatibility compatibility, PluginPrerequisites prerequisites)
    : library(library), initialize(initialize), shutdown(shutdown), get_plugin_name(name),
      get_plugin_purpose(purpose), get_plugin_compatibility(compatibility), get_plugin_prereqs(prerequisites)
{
    printf("loading plugin: %s\n", get_plugin_name());
}

cPlugin::~cPlugin()
{
    if (initialised) shutdown();
    os_library_close(library);
}

void* cPlugin::lookup(const char* export_name)
{
    void* function = os_library_symbol(library, export_name);
    if (!function) return nullptr;
    if (!initialised) initialised = initialize(&pluginInitParameters);
    return initialised ? function : nullptr;
}

// ---- folder scan

static void load_plugin(const char* folder, const char* file_name)
{
    const std::string path = std::string(folder) + "/" + file_name;
    void* library = path.size() < size_t(kMaxPathBytes) ? os_library_open(path.c_str()) : nullptr;
    void* exports[6] = {};
    static const char* const names[6] = {"initialize", "shutdown", "get_plugin_name", "get_plugin_purpose",
                                         "get_plugin_compatibility", "get_plugin_prereqs"};
    bool complete = library != nullptr;
    for (int i = 0; complete && i < 6; ++i) complete = (exports[i] = os_library_symbol(library, names[i])) != nullptr;
    if (!complete) {
        printf("ERROR: Attempt to load module %s failed\n", file_name);
        os_library_close(library);
        return;
    }
    pluginList.insert(new cPlugin(library, PluginInitialize(exports[0]), PluginShutdown(exports[1]),
                                  PluginGetText(exports[2]), PluginGetText(exports[3]),
                                  PluginCompatibility(exports[4]), PluginPrerequisites(exports[5])));
}

void __mCore_parse_folder_for_plugins(const char* folder)
{
    FileNameNode* node = __mFileOps_collect_files(folder, ".so");
    while (node) {
        load_plugin(folder, node->name);
        FileNameNode* next = node->next;
        delete[] node->name;
        delete node;
        node = next;
    }
}

// ---- module binding

struct ModuleKind {
    const char* kind;
    const char* connect_export;
    const char* missing_message;
    size_t slots;
    void** (*table_member)();
};

static const ModuleKind moduleKinds[] = {
    {"GRAPHICS", "connect_graphics_interface", "Could not grab graphics interface from ",
     sizeof(graphics_interface) / sizeof(void*),
     [] { return reinterpret_cast<void**>(&__mGraphics_instance()->interface_table); }},
    {"INPUT", "connect_input_interface", "Could not grab input interface from ",
     sizeof(input_interface) / sizeof(void*),
     [] { return reinterpret_cast<void**>(&__mInput_instance()->interface_table); }},
    {"SYSTEM", "connect_system_interface", "Could not grab system interface from ",
     sizeof(system_interface) / sizeof(void*),
     [] { return reinterpret_cast<void**>(&__mSystem_instance()->interface_table); }},
    {"NET", "connect_network_interface", "Could not grab net interface from ",
     sizeof(network_interface) / sizeof(void*),
     [] { return reinterpret_cast<void**>(&__mNetwork_instance()->interface_table); }},
    {"AUDIO", "connect_sound_interface", "Could not grab sound interface from ",
     sizeof(sound_interface) / sizeof(void*),
     [] { return reinterpret_cast<void**>(&__mAudio_instance()->interface_table); }},
};

using ConnectInterface = void* (*)(void* table);

static bool prerequisites_met(cPlugin* plugin)
{
    DSParray<std::string> names(false);
    plugin->get_plugin_prereqs(names);
    if (names.count() == 0) return true;
    for (uint32_t r = 0; r < pluginList.count(); ++r) {
        cPlugin* candidate = pluginList.get(r);
        if (!candidate->initialised) continue;
        for (uint32_t n = 0; n < names.count(); ++n)
            if (*names.get(n) == candidate->get_plugin_name()) return true;
    }
    return false;
}

// Binds one kind to the plug-in; a plug-in that cannot hand over its
// interface leaves the kind unbound for a later plug-in.
static bool bind_kind(cPlugin* plugin, const ModuleKind& kind)
{
    void** member = kind.table_member();
    auto connect = ConnectInterface(plugin->lookup(kind.connect_export));
    if (!connect) {
        printf("ERROR: %s%s\n", kind.missing_message, plugin->get_plugin_name());
        return false;
    }
    void* table = malloc(kind.slots * sizeof(void*));
    *member = table;
    connect(table);
    return true;
}

static bool bind_step(cPlugin* plugin)
{
    if (strcmp(plugin->get_plugin_purpose(), "Module") != 0) return false;
    if (!prerequisites_met(plugin)) return false;
    bool bound = false;
    for (const ModuleKind& kind : moduleKinds)
        if (!*kind.table_member() && plugin->get_plugin_compatibility(kind.kind)) bound |= bind_kind(plugin, kind);
    return bound;
}

static void bind_modules()
{
    bool changed;
    do {
        changed = false;
        for (uint32_t i = 0; i < pluginList.count(); ++i) changed |= bind_step(pluginList.get(i));
    } while (changed);
}

static const char* const kPluginFolder = "plugin";

// The folder is relative to the working folder, so a program started from
// anywhere else finds no plug-ins; the line says where it looked.
static void report_plugin_folder()
{
    const std::string working = os_working_folder();
    const std::string folder = working.empty() ? kPluginFolder : working + "/" + kPluginFolder;
    printf("ERROR: Plug-ins are looked for in %s: start the program from its own folder, as ./play.sh does\n",
           folder.c_str());
}

static void report_unbound_modules()
{
    const bool graphics = __mGraphics_instance()->interface_table;
    const bool input = __mInput_instance()->interface_table;
    const bool system = __mSystem_instance()->interface_table;
    if (!graphics || !input || !system) report_plugin_folder();
    if (!graphics) printf("ERROR: %s%s\n", "No graphics module successfully bound", "");
    if (!input) printf("ERROR: %s%s\n", "No input module successfully bound", "");
    if (!system) printf("ERROR: %s%s\n", "No system module successfully bound", "");
}

// Plug-ins are shut down at exit, but before the shared libraries are
// finalised: left to the list's static destructor, a plug-in's shutdown could
// run after the libraries it calls (SDL would destroy a GL context whose
// library is already gone). A handler registered once main runs comes first.
static void release_plugins()
{
    pluginList.clear();
}

bool __mCore_open()
{
    static const bool releasedAtExit = atexit(release_plugins) == 0;
    (void)releasedAtExit;
    __mCore_add_plugin_init_parameter("Modules", &pluginList);
    __mCore_parse_folder_for_plugins(kPluginFolder);
    bind_modules();
    report_unbound_modules();
    return true;
}

void __mCore_close()
{
}

void* __mCore_add_plugin_init_parameter(const char* name, void* value)
{
    return pluginInitParameters.insert(value, __mystring_hash(name));
}

int __mCore_get_plugin_count()
{
    return int(pluginList.count());
}

// ---- queries by id

static cPlugin* plugin_by_id(int16_t id)
{
    if (id >= 0 && id < __mCore_get_plugin_count()) return pluginList.get(uint32_t(id));
    char number[16];
    snprintf(number, sizeof number, "%d", id);
    printf("ERROR: %s%s\n", "Invalid plugin Id", number);
    return nullptr;
}

int16_t __mCore_get_first_valid_plugin(const char* purpose, const char* text)
{
    for (uint32_t i = 0; i < pluginList.count(); ++i) {
        cPlugin* plugin = pluginList.get(i);
        if (strcmp(plugin->get_plugin_purpose(), purpose) != 0) continue;
        if (!text || plugin->get_plugin_compatibility(text)) return int16_t(i);
    }
    return -1;
}

const char* __mCore_get_plugin_name(int16_t id)
{
    cPlugin* plugin = plugin_by_id(id);
    return plugin ? plugin->get_plugin_name() : "INVALID";
}

const char* __mCore_get_plugin_purpose(int16_t id)
{
    cPlugin* plugin = plugin_by_id(id);
    return plugin ? plugin->get_plugin_purpose() : "INVALID";
}

bool __mCore_check_plugin_compatibility(int16_t id, const char* text)
{
    cPlugin* plugin = plugin_by_id(id);
    return plugin && plugin->get_plugin_compatibility(text);
}

void* __mCore_get_plugin_function(int16_t id, const char* export_name)
{
    cPlugin* plugin = plugin_by_id(id);
    return plugin ? plugin->lookup(export_name) : nullptr;
}

uint8_t __mCore_call_plugin_function(int16_t id, const char* export_name, void* argument)
{
    auto function = reinterpret_cast<uint8_t (*)(void*)>(__mCore_get_plugin_function(id, export_name));
    return function ? function(argument) : 0;
}

void* __mCore_store_unique_pointer(void* pointer, int key)
{
    if (pointer && !uniquePointers.find(uint32_t(key))) uniquePointers.insert(pointer, uint32_t(key));
    return pointer;
}

void* __mCore_get_unique_pointer(int key)
{
    return uniquePointers.find(uint32_t(key));
}
