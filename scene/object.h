// A placed thing with a bounding sphere: sphere and ray tests, and the leading
// fields every packed object form starts with.
#pragma once

#include <cstdint>

#include "base/bytes.h"
#include "base/serializable.h"
#include "scene/transform.h"

// What the ray tests take.
struct ctRay {
    uint32_t tag = 0;  // carried along, never read by the tests
    cVector3D origin;
    cVector3D direction;  // unit length
    float length = 0;
};

// The packed forms of the objects built on this are their own.
class ctObject : public ctTransform, public cSerializable {
public:
    // Position, rotation (float32 each) and radius: the first 32 bytes of
    // every packed object form.
    static constexpr int kPlacementSize = 32;

    ctObject() = default;
    ctObject(const cVector3D& position, const cQuaternion& rotation, float radius)
        : ctTransform(position, rotation), radius(radius) {}
    ctObject(const ctObject&) = default;
    ctObject& operator=(const ctObject&) = default;

    // The spheres overlap or touch.
    virtual bool intersects(const ctObject& other) const;
    // Pushes both objects apart by half the overlap each. False, moving
    // nothing, when they do not intersect or their centres coincide.
    virtual bool separate_from(ctObject& other);
    virtual bool intersects_ray(const ctRay& ray) const;
    // On a hit, shortens the ray to the sphere's entry point; a miss leaves it.
    virtual bool clip_ray(ctRay& ray) const;

    // The unit vector (0, 0, 1) turned by the rotation.
    void get_forward_vector(cVector3D& out) const;

    float radius = 0;

protected:
    // Divides all four components by the quaternion's length; a zero (or
    // non-finite) quaternion is left as it is.
    static void normalize_rotation(cQuaternion& rotation);
    static bool finite(const cVector3D& v);
    static bool finite(const cQuaternion& q);
    // A vector or quaternion through its own packed form; a short span fails
    // the writer or reader.
    static void write_field(ByteWriter& out, const cVector3D& value);
    static void write_field(ByteWriter& out, const cQuaternion& value);
    static bool read_field(ByteReader& in, cVector3D& value);
    static bool read_field(ByteReader& in, cQuaternion& value);
    // Centres within 1e-8 on every axis give no direction to push along.
    bool coincides_with(const ctObject& other) const;

    void write_placement(ByteWriter& out) const;
    // The rotation comes back normalised. False, leaving the object as it
    // was, when the bytes run short or a number is not finite.
    bool read_placement(ByteReader& in);
};
