#include "game/projectile.h"

#include <cmath>

cVantorSyncedManager<czrProjectile> projectileRegistry;
DSParray<czrProjectileType> projectileTypes;

czrProjectile::czrProjectile() : cVantorSyncedPhysicsObject(cVector3D(), cQuaternion(0, 0, 0, 1), 0, 0, 0) {}

int czrProjectile::serialize(void* out) const
{
    return write_sync_record(static_cast<uint8_t*>(out), kRecordWritten);
}

int czrProjectile::deserialize(const void* in)
{
    return read_sync_record(static_cast<const uint8_t*>(in), kRecordWritten);
}

int czrProjectile::serialized_size() const
{
    return kRecordSize;
}

int czrProjectile::write_sync_state(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kStateWritten)) return -1;
    ByteWriter out(buffer, 8);
    out.u32(param_b);
    out.f32(param_c);
    const int physics = cVantorSyncedPhysicsObject::write_sync_state(buffer + 8, capacity - 8);
    return physics < 0 ? -1 : 8 + physics;
}

int czrProjectile::read_sync_state(const uint8_t* buffer, size_t size, float time)
{
    if (!buffer || size < size_t(kStateWritten)) return -1;
    ByteReader in(buffer, 8);
    uint32_t target = 0;
    float life = 0;
    in.u32(target);
    in.f32(life);
    if (!std::isfinite(life)) return -1;
    const int physics = cVantorSyncedPhysicsObject::read_sync_state(buffer + 8, size - 8, time);
    if (physics < 0) return -1;
    param_b = target;
    param_c = life;
    return 8 + physics;
}

int czrProjectile::sync_state_size() const
{
    return kStateSize;
}

int czrProjectile::write_sync_record(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kRecordWritten)) return -1;
    ByteWriter out(buffer, kRecordWritten);
    out.u8(kind);
    out.u32(param_a);
    out.u32(param_b);
    out.f32(param_c);
    out.f32(param_d);
    write_body(out);
    out.u32(sync_id);
    return out.ok() ? int(out.size()) : -1;
}

int czrProjectile::read_sync_record(const uint8_t* buffer, size_t size)
{
    if (!buffer || size < size_t(kRecordWritten)) return -1;
    ByteReader in(buffer, kRecordWritten);
    uint8_t read_kind = 0;
    uint32_t read_a = 0, read_b = 0, read_id = 0;
    float read_c = 0, read_d = 0;
    in.u8(read_kind);
    in.u32(read_a);
    in.u32(read_b);
    in.f32(read_c);
    in.f32(read_d);
    if (!std::isfinite(read_c) || !std::isfinite(read_d)) return -1;
    ctPhysicsObject body(*this);
    if (body.deserialize(buffer + 17) != ctPhysicsObject::kSerializedSize) return -1;
    in.skip(ctPhysicsObject::kSerializedSize);
    in.u32(read_id);
    if (!in.ok()) return -1;
    kind = read_kind;
    param_a = read_a;
    param_b = read_b;
    param_c = read_c;
    param_d = read_d;
    copy_physics_state(*this, body);
    sync_id = read_id;
    copy_physics_state(*snapshot, *this);
    return int(in.position());
}

int czrProjectile::sync_record_size() const
{
    return kRecordSize;
}

const czrProjectileType* projectile_type(const czrProjectile& projectile)
{
    return projectileTypes.get(projectile.kind);
}

void clear_projectiles()
{
    projectileRegistry.objects.clear();
    projectileRegistry.collect();
}
