// The race track: a ring of control nodes around the vertical axis, perturbed
// by the game's random generator, turned into three looped splines (position,
// cross-section size, tilt), sampled at even spacing and swept into a ribbon.
// Every peer builds it from the six track words alone, so the same words must
// give the same nodes, samples and vertices to the last bit everywhere.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/containers.h"
#include "base/light.h"
#include "base/quaternion.h"
#include "base/spline.h"
#include "base/vector.h"
#include "game/packet_records.h"

// Node counts a track can be built from: below three the ring has no second
// neighbour to smooth node 0 from and yields no samples; the host sends 20.
constexpr int kMinTrackNodes = 3;
constexpr int kMaxTrackNodes = 1024;

// The track words the host sends: 20 nodes, four carried words, the seed.
TrackLoadRecord host_track_record(int16_t seed);

struct czrTrackNode {
    cVector3D position;
    double tilt = 0.0;        // radians, turns the cross-section's up direction
    double half_width = 10.0;
    uint16_t flags = 0;
};

// A placement on the track: position, the rotation that turns the local axes
// (x side, y up, z forward) into the track's, and the scale (half width,
// half height, 1).
struct czrTrackFrame {
    cVector3D position;
    cQuaternion rotation;
    cVector3D scale;
};

// The arrays of one ribbon mesh, laid out as a mesh record holds them:
// every triangle has three corners, each indexing a vertex, a uv and a normal.
struct czrTrackMesh {
    std::vector<cVector3D> vertices;
    std::vector<cVector3D> normals;
    std::vector<cVector2D<double>> uvs;
    std::vector<uint32_t> vertex_indices;
    std::vector<uint32_t> uv_indices;
    std::vector<uint32_t> normal_indices;

    uint32_t triangle_count() const { return uint32_t(vertex_indices.size() / 3); }
};

// Calls visit with each fraction the sampling walks: 0, then repeated sums
// of 0.0001 while they stay at or below 1 (10,001 of them, by rounding the
// last is 0.9999999999999062).
template <class Visit>
void for_each_sampling_fraction(Visit&& visit)
{
    for (double f = 0; f <= 1.0; f += 0.0001) visit(f);
}

class ctMesh;
class ctRendererMesh;
class ctShaderSet;

// The track's shader sets (ring top, ring side, finish line), its five
// textures and its models, once at start-up and before the first track.
void load_track_assets(bool skip_textures);
// The shader sets load_track_assets appends, owned.
extern DSParray<ctShaderSet> trackShaderSets;

class czrTrack {
public:
    // Builds the whole track from the words; a node count outside
    // kMinTrackNodes..kMaxTrackNodes prints one ERROR line and gives null.
    static std::unique_ptr<czrTrack> create(const TrackLoadRecord& params);
    static bool accepts_node_count(int node_count);

    czrTrack(const czrTrack&) = delete;
    czrTrack& operator=(const czrTrack&) = delete;
    virtual ~czrTrack();

    // The track frame at spline fraction f in [0, 1].
    czrTrackFrame frame_at(double f) const;
    // Position, (half width, 0.5, 0) and (0, 0, tilt) at spline fraction f.
    cVector3D position_at(double f) const;
    cVector3D size_at(double f) const;
    cVector3D tilt_at(double f) const;

    const TrackLoadRecord& params() const { return track_params; }
    // The perturbed control nodes the race runs on.
    uint32_t node_count() const { return nodes.count(); }
    const czrTrackNode& node(uint32_t i) const { return *nodes.get(i); }
    // The ring before perturbation (node 0 smoothed).
    const czrTrackNode& base_node(uint32_t i) const { return *base_nodes.get(i); }
    // Spline fractions of the sample points, ascending in [0, 1].
    uint32_t sample_count() const { return sample_params.count(); }
    double sample_param(uint32_t i) const { return sample_params.get(i); }

    const cSpline3D& positions() const { return position_spline; }
    const cSpline3D& sizes() const { return size_spline; }
    const cSpline3D& tilts() const { return tilt_spline; }

    // Top and bottom faces; the two side faces (same vertices).
    const czrTrackMesh& top_mesh() const { return ring_top_mesh; }
    const czrTrackMesh& side_mesh() const { return ring_side_mesh; }

    // The rings, glowing in a hue that cycles every 42 s of race clock, and
    // the finish-line marker at node 0, lit by lights.
    void draw(float race_time, DSParray<cLight>* lights);

private:
    explicit czrTrack(const TrackLoadRecord& params);

    void build_ring();
    void perturb_nodes();
    void build_splines();
    void sample_positions();
    void build_geometry();
    void build_renderers();

    TrackLoadRecord track_params;
    DSParray<czrTrackNode> base_nodes;
    DSParray<czrTrackNode> nodes;
    DSarray<double> sample_params;
    cSpline3D position_spline;
    cSpline3D size_spline;
    cSpline3D tilt_spline;
    czrTrackMesh ring_top_mesh;
    czrTrackMesh ring_side_mesh;
    // The ribbon arrays as mesh records, drawn by the ring renderers.
    std::unique_ptr<ctMesh> ring_top;
    std::unique_ptr<ctMesh> ring_side;
    std::unique_ptr<ctRendererMesh> ring_top_renderer;
    std::unique_ptr<ctRendererMesh> ring_side_renderer;
    std::unique_ptr<ctRendererMesh> base_renderer;
    std::unique_ptr<ctRendererMesh> pole_renderer;
};

// Four draws of the game's generator: a length factor, then three for the
// direction; up to 10 long.
cVector3D random_offset();

// The third of the lap a position lies in, 0, 1 or 2, counted around the
// ring from the x axis; never 3, however close to the axis the position is.
int track_section_of(const cVector3D& position);
