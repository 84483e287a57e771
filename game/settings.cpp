#include "game/settings.h"

#include <cstdio>

#include "base/bytes.h"
#include "base/fileops.h"

SettingsRecord settings_record = {};
std::string settings_path;

// The record's bytes; a name is always cut at byte 31 and a species out of
// range becomes 0, so nothing read from a file can be used unchecked.
static void write_settings_record(ByteWriter& writer, const SettingsRecord& record)
{
    writer.bytes(record.player_name, kPlayerNameSize);
    writer.u16(record.control_scheme);
    writer.u16(record.species);
    writer.u8(record.roster_interval);
    writer.u8(record.update_interval);
    writer.u8(record.music_off);
    writer.u8(record.reserved);
}

static SettingsRecord read_settings_record(ByteReader& reader)
{
    SettingsRecord record = {};
    reader.bytes(record.player_name, kPlayerNameSize);
    record.player_name[kPlayerNameSize - 1] = 0;
    reader.u16(record.control_scheme);
    reader.u16(record.species);
    record.species = checked_species(record.species);
    reader.u8(record.roster_interval);
    reader.u8(record.update_interval);
    reader.u8(record.music_off);
    reader.u8(record.reserved);
    return record;
}

void load_settings(std::string path)
{
    settings_path = path;
    if (!__mFileOps_file_exists(settings_path.c_str())) return;
    FILE* file = nullptr;
    __mFileOps_open_for_read(&file, settings_path.c_str());
    if (!file) return;
    uint8_t bytes[kSettingsFileBytes];
    const size_t got = fread(bytes, 1, sizeof bytes, file);
    __mFileOps_close(file);
    ByteReader reader(bytes, got);
    uint32_t version = 0;
    if (!reader.u32(version) || version != kSettingsVersion) return;
    const SettingsRecord record = read_settings_record(reader);
    if (reader.ok()) settings_record = record;
}

bool save_settings()
{
    uint8_t bytes[kSettingsFileBytes];
    ByteWriter writer(bytes, sizeof bytes);
    writer.u32(kSettingsVersion);
    write_settings_record(writer, settings_record);
    return __mFileOps_replace_file(settings_path, bytes, sizeof bytes);
}
