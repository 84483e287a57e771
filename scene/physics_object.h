// A rigid body: a sphere with mass and motion vectors, and three contact
// operations. Bodies are plain values and copy their whole physical state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/object.h"

class ctPhysicsObject : public ctObject {
public:
    // position, rotation, radius, velocity, motion_a, motion_b, motion_c, mass
    static constexpr int kSerializedSize = 84;

    ctPhysicsObject() = default;
    // The four motion vectors start at zero.
    ctPhysicsObject(const cVector3D& position, const cQuaternion& rotation, float radius, float mass)
        : ctObject(position, rotation, radius), mass(mass) {}
    ctPhysicsObject(const ctPhysicsObject& source);
    ctPhysicsObject& operator=(const ctPhysicsObject& source);

    // Position-only contact: pushes the bodies apart along the line of their
    // centres, each by its share of the overlap (the lighter one further).
    // Velocities are not touched. False, moving nothing, when they do not
    // intersect, their centres coincide or their masses sum to zero.
    virtual bool collide_with(ctPhysicsObject& other);
    // Elastic contact in the centre-of-mass frame; out is the impulse given
    // to the other body. Needs strict overlap; otherwise, and when the masses
    // sum to zero, out is zero and nothing changes. With separate, both bodies
    // are first moved back out of contact along their velocities and then on
    // along their new ones.
    virtual void collision_response(cVector3D& out, ctPhysicsObject& other, bool update_velocities, bool separate);
    // This body bounces off an immovable object; out is the change of
    // momentum. Needs strict overlap; otherwise out is zero and nothing changes.
    virtual void reflect_off(cVector3D& out, const ctObject& other, bool update_velocity, bool separate);

    // The 84-byte body form. Reading normalises the rotation, and refuses
    // (-1, nothing changed) a non-finite number.
    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Position, rotation, radius, velocity, the motion vectors and mass.
    static void copy_physics_state(ctPhysicsObject& destination, const ctPhysicsObject& source);
    // Position, rotation, velocity and the motion vectors; the destination
    // keeps its own radius and mass.
    static void copy_motion_state(ctPhysicsObject& destination, const ctPhysicsObject& source);

    cVector3D velocity;
    cVector3D motion_a;  // drive vector
    cVector3D motion_b;  // angular velocity: pitch, yaw and roll per second
    cVector3D motion_c;
    float mass = 0;

protected:
    void write_body(ByteWriter& out) const;
    // False, leaving the body as it was, when the bytes run short or a
    // number is not finite.
    bool read_body(ByteReader& in);
};
