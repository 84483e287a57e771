// The sound interface table: 14 plain function slots, filled by an audio
// module's connect_sound_interface. Only slots 0, 1, 7, 10, 11 and 12 have callers.
#pragma once

#include <cstdint>

struct sound_interface {
    bool (*sound_init)();                                   // 0: engine start-up; false fails it
    void (*sound_shutdown)();                               // 1: releases what the module holds
    void (*unused_2)();                                     // 2: no caller
    void (*unused_3)();                                     // 3: no caller
    void (*unused_4)();                                     // 4: no caller
    void (*unused_5)();                                     // 5: no caller
    void (*unused_6)();                                     // 6: no caller
    uint16_t (*load_music)(const char* path);               // 7: music handle
    void (*unused_8)();                                     // 8: no caller
    void (*unused_9)();                                     // 9: no caller
    void (*play_music)(uint16_t music, double a, double b, double c);  // 10
    void (*stop_music)(double fade);                        // 11
    bool (*music_playing)();                                // 12
    void (*unused_13)();                                    // 13: no caller
};

static_assert(sizeof(sound_interface) == 14 * sizeof(void*), "sound_interface has 14 slots");

