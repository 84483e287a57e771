// Meshes and jmf files: the block layout, byte-for-byte round trips, and
// damaged files that must be refused without reading past their end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scene/mesh.h"
#include "tests/support/printed.h"
#include "tests/support/scratch.h"

namespace {

// A triangle mesh with every array filled; with_block adds the per-triangle block.
ctMesh* make_mesh(const char* name, uint32_t triangles, bool with_block)
{
    ctMesh* mesh = new ctMesh;
    mesh->set_name(name);
    mesh->allocate(4, 3, 2, triangles);
    for (uint32_t i = 0; i < 4; ++i) mesh->vertices[i] = cVector3D(i, i * 0.5, -double(i) / 3);
    for (uint32_t i = 0; i < 3; ++i) mesh->normals[i] = cVector3D(0, 1, i * 0.25);
    for (uint32_t i = 0; i < 2; ++i) mesh->uvs[i] = cVector2D<double>(0.25 * i, -0.75);
    for (uint32_t i = 0; i < 3 * triangles; ++i) {
        mesh->vertex_indices[i] = i % 4;
        mesh->normal_indices[i] = i % 3;
        mesh->uv_indices[i] = i % 2;
    }
    if (with_block) {
        mesh->allocate_triangle_block();
        mesh->group_count = 7;
        for (uint32_t i = 0; i < triangles; ++i) {
            mesh->face_normals[i] = cVector3D(1, 0, 0);
            mesh->face_centres[i] = cVector3D(i, 2, 3);
            mesh->triangle_groups[i] = int32_t(i) - 1;
        }
    }
    return mesh;
}

std::vector<uint8_t> jmf_of(const DSParray<ctMesh>& meshes)
{
    std::vector<uint8_t> bytes;
    write_jmf_bytes(bytes, meshes);
    return bytes;
}

class JmfFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        meshes.insert(make_mesh("wheel", 2, false));
        meshes.insert(make_mesh("Model::body", 3, true));
        bytes = jmf_of(meshes);
    }
    DSParray<ctMesh> meshes;
    std::vector<uint8_t> bytes;
};

TEST(MeshBlock, SizeFormula)
{
    EXPECT_EQ(mesh_block_size(0, 0, 0, 0, false), 81u);
    EXPECT_EQ(mesh_block_size(5, 7, 11, 13, false), 64u + 16 + 12 * 5 + 12 * 7 + 8 * 11 + 36 * 13 + 1);
    EXPECT_EQ(mesh_block_size(5, 7, 11, 13, true), 64u + 16 + 12 * 5 + 12 * 7 + 8 * 11 + 36 * 13 + 1 + 4 + 28 * 13);
    // Counts near the top of u32 do not wrap.
    EXPECT_GT(mesh_block_size(0, 0, 0, 0xFFFFFFFFu, true), size_t(0xFFFFFFFFu) * 64);
}

TEST(MeshBlock, EmptySetIsFourZeroBytes)
{
    DSParray<ctMesh> none;
    EXPECT_EQ(jmf_of(none), std::vector<uint8_t>({0, 0, 0, 0}));
}

TEST_F(JmfFixture, BlocksHaveTheirFormulaSizesAndFlags)
{
    const size_t first = mesh_block_size(4, 3, 2, 2, false);
    ASSERT_EQ(bytes.size(), 4 + first + mesh_block_size(4, 3, 2, 3, true));
    EXPECT_EQ(bytes[4 + first - 1], 0);  // no block after the first mesh
    EXPECT_EQ(bytes[4 + first + 80 + 12 * 4 + 12 * 3 + 8 * 2 + 36 * 3], 1);
    // Names are zero-padded after their terminator.
    EXPECT_EQ(memcmp(&bytes[4], "wheel\0\0\0", 8), 0);
}

TEST_F(JmfFixture, RoundTripIsByteForByte)
{
    DSParray<ctMesh> back;
    ASSERT_TRUE(read_jmf_bytes(bytes.data(), bytes.size(), back, "fixture"));
    ASSERT_EQ(back.count(), 2u);
    EXPECT_STREQ(back.get(0)->name, "wheel");
    EXPECT_FALSE(back.get(0)->has_triangle_block());
    EXPECT_EQ(back.get(0)->group_count, 0u);
    ASSERT_TRUE(back.get(1)->has_triangle_block());
    EXPECT_EQ(back.get(1)->group_count, 7u);
    EXPECT_EQ(back.get(1)->triangle_groups[0], -1);
    // Doubles come back rounded to float32.
    EXPECT_EQ(back.get(0)->vertices[3].z, double(float(-1.0)));
    EXPECT_EQ(back.get(1)->vertices[1].z, double(float(-1.0 / 3)));
    EXPECT_EQ(jmf_of(back), bytes);
}

