// Vertex buffers and display lists on the plug-in's slots: buffer sizes,
// refused updates, unloading, and that each draws what render_tris draws.
#include <string>
#include <vector>

#include "base/light.h"
#include "base/modules.h"
#include "tests/render/scene_window.h"

namespace {

// A strip of triangles across the middle of the view, with optional normals,
// UVs and colours.
struct Strip {
    explicit Strip(int triangles)
    {
        for (int t = 0; t < triangles; ++t) {
            const double x = -1.5 + 3.0 * t / triangles, w = 3.0 / triangles;
            const int32_t base = int32_t(vertices.size());
            vertices.push_back({x, -0.5, 0});
            vertices.push_back({x + w, -0.5, 0});
            vertices.push_back({x, 0.5, 0});
            for (int k = 0; k < 3; ++k) indices.push_back(base + k);
        }
        normals.assign(vertices.size(), cVector3D(0, 0, 1));
        uvs.assign(vertices.size(), cVector2D<double>(0.5, 0.5));
        colors.assign(vertices.size(), cColor(1, 1, 1, 1));
    }

    ModelDataStruct model(bool lit, bool colored)
    {
        const int32_t n = int32_t(vertices.size());
        return __mGraphics_build_model_data_struct(
            vertices.data(), n, lit ? normals.data() : nullptr, lit ? n : 0, lit ? uvs.data() : nullptr, lit ? n : 0,
            colored ? colors.data() : nullptr, colored ? n : 0, indices.data(), lit ? indices.data() : nullptr,
            lit ? indices.data() : nullptr, colored ? indices.data() : nullptr, n / 3);
    }

    std::vector<cVector3D> vertices, normals;
    std::vector<cVector2D<double>> uvs;
    std::vector<cColor> colors;
    std::vector<int32_t> indices;
};

// The size of the newest buffer: GL names buffers upwards on a fresh context.
GLint buffer_size_of_last_buffer()
{
    GLuint newest = 0;
    for (GLuint name = 1; name < 4096; ++name)
        if (glIsBuffer(name)) newest = name;
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, newest);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

// The colour block of the newest buffer, for a coloured buffer without the lit block.
std::vector<float> colors_of_last_unlit_buffer(int vertex_count)
{
    GLuint newest = 0;
    for (GLuint name = 1; name < 4096; ++name)
        if (glIsBuffer(name)) newest = name;
    std::vector<float> colors(size_t(4 * vertex_count), -1.0f);
    glBindBuffer(GL_ARRAY_BUFFER, newest);
    glGetBufferSubData(GL_ARRAY_BUFFER, GLintptr(16 * vertex_count), GLsizeiptr(colors.size() * sizeof(float)),
                       colors.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return colors;
}

class Buffers : public FixedWithBuffers {};
class BuffersUnderShaders : public FullGL {};
class BuffersOnOldGL : public OldGL {};
class BuffersOnGL15 : public GL15 {};

}  // namespace

TEST_F(Buffers, SizesFollowTheBlocksABufferHolds)
{
    struct Case {
        bool lit, colored;
        GLint bytes;
    };
    const Case cases[] = {{false, false, 30 * 16}, {true, false, 30 * 48}, {false, true, 30 * 32}, {true, true, 1920}};
    Strip strip(10);
    for (const Case& c : cases) {
        ModelDataStruct model = strip.model(c.lit, c.colored);
        ASSERT_NE(graphics->create_vbo(&model, -1), -1);
        EXPECT_EQ(buffer_size_of_last_buffer(), c.bytes) << "lit " << c.lit << " coloured " << c.colored;
    }
}

TEST_F(Buffers, AnUpdateOfTheWrongShapeIsRefusedWithItsWarning)
{
    Strip ten(10), nine(9);
    ModelDataStruct lit = ten.model(true, false);
    const int vbo = graphics->create_vbo(&lit, -1);
    ASSERT_NE(vbo, -1);
    ModelDataStruct short_model = nine.model(true, false);
    EXPECT_EQ(printed([&] { graphics->update_vbo(vbo, &short_model); }),
              "Warning: update vbo called with non-matching tri count count: 9 / 10\n");
    ModelDataStruct colored = ten.model(true, true);
    EXPECT_EQ(printed([&] { graphics->update_vbo(vbo, &colored); }),
              "Warning: supplied Color data to a VBO update call that does not possess Color data.\n");
    ModelDataStruct plain = ten.model(false, false);
    const int bare = graphics->create_vbo(&plain, -1);
    EXPECT_EQ(printed([&] { graphics->update_vbo(bare, &lit); }),
              "Warning: supplied UV or Normal data to a VBO update call that does not possess UV or Normal data.\n");
    ten.indices[4] = 1000;
    EXPECT_EQ(graphics->update_vbo(vbo, &lit), 0) << "an index past the arrays is refused";
}

TEST_F(Buffers, IdsAppendReplaceAndUnload)
{
    Strip strip(4);
    ModelDataStruct model = strip.model(false, false);
    // Ids go on from the windows before: ids past the end count from this one's.
    const int first = graphics->create_vbo(&model, -1);
    EXPECT_EQ(graphics->create_vbo(&model, first + 40), first + 1) << "an id past the end appends";
    EXPECT_EQ(graphics->create_vbo(&model, first), first);
    EXPECT_TRUE(graphics->unload_vbo(first));
    EXPECT_FALSE(graphics->unload_vbo(first));
    const int beyond = first + 77;
    EXPECT_EQ(printed([&] { EXPECT_FALSE(graphics->unload_vbo(beyond)); }),
              "Warning: Vbo ID " + std::to_string(beyond) + " was send an unload order, but it no longer exists\n");
    EXPECT_EQ(graphics->render_vbo(first), 0);
    EXPECT_EQ(end_frame().vbo_draws, 0);
}

TEST_F(Buffers, ABufferAndAListDrawWhatTheTrianglesDraw)
{
    look_at_origin();
    Strip strip(6);
    ModelDataStruct model = strip.model(true, false);
    graphics->set_lighting(false);
    graphics->render_tris(&model);
    const int immediate = coverage();
    ASSERT_GT(immediate, 1000);

    clear_to(0);
    const int vbo = graphics->create_vbo(&model, -1);
    graphics->render_vbo(vbo);
    EXPECT_NEAR(coverage(), immediate, immediate / 50);

    clear_to(0);
    const int list = graphics->create_display_list();
    ASSERT_GT(list, 0);
    graphics->begin_display_list(list);
    graphics->render_tris(&model);
    graphics->end_display_list();
    EXPECT_EQ(coverage(), 0) << "recording draws nothing";
    graphics->call_display_list(uint16_t(list));
    EXPECT_NEAR(coverage(), immediate, immediate / 50);

    const FrameStatistics stats = end_frame();
    EXPECT_EQ(stats.vbo_draws, 1);
    EXPECT_EQ(stats.display_list_calls, 1);
    EXPECT_EQ(stats.triangles, 6 + 6 + 6);
    graphics->delete_display_list(list);
}

// Without shaders the material's colour is baked into a coloured buffer.
TEST_F(Buffers, AColouredBufferKeepsTheMaterialItWasMadeUnder)
{
    look_at_origin();
    graphics->set_lighting(false);
    Strip strip(2);
    ModelDataStruct model = strip.model(false, true);
    cMaterial red(cColor(1, 0, 0, 1), cColor(1, 0, 0, 1), cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), 0);
    graphics->set_material(&red);
    const int vbo = graphics->create_vbo(&model, -1);
    cMaterial white;
    graphics->set_material(&white);
    graphics->render_vbo(vbo);
    const Pixel middle = pixel(kWidth / 2 - 65, kHeight / 2);
    EXPECT_GT(middle.r, 200);
    EXPECT_LT(middle.g, 30);
}

