// A rigid body the host replicates: the network code streams its state and
// sends its full record when a client creates it. It keeps a snapshot of the
// body as last received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/synced.h"
#include "scene/physics_object.h"

class cVantorSyncedPhysicsObject : public ctPhysicsObject, public _cVantorSyncedObjectBase {
public:
    // position, velocity, motion_a, rotation, motion_b, motion_c: no radius,
    // no mass, and the rotation after motion_a.
    static constexpr int kSyncStateSize = 76;
    // The body form and the sync_id are written; the record reserves 4 bytes
    // more, which the writer zeroes when the buffer holds them.
    static constexpr int kSyncRecordWritten = ctPhysicsObject::kSerializedSize + 4;
    static constexpr int kSyncRecordSize = 92;

    cVantorSyncedPhysicsObject();
    // No id yet: the synced manager assigns one. The snapshot starts as a
    // copy of the new body.
    cVantorSyncedPhysicsObject(const cVector3D& position, const cQuaternion& rotation, float radius, float mass,
                               float sync_time);
    cVantorSyncedPhysicsObject(const cVantorSyncedPhysicsObject& source);
    cVantorSyncedPhysicsObject& operator=(const cVantorSyncedPhysicsObject& source);
    ~cVantorSyncedPhysicsObject() override;

    // The packed form is the sync record.
    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    int write_sync_state(uint8_t* buffer, size_t capacity) const override;
    // Reads the state as sent (the rotation is not normalised), copies it
    // into the snapshot and keeps the time.
    int read_sync_state(const uint8_t* buffer, size_t size, float time) override;
    int sync_state_size() const override;
    int write_sync_record(uint8_t* buffer, size_t capacity) const override;
    // Reads the body (rotation normalised) and the id, then copies the body
    // into the snapshot.
    int read_sync_record(const uint8_t* buffer, size_t size) override;
    int sync_record_size() const override;

    // The body as last received; owned.
    std::unique_ptr<ctPhysicsObject> snapshot;
};
