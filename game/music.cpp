#include "game/music.h"

#include "base/input_names.h"
#include "base/modules.h"
#include "game/game.h"
#include "game/settings.h"

const uint8_t playlist[kPlaylistLength] = {0, 0, 1, 1, 0, 2, 3, 3, 1, 0, 2, 3};

static sound_interface* music_table()
{
    return *__mAudio_instance()->music->table;
}

static void play_entry(cGame* game, int entry, double last)
{
    sound_interface* music = music_table();
    if (music) music->play_music(game->music_handles[playlist[entry]], 1.0, 0.0, last);
}

void load_music_tracks(cGame* game)
{
    sound_interface* music = music_table();
    for (int i = 0; i < kMusicTracks; ++i)
        game->music_handles[i] = music ? music->load_music(musicTracks[i].c_str()) : kNoMusic;
}

void start_race_music(cGame* game)
{
    game->music_position = 0;
    if (settings_record.music_off == 0) play_entry(game, 0, 1.0);
}

void update_race_music(cGame* game)
{
    sound_interface* music = music_table();
    if (settings_record.music_off == 0 && !(music && music->music_playing())) {
        game->music_position = int16_t((game->music_position + 1) % kPlaylistLength);
        play_entry(game, game->music_position, 0.0);
    }
    input_interface* input = __mInput_instance()->interface_table;
    if (!input || !input->digital_pressed(kInputM)) return;
    settings_record.music_off = settings_record.music_off ? 0 : 1;
    if (settings_record.music_off) {
        if (music) music->stop_music(0.0);
    } else {
        start_race_music(game);
    }
}

void stop_game_music(cGame* game)
{
    game->music_position = -1;
    sound_interface* music = music_table();
    if (music) music->stop_music(1.0);
}
