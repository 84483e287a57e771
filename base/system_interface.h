// The system interface table: 24 plain function slots, filled by the platform
// plug-in's connect_system_interface.
#pragma once

#include <cstdint>

struct system_interface {
    bool (*system_init)(const char* caption, const char* report_path, const char* log_path);  // 0: paths may be null
    void (*system_shutdown)();                              // 1: writes the run report
    float (*tick_frame)();                                  // 2: frame seconds; sleeps to the cap
    const char* (*get_caption)();                           // 3
    void* (*create_thread)(int (*entry)(void*), void* data);  // 4: thread handle
    void (*kill_thread)(void* thread);                      // 5
    void (*wait_thread)(void* thread, int* status);         // 6
    void* (*create_mutex)();                                // 7: mutex handle
    bool (*lock_mutex)(void* mutex);                        // 8
    bool (*unlock_mutex)(void* mutex);                      // 9
    void (*destroy_mutex)(void* mutex);                     // 10
    void (*sleep_seconds)(const double* seconds);           // 11: whole milliseconds
    void (*yield_thread)();                                 // 12
    int (*set_fps_cap)(const float* fps);                   // 13: returns the target milliseconds
    float (*run_time)();                                    // 14: total run seconds
    float (*last_frame_seconds)();                          // 15
    float (*current_fps)();                                 // 16
    float (*average_fps)();                                 // 17
    float (*last_throttle_wait)();                          // 18
    const char* (*begin_profile)(const char* name);         // 19: null, or an error text
    const char* (*end_profile)(const char* name);           // 20: null, or an error text
    float (*profile_fraction)(const char* name);            // 21: percentage of the run time
    double (*profile_seconds)(const char* name);            // 22: total seconds
    int (*print_message)(const char* text);                 // 23: to the log (when open) and the console
};

static_assert(sizeof(system_interface) == 24 * sizeof(void*), "system_interface has 24 slots");
