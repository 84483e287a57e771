// 2D and 3D vectors. cVector2D is held in doubles (texture coordinates, 2D
// positions) or 32-bit integers (window positions and sizes).
#pragma once

#include <cstdint>
#include <type_traits>

#include "base/keel.h"
#include "base/serializable.h"

template <class T>
class cVector2D : public cSerializable {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, int32_t>,
                  "cVector2D is held in doubles or 32-bit integers");

public:
    cVector2D() : x(0), y(0) {}
    cVector2D(T x, T y) : x(x), y(y) {}
    virtual ~cVector2D() = default;

    int serialize(void* out) const override
    {
        cPackedWriter writer(out, 2 * sizeof(T));
        put(writer, x);
        put(writer, y);
        return writer.written();
    }
    int deserialize(const void* in) override
    {
        cPackedReader reader(in, 2 * sizeof(T));
        x = take(reader);
        y = take(reader);
        return reader.consumed();
    }
    int serialized_size() const override { return int(2 * sizeof(T)); }

    // Component 0 or 1; any other index gives a zero that writes cannot keep.
    T& operator[](int i)
    {
        if (i == 0) return x;
        if (i == 1) return y;
        scratch = 0;
        return scratch;
    }

    cVector2D operator-(const cVector2D& other) const { return cVector2D(x - other.x, y - other.y); }
    // The centre of an area of this size.
    cVector2D half() const { return cVector2D(x / 2, y / 2); }

    T x, y;

private:
    static void put(cPackedWriter& writer, T value)
    {
        if constexpr (std::is_same_v<T, double>)
            writer.f64(value);
        else
            writer.i32(value);
    }
    static T take(cPackedReader& reader)
    {
        if constexpr (std::is_same_v<T, double>)
            return reader.next_f64();
        else
            return reader.next_i32();
    }
    inline static T scratch = 0;
};

class cVector3D : public cSerializable {
public:
    cVector3D() : x(0), y(0), z(0) {}
    cVector3D(double x, double y, double z) : x(x), y(y), z(z) {}
    cVector3D(const cVector3D&) = default;
    cVector3D& operator=(const cVector3D&) = default;
    virtual ~cVector3D() = default;

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Component 0, 1 or 2; any other index gives a zero that writes cannot keep.
    double& operator[](int i);

    double length_squared() const;
    double length() const;
    // Divides by the length; the zero vector stays unchanged.
    void normalize();

    cVector3D normalized() const
    {
        cVector3D copy(*this);
        copy.normalize();
        return copy;
    }

    double x, y, z;
};

inline cVector3D operator+(const cVector3D& a, const cVector3D& b) { return cVector3D(a.x + b.x, a.y + b.y, a.z + b.z); }
inline cVector3D operator-(const cVector3D& a, const cVector3D& b) { return cVector3D(a.x - b.x, a.y - b.y, a.z - b.z); }
inline cVector3D operator-(const cVector3D& v) { return cVector3D(-v.x, -v.y, -v.z); }
inline cVector3D operator*(const cVector3D& v, double s) { return cVector3D(v.x * s, v.y * s, v.z * s); }
inline cVector3D operator/(const cVector3D& v, double s) { return cVector3D(v.x / s, v.y / s, v.z / s); }
inline double dot(const cVector3D& a, const cVector3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline cVector3D cross(const cVector3D& a, const cVector3D& b)
{
    return cVector3D(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

class cMatrix3D;
class cQuaternion;

// v = m v.
KEEL_API void __cVector3d_rotate_by_matrix(cVector3D* v, const cMatrix3D* m);
// v = transpose(m) v.
KEEL_API void __cVector3d_rotate_backwards_by_matrix(cVector3D* v, const cMatrix3D* m);
KEEL_API void __cVector3d_rotate_by_quaternion(cVector3D* v, const cQuaternion* q);
KEEL_API void __cVector3d_rotate_backwards_by_quaternion(cVector3D* v, const cQuaternion* q);
// Radians; 0 when either vector is zero.
KEEL_API double __cVector3d_get_angle_between(const cVector3D* a, const cVector3D* b);
// (a . b) / (b . b); 0 when either vector is zero.
KEEL_API double __cVector3d_get_scalar_for_projection_onto(const cVector3D* a, const cVector3D* b);
// Up to three '#'-ended numbers into x, y, z.
KEEL_API void __cVector3d_vector_from_string(cVector3D* v, const char* text);
// A random unit vector from three draws of keelcore's generator.
KEEL_API void __nsVector3d_on_unit_sphere(cVector3D* out);
