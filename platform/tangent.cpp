#include "platform/tangent.h"

#include <cmath>

namespace trellis {

namespace {

constexpr double kDegenerateUvArea = 0.0001;
constexpr double kShortestTangent = 1e-12;

}  // namespace

cVector3D triangle_tangent(const cVector3D& p0, const cVector3D& p1, const cVector3D& p2,
                           const cVector2D<double>& t0, const cVector2D<double>& t1, const cVector2D<double>& t2)
{
    const cVector3D unit_x(1, 0, 0);
    const double d = (t2.y - t0.y) * (t1.x - t0.x) - (t1.y - t0.y) * (t2.x - t0.x);
    if (!(std::fabs(d) >= kDegenerateUvArea)) return unit_x;
    const cVector3D tangent = ((p1 - p0) * (t2.y - t0.y) - (p2 - p0) * (t1.y - t0.y)) / d;
    const double length = std::sqrt(dot(tangent, tangent));
    if (!(length > kShortestTangent)) return unit_x;
    return tangent / length;
}

}  // namespace trellis
