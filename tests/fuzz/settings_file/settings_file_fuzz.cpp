// The game's settings file: whatever record it yields holds a terminated
// name and a known species, and is saved and loaded again unchanged.
#include <cstring>

#include "game/settings.h"
#include "tests/fuzz/support/fuzz_support.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

bool same(const SettingsRecord& a, const SettingsRecord& b)
{
    return strcmp(a.player_name, b.player_name) == 0 && a.control_scheme == b.control_scheme &&
           a.species == b.species && a.roster_interval == b.roster_interval &&
           a.update_interval == b.update_interval && a.music_off == b.music_off && a.reserved == b.reserved;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    settings_record = SettingsRecord();
    copy_player_name(settings_record.player_name, "Player");
    load_settings(scratch_file("zorblitRally.prf", data, size));
    check(memchr(settings_record.player_name, 0, kPlayerNameSize) != nullptr);
    check(settings_record.species < kSpeciesCount);
    const SettingsRecord loaded = settings_record;
    check(save_settings());
    settings_record = SettingsRecord();
    load_settings(settings_path);
    check(same(settings_record, loaded));
    return 0;
}
