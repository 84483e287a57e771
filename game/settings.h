// The game's settings file: the player's name, control scheme, species, the
// host's network periods and the music switch. A u32 version (296) and the
// 40-byte record, little-endian, written once at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/packet_records.h"

constexpr uint32_t kSettingsVersion = 296;
constexpr size_t kSettingsRecordBytes = 40;
constexpr size_t kSettingsFileBytes = 4 + kSettingsRecordBytes;

struct SettingsRecord {
    char player_name[kPlayerNameSize];  // NUL-terminated, at most 31 characters
    uint16_t control_scheme;  // position among the rules file's control schemes
    uint16_t species;  // index into speciesNames
    uint8_t roster_interval;  // host's roster period in quarter seconds
    uint8_t update_interval;  // host's cart-update and keep-alive period in sixteenths of a second
    uint8_t music_off;
    uint8_t reserved;
};

extern SettingsRecord settings_record;
extern std::string settings_path;

// Remembers the path and reads the record when the file holds version 296
// and all 40 record bytes; otherwise the record stays as it is.
void load_settings(std::string path);
// Writes 296 and the record to the remembered path, replacing the file whole;
// on failure the old file stays as it was and one ERROR line names it.
bool save_settings();
