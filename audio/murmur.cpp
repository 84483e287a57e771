// The audio module: fills the sound table so the engine can start and the game
// can drive its music (music.cpp plays it).
#include <string>

#include "audio/music.h"
#include "base/containers.h"
#include "base/keel.h"
#include "base/sound_interface.h"
#include "base/strings.h"

namespace {

bool sound_init()
{
    return murmur::open_music_device();
}

void sound_shutdown()
{
    murmur::close_music_device();
}

void no_caller() {}

}  // namespace

KEEL_API bool initialize(DSPrefHashMap<void>*)
{
    return true;
}

KEEL_API void shutdown()
{
}

KEEL_API const char* get_plugin_name()
{
    return "MOD-Murmur";
}

KEEL_API const char* get_plugin_purpose()
{
    return "Module";
}

KEEL_API bool get_plugin_compatibility(const char* kind)
{
    return kind && __mystring_string_equal(kind, "AUDIO");
}

KEEL_API void get_plugin_prereqs(DSParray<std::string>&)
{
}

KEEL_API sound_interface* connect_sound_interface(sound_interface* table)
{
    table->sound_init = sound_init;
    table->sound_shutdown = sound_shutdown;
    table->unused_2 = no_caller;
    table->unused_3 = no_caller;
    table->unused_4 = no_caller;
    table->unused_5 = no_caller;
    table->unused_6 = no_caller;
    table->load_music = murmur::load_music;
    table->unused_8 = no_caller;
    table->unused_9 = no_caller;
    table->play_music = murmur::play_music;
    table->stop_music = murmur::stop_music;
    table->music_playing = murmur::music_playing;
    table->unused_13 = no_caller;
    return table;
}
