// 3D curves through control points, open or looped. A parameter t names a
// place on the curve: its integer part the segment, its fraction the position
// within it.
#pragma once

#include <cstdint>

#include "base/keel.h"
#include "base/serializable.h"
#include "base/vector.h"

// Segment numbers are 16-bit, so no spline holds more points than this.
constexpr int32_t kMaxSplinePoints = 32767;

class cSpline3D : public cSerializable {
public:
    cSpline3D() = default;
    cSpline3D(const cSpline3D& other);
    cSpline3D& operator=(const cSpline3D& other);
    virtual ~cSpline3D();

    // i32 count, i32 capacity, u8 looped, then a float32 triple for each
    // point of the capacity (the unused ones zero).
    int serialize(void* out) const override;
    // Refuses, reading nothing, a record whose counts are out of range.
    int deserialize(const void* in) override;
    int serialized_size() const override;

    cVector3D* points = nullptr;  // new[] of capacity points
    int32_t count = 0;            // points in use
    int32_t capacity = 0;
    uint8_t looped = 0;
};

// Room for capacity points, none in use.
KEEL_API void __cSpline3d_create_empty(cSpline3D* spline, uint32_t capacity);
KEEL_API void __cSpline3d_create_with_control_points(cSpline3D* spline, const cVector3D* points, uint32_t n);
// Doubles the capacity until n points fit; returns the capacity.
KEEL_API int32_t __cSpline3d_expand_array(cSpline3D* spline, int32_t n);
// Returns the new count.
KEEL_API int32_t __cSpline3d_add_control_point(cSpline3D* spline, const cVector3D* point);
// The straight-line position at t.
KEEL_API void __cSpline3d_get_hard_value(const cSpline3D* spline, cVector3D* out, double t);
// The smooth (cubic) position at t; at whole t, the control point itself.
KEEL_API void __cSpline3d_get_smooth_value(const cSpline3D* spline, cVector3D* out, double t);
// The parameter of the smooth curve's point nearest to point, refined from
// the nearest control point for the given number of iterations.
KEEL_API double __cSpline3d_get_value_closest_to(const cSpline3D* spline, const cVector3D* point, double step,
                                                 int iterations);
KEEL_API void __cSpline3d_set_by_spline(cSpline3D* spline, const cSpline3D* other);
// Same looped flag and count, every pair of points within 1e-6.
KEEL_API bool __cSpline3d_is_equal_to(const cSpline3D* a, const cSpline3D* b);
// "S" (open) or "C" (looped), the count and '#', then "%.3f#" for each
// coordinate; out must have room for all of it.
KEEL_API void __cSpline3d_spline_to_string(const cSpline3D* spline, char* out);
// Reads the text form, replacing the points; a text without a count, or with
// a negative or oversized one, is refused and leaves the spline unchanged.
KEEL_API void __cSpline3d_spline_from_string(cSpline3D* spline, const char* text);
