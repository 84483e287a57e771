// Projectiles: synced bodies the host can stream beside the carts. Nothing in
// the game fires them; a client creates one only from a spawn packet, and
// every cart update still carries their count.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/containers.h"
#include "framework/synced.h"
#include "scene/synced_physics_object.h"

// How one kind of projectile flies and is drawn.
struct czrProjectileType {
    uint32_t draw_kind = 0;  // 0: a sphere
    float radius = 0;
    float thrust = 0;
    float velocity_gain = 0;
    float turn_rate = 0;  // turns per second
    uint8_t trail = 0;
};

class czrProjectile : public cVantorSyncedPhysicsObject {
public:
    // kind, param_a..param_d (17 bytes), the body form and the sync id
    static constexpr int kRecordWritten = 17 + ctPhysicsObject::kSerializedSize + 4;
    static constexpr int kRecordSize = 121;
    // param_b, param_c and the physics sync state
    static constexpr int kStateWritten = 8 + cVantorSyncedPhysicsObject::kSyncStateSize;
    static constexpr int kStateSize = 90;

    // At the origin, unturned, with no radius and no mass.
    czrProjectile();

    // The packed form is the record.
    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Each returns the bytes it wrote or read: 105 for the record, 84 for
    // the state, or -1 (nothing changed) for too little room, too few bytes
    // or a number that is not finite.
    int write_sync_state(uint8_t* buffer, size_t capacity) const override;
    int read_sync_state(const uint8_t* buffer, size_t size, float time) override;
    int sync_state_size() const override;
    int write_sync_record(uint8_t* buffer, size_t capacity) const override;
    int read_sync_record(const uint8_t* buffer, size_t size) override;
    int sync_record_size() const override;

    uint8_t kind = 0;  // index into projectileTypes
    uint32_t param_a = 0;
    uint32_t param_b = 0;  // sync id of the cart it homes on
    float param_c = 0;     // seconds of life left
    float param_d = 1.0f;
};

// Every projectile in the race, by sync id; it owns them.
extern cVantorSyncedManager<czrProjectile> projectileRegistry;
// The kinds a projectile can be; no kind is defined, so the list stays empty.
extern DSParray<czrProjectileType> projectileTypes;

// The type of a projectile's kind; null when the list has no such entry.
const czrProjectileType* projectile_type(const czrProjectile& projectile);
// Deletes every projectile and forgets any removal still queued.
void clear_projectiles();
