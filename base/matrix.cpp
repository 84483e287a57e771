#include "base/matrix.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"
#include "base/quaternion.h"
#include "base/random.h"
#include "base/text_fields.h"
#include "base/trigonometry.h"

int cMatrix3D::serialize(void* out) const
{
    cPackedWriter writer(out, 36);
    for (double element : m) writer.f32(float(element));
    return writer.written();
}

int cMatrix3D::deserialize(const void* in)
{
    cPackedReader reader(in, 36);
    for (double& element : m) element = reader.next_f32();
    return reader.consumed();
}

int cMatrix3D::serialized_size() const
{
    return 36;
}

double& cMatrix3D::operator[](int i)
{
    static double scratch;
    if (i >= 0 && i < 9) return m[i];
    scratch = 0;
    return scratch;
}

static void set_columns(cMatrix3D* out, const cVector3D& a, const cVector3D& b, const cVector3D& c)
{
    *out = cMatrix3D(a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z);
}

static cMatrix3D product(const cMatrix3D& a, const cMatrix3D& b)
{
    cMatrix3D p;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.m[3 * r + c] = a.m[3 * r] * b.m[c] + a.m[3 * r + 1] * b.m[3 + c] + a.m[3 * r + 2] * b.m[6 + c];
    return p;
}

static cMatrix3D transposed(const cMatrix3D& a)
{
    return cMatrix3D(a.m[0], a.m[3], a.m[6], a.m[1], a.m[4], a.m[7], a.m[2], a.m[5], a.m[8]);
}

void __cMatrix3d_construct_matrix(cMatrix3D* out, double angle, const cVector3D* axis)
{
    const cVector3D n = axis->normalized();
    const double x = n.x, y = n.y, z = n.z;
    const double c = cosTR(angle);
    const double s = sinTR(angle);
    const double t = 1 - c;
    *out = cMatrix3D(c + t * x * x, t * x * y - z * s, t * x * z - y * s,
                     t * x * y + z * s, t * y * y + c, t * y * z - x * s,
                     t * x * z + y * s, t * y * z + x * s, t * z * z + c);
}

void __cMatrix3d_from_quaternion(cMatrix3D* out, const cQuaternion* q)
{
    const double x = q->x, y = q->y, z = q->z, w = q->w;
    *out = cMatrix3D(1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w, 2 * x * z - 2 * y * w,
                     2 * x * y - 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w,
                     2 * x * z + 2 * y * w, 2 * y * z - 2 * x * w, 1 - 2 * x * x - 2 * y * y);
}

void __cMatrix3d_from_eigenvectors(cMatrix3D* out, const cVector3D* a, const cVector3D* b, const cVector3D* c)
{
    set_columns(out, *a, *b, *c);
}

void __cMatrix3d_from_forward_and_up(cMatrix3D* out, const cVector3D* forward, const cVector3D* up)
{
    const cVector3D f = forward->normalized();
    cVector3D u = up->normalized();
    u = u - f * dot(u, f);
    u.normalize();
    const cVector3D r = cross(u, f);
    set_columns(out, r, u, f);
}

void __cMatrix3d_normalize(cMatrix3D* m)
{
    for (int c = 0; c < 3; ++c) {
        const double l = std::sqrt(m->m[c] * m->m[c] + m->m[3 + c] * m->m[3 + c] + m->m[6 + c] * m->m[6 + c]);
        if (l == 0) continue;
        for (int r = 0; r < 3; ++r) m->m[3 * r + c] /= l;
    }
}

void __cMatrix3d_add(cMatrix3D* a, const cMatrix3D* b)
{
    for (int i = 0; i < 9; ++i) a->m[i] += b->m[i];
}

void __cMatrix3d_subtract(cMatrix3D* a, const cMatrix3D* b)
{
    for (int i = 0; i < 9; ++i) a->m[i] -= b->m[i];
}

void __cMatrix3d_multiply(cMatrix3D* a, const cMatrix3D* b)
{
    *a = product(*a, *b);
}

double __cMatrix3d_get_determinant(const cMatrix3D* m)
{
    const double* e = m->m;
    return e[0] * (e[4] * e[8] - e[5] * e[7]) - e[1] * (e[3] * e[8] - e[5] * e[6]) +
           e[2] * (e[3] * e[7] - e[4] * e[6]);
}

void __cMatrix3d_rotate(cMatrix3D* a, const cMatrix3D* b)
{
    *a = product(product(*b, *a), transposed(*b));
}

// Turns columns i and j of every row by the angle: the in-place form of
// multiplying by one of the elementary rotations.
static void turn_columns(cMatrix3D* m, int i, int j, double angle)
{
    if (angle < 0) angle += kTwoPi;
    const double c = cosTR(angle);
    const double s = sinTR(angle);
    for (int r = 0; r < 3; ++r) {
        double& a = m->m[3 * r + i];
        double& b = m->m[3 * r + j];
        const double turned_a = c * a + s * b;
        const double turned_b = c * b - s * a;
        a = turned_a;
        b = turned_b;
    }
}

void __cMatrix3d_yaw(cMatrix3D* m, double angle)
{
    turn_columns(m, 0, 2, angle);
}

void __cMatrix3d_pitch(cMatrix3D* m, double angle)
{
    turn_columns(m, 1, 2, angle);
}

void __cMatrix3d_roll(cMatrix3D* m, double angle)
{
    turn_columns(m, 0, 1, angle);
}

int16_t __cMatrix3d_from_string(cMatrix3D* m, const char* text)
{
    return int16_t(std::min(read_hash_ended_numbers(text, m->m, 9), 32767));
}

void __nsMatrix3d_yaw(cMatrix3D* out, double angle)
{
    const double c = cosTR(angle);
    const double s = sinTR(angle);
    *out = cMatrix3D(c, 0, -s, 0, 1, 0, s, 0, c);
}

void __nsMatrix3d_pitch(cMatrix3D* out, double angle)
{
    const double c = cosTR(angle);
    const double s = sinTR(angle);
    *out = cMatrix3D(1, 0, 0, 0, c, -s, 0, s, c);
}

void __nsMatrix3d_roll(cMatrix3D* out, double angle)
{
    const double c = cosTR(angle);
    const double s = sinTR(angle);
    *out = cMatrix3D(c, -s, 0, s, c, 0, 0, 0, 1);
}

void __nsMatrix3d_euler(cMatrix3D* out, const cVector3D* v)
{
    cMatrix3D pitch;
    cMatrix3D roll;
    __nsMatrix3d_yaw(out, v->y);
    __nsMatrix3d_pitch(&pitch, v->x);
    __nsMatrix3d_roll(&roll, v->z);
    __cMatrix3d_multiply(out, &pitch);
    __cMatrix3d_multiply(out, &roll);
}

void __nsMatrix3d_random(cMatrix3D* out)
{
    *out = cMatrix3D();
    const double heading = double(__mRandom_rand()) / kRandomMax * kTwoPi;
    __cMatrix3d_yaw(out, heading);
    const double elevation = (double(__mRandom_rand()) / kRandomMax - 0.5) * kPi;
    __cMatrix3d_pitch(out, elevation);
}
