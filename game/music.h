// The race music: a fixed playlist over the four tracks, played through the
// audio module's music accessor. Every call is skipped while no audio module
// is bound.
#pragma once

#include <cstdint>

class cGame;

constexpr int kPlaylistLength = 12;
extern const uint8_t playlist[kPlaylistLength];

// Loads the four tracks; handles stay 0xFFFF without an audio module.
void load_music_tracks(cGame* game);
// From the start of the playlist, unless the player switched music off.
void start_race_music(cGame* game);
// Once per race frame: the next entry when the piece has ended, and "M"
// toggles the music.
void update_race_music(cGame* game);
void stop_game_music(cGame* game);