// A coloured buffer given a model without colours, or without their index
// triples, writes every corner white.
TEST_F(Buffers, CornersWithoutAColourAreWrittenWhite)
{
    look_at_origin();
    graphics->set_lighting(false);
    cMaterial white;
    graphics->set_material(&white);
    Strip strip(2);
    strip.colors.assign(strip.vertices.size(), cColor(0, 0, 1, 1));
    ModelDataStruct blue = strip.model(false, true);
    const int vbo = graphics->create_vbo(&blue, -1);
    ASSERT_NE(vbo, -1);

    struct Case {
        const char* name;
        bool colors, indices;
    } cases[] = {{"no colours", false, true}, {"no colour indices", true, false}, {"neither", false, false}};
    for (const Case& c : cases) {
        ASSERT_EQ(graphics->update_vbo(vbo, &blue), 1);
        ModelDataStruct uncoloured = strip.model(false, true);
        if (!c.colors) uncoloured.colors = nullptr;
        if (!c.indices) uncoloured.color_indices = nullptr;
        EXPECT_EQ(printed([&] { EXPECT_EQ(graphics->update_vbo(vbo, &uncoloured), 1) << c.name; }), "") << c.name;
        for (float channel : colors_of_last_unlit_buffer(6)) EXPECT_EQ(channel, 1.0f) << c.name;
    }
    clear_to(0);
    graphics->render_vbo(vbo);
    const Pixel middle = pixel(kWidth / 2 - 65, kHeight / 2);
    EXPECT_GT(middle.r, 200);
    EXPECT_GT(middle.g, 200);
    EXPECT_GT(middle.b, 200);
    save_screenshot("vbo_uncoloured_corners");
}

TEST_F(BuffersUnderShaders, ALitBufferFeedsTheTangentAttribute)
{
    Strip strip(3);
    ModelDataStruct model = strip.model(true, true);
    const int vbo = graphics->create_vbo(&model, -1);
    ASSERT_NE(vbo, -1);
    EXPECT_EQ(buffer_size_of_last_buffer(), 9 * 64);
    EXPECT_EQ(graphics->render_vbo(vbo), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Buffers, AfterTheWindowClosesBuffersAndListsCallNoGL)
{
    Strip strip(2);
    ModelDataStruct model = strip.model(false, false);
    const int vbo = graphics->create_vbo(&model, -1);
    const int list = graphics->create_display_list();
    graphics->close_window();
    EXPECT_EQ(printed([&] { EXPECT_FALSE(graphics->unload_vbo(vbo)); }), "");
    graphics->delete_display_list(list);
    EXPECT_EQ(graphics->create_vbo(&model, -1), -1);
    EXPECT_EQ(graphics->create_display_list(), -1);
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, false, true, true));
    EXPECT_GT(graphics->create_vbo(&model, -1), vbo) << "a later window does not hand the old id out again";
}

TEST_F(BuffersOnOldGL, NeitherShadersNorBuffersAreOffered)
{
    EXPECT_FALSE(graphics->shaders_available());
    EXPECT_FALSE(graphics->vbos_available());
    EXPECT_TRUE(graphics->display_lists_available());
    Strip strip(2);
    ModelDataStruct model = strip.model(false, false);
    EXPECT_EQ(graphics->create_vbo(&model, -1), -1);
}

TEST_F(BuffersOnGL15, BuffersWithoutShaders)
{
    EXPECT_FALSE(graphics->shaders_available());
    EXPECT_TRUE(graphics->vbos_available());
}
