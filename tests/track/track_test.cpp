#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/random.h"
#include "game/track.h"
#include "tests/support/printed.h"

namespace {

template <class T>
void append_bytes(std::vector<uint8_t>& out, const T& value)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

void append_vector(std::vector<uint8_t>& out, const cVector3D& v)
{
    append_bytes(out, v.x);
    append_bytes(out, v.y);
    append_bytes(out, v.z);
}

void append_mesh(std::vector<uint8_t>& out, const czrTrackMesh& mesh)
{
    for (const cVector3D& v : mesh.vertices) append_vector(out, v);
    for (const cVector3D& v : mesh.normals) append_vector(out, v);
    for (const cVector2D<double>& uv : mesh.uvs) {
        append_bytes(out, uv.x);
        append_bytes(out, uv.y);
    }
    for (const std::vector<uint32_t>* indices : {&mesh.vertex_indices, &mesh.uv_indices, &mesh.normal_indices})
        for (uint32_t index : *indices) append_bytes(out, index);
}

// Every double the track holds, as bytes.
std::vector<uint8_t> track_bytes(const czrTrack& track)
{
    std::vector<uint8_t> out;
    for (uint32_t i = 0; i < track.node_count(); ++i) {
        append_vector(out, track.node(i).position);
        append_bytes(out, track.node(i).tilt);
        append_bytes(out, track.node(i).half_width);
    }
    for (uint32_t i = 0; i < track.sample_count(); ++i) append_bytes(out, track.sample_param(i));
    append_mesh(out, track.top_mesh());
    append_mesh(out, track.side_mesh());
    return out;
}

std::unique_ptr<czrTrack> track_of(int16_t node_count, int16_t seed)
{
    TrackLoadRecord record = host_track_record(seed);
    record.node_count = node_count;
    return czrTrack::create(record);
}

TEST(Track, OneSeedGivesTheSameTrackByteForByte)
{
    const std::unique_ptr<czrTrack> first = track_of(20, 4242);
    const std::unique_ptr<czrTrack> second = track_of(20, 4242);
    EXPECT_EQ(track_bytes(*first), track_bytes(*second));

    const std::unique_ptr<czrTrack> other = track_of(20, 4243);
    EXPECT_NE(track_bytes(*first), track_bytes(*other));
}

// Each program seeds the generator from its own clock and draws its own
// numbers before a race; the track words alone decide the track.
TEST(Track, BothPeersOfARaceBuildTheSameTrackWhateverTheyDrewBefore)
{
    __mRandom_srand(0x5eed1234u);
    for (int i = 0; i < 1000; ++i) __mRandom_rand();
    const TrackLoadRecord words = host_track_record(int16_t(uint16_t(__mRandom_rand())));
    const std::unique_ptr<czrTrack> host = czrTrack::create(words);
    __mRandom_srand(0x0dd5eedu);
    for (int i = 0; i < 7; ++i) __mRandom_rand();
    const std::unique_ptr<czrTrack> client = czrTrack::create(words);
    ASSERT_TRUE(host && client);
    EXPECT_EQ(track_bytes(*host), track_bytes(*client));
}

TEST(Track, OnlyTheInnerNodesMoveAndTheyStayOnTheBand)
{
    const std::unique_ptr<czrTrack> track = track_of(20, 777);
    for (uint32_t i : {0u, 1u, 19u}) {
        EXPECT_EQ(track->node(i).position.x, track->base_node(i).position.x) << i;
        EXPECT_EQ(track->node(i).position.z, track->base_node(i).position.z) << i;
    }
    for (uint32_t i : {0u, 1u, 2u, 18u, 19u}) {
        EXPECT_EQ(track->node(i).half_width, 10.0) << i;
        EXPECT_EQ(track->node(i).tilt, 0.0) << i;
    }
    for (uint32_t i = 2; i <= 18; ++i) {
        const double radius = track->node(i).position.length();
        EXPECT_GE(radius, 80 - 1e-9) << i;
        EXPECT_LE(radius, 130 + 1e-9) << i;
    }
}

// The ribbon's arrays have the sizes a mesh is allocated with, every index
// lands inside its array, and the last segment closes the ring.
TEST(Track, RibbonIndicesStayInsideTheirArrays)
{
    for (int16_t nodes : {int16_t(3), int16_t(20), int16_t(1024)}) {
        SCOPED_TRACE(nodes);
        const std::unique_ptr<czrTrack> track = track_of(nodes, 99);
        ASSERT_TRUE(track);
        const size_t n = track->sample_count();
        ASSERT_GT(n, 0u);
        for (const czrTrackMesh* mesh : {&track->top_mesh(), &track->side_mesh()}) {
            EXPECT_EQ(mesh->vertices.size(), 4 * n);
            EXPECT_EQ(mesh->normals.size(), 2 * n);
            EXPECT_EQ(mesh->uvs.size(), 2 * n + 2);
            ASSERT_EQ(mesh->triangle_count(), 4 * n);
            for (size_t i = 0; i < 12 * n; ++i) {
                ASSERT_LT(mesh->vertex_indices[i], 4 * n);
                ASSERT_LT(mesh->normal_indices[i], 2 * n);
                ASSERT_LT(mesh->uv_indices[i], 2 * n + 2);
            }
            for (const cVector3D& v : mesh->vertices) ASSERT_TRUE(std::isfinite(v.length_squared()));
        }
        // Top triangle 0 of the last segment: its first corner is vertex 1 of
        // sample 0, with the texture coordinates past the end.
        const czrTrackMesh& top = track->top_mesh();
        const size_t last = 4 * (n - 1) * 3;
        EXPECT_EQ(top.vertex_indices[last], 1u);
        EXPECT_EQ(top.uv_indices[last], 2 * (n - 1) + 3);
        EXPECT_EQ(top.normal_indices[last], 0u);
        EXPECT_EQ(track->side_mesh().vertices.size(), top.vertices.size());
    }
}

// The first segment's eight triangles, corner by corner (vertex, uv, normal).
TEST(Track, FirstSegmentTriangles)
{
    const std::unique_ptr<czrTrack> track = track_of(20, 5);
    const uint32_t top[4][9] = {{5, 3, 2, 0, 0, 0, 4, 2, 2},
                                {5, 3, 2, 1, 1, 0, 0, 0, 0},
                                {2, 1, 1, 7, 2, 3, 3, 0, 1},
                                {2, 1, 1, 6, 3, 3, 7, 2, 3}};
    const uint32_t side[4][9] = {{6, 2, 2, 1, 1, 0, 5, 3, 2},
                                 {6, 2, 2, 2, 0, 0, 1, 1, 0},
                                 {0, 1, 1, 7, 2, 3, 4, 3, 3},
                                 {0, 1, 1, 3, 0, 1, 7, 2, 3}};
    for (int mesh = 0; mesh < 2; ++mesh) {
        const czrTrackMesh& m = mesh == 0 ? track->top_mesh() : track->side_mesh();
        const uint32_t(*expected)[9] = mesh == 0 ? top : side;
        for (int t = 0; t < 4; ++t)
            for (int corner = 0; corner < 3; ++corner) {
                const size_t i = size_t(3 * t + corner);
                EXPECT_EQ(m.vertex_indices[i], expected[t][3 * corner]) << mesh << " " << t << " " << corner;
                EXPECT_EQ(m.uv_indices[i], expected[t][3 * corner + 1]) << mesh << " " << t << " " << corner;
                EXPECT_EQ(m.normal_indices[i], expected[t][3 * corner + 2]) << mesh << " " << t << " " << corner;
            }
    }
}

TEST(Track, RibbonCornersAndNormalsFollowTheFrame)
{
    const std::unique_ptr<czrTrack> track = track_of(20, 31);
    const czrTrackMesh& top = track->top_mesh();
    const czrTrackMesh& side = track->side_mesh();
    for (uint32_t j : {0u, 17u, track->sample_count() - 1}) {
        const czrTrackFrame frame = track->frame_at(track->sample_param(j));
        const cVector3D across = top.vertices[4 * j + 1] - top.vertices[4 * j];
        EXPECT_NEAR(across.length(), 2 * frame.scale.x, 1e-9);
        const cVector3D down = top.vertices[4 * j + 1] - top.vertices[4 * j + 2];
        EXPECT_NEAR(down.length(), 2 * frame.scale.y, 1e-9);
        EXPECT_NEAR(dot(top.normals[2 * j], across), 0, 1e-9);
        EXPECT_NEAR(dot(side.normals[2 * j], down), 0, 1e-9);
        EXPECT_NEAR(top.normals[2 * j].length(), 1, 1e-9);
        EXPECT_EQ(top.normals[2 * j + 1].y, -top.normals[2 * j].y);
        // The corners are centred on the track point.
        const cVector3D centre = (top.vertices[4 * j] + top.vertices[4 * j + 2]) / 2;
        EXPECT_NEAR((centre - frame.position).length(), 0, 1e-9);
    }
}

// A node count from the wire that cannot make a ring is refused before
// anything is built: one ERROR line and no track.
TEST(Track, BadNodeCountsAreRefused)
{
    for (int node_count : {0, 1, 2, 1025, 65535, -1, -32768, 32767}) {
        SCOPED_TRACE(node_count);
        std::unique_ptr<czrTrack> track;
        const std::string output = printed([&] { track = track_of(int16_t(uint16_t(node_count)), 1); });
        EXPECT_FALSE(track);
        EXPECT_EQ(output.rfind("ERROR: Track node count out of range (3..1024): ", 0), 0u) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
        EXPECT_FALSE(czrTrack::accepts_node_count(int16_t(uint16_t(node_count))));
    }
    EXPECT_TRUE(czrTrack::accepts_node_count(3));
    EXPECT_TRUE(czrTrack::accepts_node_count(1024));
}

TEST(Track, FrameAtTheEndsOfTheRing)
{
    const std::unique_ptr<czrTrack> track = track_of(20, 8);
    for (double f : {0.0, 0.5, 0.999, 0.9995, 1.0}) {
        const czrTrackFrame frame = track->frame_at(f);
        const cQuaternion& q = frame.rotation;
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, 1e-9) << f;
        EXPECT_TRUE(std::isfinite(frame.position.length_squared())) << f;
    }
    EXPECT_EQ(track->frame_at(1.0).position.x, track->frame_at(0.0).position.x);
}

// A third of the lap, counted from the x axis through +z backwards: a point
// just off the axis on the +z side is at the end of the lap, never past it.
TEST(Track, SectionOfAPosition)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        cVector3D position;
        int section;
    };
    for (const Case& c : {Case{cVector3D(100, 0, 1e-300), 2}, Case{cVector3D(100, 0, -1e-300), 0},
                          Case{cVector3D(0, 0, -1), 0}, Case{cVector3D(-1, 0, -1e-9), 1},
                          Case{cVector3D(-1, 0, 1e-9), 1}, Case{cVector3D(0, 0, 1), 2},
                          Case{cVector3D(), 0}, Case{cVector3D(nan, 0, nan), 0}}) {
        EXPECT_EQ(track_section_of(c.position), c.section)
            << c.position.x << " " << c.position.y << " " << c.position.z;
    }
}

}  // namespace
