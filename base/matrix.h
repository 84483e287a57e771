// 3 x 3 matrices, row by row: element (r, c) is m[3r + c]. Angles are radians.
#pragma once

#include "base/keel.h"
#include "base/serializable.h"
#include "base/vector.h"

class cQuaternion;

class cMatrix3D : public cSerializable {
public:
    cMatrix3D() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}
    cMatrix3D(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7, double m8)
        : m{m0, m1, m2, m3, m4, m5, m6, m7, m8} {}
    cMatrix3D(const cMatrix3D&) = default;
    cMatrix3D& operator=(const cMatrix3D&) = default;
    virtual ~cMatrix3D() = default;

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Element 0..8; any other index gives a zero that writes cannot keep.
    double& operator[](int i);

    // Column 0..2: the rotated x, y and z axes of a rotation matrix.
    cVector3D column(int c) const { return cVector3D(m[c], m[3 + c], m[6 + c]); }

    double m[9];
};

// Rotation about the normalised axis. The result is orthonormal only for
// axes along a coordinate axis; nothing relies on more.
KEEL_API void __cMatrix3d_construct_matrix(cMatrix3D* out, double angle, const cVector3D* axis);
KEEL_API void __cMatrix3d_from_quaternion(cMatrix3D* out, const cQuaternion* q);
// The rotation matrix of a quaternion, as a value.
inline cMatrix3D rotation_matrix(const cQuaternion& q)
{
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &q);
    return m;
}
// a, b and c become columns 0, 1 and 2.
KEEL_API void __cMatrix3d_from_eigenvectors(cMatrix3D* out, const cVector3D* a, const cVector3D* b,
                                            const cVector3D* c);
// Columns (right, up, forward), up made orthogonal to forward.
KEEL_API void __cMatrix3d_from_forward_and_up(cMatrix3D* out, const cVector3D* forward, const cVector3D* up);
// Each column to unit length; a zero column stays zero.
KEEL_API void __cMatrix3d_normalize(cMatrix3D* m);
KEEL_API void __cMatrix3d_add(cMatrix3D* a, const cMatrix3D* b);
KEEL_API void __cMatrix3d_subtract(cMatrix3D* a, const cMatrix3D* b);
// a = a b.
KEEL_API void __cMatrix3d_multiply(cMatrix3D* a, const cMatrix3D* b);
KEEL_API double __cMatrix3d_get_determinant(const cMatrix3D* m);
// a = b a transpose(b).
KEEL_API void __cMatrix3d_rotate(cMatrix3D* a, const cMatrix3D* b);
// m = m yaw(angle), and likewise for pitch and roll.
KEEL_API void __cMatrix3d_yaw(cMatrix3D* m, double angle);
KEEL_API void __cMatrix3d_pitch(cMatrix3D* m, double angle);
KEEL_API void __cMatrix3d_roll(cMatrix3D* m, double angle);
// Up to nine '#'-ended numbers in element order; returns the '#' count.
KEEL_API int16_t __cMatrix3d_from_string(cMatrix3D* m, const char* text);
KEEL_API void __nsMatrix3d_yaw(cMatrix3D* out, double angle);
KEEL_API void __nsMatrix3d_pitch(cMatrix3D* out, double angle);
KEEL_API void __nsMatrix3d_roll(cMatrix3D* out, double angle);
// yaw(v.y) pitch(v.x) roll(v.z).
KEEL_API void __nsMatrix3d_euler(cMatrix3D* out, const cVector3D* v);
// A random heading and elevation from two draws of keelcore's generator.
KEEL_API void __nsMatrix3d_random(cMatrix3D* out);
