#include "scene/physics_object.h"

#include <cmath>

namespace {

// The reflection of v about the plane with normal n, keeping v's length.
cVector3D reflected(const cVector3D& v, const cVector3D& n)
{
    const double speed = v.length();
    const cVector3D u = v.normalized();
    return (u - n * (2 * dot(n, u))) * speed;
}

}  // namespace

ctPhysicsObject::ctPhysicsObject(const ctPhysicsObject& source) : ctObject()
{
    copy_physics_state(*this, source);
}

ctPhysicsObject& ctPhysicsObject::operator=(const ctPhysicsObject& source)
{
    copy_physics_state(*this, source);
    return *this;
}

void ctPhysicsObject::copy_physics_state(ctPhysicsObject& destination, const ctPhysicsObject& source)
{
    copy_motion_state(destination, source);
    destination.radius = source.radius;
    destination.mass = source.mass;
}

void ctPhysicsObject::copy_motion_state(ctPhysicsObject& destination, const ctPhysicsObject& source)
{
    destination.position = source.position;
    destination.rotation = source.rotation;
    destination.velocity = source.velocity;
    destination.motion_a = source.motion_a;
    destination.motion_b = source.motion_b;
    destination.motion_c = source.motion_c;
}

bool ctPhysicsObject::collide_with(ctPhysicsObject& other)
{
    if (coincides_with(other)) return false;
    const cVector3D d = other.position - position;
    const double reach = double(radius) + double(other.radius);
    if (d.length_squared() > reach * reach) return false;
    const double total = double(mass) + double(other.mass);
    if (total == 0) return false;
    const double overlap = reach - d.length();
    const cVector3D n = d.normalized();
    position = position - n * (overlap * (double(other.mass) / total));
    other.position = other.position + n * (overlap * (double(mass) / total));
    return true;
}

void ctPhysicsObject::collision_response(cVector3D& out, ctPhysicsObject& other, bool update_velocities,
                                         bool separate)
{
    out = cVector3D();
    const double reach = double(radius) + double(other.radius);
    const cVector3D d = other.position - position;
    if (d.length_squared() >= reach * reach) return;
    const double total = double(other.mass) + double(mass);
    if (total == 0) return;

    const cVector3D centre = (other.velocity * double(other.mass) + velocity * double(mass)) / total;
    const cVector3D u_this = velocity - centre;
    const cVector3D u_other = other.velocity - centre;
    const double closing = u_this.length() + u_other.length();
    const double t = closing == 0 ? 0 : (reach - d.length()) / closing;

    if (separate) {
        position = position - velocity * t;
        other.position = other.position - other.velocity * t;
    }
    const cVector3D n = d.normalized();
    const cVector3D new_this = reflected(u_this, n) + centre;
    const cVector3D new_other = reflected(u_other, n) + centre;
    out = (new_other - other.velocity) * double(other.mass);
    if (separate) {
        position = position + new_this * t;
        other.position = other.position + new_other * t;
    }
    if (update_velocities) {
        velocity = new_this;
        other.velocity = new_other;
    }
}

void ctPhysicsObject::reflect_off(cVector3D& out, const ctObject& other, bool update_velocity, bool separate)
{
    out = cVector3D();
    const double reach = double(radius) + double(other.radius);
    const cVector3D e = other.position - position;
    if (e.length_squared() >= reach * reach) return;
    const double speed = velocity.length();
    const double t = speed == 0 ? 0 : (reach - e.length()) / speed;
    const cVector3D old_velocity = velocity;

    if (separate) position = position - velocity * t;
    const cVector3D w = reflected(velocity, e.normalized());
    if (separate) position = position + w * t;
    if (update_velocity) velocity = w;
    out = (w - old_velocity) * double(mass);
}

void ctPhysicsObject::write_body(ByteWriter& out) const
{
    write_placement(out);
    for (const cVector3D* v : {&velocity, &motion_a, &motion_b, &motion_c}) write_field(out, *v);
    out.f32(mass);
}

bool ctPhysicsObject::read_body(ByteReader& in)
{
    ctPhysicsObject read;
    if (!read.read_placement(in)) return false;
    for (cVector3D* v : {&read.velocity, &read.motion_a, &read.motion_b, &read.motion_c})
        if (!read_field(in, *v) || !finite(*v)) return false;
    if (!in.f32(read.mass) || !std::isfinite(read.mass)) return false;
    copy_physics_state(*this, read);
    return true;
}

int ctPhysicsObject::serialize(void* out) const
{
    ByteWriter writer(static_cast<uint8_t*>(out), kSerializedSize);
    write_body(writer);
    return int(writer.size());
}

int ctPhysicsObject::deserialize(const void* in)
{
    ByteReader reader(static_cast<const uint8_t*>(in), kSerializedSize);
    if (!read_body(reader)) return -1;
    return int(reader.position());
}

int ctPhysicsObject::serialized_size() const
{
    return kSerializedSize;
}
