// Rotation quaternions (x, y, z, w); angles are radians.
#pragma once

#include "base/keel.h"
#include "base/serializable.h"
#include "base/vector.h"

class cMatrix3D;

class cQuaternion : public cSerializable {
public:
    cQuaternion() : x(0), y(0), z(0), w(1) {}
    cQuaternion(double x, double y, double z, double w) : x(x), y(y), z(z), w(w) {}
    cQuaternion(const cQuaternion&) = default;
    cQuaternion& operator=(const cQuaternion&) = default;
    virtual ~cQuaternion() = default;

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Component 0..3 (x, y, z, w); any other index gives a zero that writes cannot keep.
    double& operator[](int i);

    double x, y, z, w;
};

// The axis is used as given, not normalised.
KEEL_API void __cQuaternion_from_axis_angle(cQuaternion* out, const cVector3D* axis, const double* angle);
// qz qy qx of the three angles (x and z turned the other way).
KEEL_API void __cQuaternion_from_euler_components(cQuaternion* out, const double* x, const double* y,
                                                   const double* z);
KEEL_API void __cQuaternion_from_euler(cQuaternion* out, const cVector3D* v);
KEEL_API void __cQuaternion_from_matrix(cQuaternion* out, const cMatrix3D* m);
// Turns q about its own up, side or forward axis.
KEEL_API void __cQuaternion_yaw(cQuaternion* q, const double* angle);
KEEL_API void __cQuaternion_pitch(cQuaternion* q, const double* angle);
KEEL_API void __cQuaternion_roll(cQuaternion* q, const double* angle);
KEEL_API void __cQuaternion_add(cQuaternion* a, const cQuaternion* b);
KEEL_API void __cQuaternion_subtract(cQuaternion* a, const cQuaternion* b);
// a = a b, the Hamilton product.
KEEL_API void __cQuaternion_multiply(cQuaternion* a, const cQuaternion* b);
// Up to four '#'-ended numbers into x, y, z, w.
KEEL_API void __cQuaternion_from_string(cQuaternion* q, const char* text);
// Spherical interpolation, the short way round; t = 0 gives from.
KEEL_API void __cQuaternion_slerp(cQuaternion* out, const cQuaternion* from, const cQuaternion* to, double t);
// A random orientation from three draws of keelcore's generator.
KEEL_API void __nsQuaternion_random(cQuaternion* out);
