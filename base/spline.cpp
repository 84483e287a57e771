#include "base/spline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text_fields.h"

namespace {

constexpr int kHeaderBytes = 9;  // count, capacity, looped
constexpr int kPointBytes = 12;

// A fresh array of capacity points holding a copy of the first count of source.
cVector3D* copied_points(const cVector3D* source, int32_t count, int32_t capacity)
{
    if (capacity <= 0) return nullptr;
    cVector3D* points = new cVector3D[size_t(capacity)];
    if (source) std::copy(source, source + std::min(count, capacity), points);
    return points;
}

void replace_points(cSpline3D* spline, cVector3D* points, int32_t count, int32_t capacity)
{
    delete[] spline->points;
    spline->points = points;
    spline->count = count;
    spline->capacity = capacity;
}

struct SegmentPlace {
    int segment;
    double fraction;
};

SegmentPlace place_of(const cSpline3D& spline, double t)
{
    // Segments are 16-bit; a non-finite t stays in the fraction and so in
    // the result, instead of becoming an index.
    const double whole = std::isfinite(t) ? std::trunc(std::fmax(-32768.0, std::fmin(32767.0, t))) : 0;
    SegmentPlace place{int(whole), t - whole};
    if (place.segment + 1 == spline.count && place.fraction == 0) {
        place.segment -= 1;
        place.fraction = 1;
    }
    return place;
}

const cVector3D& point_at(const cSpline3D& spline, int i)
{
    if (spline.looped)
        i = ((i % spline.count) + spline.count) % spline.count;
    else
        i = std::clamp(i, 0, spline.count - 1);
    return spline.points[i];
}

cVector3D bezier(const cVector3D& p1, const cVector3D& c1, const cVector3D& c2, const cVector3D& p2, double f)
{
    const double u = 1 - f;
    return p1 * (u * u * u) + c1 * (3 * u * u * f) + c2 * (3 * u * f * f) + p2 * (f * f * f);
}

cVector3D smooth_value(const cSpline3D& spline, double t)
{
    if (spline.count <= 0) return cVector3D();
    const SegmentPlace place = place_of(spline, t);
    const int seg = place.segment;
    const cVector3D& p0 = point_at(spline, seg - 1);
    const cVector3D& p1 = point_at(spline, seg);
    const cVector3D& p2 = point_at(spline, seg + 1);
    const cVector3D& p3 = point_at(spline, seg + 2);
    const double l = (p2 - p1).length();
    cVector3D leaving = (p2 - p1).normalized();
    if (seg > 0) leaving = (leaving + (p1 - p0).normalized()).normalized();
    cVector3D arriving = (p1 - p2).normalized();
    if (seg < spline.count - 2) arriving = (arriving + (p2 - p3).normalized()).normalized();
    const cVector3D c1 = p1 + leaving * l / 3;
    const cVector3D c2 = p2 + arriving * l / 3;
    return bezier(p1, c1, c2, p2, place.fraction);
}

// Beyond a few laps the stepping below would take too long, or never end.
double wrapped_onto_loop(double t, int32_t count)
{
    if (std::fabs(t) > 16.0 * count) t = std::fmod(t, double(count));
    while (t < 0) t += count;
    while (t > count) t -= count;
    return t;
}

void print_error(const char* message, const char* detail)
{
    std::printf("ERROR: %s%s\n", message, detail);
}

}  // namespace

cSpline3D::cSpline3D(const cSpline3D& other) : cSerializable()
{
    __cSpline3d_set_by_spline(this, &other);
}

cSpline3D& cSpline3D::operator=(const cSpline3D& other)
{
    __cSpline3d_set_by_spline(this, &other);
    return *this;
}

cSpline3D::~cSpline3D()
{
    delete[] points;
}

int cSpline3D::serialize(void* out) const
{
    cPackedWriter header(out, kHeaderBytes);
    header.i32(count);
    header.i32(capacity);
    header.u8(looped);
    uint8_t* bytes = static_cast<uint8_t*>(out) + header.written();
    const int32_t used = std::min(count, capacity);
    for (int32_t i = 0; i < used; ++i) bytes += points[i].serialize(bytes);
    const size_t unused = size_t(capacity - used) * kPointBytes;
    cPackedWriter(bytes, unused).zeros(unused);
    return serialized_size();
}

int cSpline3D::deserialize(const void* in)
{
    cPackedReader header(in, kHeaderBytes);
    const int32_t new_count = header.next_i32();
    const int32_t new_capacity = header.next_i32();
    const uint8_t new_looped = header.next_u8();
    if (new_count < 0 || new_capacity < new_count || new_capacity > kMaxSplinePoints) {
        print_error("Spline record holds an invalid point count: ", std::to_string(new_count).c_str());
        return 0;
    }
    cVector3D* new_points = copied_points(nullptr, 0, new_capacity);
    const uint8_t* bytes = static_cast<const uint8_t*>(in) + header.consumed();
    for (int32_t i = 0; i < new_count; ++i) bytes += new_points[i].deserialize(bytes);
    replace_points(this, new_points, new_count, new_capacity);
    looped = new_looped;
    return serialized_size();
}

int cSpline3D::serialized_size() const
{
    return kHeaderBytes + kPointBytes * capacity;
}

