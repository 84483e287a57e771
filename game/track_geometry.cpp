// The ribbon swept along the samples: four corners per sample, a top and
// bottom face in one mesh, the two sides in the other, sharing the corners.
#include <cmath>
#include <vector>

#include "base/matrix.h"
#include "game/track.h"

namespace {

constexpr double kTwoPiFloat = double(6.2831855f);
constexpr double kTextureRepeats = 25;

struct Corner {
    uint32_t vertex, uv, normal;
};

void add_triangle(czrTrackMesh& mesh, const Corner& a, const Corner& b, const Corner& c)
{
    for (const Corner& corner : {a, b, c}) {
        mesh.vertex_indices.push_back(corner.vertex);
        mesh.uv_indices.push_back(corner.uv);
        mesh.normal_indices.push_back(corner.normal);
    }
}

// Segment j joins sample j to the next (the last one to the first), while
// its texture coordinates run on to the extra pair at the end.
void add_segment(czrTrackMesh& top, czrTrackMesh& side, uint32_t j, uint32_t n)
{
    const uint32_t a = 4 * j, b = 4 * ((j + 1) % n), c = 2 * j, e = 2 * ((j + 1) % n);
    add_triangle(top, {b + 1, c + 3, e}, {a, c, c}, {b, c + 2, e});
    add_triangle(top, {b + 1, c + 3, e}, {a + 1, c + 1, c}, {a, c, c});
    add_triangle(top, {a + 2, c + 1, c + 1}, {b + 3, c + 2, e + 1}, {a + 3, c, c + 1});
    add_triangle(top, {a + 2, c + 1, c + 1}, {b + 2, c + 3, e + 1}, {b + 3, c + 2, e + 1});
    add_triangle(side, {b + 2, c + 2, e}, {a + 1, c + 1, c}, {b + 1, c + 3, e});
    add_triangle(side, {b + 2, c + 2, e}, {a + 2, c, c}, {a + 1, c + 1, c});
    add_triangle(side, {a, c + 1, c + 1}, {b + 3, c + 2, e + 1}, {b, c + 3, e + 1});
    add_triangle(side, {a, c + 1, c + 1}, {a + 3, c, c + 1}, {b + 3, c + 2, e + 1});
}

// How far around the ring a point lies: 0 on the +x axis, growing through -z.
double ring_angle(const cVector3D& position)
{
    const cVector3D x_axis(1, 0, 0);
    const double angle = __cVector3d_get_angle_between(&position, &x_axis);
    return position.z < 0 ? kTwoPiFloat - angle : angle;
}

}  // namespace

void czrTrack::build_geometry()
{
    ring_top_mesh = czrTrackMesh();
    ring_side_mesh = czrTrackMesh();
    const uint32_t n = sample_params.count();
    if (n == 0) return;  // nothing to sweep, and nothing to index

    std::vector<czrTrackFrame> frames;
    for (uint32_t j = 0; j < n; ++j) frames.push_back(frame_at(sample_params.get(j)));

    for (uint32_t k = 0; k <= n; ++k) {
        const double angle = k == n ? kTwoPiFloat : ring_angle(frames[k].position);
        const double u = angle * kTextureRepeats / kTwoPiFloat;
        for (czrTrackMesh* mesh : {&ring_top_mesh, &ring_side_mesh}) {
            mesh->uvs.push_back(cVector2D<double>(u, 1));
            mesh->uvs.push_back(cVector2D<double>(u, 0));
        }
    }

    for (uint32_t j = 0; j < n; ++j) {
        const czrTrackFrame& frame = frames[j];
        cMatrix3D m;
        __cMatrix3d_from_quaternion(&m, &frame.rotation);
        const cVector3D side(m.m[0], m.m[3], m.m[6]);
        const cVector3D up(m.m[1], m.m[4], m.m[7]);
        const double w = frame.scale.x, h = frame.scale.y;
        const cVector3D& p = frame.position;
        ring_top_mesh.vertices.push_back(p - side * w + up * h);
        ring_top_mesh.vertices.push_back(p + side * w + up * h);
        ring_top_mesh.vertices.push_back(p + side * w - up * h);
        ring_top_mesh.vertices.push_back(p - side * w - up * h);
        ring_top_mesh.normals.push_back(up);
        ring_top_mesh.normals.push_back(-up);
        ring_side_mesh.normals.push_back(side);
        ring_side_mesh.normals.push_back(-side);
    }

    for (uint32_t j = 0; j < n; ++j) add_segment(ring_top_mesh, ring_side_mesh, j, n);
    ring_side_mesh.vertices = ring_top_mesh.vertices;
}
