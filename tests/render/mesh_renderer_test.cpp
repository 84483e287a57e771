// Mesh renderers on every path: a vertex buffer, a display list, or the
// mesh's arrays each time; buffer pools; and what they free.
#include <memory>

#include "base/light.h"
#include "base/modules.h"
#include "scene/mesh.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"
#include "tests/render/scene_window.h"

namespace {

// Measured on the buffer path; every path must cover the same pixels.
constexpr int kGridCoverage = 21025;

// A square of 2 x 2 units facing +z, cut into cells of two triangles each,
// with normals and UVs of its own.
std::unique_ptr<ctMesh> grid_mesh(uint32_t cells)
{
    auto mesh = std::make_unique<ctMesh>();
    const uint32_t side = cells + 1;
    mesh->allocate(side * side, 1, side * side, 2 * cells * cells);
    mesh->set_name("grid");
    mesh->normals[0] = cVector3D(0, 0, 1);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            const double u = double(x) / cells, v = double(y) / cells;
            mesh->vertices[y * side + x] = cVector3D(-1 + 2 * u, -1 + 2 * v, 0);
            mesh->uvs[y * side + x] = cVector2D<double>(u, 1 - v);
        }
    uint32_t t = 0;
    for (uint32_t y = 0; y < cells; ++y)
        for (uint32_t x = 0; x < cells; ++x) {
            const uint32_t a = y * side + x, b = a + 1, c = a + side, d = c + 1;
            const uint32_t triangles[2][3] = {{a, b, d}, {a, d, c}};
            for (const auto& triangle : triangles) {
                for (int k = 0; k < 3; ++k) {
                    mesh->vertex_indices[3 * t + k] = triangle[k];
                    mesh->uv_indices[3 * t + k] = triangle[k];
                    mesh->normal_indices[3 * t + k] = 0;
                }
                ++t;
            }
        }
    return mesh;
}

cMaterial glowing_mesh()
{
    return cMaterial(cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(1, 1, 1, 1), 0);
}

template <class Base>
class MeshPaths : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        if (this->HasFatalFailure() || this->IsSkipped()) return;
        mesh = grid_mesh(8);
        setup.shaders = this->graphics->shaders_available() ? get_default_shader_set() : nullptr;
        setup.material = &material;
    }

    void expect_the_grid_covers_its_pixels()
    {
        this->look_at_origin();
        ctRendererMesh renderer(&setup, mesh.get());
        this->clear_to(0);
        draw_renderer(&renderer);
        EXPECT_NEAR(this->coverage(), kGridCoverage, kGridCoverage / 50);
    }

    std::unique_ptr<ctMesh> mesh;
    cMaterial material = glowing_mesh();
    ctRendererSetup setup;
};

// Neither buffers nor lists: the arrays go to the graphics module each draw.
class ImmediateOnly : public SceneWindow {
protected:
    ImmediateOnly() : SceneWindow(true, false, false) {}
};

class BufferMeshes : public MeshPaths<FullGL> {};
class ListMeshes : public MeshPaths<ShadersWithLists> {};
class ImmediateMeshes : public MeshPaths<ImmediateOnly> {};
class FixedMeshes : public MeshPaths<FixedWithBuffers> {};
class OldGLMeshes : public MeshPaths<OldGL> {};

}  // namespace

TEST_F(BufferMeshes, TheGridCoversItsPixels) { expect_the_grid_covers_its_pixels(); }
TEST_F(ListMeshes, TheGridCoversItsPixels) { expect_the_grid_covers_its_pixels(); }
TEST_F(ImmediateMeshes, TheGridCoversItsPixels) { expect_the_grid_covers_its_pixels(); }
TEST_F(FixedMeshes, TheGridCoversItsPixels) { expect_the_grid_covers_its_pixels(); }
TEST_F(OldGLMeshes, TheGridCoversItsPixels) { expect_the_grid_covers_its_pixels(); }

TEST_F(BufferMeshes, EachPathDrawsByItsOwnKindOfCall)
{
    ctRendererMesh renderer(&setup, mesh.get());
    EXPECT_NE(renderer.vbo_id, 65535);
    EXPECT_EQ(renderer.display_list_id, 65535);
    end_frame();
    renderer.draw_geometry();
    EXPECT_EQ(end_frame().vbo_draws, 1);
}

TEST_F(ListMeshes, EachPathDrawsByItsOwnKindOfCall)
{
    ctRendererMesh renderer(&setup, mesh.get());
    EXPECT_EQ(renderer.vbo_id, 65535);
    ASSERT_NE(renderer.display_list_id, 65535);
    end_frame();
    renderer.draw_geometry();
    const FrameStatistics stats = end_frame();
    EXPECT_EQ(stats.display_list_calls, 1);
    EXPECT_EQ(stats.triangles, 0) << "the list's triangles were counted as it was recorded";
}

TEST_F(ImmediateMeshes, EachPathDrawsByItsOwnKindOfCall)
{
    ctRendererMesh renderer(&setup, mesh.get());
    EXPECT_EQ(renderer.vbo_id, 65535);
    EXPECT_EQ(renderer.display_list_id, 65535);
    end_frame();
    renderer.draw_geometry();
    EXPECT_EQ(end_frame().triangles, 128);
}

TEST_F(BufferMeshes, APooledBufferIsTakenWithoutUploadAndGivenBack)
{
    ctRendererMesh first(&setup, mesh.get());
    DSarray<int16_t> pool;
    pool.add(int16_t(first.vbo_id));
    pool.add(99);
    {
        ctRendererMesh pooled(&setup, mesh.get(), &pool);
        EXPECT_EQ(pooled.vbo_id, first.vbo_id);
        EXPECT_EQ(pool.count(), 1u);
    }
    ASSERT_EQ(pool.count(), 2u);
    EXPECT_EQ(pool.get(0), 99);
    EXPECT_EQ(pool.get(1), int16_t(first.vbo_id));
}

TEST_F(BufferMeshes, DestructionUnloadsTheBuffer)
{
    int vbo = -1;
    {
        ctRendererMesh renderer(&setup, mesh.get());
        vbo = renderer.vbo_id;
    }
    EXPECT_FALSE(graphics->unload_vbo(vbo));
}

TEST_F(ListMeshes, DestructionDeletesTheList)
{
    GLuint list = 0;
    {
        ctRendererMesh renderer(&setup, mesh.get());
        list = renderer.display_list_id;
        EXPECT_TRUE(glIsList(list));
    }
    EXPECT_FALSE(glIsList(list));
}

// The window and its context are gone: nothing is called on GL.
TEST_F(BufferMeshes, ARendererOutlivingTheWindowCallsNoGL)
{
    auto buffered = std::make_unique<ctRendererMesh>(&setup, mesh.get());
    graphics->close_window();
    EXPECT_EQ(printed([&] { buffered.reset(); }), "");
}

TEST_F(ListMeshes, ARendererOutlivingTheWindowCallsNoGL)
{
    auto listed = std::make_unique<ctRendererMesh>(&setup, mesh.get());
    graphics->close_window();
    EXPECT_EQ(printed([&] { listed.reset(); }), "");
}
