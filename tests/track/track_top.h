// Where a cart drives on a track: the centre of the ribbon's top face.
#pragma once

#include "base/matrix.h"
#include "game/track.h"

// The centre of the top face at fraction f, its up and side.
inline cVector3D track_top_at(const czrTrack& track, double f, cVector3D* up = nullptr, cVector3D* side = nullptr)
{
    const czrTrackFrame frame = track.frame_at(f);
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &frame.rotation);
    const cVector3D u(m.m[1], m.m[4], m.m[7]);
    if (up) *up = u;
    if (side) *side = cVector3D(m.m[0], m.m[3], m.m[6]);
    return frame.position + u * frame.scale.y;
}
