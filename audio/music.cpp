#include "audio/music.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/alsa.h"

namespace murmur {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kChunkSamples = 2048;
constexpr uint16_t kNoMusic = 0xFFFF;

struct Piece {
    std::string path;
    Mix_Music* music = nullptr;
};

struct Player {
    bool decoders_loaded = false;
    bool audio_started = false;
    bool mixing = false;
    std::vector<Piece> pieces;
    // Where nothing mixes: playing from play_music to stop_music.
    bool stand_in_playing = false;
};

Player player;

bool start_mixer()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return false;
    player.audio_started = true;
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, kChannels, kChunkSamples) == 0) return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    player.audio_started = false;
    return false;
}

// SDL offers its silent driver only when asked for it by name.
bool start_silent_mixer()
{
    const char* chosen = getenv("SDL_AUDIODRIVER");
    const std::string before = chosen ? chosen : "";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const bool started = start_mixer();
    if (chosen)
        setenv("SDL_AUDIODRIVER", before.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    return started;
}

int milliseconds(double seconds)
{
    if (!(seconds > 0)) return 0;
    return seconds > 60 ? 60000 : int(seconds * 1000);
}

}  // namespace

bool open_music_device()
{
    close_music_device();
    silence_alsa_errors();
    Mix_Init(MIX_INIT_OGG);
    player.decoders_loaded = true;
    player.mixing = start_mixer();
    if (!player.mixing) {
        printf("WARNING: No sound device could be opened (%s): the game runs without sound\n", SDL_GetError());
        player.mixing = start_silent_mixer();
    }
    return true;
}

void close_music_device()
{
    if (player.mixing) Mix_HaltMusic();
    for (Piece& piece : player.pieces)
        if (piece.music) Mix_FreeMusic(piece.music);
    player.pieces.clear();
    player.pieces.shrink_to_fit();
    if (player.mixing) Mix_CloseAudio();
    player.mixing = false;
    if (player.audio_started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    player.audio_started = false;
    player.stand_in_playing = false;
    // Twice would free the decoders twice. Mix_Quit frees the sound font
    // path that Mix_Init made but leaves it set, so the next start would use
    // and free it again: it is let go here first.
    if (player.decoders_loaded) {
        Mix_SetSoundFonts(nullptr);
        Mix_Quit();
    }
    player.decoders_loaded = false;
    restore_alsa_errors();
}

uint16_t load_music(const char* path)
{
    if (!path || player.pieces.size() >= kNoMusic) return kNoMusic;
    Piece piece;
    piece.path = path;
    if (player.mixing) {
        piece.music = Mix_LoadMUS(path);
        if (!piece.music) {
            printf("WARNING: Could not load the music file %s: %s\n", path, Mix_GetError());
            return kNoMusic;
        }
    }
    player.pieces.push_back(piece);
    return uint16_t(player.pieces.size() - 1);
}

void play_music(uint16_t music, double volume, double position, double fade_in)
{
    const bool known = music < player.pieces.size();
    player.stand_in_playing = known;
    if (!player.mixing) return;
    if (!known) {
        Mix_HaltMusic();
        return;
    }
    const double clamped = volume < 0 ? 0 : volume > 1 ? 1 : volume;
    Mix_VolumeMusic(int(clamped * MIX_MAX_VOLUME + 0.5));
    // One play-through: the game picks the next piece itself.
    if (Mix_FadeInMusicPos(player.pieces[music].music, 1, milliseconds(fade_in), position > 0 ? position : 0) < 0)
        printf("WARNING: Could not play the music file %s: %s\n", player.pieces[music].path.c_str(),
               Mix_GetError());
}

void stop_music(double fade_out)
{
    player.stand_in_playing = false;
    if (!player.mixing) return;
    const int fade = milliseconds(fade_out);
    if (fade == 0 || !Mix_FadeOutMusic(fade)) Mix_HaltMusic();
}

bool music_playing()
{
    if (!player.mixing) return player.stand_in_playing;
    return Mix_PlayingMusic() != 0;
}

}  // namespace murmur
