// The track as a peer builds it from the six words of a TrackLoadRecord off
// the wire: a node count outside 3..1024 is refused, any other builds a track
// whose ribbon indexes only inside its own arrays. Inputs are one record (the
// options file keeps them at 12 bytes), so each stays cheap.
#include <cmath>
#include <vector>

#include "base/bytes.h"
#include "game/track.h"
#include "tests/fuzz/support/fuzz_support.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

bool finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

template <class T>
void check_indices(const std::vector<uint32_t>& indices, const std::vector<T>& array)
{
    for (uint32_t index : indices) check(index < array.size());
}

void check_mesh(const czrTrackMesh& mesh)
{
    check(mesh.vertex_indices.size() % 3 == 0);
    check(mesh.uv_indices.size() == mesh.vertex_indices.size());
    check(mesh.normal_indices.size() == mesh.vertex_indices.size());
    check_indices(mesh.vertex_indices, mesh.vertices);
    check_indices(mesh.uv_indices, mesh.uvs);
    check_indices(mesh.normal_indices, mesh.normals);
    for (const cVector3D& v : mesh.vertices) check(finite(v));
    for (const cVector3D& n : mesh.normals) check(finite(n));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    TrackLoadRecord record;
    if (!read_track_load_record(in, &record)) return 0;

    const std::unique_ptr<czrTrack> track = czrTrack::create(record);
    const bool in_range = record.node_count >= 3 && record.node_count <= 1024;
    check(in_range == (track != nullptr));
    check(czrTrack::accepts_node_count(record.node_count) == in_range);
    if (!track) return 0;

    check(track->node_count() == uint32_t(record.node_count));
    for (uint32_t i = 0; i < track->node_count(); ++i) check(finite(track->node(i).position));
    double previous = 0;
    for (uint32_t i = 0; i < track->sample_count(); ++i) {
        const double f = track->sample_param(i);
        check(f >= previous && f <= 1.0);
        previous = f;
    }
    check_mesh(track->top_mesh());
    check_mesh(track->side_mesh());
    check(track->side_mesh().vertices.size() == track->top_mesh().vertices.size());
    return 0;
}