void __cSpline3d_create_empty(cSpline3D* spline, uint32_t capacity)
{
    replace_points(spline, copied_points(nullptr, 0, int32_t(capacity)), 0, int32_t(capacity));
}

void __cSpline3d_create_with_control_points(cSpline3D* spline, const cVector3D* points, uint32_t n)
{
    replace_points(spline, copied_points(points, int32_t(n), int32_t(n)), int32_t(n), int32_t(n));
}

int32_t __cSpline3d_expand_array(cSpline3D* spline, int32_t n)
{
    if (spline->capacity >= n) return spline->capacity;
    // Growth stops at the most points a packed spline can carry, so every
    // spline can read back its own packed form.
    if (n > kMaxSplinePoints) return spline->capacity;
    int32_t capacity = spline->capacity;
    while (capacity < n) {
        int32_t next = 1;
        while (next <= capacity) next *= 2;
        capacity = std::min(next, kMaxSplinePoints);
    }
    replace_points(spline, copied_points(spline->points, spline->count, capacity), spline->count, capacity);
    return capacity;
}

int32_t __cSpline3d_add_control_point(cSpline3D* spline, const cVector3D* point)
{
    if (spline->count >= spline->capacity) __cSpline3d_expand_array(spline, spline->count + 1);
    if (spline->count >= spline->capacity) return spline->count;  // full at the packed limit
    spline->points[spline->count] = *point;
    return ++spline->count;
}

void __cSpline3d_get_hard_value(const cSpline3D* spline, cVector3D* out, double t)
{
    if (spline->count <= 0) {
        *out = cVector3D();
        return;
    }
    const SegmentPlace place = place_of(*spline, t);
    const cVector3D& p1 = point_at(*spline, place.segment);
    const cVector3D& p2 = point_at(*spline, place.segment + 1);
    *out = p1 + (p2 - p1) * place.fraction;
}

void __cSpline3d_get_smooth_value(const cSpline3D* spline, cVector3D* out, double t)
{
    *out = smooth_value(*spline, t);
}

double __cSpline3d_get_value_closest_to(const cSpline3D* spline, const cVector3D* point, double step, int iterations)
{
    double best = point->length_squared();
    double t = 0;
    cVector3D current;
    for (int32_t i = 0; i < spline->count; ++i) {
        const double distance = (spline->points[i] - *point).length_squared();
        if (best > distance) {
            t = i;
            current = smooth_value(*spline, i);
            best = distance;
        }
    }
    step = std::max(step, 0.0001);
    for (; step * step < best && iterations > 0; --iterations) {
        const cVector3D forward = smooth_value(*spline, t + step) - current;
        const double l = forward.length();
        if (!(l > 0)) {
            // The same guess would come out again: nothing is left to refine.
            std::printf("ERROR: Error, spline forward guess comes out to zero\n");
            break;
        }
        double next = t + dot(*point - current, forward / l) * step / l;
        if (!std::isfinite(next)) break;
        if (spline->looped) next = wrapped_onto_loop(next, spline->count);
        t = next;
        current = smooth_value(*spline, t);
    }
    return t;
}

void __cSpline3d_set_by_spline(cSpline3D* spline, const cSpline3D* other)
{
    if (spline == other) return;
    replace_points(spline, copied_points(other->points, other->count, other->capacity), other->count,
                   other->capacity);
    spline->looped = other->looped;
}

bool __cSpline3d_is_equal_to(const cSpline3D* a, const cSpline3D* b)
{
    if (a->looped != b->looped || a->count != b->count) return false;
    for (int32_t i = 0; i < a->count; ++i)
        if ((a->points[i] - b->points[i]).length_squared() > 1e-12) return false;
    return true;
}

void __cSpline3d_spline_to_string(const cSpline3D* spline, char* out)
{
    out += std::sprintf(out, "%c%i#", spline->looped ? 'C' : 'S', spline->count);
    for (int32_t i = 0; i < spline->count; ++i) {
        const cVector3D& p = spline->points[i];
        out += std::sprintf(out, "%.3f#%.3f#%.3f#", p.x, p.y, p.z);
    }
}

// The point count of a text form, or -1 when it is missing or out of range.
static long point_count_of(const std::vector<std::string>& fields)
{
    if (fields.empty()) return -1;
    char* end = nullptr;
    const long count = std::strtol(fields[0].c_str(), &end, 10);
    if (end == fields[0].c_str() || count < 0 || count > kMaxSplinePoints) return -1;
    return count;
}

void __cSpline3d_spline_from_string(cSpline3D* spline, const char* text)
{
    if (!text) text = "";
    const bool looped = text[0] == 'C';
    const std::vector<std::string> fields = hash_ended_fields(text[0] ? text + 1 : text);
    const long count = point_count_of(fields);
    if (count < 0) {
        print_error("Spline text holds no valid point count: ", text);
        return;
    }
    cVector3D* points = copied_points(nullptr, 0, int32_t(count));
    for (size_t k = 1; k < fields.size() && long((k - 1) / 3) < count; ++k)
        points[(k - 1) / 3][int((k - 1) % 3)] = std::atof(fields[k].c_str());
    replace_points(spline, points, int32_t(count), int32_t(count));
    spline->looped = looped;
}
