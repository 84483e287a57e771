#include "game/track.h"

#include <cmath>
#include <cstdio>

#include "base/matrix.h"
#include "base/random.h"
#include "scene/mesh.h"
#include "scene/renderer.h"

namespace {

// Single-precision constants used in double arithmetic keep their widened
// values, so every peer computes with the same bits.
constexpr double kTwoPiFloat = double(6.2831855f);  // 6.2831854820251465
constexpr double kTiltStep = double(0.003f);       // 0.003000000026077032

constexpr double kRingRadius = 100.0;
constexpr double kSampleSpacingSquared = 1.75;
constexpr double kFrameLookAhead = 0.001;
constexpr int kPerturbPasses = 4;

double draw_fraction()
{
    return double(__mRandom_rand()) / 32767.0;
}

// One evaluation of the clamped half width: the draw around the old value.
double half_width_draw(double old)
{
    return (draw_fraction() * 2 - 1) * 3.5 + old;
}

// min(max(X, 5), 16) with X drawn anew at every use: two, three or four draws,
// and the fourth is taken as it comes.
double perturbed_half_width(double old)
{
    if (half_width_draw(old) > 5) {
        if (half_width_draw(old) >= 16) return 16;
    }
    if (half_width_draw(old) <= 5) return 5;
    return half_width_draw(old);
}

// Keeps a moved node 30 to 80 from its predecessor, then 80 to 130 from the centre.
cVector3D spaced_position(const cVector3D& moved, const cVector3D& previous)
{
    cVector3D q = moved;
    const cVector3D d = q - previous;
    if (d.length_squared() < 900)
        q = previous + d.normalized() * 30;
    else if (d.length_squared() > 6400)
        q = previous + d.normalized() * 80;
    if (q.length_squared() < 6400)
        q = q.normalized() * 80;
    else if (q.length_squared() > 16900)
        q = q.normalized() * 130;
    return q;
}

// One pass over the work nodes, in place: node i sees its predecessor as
// already moved in this pass and its successor as not yet moved.
void perturb_pass(std::vector<czrTrackNode>& work)
{
    const int count = int(work.size());
    for (int i = 0; i < count; ++i) {
        czrTrackNode& node = work[size_t(i)];
        if (i >= 3 && i <= count - 3) {
            node.half_width = perturbed_half_width(node.half_width);
            const double average = (work[size_t(i - 1)].tilt + work[size_t(i + 1)].tilt) * 0.5;
            node.tilt = average + (draw_fraction() * 2 - 1) * kTiltStep;
        }
        if (i >= 2 && i <= count - 2) {
            const cVector3D moved = node.position + random_offset();
            node.position = spaced_position(moved, work[size_t(i - 1)].position);
        }
    }
}

cSpline3D looped_spline(const std::vector<cVector3D>& points)
{
    cSpline3D spline;
    __cSpline3d_create_empty(&spline, 8);
    for (const cVector3D& point : points) __cSpline3d_add_control_point(&spline, &point);
    spline.looped = 1;
    return spline;
}

cVector3D value_at_fraction(const cSpline3D& spline, double f)
{
    const double t = spline.looped ? f * spline.count : f * (spline.count - 1);
    cVector3D out;
    __cSpline3d_get_smooth_value(&spline, &out, t);
    return out;
}

}  // namespace

cVector3D random_offset()
{
    const double length = draw_fraction();
    const double r1 = draw_fraction();
    const double r2 = draw_fraction();
    const double r3 = draw_fraction();
    const cVector3D direction = cVector3D(r3 - 0.5, r2 - 0.5, r1 - 0.5).normalized();
    return direction * length * 10;
}

TrackLoadRecord host_track_record(int16_t seed)
{
    TrackLoadRecord record;
    record.node_count = 20;
    record.carried[0] = 6;
    record.carried[1] = 3;
    record.carried[2] = 1;
    record.carried[3] = 1;
    record.seed = seed;
    return record;
}

bool czrTrack::accepts_node_count(int node_count)
{
    return node_count >= kMinTrackNodes && node_count <= kMaxTrackNodes;
}

