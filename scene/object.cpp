#include "scene/object.h"

#include <cmath>

namespace {

constexpr double kCoincident = 1e-8;

template <class Value>
void put(ByteWriter& out, const Value& value)
{
    uint8_t image[16];  // a quaternion, the largest
    out.bytes(image, size_t(value.serialize(image)));
}

template <class Value>
bool take(ByteReader& in, Value& value)
{
    const uint8_t* image = in.take(size_t(value.serialized_size()));
    if (image) value.deserialize(image);
    return image;
}

}  // namespace

bool ctObject::intersects(const ctObject& other) const
{
    const double reach = double(radius) + double(other.radius);
    return (other.position - position).length_squared() <= reach * reach;
}

bool ctObject::separate_from(ctObject& other)
{
    if (coincides_with(other)) return false;
    if (!intersects(other)) return false;
    const cVector3D d = other.position - position;
    const double overlap = double(radius) + double(other.radius) - d.length();
    const cVector3D n = d.normalized();
    position = position - n * (overlap / 2);
    other.position = other.position + n * (overlap / 2);
    return true;
}

bool ctObject::intersects_ray(const ctRay& ray) const
{
    const cVector3D w = position - ray.origin;
    const double t = dot(w, ray.direction);
    if (!(-double(radius) < t && t < double(ray.length) + double(radius))) return false;
    const cVector3D q = w - ray.direction * t;
    return double(radius) * double(radius) - q.length_squared() > 0;
}

bool ctObject::clip_ray(ctRay& ray) const
{
    if (!intersects_ray(ray)) return false;
    const cVector3D w = position - ray.origin;
    const double t = dot(w, ray.direction);
    const cVector3D q = w - ray.direction * t;
    ray.length = float(t - std::sqrt(double(radius) * double(radius) - q.length_squared()));
    return true;
}

void ctObject::get_forward_vector(cVector3D& out) const
{
    out = cVector3D(0, 0, 1);
    __cVector3d_rotate_by_quaternion(&out, &rotation);
}

void ctObject::normalize_rotation(cQuaternion& q)
{
    const double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0 || !std::isfinite(length)) return;
    q.x /= length;
    q.y /= length;
    q.z /= length;
    q.w /= length;
}

bool ctObject::finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool ctObject::finite(const cQuaternion& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

void ctObject::write_field(ByteWriter& out, const cVector3D& value)
{
    put(out, value);
}

void ctObject::write_field(ByteWriter& out, const cQuaternion& value)
{
    put(out, value);
}

bool ctObject::read_field(ByteReader& in, cVector3D& value)
{
    return take(in, value);
}

bool ctObject::read_field(ByteReader& in, cQuaternion& value)
{
    return take(in, value);
}

bool ctObject::coincides_with(const ctObject& other) const
{
    return std::fabs(position.x - other.position.x) < kCoincident &&
           std::fabs(position.y - other.position.y) < kCoincident &&
           std::fabs(position.z - other.position.z) < kCoincident;
}

void ctObject::write_placement(ByteWriter& out) const
{
    write_field(out, position);
    write_field(out, rotation);
    out.f32(radius);
}

bool ctObject::read_placement(ByteReader& in)
{
    cVector3D read_position;
    cQuaternion read_rotation;
    float read_radius = 0;
    bool whole = read_field(in, read_position) && read_field(in, read_rotation) && in.f32(read_radius);
    if (!whole || !finite(read_position) || !finite(read_rotation) || !std::isfinite(read_radius)) return false;
    normalize_rotation(read_rotation);
    position = read_position;
    rotation = read_rotation;
    radius = read_radius;
    return true;
}
