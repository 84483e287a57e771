#include "game/packet_records.h"

#include <cmath>
#include <cstring>

namespace {

uint32_t next_u32(cPackedReader& in)
{
    uint32_t value = 0;
    in.u32(value);
    return value;
}

}  // namespace

void copy_player_name(char out[kPlayerNameSize], const char* name)
{
    std::memset(out, 0, kPlayerNameSize);
    size_t count = name ? strnlen(name, kPlayerNameSize - 1) : 0;
    if (count) std::memcpy(out, name, count);
}

bool is_finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool is_finite(const cQuaternion& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

int czrRosterEntry::serialize(void* out) const
{
    char field[kPlayerNameSize];
    copy_player_name(field, name);
    cPackedWriter writer(out, kSize);
    writer.u16(state);
    writer.bytes(field, sizeof field);
    writer.u16(0);
    writer.u32(car_sync_id);
    writer.u8(species);
    writer.zeros(7);
    writer.f64(progress);
    writer.u8(laps);
    writer.u8(section);
    writer.u8(rank);
    writer.zeros(5);
    return writer.written();
}

int czrRosterEntry::deserialize(const void* in)
{
    cPackedReader reader(in, kSize);
    char field[kPlayerNameSize];
    state = reader.next_u16();
    reader.bytes(field, sizeof field);
    field[kPlayerNameSize - 1] = 0;
    copy_player_name(name, field);
    reader.skip(2);
    car_sync_id = next_u32(reader);
    species = checked_species(reader.next_u8());
    reader.skip(7);
    progress = reader.next_f64();
    if (!std::isfinite(progress)) progress = 0;  // shown and sorted by every peer
    laps = reader.next_u8();
    section = reader.next_u8();
    rank = reader.next_u8();
    reader.skip(5);
    return reader.consumed();
}

void write_track_load_record(ByteWriter& out, const TrackLoadRecord& record)
{
    out.i16(record.node_count);
    for (uint16_t word : record.carried) out.u16(word);
    out.i16(record.seed);
}

bool read_track_load_record(ByteReader& in, TrackLoadRecord* record)
{
    TrackLoadRecord read;
    in.i16(read.node_count);
    for (uint16_t& word : read.carried) in.u16(word);
    in.i16(read.seed);
    if (!in.ok()) return false;
    *record = read;
    return true;
}
