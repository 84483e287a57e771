// Frame timing, throttle, profiles, threads and messages. Milliseconds are
// compared as signed differences so a wrapped clock or a bad cap never turns
// into an endless sleep.
#include "platform/system.h"

#include <SDL.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "base/containers.h"
#include "base/strings.h"

namespace trellis {

namespace {

struct _profileData {
    char name[32];
    bool running;
    uint32_t start_ticks;
    float frame_time;
    double total_time;
};

struct SystemState {
    bool initialised = false;
    char caption[64] = {};
    char report_path[260] = {};
    std::unique_ptr<std::ofstream> extra_log;
    uint32_t last_tick = 0;
    float last_frame_seconds = 0;
    double total_seconds = 0;
    float average_framerate = 0;
    float last_throttle_wait = 0;
    int32_t target_milliseconds = 0;
};

uint32_t sdl_milliseconds()
{
    return SDL_GetTicks();
}

void sdl_sleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

SystemState systemState;
SystemClock systemClock = {sdl_milliseconds, sdl_sleep};
DSPhashMap<_profileData> profiles;

const char* name_or_empty(const char* name)
{
    return name ? name : "";
}

bool profiling_on()
{
    return systemState.report_path[0] != 0;
}

int32_t milliseconds_since(uint32_t earlier)
{
    return int32_t(systemClock.milliseconds() - earlier);
}

void fold_profile_frame_times()
{
    for (auto& entry : profiles.walk()) {
        entry.second->total_time += entry.second->frame_time;
        entry.second->frame_time = 0;
    }
}

void throttle(int32_t elapsed)
{
    begin_profile("Throttling");
    systemState.last_throttle_wait = 0;
    if (systemState.target_milliseconds > 0 && elapsed < systemState.target_milliseconds) {
        const int32_t wait = systemState.target_milliseconds - (elapsed > 0 ? elapsed : 0);
        systemClock.sleep(uint32_t(wait));
        systemState.last_throttle_wait = float(wait) / 1000.0f;
    }
    end_profile("Throttling");
}

_profileData* new_profile(const char* name)
{
    auto* profile = new _profileData();
    __mystring_string_copy(profile->name, name, sizeof profile->name);
    return profile;
}

float fraction_of_run(const _profileData& profile)
{
    if (systemState.total_seconds <= 0) return 0.0f;
    return float(profile.total_time * 100.0 / systemState.total_seconds);
}

void write_report()
{
    std::ofstream report(systemState.report_path, std::ios::out | std::ios::trunc);
    if (!report) return;
    report << "Program ran for " << systemState.total_seconds << " seconds with an average framerate of "
           << systemState.average_framerate << " frames/second.\n\n";
    report << "Profiles: " << profiles.count() << "\n\n";
    for (auto& entry : profiles.walk()) {
        const _profileData& profile = *entry.second;
        report << '"' << profile.name << "\"\n";
        report << "  ~" << int(fraction_of_run(profile)) << "%"
               << " of the CPU's time, running for " << profile.total_time << " seconds\n\n";
    }
}

_profileData* known_profile(const char* name)
{
    _profileData* profile = profiles.find(__mystring_hash(name));
    if (!profile) printf("WARNING: Profile %s could not be accessed\n", name);
    return profile;
}

}  // namespace

void system_use_clock(SystemClock clock)
{
    systemClock.milliseconds = clock.milliseconds ? clock.milliseconds : sdl_milliseconds;
    systemClock.sleep = clock.sleep ? clock.sleep : sdl_sleep;
}

void system_forget_run()
{
    system_shutdown();
    systemState = SystemState();
    profiles.clear();
}

bool system_init(const char* caption, const char* report_path, const char* log_path)
{
    if (systemState.initialised) {
        system_shutdown();
        return false;
    }
    systemState.initialised = true;
    if (log_path) systemState.extra_log = std::make_unique<std::ofstream>(log_path, std::ios::out | std::ios::trunc);
    __mystring_string_copy(systemState.report_path, name_or_empty(report_path), sizeof systemState.report_path);
    systemState.last_tick = systemClock.milliseconds();
    __mystring_string_copy(systemState.caption, name_or_empty(caption), sizeof systemState.caption);
    SDL_WM_SetCaption(systemState.caption, "");
    return true;
}

void system_shutdown()
{
    if (!systemState.initialised) return;
    if (profiling_on() && profiles.count() > 0) write_report();
    systemState.extra_log.reset();
    systemState.initialised = false;
}

float tick_frame()
{
    const uint32_t now = systemClock.milliseconds();
    const int32_t elapsed = int32_t(now - systemState.last_tick);
    systemState.last_frame_seconds = float(elapsed > 0 ? elapsed : 0) / 1000.0f;

    const double new_total = systemState.total_seconds + systemState.last_frame_seconds;
    if (new_total > 0) {
        systemState.average_framerate =
            float((systemState.total_seconds * systemState.average_framerate + 1) / new_total);
        systemState.total_seconds = new_total;
    }
    systemState.last_tick = now;
    fold_profile_frame_times();
    throttle(elapsed);
    return systemState.last_frame_seconds;
}

const char* get_caption()
{
    return systemState.caption;
}

void* create_thread(int (*entry)(void*), void* data)
{
    return entry ? SDL_CreateThread(entry, data) : nullptr;
}

void kill_thread(void* thread)
{
    if (thread) SDL_KillThread(static_cast<SDL_Thread*>(thread));
}

void wait_thread(void* thread, int* status)
{
    if (thread) SDL_WaitThread(static_cast<SDL_Thread*>(thread), status);
}

void* create_mutex()
{
    return SDL_CreateMutex();
}

bool lock_mutex(void* mutex)
{
    if (SDL_mutexP(static_cast<SDL_mutex*>(mutex)) == 0) return true;
    printf("ERROR: %s%s\n", "Couldn't lock mutex", "");
    return false;
}

bool unlock_mutex(void* mutex)
{
    if (SDL_mutexV(static_cast<SDL_mutex*>(mutex)) == 0) return true;
    printf("ERROR: %s%s\n", "Couldn't lock mutex", "");
    return false;
}

void destroy_mutex(void* mutex)
{
    if (mutex) SDL_DestroyMutex(static_cast<SDL_mutex*>(mutex));
}

void sleep_seconds(const double* seconds)
{
    if (!seconds || !(*seconds > 0)) return;
    const double milliseconds = *seconds * 1000.0;
    systemClock.sleep(milliseconds < double(INT32_MAX) ? uint32_t(milliseconds) : uint32_t(INT32_MAX));
}

void yield_thread()
{
    systemClock.sleep(1);
}

int set_fps_cap(const float* fps)
{
    const float cap = fps ? *fps : 0.0f;
    if (cap == 0.0f) printf("ERROR: %s%s\n", "Cannot throttle main thread to 0 FPS", "");
    if (!(cap > 0.0f)) {
        systemState.target_milliseconds = 0;
        return 0;
    }
    const double milliseconds = 1000.0 / double(cap);
    systemState.target_milliseconds = milliseconds < double(INT32_MAX) ? int32_t(milliseconds) : INT32_MAX;
    return systemState.target_milliseconds;
}

float run_time()
{
    return float(systemState.total_seconds);
}

float last_frame_seconds()
{
    return systemState.last_frame_seconds;
}

float current_fps()
{
    return systemState.last_frame_seconds > 0 ? 1.0f / systemState.last_frame_seconds : 0.0f;
}

float average_fps()
{
    return systemState.average_framerate;
}

float last_throttle_wait()
{
    return systemState.last_throttle_wait;
}

const char* begin_profile(const char* name)
{
    static std::string message;
    if (!profiling_on()) return nullptr;
    name = name_or_empty(name);
    const uint32_t key = __mystring_hash(name);
    if (!profiles.find(key)) profiles.insert(new_profile(name), key);
    _profileData* profile = profiles.find(key);
    if (!profile) {
        message = std::string("Profile ") + name + " could not be accessed\n";
        return message.c_str();
    }
    if (profile->running) {
        message = std::string("Tried to begin profile ") + name + " but it is already running\n";
        return message.c_str();
    }
    profile->running = true;
    profile->start_ticks = systemClock.milliseconds();
    return nullptr;
}

const char* end_profile(const char* name)
{
    static std::string message;
    if (!profiling_on()) return nullptr;
    name = name_or_empty(name);
    _profileData* profile = profiles.find(__mystring_hash(name));
    if (!profile) {
        message = std::string("Profile ") + name + " could not be accessed\n";
        return message.c_str();
    }
    if (!profile->running) {
        message = std::string("Tried to end profile ") + name + " but it is not running\n";
        return message.c_str();
    }
    profile->running = false;
    const int32_t elapsed = milliseconds_since(profile->start_ticks);
    profile->frame_time += float(elapsed > 0 ? elapsed : 0) / 1000.0f;
    return nullptr;
}

float profile_fraction(const char* name)
{
    _profileData* profile = known_profile(name_or_empty(name));
    return profile ? fraction_of_run(*profile) : 0.0f;
}

double profile_seconds(const char* name)
{
    _profileData* profile = known_profile(name_or_empty(name));
    return profile ? profile->total_time : 0.0;
}

int print_message(const char* text)
{
    if (!text) return 0;
    if (systemState.extra_log && *systemState.extra_log) {
        *systemState.extra_log << text;
        systemState.extra_log->flush();
    }
    return int(fwrite(text, 1, strlen(text), stdout));
}

}  // namespace trellis
