#include "game/packet_records.h"

#include <cmath>
#include <cstring>

namespace {

void put_vector(ByteWriter& out, const cVector3D& v)
{
    out.f32(float(v.x));
    out.f32(float(v.y));
    out.f32(float(v.z));
}

void put_rotation(ByteWriter& out, const cQuaternion& q)
{
    out.f32(float(q.x));
    out.f32(float(q.y));
    out.f32(float(q.z));
    out.f32(float(q.w));
}

void take_vector(cPackedReader& in, cVector3D& v)
{
    v.x = in.next_f32();
    v.y = in.next_f32();
    v.z = in.next_f32();
}

void take_rotation(cPackedReader& in, cQuaternion& q)
{
    q.x = in.next_f32();
    q.y = in.next_f32();
    q.z = in.next_f32();
    q.w = in.next_f32();
}

void normalize_rotation(cQuaternion& q)
{
    double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0 || !std::isfinite(length)) return;
    q.x /= length;
    q.y /= length;
    q.z /= length;
    q.w /= length;
}

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

int czrBodyForm::serialize(void* out) const
{
    cPackedWriter writer(out, kSize);
    put_vector(writer, position);
    put_rotation(writer, rotation);
    writer.f32(radius);
    put_vector(writer, velocity);
    put_vector(writer, motion_a);
    put_vector(writer, motion_b);
    put_vector(writer, motion_c);
    writer.f32(mass);
    return writer.written();
}

int czrBodyForm::deserialize(const void* in)
{
    cPackedReader reader(in, kSize);
    take_vector(reader, position);
    take_rotation(reader, rotation);
    radius = reader.next_f32();
    take_vector(reader, velocity);
    take_vector(reader, motion_a);
    take_vector(reader, motion_b);
    take_vector(reader, motion_c);
    mass = reader.next_f32();
    normalize_rotation(rotation);
    return reader.consumed();
}

bool czrBodyForm::finite() const
{
    return is_finite(position) && is_finite(rotation) && std::isfinite(radius) && is_finite(velocity) &&
           is_finite(motion_a) && is_finite(motion_b) && is_finite(motion_c) && std::isfinite(mass);
}

int czrPhysicsSyncState::serialize(void* out) const
{
    cPackedWriter writer(out, kSize);
    put_vector(writer, position);
    put_vector(writer, velocity);
    put_vector(writer, motion_a);
    put_rotation(writer, rotation);
    put_vector(writer, motion_b);
    put_vector(writer, motion_c);
    return writer.written();
}

int czrPhysicsSyncState::deserialize(const void* in)
{
    cPackedReader reader(in, kSize);
    take_vector(reader, position);
    take_vector(reader, velocity);
    take_vector(reader, motion_a);
    take_rotation(reader, rotation);
    take_vector(reader, motion_b);
    take_vector(reader, motion_c);
    return reader.consumed();
}

bool czrPhysicsSyncState::finite() const
{
    return is_finite(position) && is_finite(velocity) && is_finite(motion_a) && is_finite(rotation) &&
           is_finite(motion_b) && is_finite(motion_c);
}

int czrProjectileRecord::serialize(void* out) const
{
    cPackedWriter writer(out, kSize);
    writer.u8(kind);
    writer.u32(param_a);
    writer.u32(param_b);
    writer.f32(param_c);
    writer.f32(param_d);
    write_record(writer, body);
    writer.u32(sync_id);
    return writer.written();
}

int czrProjectileRecord::deserialize(const void* in)
{
    cPackedReader reader(in, kSize);
    kind = reader.next_u8();
    param_a = next_u32(reader);
    param_b = next_u32(reader);
    param_c = reader.next_f32();
    param_d = reader.next_f32();
    read_record(reader, body);
    sync_id = next_u32(reader);
    return reader.consumed();
}

bool czrProjectileRecord::finite() const
{
    return std::isfinite(param_c) && std::isfinite(param_d) && body.finite();
}

int czrProjectileSyncState::serialize(void* out) const
{
    cPackedWriter writer(out, kSize);
    writer.u32(param_b);
    writer.f32(param_c);
    write_record(writer, physics);
    return writer.written();
}

int czrProjectileSyncState::deserialize(const void* in)
{
    cPackedReader reader(in, kSize);
    param_b = next_u32(reader);
    param_c = reader.next_f32();
    read_record(reader, physics);
    return reader.consumed();
}

bool czrProjectileSyncState::finite() const
{
    return std::isfinite(param_c) && physics.finite();
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
