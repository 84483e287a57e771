#include "base/vector.h"

#include <cmath>

#include "base/angles.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/random.h"
#include "base/text_fields.h"

int cVector3D::serialize(void* out) const
{
    cPackedWriter writer(out, 12);
    writer.f32(float(x));
    writer.f32(float(y));
    writer.f32(float(z));
    return writer.written();
}

int cVector3D::deserialize(const void* in)
{
    cPackedReader reader(in, 12);
    x = reader.next_f32();
    y = reader.next_f32();
    z = reader.next_f32();
    return reader.consumed();
}

int cVector3D::serialized_size() const
{
    return 12;
}

double& cVector3D::operator[](int i)
{
    static double scratch;
    if (i == 0) return x;
    if (i == 1) return y;
    if (i == 2) return z;
    scratch = 0;
    return scratch;
}

double cVector3D::length_squared() const
{
    return x * x + y * y + z * z;
}

double cVector3D::length() const
{
    return std::sqrt(length_squared());
}

void cVector3D::normalize()
{
    const double l = length();
    if (l == 0) return;
    x /= l;
    y /= l;
    z /= l;
}

static cVector3D matrix_times(const cMatrix3D& m, const cVector3D& v)
{
    return cVector3D(m.m[0] * v.x + m.m[1] * v.y + m.m[2] * v.z, m.m[3] * v.x + m.m[4] * v.y + m.m[5] * v.z,
                     m.m[6] * v.x + m.m[7] * v.y + m.m[8] * v.z);
}

static cVector3D transpose_times(const cMatrix3D& m, const cVector3D& v)
{
    return cVector3D(m.m[0] * v.x + m.m[3] * v.y + m.m[6] * v.z, m.m[1] * v.x + m.m[4] * v.y + m.m[7] * v.z,
                     m.m[2] * v.x + m.m[5] * v.y + m.m[8] * v.z);
}

void __cVector3d_rotate_by_matrix(cVector3D* v, const cMatrix3D* m)
{
    *v = matrix_times(*m, *v);
}

void __cVector3d_rotate_backwards_by_matrix(cVector3D* v, const cMatrix3D* m)
{
    *v = transpose_times(*m, *v);
}

void __cVector3d_rotate_by_quaternion(cVector3D* v, const cQuaternion* q)
{
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, q);
    *v = matrix_times(m, *v);
}

void __cVector3d_rotate_backwards_by_quaternion(cVector3D* v, const cQuaternion* q)
{
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, q);
    *v = transpose_times(m, *v);
}

static bool is_zero(const cVector3D& v)
{
    return v.x == 0 && v.y == 0 && v.z == 0;
}

double __cVector3d_get_angle_between(const cVector3D* a, const cVector3D* b)
{
    if (is_zero(*a) || is_zero(*b)) return 0;
    const double d = dot(*a, *b);
    if (d == 0) return kHalfPi;
    // Rounding can carry the cosine of (anti)parallel vectors just past 1.
    const double cosine = std::fmax(-1.0, std::fmin(1.0, d / (a->length() * b->length())));
    return std::acos(cosine);
}

double __cVector3d_get_scalar_for_projection_onto(const cVector3D* a, const cVector3D* b)
{
    if (is_zero(*a) || is_zero(*b)) return 0;
    return dot(*a, *b) / dot(*b, *b);
}

void __cVector3d_vector_from_string(cVector3D* v, const char* text)
{
    double values[3] = {v->x, v->y, v->z};
    read_hash_ended_numbers(text, values, 3);
    *v = cVector3D(values[0], values[1], values[2]);
}

static double centred_draw()
{
    return double(__mRandom_rand()) / kRandomMax - 0.5;
}

void __nsVector3d_on_unit_sphere(cVector3D* out)
{
    const double z = centred_draw();
    const double y = centred_draw();
    const double x = centred_draw();
    *out = cVector3D(x, y, z);
    out->normalize();
}
