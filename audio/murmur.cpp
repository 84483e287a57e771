// The audio module: fills the sound table so the engine can start and the game
// can drive its music. It plays nothing yet; it keeps the music state the
// callers rely on (handles, playing between play_music and stop_music).
#include <string>
#include <vector>

#include "base/containers.h"
#include "base/keel.h"
#include "base/sound_interface.h"
#include "base/strings.h"

namespace {

std::vector<std::string> musicPaths;
bool musicIsPlaying = false;

bool sound_init()
{
    musicPaths.clear();
    musicIsPlaying = false;
    return true;
}

void sound_shutdown()
{
    musicPaths.clear();
    musicPaths.shrink_to_fit();
    musicIsPlaying = false;
}

void no_caller() {}

uint16_t load_music(const char* path)
{
    if (!path || musicPaths.size() >= 0xFFFF) return 0xFFFF;
    musicPaths.emplace_back(path);
    return uint16_t(musicPaths.size() - 1);
}

void play_music(uint16_t music, double, double, double)
{
    musicIsPlaying = music < musicPaths.size();
}

void stop_music(double)
{
    musicIsPlaying = false;
}

bool music_playing()
{
    return musicIsPlaying;
}

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
    table->load_music = load_music;
    table->unused_8 = no_caller;
    table->unused_9 = no_caller;
    table->play_music = play_music;
    table->stop_music = stop_music;
    table->music_playing = music_playing;
    table->unused_13 = no_caller;
    return table;
}
