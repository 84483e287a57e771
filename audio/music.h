// The music player behind the sound table, over SDL_mixer. With no sound
// device it mixes into SDL's silent driver, so pieces still take their time
// and end; where not even that opens it only keeps the state the callers see.
#pragma once

#include <cstdint>

namespace murmur {

// Always true: a machine without sound still runs the game, silently.
bool open_music_device();
void close_music_device();

// 0xFFFF when the file cannot be loaded.
uint16_t load_music(const char* path);
// volume 0..1, start position and fade-in in seconds; an unknown handle
// stops what plays.
void play_music(uint16_t music, double volume, double position, double fade_in);
// Fades out over the given seconds, 0 stops at once.
void stop_music(double fade_out);
// False once the piece has ended or was stopped.
bool music_playing();

}  // namespace murmur
