// The system table's services: frame clock and throttle, caption, threads and
// mutexes over SDL, named profiles with the run report, and print_message.
#pragma once

#include <cstdint>

namespace trellis {

// Where time comes from; tests drive the clock and watch the sleeps.
struct SystemClock {
    uint32_t (*milliseconds)();
    void (*sleep)(uint32_t milliseconds);
};
// Restores SDL's clock when given null members.
void system_use_clock(SystemClock clock);
// Back to the state the plug-in loads with: shut down, no run time or frames,
// no cap and no profiles. For tests, which run many cases in one process.
void system_forget_run();

bool system_init(const char* caption, const char* report_path, const char* log_path);
void system_shutdown();
float tick_frame();
const char* get_caption();
void* create_thread(int (*entry)(void*), void* data);
void kill_thread(void* thread);
void wait_thread(void* thread, int* status);
void* create_mutex();
bool lock_mutex(void* mutex);
bool unlock_mutex(void* mutex);
void destroy_mutex(void* mutex);
void sleep_seconds(const double* seconds);
void yield_thread();
int set_fps_cap(const float* fps);
float run_time();
float last_frame_seconds();
float current_fps();
float average_fps();
float last_throttle_wait();
const char* begin_profile(const char* name);
const char* end_profile(const char* name);
float profile_fraction(const char* name);
double profile_seconds(const char* name);
int print_message(const char* text);

}  // namespace trellis
