#include "scene/synced_physics_object.h"

#include <algorithm>
#include <cmath>
#include <cstring>

cVantorSyncedPhysicsObject::cVantorSyncedPhysicsObject()
    : snapshot(std::make_unique<ctPhysicsObject>(*this))
{
}

cVantorSyncedPhysicsObject::cVantorSyncedPhysicsObject(const cVector3D& position, const cQuaternion& rotation,
                                                       float radius, float mass, float sync_time)
    : ctPhysicsObject(position, rotation, radius, mass)
{
    this->sync_time = sync_time;
    snapshot = std::make_unique<ctPhysicsObject>(*this);
}

cVantorSyncedPhysicsObject::cVantorSyncedPhysicsObject(const cVantorSyncedPhysicsObject& source)
    : ctPhysicsObject(source), _cVantorSyncedObjectBase(source),
      snapshot(std::make_unique<ctPhysicsObject>(*source.snapshot))
{
}

cVantorSyncedPhysicsObject& cVantorSyncedPhysicsObject::operator=(const cVantorSyncedPhysicsObject& source)
{
    ctPhysicsObject::operator=(source);
    sync_time = source.sync_time;
    sync_id = source.sync_id;
    *snapshot = *source.snapshot;
    return *this;
}

cVantorSyncedPhysicsObject::~cVantorSyncedPhysicsObject() = default;

int cVantorSyncedPhysicsObject::serialize(void* out) const
{
    return write_sync_record(static_cast<uint8_t*>(out), kSyncRecordSize);
}

int cVantorSyncedPhysicsObject::deserialize(const void* in)
{
    return read_sync_record(static_cast<const uint8_t*>(in), kSyncRecordWritten);
}

int cVantorSyncedPhysicsObject::serialized_size() const
{
    return kSyncRecordSize;
}

int cVantorSyncedPhysicsObject::write_sync_state(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kSyncStateSize)) return -1;
    ByteWriter out(buffer, capacity);
    write_field(out, position);
    write_field(out, velocity);
    write_field(out, motion_a);
    write_field(out, rotation);
    write_field(out, motion_b);
    write_field(out, motion_c);
    return int(out.size());
}

int cVantorSyncedPhysicsObject::read_sync_state(const uint8_t* buffer, size_t size, float time)
{
    ByteReader in(buffer, size);
    cVector3D read_position, read_velocity, read_motion_a, read_motion_b, read_motion_c;
    cQuaternion read_rotation;
    const bool whole = read_field(in, read_position) && read_field(in, read_velocity) &&
                       read_field(in, read_motion_a) && read_field(in, read_rotation) &&
                       read_field(in, read_motion_b) && read_field(in, read_motion_c);
    if (!whole || !std::isfinite(time)) return -1;
    for (const cVector3D* v : {&read_position, &read_velocity, &read_motion_a, &read_motion_b, &read_motion_c})
        if (!finite(*v)) return -1;
    if (!finite(read_rotation)) return -1;

    for (ctPhysicsObject* body : {static_cast<ctPhysicsObject*>(this), snapshot.get()}) {
        body->position = read_position;
        body->velocity = read_velocity;
        body->motion_a = read_motion_a;
        body->rotation = read_rotation;
        body->motion_b = read_motion_b;
        body->motion_c = read_motion_c;
    }
    sync_time = time;
    return int(in.position());
}

int cVantorSyncedPhysicsObject::sync_state_size() const
{
    return kSyncStateSize;
}

int cVantorSyncedPhysicsObject::write_sync_record(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kSyncRecordWritten)) return -1;
    ByteWriter out(buffer, capacity);
    write_body(out);
    out.u32(sync_id);
    const size_t spare = std::min(capacity, size_t(kSyncRecordSize)) - out.size();
    std::memset(buffer + out.size(), 0, spare);
    return int(out.size());
}

int cVantorSyncedPhysicsObject::read_sync_record(const uint8_t* buffer, size_t size)
{
    if (!buffer || size < size_t(kSyncRecordWritten)) return -1;
    ByteReader in(buffer, size);
    if (!read_body(in)) return -1;
    in.u32(sync_id);
    copy_physics_state(*snapshot, *this);
    return int(in.position());
}

int cVantorSyncedPhysicsObject::sync_record_size() const
{
    return kSyncRecordSize;
}