std::unique_ptr<czrTrack> czrTrack::create(const TrackLoadRecord& params)
{
    if (!accepts_node_count(params.node_count)) {
        std::printf("ERROR: Track node count out of range (%d..%d): %d\n", kMinTrackNodes, kMaxTrackNodes,
                    int(params.node_count));
        return nullptr;
    }
    return std::unique_ptr<czrTrack>(new czrTrack(params));
}

czrTrack::czrTrack(const TrackLoadRecord& params) : track_params(params)
{
    build_ring();
    __mRandom_srand(uint32_t(int32_t(params.seed)));
    perturb_nodes();
    build_splines();
    sample_positions();
    build_geometry();
    build_renderers();
}

void czrTrack::build_ring()
{
    const int n = track_params.node_count;
    for (int i = 0; i < n; ++i) {
        const double a = i * kTwoPiFloat / n;
        czrTrackNode* node = new czrTrackNode;
        node->position = cVector3D(std::cos(a), 0, std::sin(a)) * kRingRadius;
        base_nodes.insert(node);
    }
    base_nodes.get(0)->position = (base_nodes.get(uint32_t(n - 1))->position + base_nodes.get(1)->position) / 2;
}

void czrTrack::perturb_nodes()
{
    std::vector<czrTrackNode> work;
    for (uint32_t i = 0; i < base_nodes.count(); ++i) work.push_back(*base_nodes.get(i));
    for (int pass = 0; pass < kPerturbPasses; ++pass) perturb_pass(work);
    nodes.clear();
    for (const czrTrackNode& node : work) nodes.insert(new czrTrackNode(node));
}

void czrTrack::build_splines()
{
    std::vector<cVector3D> positions, sizes, tilts;
    for (uint32_t i = 0; i < nodes.count(); ++i) {
        const czrTrackNode& n = *nodes.get(i);
        positions.push_back(n.position);
        sizes.push_back(cVector3D(n.half_width, 0.5, 0));
        tilts.push_back(cVector3D(0, 0, n.tilt));
    }
    position_spline = looped_spline(positions);
    size_spline = looped_spline(sizes);
    tilt_spline = looped_spline(tilts);
}

void czrTrack::sample_positions()
{
    sample_params.clear();
    cVector3D previous = position_spline.points[0];
    for_each_sampling_fraction([&](double f) {
        const cVector3D p = position_at(f);
        if ((p - previous).length_squared() > kSampleSpacingSquared) {
            sample_params.add(f);
            previous = p;
        }
    });
}

cVector3D czrTrack::position_at(double f) const
{
    return value_at_fraction(position_spline, f);
}

cVector3D czrTrack::size_at(double f) const
{
    return value_at_fraction(size_spline, f);
}

cVector3D czrTrack::tilt_at(double f) const
{
    return value_at_fraction(tilt_spline, f);
}

czrTrackFrame czrTrack::frame_at(double f) const
{
    double ahead = f + kFrameLookAhead;
    if (ahead >= 1.0) ahead = ahead - 1.0;
    const cVector3D p = position_at(f);
    const cVector3D s = size_at(f);
    const cVector3D forward = (position_at(ahead) - p).normalized();
    const double a = tilt_at(f).z;
    const cVector3D tilted_up = cVector3D(std::sin(a) * p.length(), std::cos(a), 0).normalized();
    const double along = __cVector3d_get_scalar_for_projection_onto(&tilted_up, &forward);
    const cVector3D up = (tilted_up - forward * along).normalized();
    const cVector3D side = cross(up, forward);
    cMatrix3D axes;
    __cMatrix3d_from_eigenvectors(&axes, &side, &up, &forward);
    czrTrackFrame frame;
    frame.position = p;
    __cQuaternion_from_matrix(&frame.rotation, &axes);
    frame.scale = cVector3D(s.x, s.y, 1);
    return frame;
}

int track_section_of(const cVector3D& position)
{
    const cVector3D x_axis(1, 0, 0);
    double a = __cVector3d_get_angle_between(&position, &x_axis);
    if (position.z > 0) a = kTwoPiFloat - a;
    const double third = a * 3 / kTwoPiFloat;
    // A position just beside the axis gives an angle of exactly 0 and so a
    // full turn; a non-finite position gives no angle at all.
    if (!(third >= 0)) return 0;
    if (third >= 2) return 2;
    return int(third);
}
