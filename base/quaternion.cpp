#include "base/quaternion.h"

#include <cmath>

#include "base/angles.h"
#include "base/matrix.h"
#include "base/random.h"
#include "base/text_fields.h"
#include "base/trigonometry.h"

int cQuaternion::serialize(void* out) const
{
    cPackedWriter writer(out, 16);
    writer.f32(float(x));
    writer.f32(float(y));
    writer.f32(float(z));
    writer.f32(float(w));
    return writer.written();
}

int cQuaternion::deserialize(const void* in)
{
    cPackedReader reader(in, 16);
    x = reader.next_f32();
    y = reader.next_f32();
    z = reader.next_f32();
    w = reader.next_f32();
    return reader.consumed();
}

int cQuaternion::serialized_size() const
{
    return 16;
}

double& cQuaternion::operator[](int i)
{
    static double scratch;
    if (i == 0) return x;
    if (i == 1) return y;
    if (i == 2) return z;
    if (i == 3) return w;
    scratch = 0;
    return scratch;
}

static cQuaternion hamilton(const cQuaternion& a, const cQuaternion& b)
{
    return cQuaternion(a.x * b.w + a.y * b.z - a.z * b.y + a.w * b.x,
                       -a.x * b.z + a.y * b.w + a.z * b.x + a.w * b.y,
                       a.x * b.y - a.y * b.x + a.z * b.w + a.w * b.z,
                       -a.x * b.x - a.y * b.y - a.z * b.z + a.w * b.w);
}

void __cQuaternion_from_axis_angle(cQuaternion* out, const cVector3D* axis, const double* angle)
{
    const double s = std::sin(*angle / 2);
    *out = cQuaternion(s * axis->x, s * axis->y, s * axis->z, std::cos(*angle / 2));
}

void __cQuaternion_from_euler_components(cQuaternion* out, const double* x, const double* y, const double* z)
{
    const cQuaternion qz(0, 0, std::sin(-*z / 2), std::cos(-*z / 2));
    const cQuaternion qy(0, std::sin(*y / 2), 0, std::cos(*y / 2));
    const cQuaternion qx(std::sin(-*x / 2), 0, 0, std::cos(-*x / 2));
    *out = hamilton(hamilton(qz, qy), qx);
}

void __cQuaternion_from_euler(cQuaternion* out, const cVector3D* v)
{
    __cQuaternion_from_euler_components(out, &v->x, &v->y, &v->z);
}

void __cQuaternion_from_matrix(cQuaternion* out, const cMatrix3D* matrix)
{
    const double m00 = matrix->m[0], m01 = matrix->m[1], m02 = matrix->m[2];
    const double m10 = matrix->m[3], m11 = matrix->m[4], m12 = matrix->m[5];
    const double m20 = matrix->m[6], m21 = matrix->m[7], m22 = matrix->m[8];
    if (m00 + m11 + m22 > 0) {
        const double t = m00 + m11 + m22 + 1;
        const double o = 0.5 / std::sqrt(t);
        *out = cQuaternion(o * (m12 - m21), o * (m20 - m02), o * (m01 - m10), t * o);
    } else if (m00 > m11 && m00 > m22) {
        const double t = m00 - m11 - m22 + 1;
        const double o = 0.5 / std::sqrt(t);
        *out = cQuaternion(t * o, o * (m01 + m10), o * (m20 + m02), o * (m12 - m21));
    } else if (m11 > m22) {
        const double t = -m00 + m11 - m22 + 1;
        const double o = 0.5 / std::sqrt(t);
        *out = cQuaternion(o * (m01 + m10), t * o, o * (m12 + m21), o * (m20 - m02));
    } else {
        const double t = -m00 - m11 + m22 + 1;
        const double o = 0.5 / std::sqrt(t);
        *out = cQuaternion(o * (m20 + m02), o * (m12 + m21), t * o, o * (m01 - m10));
    }
}

// q = q turn(axis of q, angle), the axis being a unit axis carried by q.
static void turn_about_own_axis(cQuaternion* q, cVector3D axis, double angle)
{
    __cVector3d_rotate_by_quaternion(&axis, q);
    cQuaternion turn;
    __cQuaternion_from_axis_angle(&turn, &axis, &angle);
    *q = hamilton(*q, turn);
}

void __cQuaternion_yaw(cQuaternion* q, const double* angle)
{
    turn_about_own_axis(q, cVector3D(0, 1, 0), *angle);
}

void __cQuaternion_pitch(cQuaternion* q, const double* angle)
{
    turn_about_own_axis(q, cVector3D(1, 0, 0), -*angle);
}

void __cQuaternion_roll(cQuaternion* q, const double* angle)
{
    turn_about_own_axis(q, cVector3D(0, 0, 1), -*angle);
}

void __cQuaternion_add(cQuaternion* a, const cQuaternion* b)
{
    *a = cQuaternion(a->x + b->x, a->y + b->y, a->z + b->z, a->w + b->w);
}

void __cQuaternion_subtract(cQuaternion* a, const cQuaternion* b)
{
    *a = cQuaternion(a->x - b->x, a->y - b->y, a->z - b->z, a->w - b->w);
}

void __cQuaternion_multiply(cQuaternion* a, const cQuaternion* b)
{
    *a = hamilton(*a, *b);
}

void __cQuaternion_from_string(cQuaternion* q, const char* text)
{
    double values[4] = {q->x, q->y, q->z, q->w};
    read_hash_ended_numbers(text, values, 4);
    *q = cQuaternion(values[0], values[1], values[2], values[3]);
}

void __cQuaternion_slerp(cQuaternion* out, const cQuaternion* from, const cQuaternion* to, double t)
{
    cQuaternion target = *to;
    double d = from->x * to->x + from->y * to->y + from->z * to->z + from->w * to->w;
    if (d < 0) {
        target = cQuaternion(-to->x, -to->y, -to->z, -to->w);
        d = -d;
    }
    if (std::fabs(d) >= 1) {
        *out = *from;
        return;
    }
    const double theta = std::acos(d);
    const double s = std::sqrt(1 - d * d);
    if (std::fabs(s) < 0.001) {
        *out = cQuaternion(0.5 * from->x + 0.5 * target.x, 0.5 * from->y + 0.5 * target.y,
                           0.5 * from->z + 0.5 * target.z, 0.5 * from->w + 0.5 * target.w);
        return;
    }
    const double a = sinTR((1 - t) * theta);
    const double b = sinTR(t * theta);
    *out = cQuaternion(from->x * a / s + target.x * b / s, from->y * a / s + target.y * b / s,
                       from->z * a / s + target.z * b / s, from->w * a / s + target.w * b / s);
}

static double full_turn_draw()
{
    return double(__mRandom_rand()) / kRandomMax * kTwoPi;
}

void __nsQuaternion_random(cQuaternion* out)
{
    const double z = full_turn_draw();
    const double y = full_turn_draw();
    const double x = full_turn_draw();
    __cQuaternion_from_euler_components(out, &x, &y, &z);
}