TEST_F(JmfFixture, FilesRoundTripThroughStreams)
{
    ScratchFolder scratch;
    FILE* out = fopen((scratch / "set.jmf").c_str(), "wb");
    ASSERT_TRUE(write_jmf(out, meshes));
    fclose(out);
    FILE* in = fopen((scratch / "set.jmf").c_str(), "rb");
    DSParray<ctMesh> back;
    EXPECT_TRUE(read_jmf(in, back, "set.jmf"));
    fclose(in);
    EXPECT_EQ(jmf_of(back), bytes);
}

TEST_F(JmfFixture, PartialBlockWritesFlagZero)
{
    ctMesh* mesh = meshes.get(1);
    delete[] mesh->face_centres;
    mesh->face_centres = nullptr;
    const std::vector<uint8_t> partial = jmf_of(meshes);
    EXPECT_EQ(partial.size(), 4 + mesh_block_size(4, 3, 2, 2, false) + mesh_block_size(4, 3, 2, 3, false));
    EXPECT_EQ(partial.back(), 0);
}

// A mesh whose arrays were freed keeps its counts; its block must still
// hold only what it has, or the next mesh's bytes are read as its arrays.
TEST_F(JmfFixture, AFreedMeshWritesZeroCountsBesideAWholeOne)
{
    const std::vector<uint8_t> whole_body(bytes.begin() + 4 + mesh_block_size(4, 3, 2, 2, false), bytes.end());
    meshes.get(0)->free_arrays();
    const std::vector<uint8_t> written = jmf_of(meshes);
    ASSERT_EQ(written.size(), 4 + mesh_block_size(0, 0, 0, 0, false) + whole_body.size());

    DSParray<ctMesh> back;
    ASSERT_TRUE(read_jmf_bytes(written.data(), written.size(), back, "freed"));
    ASSERT_EQ(back.count(), 2u);
    const ctMesh* freed = back.get(0);
    EXPECT_STREQ(freed->name, "wheel");
    EXPECT_EQ(freed->vertex_count, 0u);
    EXPECT_EQ(freed->normal_count, 0u);
    EXPECT_EQ(freed->uv_count, 0u);
    EXPECT_EQ(freed->triangle_count, 0u);
    EXPECT_FALSE(freed->has_triangle_block());
    DSParray<ctMesh> body;
    body.insert(back.get(1)->clone());
    const std::vector<uint8_t> body_bytes = jmf_of(body);
    EXPECT_TRUE(std::equal(body_bytes.begin() + 4, body_bytes.end(), whole_body.begin(), whole_body.end()))
        << "the whole mesh reads back as it was written";
}

TEST_F(JmfFixture, CloneCopiesTheBlock)
{
    ctMesh* copy = meshes.get(1)->clone();
    DSParray<ctMesh> one;
    one.insert(copy);
    DSParray<ctMesh> original;
    original.insert(meshes.get(1)->clone());
    EXPECT_EQ(copy->group_count, 7u);
    EXPECT_NE(copy->face_normals, meshes.get(1)->face_normals);
    EXPECT_EQ(jmf_of(one), jmf_of(original));
}

TEST(Mesh, FreeArraysKeepsCountsAndAllocateReplacesThem)
{
    ctMesh mesh;
    mesh.allocate(3, 2, 1, 4);
    mesh.allocate_triangle_block();
    mesh.group_count = 2;
    mesh.free_arrays();
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.face_normals, nullptr);
    EXPECT_EQ(mesh.group_count, 0u);
    EXPECT_EQ(mesh.vertex_count, 3u);
    EXPECT_EQ(mesh.triangle_count, 4u);
    mesh.allocate(1, 1, 1, 1);
    EXPECT_EQ(mesh.vertex_count, 1u);
    EXPECT_EQ(mesh.vertices[0].x, 0.0);
}

TEST(Mesh, NamesAreCutAt63Characters)
{
    ctMesh mesh;
    const std::string long_name(80, 'n');
    mesh.set_name(long_name.c_str());
    EXPECT_EQ(std::string(mesh.name), long_name.substr(0, 63));
    // An unterminated name in a file reads back terminated at byte 63.
    DSParray<ctMesh> none;
    std::vector<uint8_t> bytes = {1, 0, 0, 0};
    bytes.insert(bytes.end(), 64, 'x');
    bytes.insert(bytes.end(), 17, 0);
    DSParray<ctMesh> back;
    ASSERT_TRUE(read_jmf_bytes(bytes.data(), bytes.size(), back, "names"));
    EXPECT_EQ(std::string(back.get(0)->name), std::string(63, 'x'));
}

