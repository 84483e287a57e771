// The tangent a normal-mapped triangle sends to its shader.
#pragma once

#include "base/vector.h"

namespace trellis {

// Along increasing u on the triangle, unit length; (1, 0, 0) when the UVs are
// degenerate or the positions give no direction.
cVector3D triangle_tangent(const cVector3D& p0, const cVector3D& p1, const cVector3D& p2,
                           const cVector2D<double>& t0, const cVector2D<double>& t1, const cVector2D<double>& t2);

}  // namespace trellis