TEST(Mesh, ModelDataHandsOverArraysAndCounts)
{
    ctMesh* mesh = make_mesh("m", 2, false);
    ModelDataStruct data;
    mesh->build_model_data(&data);
    EXPECT_EQ(data.vertices, mesh->vertices);
    EXPECT_EQ(data.uvs, mesh->uvs);
    EXPECT_EQ(data.colors, nullptr);
    EXPECT_EQ(data.color_indices, nullptr);
    EXPECT_EQ(static_cast<void*>(data.uv_indices), static_cast<void*>(mesh->uv_indices));
    EXPECT_EQ(data.vertex_count, 4);
    EXPECT_EQ(data.triangle_count, 2);
    delete mesh;
}

// Offsets of every field boundary of the fixture's bytes.
std::vector<size_t> field_boundaries(uint32_t v, uint32_t n, uint32_t u, uint32_t t, bool block, size_t start)
{
    std::vector<size_t> cuts;
    size_t at = start;
    auto step = [&](size_t width, size_t times) {
        for (size_t i = 0; i < times; ++i) {
            at += width;
            cuts.push_back(at);
        }
    };
    step(64, 1);
    step(4, 4);
    step(12, v);
    step(12, n);
    step(8, u);
    step(12, 3 * size_t(t));
    step(1, 1);
    if (block) {
        step(4, 1);
        step(12, 2 * size_t(t));
        step(4, t);
    }
    return cuts;
}

TEST_F(JmfFixture, TruncatedAtEveryFieldBoundaryKeepsTheMeshesBefore)
{
    std::vector<size_t> cuts = {0, 1, 2, 3};
    const size_t second = 4 + mesh_block_size(4, 3, 2, 2, false);
    for (size_t cut : field_boundaries(4, 3, 2, 2, false, 4)) cuts.push_back(cut);
    for (size_t cut : field_boundaries(4, 3, 2, 3, true, second)) cuts.push_back(cut);
    cuts.pop_back();  // the whole file
    for (size_t cut : cuts) {
        // A copy of exactly cut bytes, so anything read past it is a fault.
        std::vector<uint8_t> shortened(bytes.begin(), bytes.begin() + cut);
        DSParray<ctMesh> back;
        const std::string out = printed([&] { EXPECT_FALSE(read_jmf_bytes(shortened.data(), cut, back, "cut.jmf")); });
        EXPECT_NE(out.find("ERROR: "), std::string::npos) << cut;
        EXPECT_NE(out.find("cut.jmf"), std::string::npos) << cut;
        EXPECT_EQ(back.count(), cut >= second ? 1u : 0u) << cut;
    }
}

TEST_F(JmfFixture, DamagedFieldsAreRefused)
{
    const size_t second = 4 + mesh_block_size(4, 3, 2, 2, false);
    const size_t first_vertex_index = 4 + 80 + 12 * 4 + 12 * 3 + 8 * 2;
    const size_t second_flag = second + mesh_block_size(4, 3, 2, 3, false) - 1;
    const struct {
        const char* what;
        size_t offset;
        uint32_t value;
        int width;
        uint32_t kept;
    } cases[] = {
        {"mesh count 0xFFFFFFFF", 0, 0xFFFFFFFFu, 4, 2},
        {"vertex count 0xFFFFFFFF", 4 + 64, 0xFFFFFFFFu, 4, 0},
        {"triangle count 0xFFFFFFFF", 4 + 76, 0xFFFFFFFFu, 4, 0},
        {"second triangle count 0x40000000", second + 76, 0x40000000u, 4, 1},
        {"vertex index = V", first_vertex_index, 4, 4, 0},
        {"normal index = N", first_vertex_index + 24, 3, 4, 0},
        {"uv index past U", first_vertex_index + 48, 0xFFFFFFFFu, 4, 0},
        {"flag 2", second_flag, 2, 1, 1},
        {"flag 255", 4 + mesh_block_size(4, 3, 2, 2, false) - 1, 255, 1, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> damaged = bytes;
        for (int i = 0; i < c.width; ++i) damaged[c.offset + i] = uint8_t(c.value >> (8 * i));
        DSParray<ctMesh> back;
        bool good = true;
        const std::string out =
            printed([&] { good = read_jmf_bytes(damaged.data(), damaged.size(), back, "damaged.jmf"); });
        EXPECT_FALSE(good) << c.what;
        EXPECT_NE(out.find("ERROR: Damaged mesh file damaged.jmf"), std::string::npos) << c.what << out;
        EXPECT_EQ(back.count(), c.kept) << c.what;
    }
}

}  // namespace
