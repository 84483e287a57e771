// Shapes drawn by the real plug-in, read back from the window, and the
// frame counters each primitive adds.
#include <functional>

#include "base/light.h"
#include "base/vector.h"
#include "tests/support/trellis_window.h"

namespace {

struct Counts {
    int draw_calls, vertices, triangles;
};

}  // namespace

using Primitives = TrellisWindow;

TEST_F(Primitives, EachAddsItsDrawCallsVerticesAndTriangles)
{
    cColor red(1, 0, 0, 1);
    cVector2D<int32_t> points[3] = {{0, 0}, {10, 0}, {10, 10}};
    int16_t indices[6] = {0, 1, 2, 2, 1, 0};
    int16_t negative[6] = {0, 1, 2, 0, -1, 2};
    cVector3D a(0, 0, 0), b(1, 1, 0), c(0, 1, 0);
    cVector3D vertices[3] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}};
    int32_t triple[3] = {0, 1, 2};
    ModelDataStruct model = {vertices, nullptr, nullptr, nullptr, triple, nullptr, nullptr, nullptr, 3, 0, 0, 0, 1};
    const struct {
        const char* name;
        std::function<void()> draw;
        Counts expected;
    } cases[] = {
        {"filled circle", [&] { graphics->draw_filled_circle(50, 50, 20, 20, 16, &red); }, {1, 17, 15}},
        {"circle outline", [&] { graphics->draw_circle_outline(50, 50, 20, 10, 16, &red); }, {1, 32, 0}},
        {"circle of no segments", [&] { graphics->draw_filled_circle(50, 50, 20, 20, 0, &red); }, {0, 0, 0}},
        {"outline of no segments", [&] { graphics->draw_circle_outline(50, 50, 20, 20, 0, &red); }, {0, 0, 0}},
        {"line", [&] { graphics->draw_line(0, 0, 10, 10, &red); }, {1, 2, 0}},
        {"rectangle outline", [&] { graphics->draw_rectangle_outline(0, 0, 10, 10, &red); }, {1, 8, 0}},
        {"rotated triangle", [&] { graphics->draw_rotated_triangle(20, 20, 10, 10, &red, 30); }, {1, 3, 1}},
        {"textured triangle",
         [&] { graphics->draw_textured_triangle(0, 0, 0, 0, 10, 0, 1, 0, 10, 10, 1, 1, &red, &red, &red); }, {1, 3, 1}},
        {"panel", [&] { graphics->draw_panel(0, 0, 40, 40, 0, 0, 0, 0, &red, &red, &red, &red); }, {4, 48, 16}},
        {"textured rectangle",
         [&] { graphics->draw_textured_rectangle(0, 0, 8, 8, 0, 0, 1, 1, &red, false, false, 0, 0); }, {1, 4, 2}},
        {"triangles 2d", [&] { graphics->draw_triangles_2d(points, nullptr, nullptr, indices, 2, &red); }, {1, 6, 0}},
        {"triangles 2d, one bad triple",
         [&] { graphics->draw_triangles_2d(points, nullptr, nullptr, negative, 2, &red); }, {1, 3, 0}},
        {"lines 3d", [&] { graphics->draw_lines_3d(&a, &b, nullptr, nullptr, nullptr, nullptr); }, {1, 2, 0}},
        {"tangent triangle",
         [&] {
             graphics->draw_triangles_tangent(&a, nullptr, nullptr, nullptr, &b, nullptr, nullptr, nullptr, &c,
                                              nullptr, nullptr, nullptr);
         },
         {1, 3, 1}},
        {"render_tris", [&] { graphics->render_tris(&model); }, {1, 3, 1}},
    };
    end_frame();
    for (const auto& c : cases) {
        c.draw();
        const FrameStatistics stats = end_frame();
        EXPECT_EQ(stats.draw_calls, c.expected.draw_calls) << c.name;
        EXPECT_EQ(stats.vertices, c.expected.vertices) << c.name;
        EXPECT_EQ(stats.triangles, c.expected.triangles) << c.name;
    }
}

TEST_F(Primitives, FilledCircleCoversItsInsideOnly)
{
    cColor red(1, 0, 0, 1);
    graphics->draw_filled_circle(100, 100, 40, 20, 32, &red);
    expect_pixel(pixel(100, 100), {255, 0, 0, 255}, 0, "centre");
    expect_pixel(pixel(135, 100), {255, 0, 0, 255}, 0, "inside, across");
    expect_pixel(pixel(100, 115), {255, 0, 0, 255}, 0, "inside, down");
    expect_pixel(pixel(145, 100), {0, 0, 0, 255}, 0, "past the x radius");
    expect_pixel(pixel(100, 125), {0, 0, 0, 255}, 0, "past the y radius");
}

// A 2 x 2 texture of four colours over a 32 x 32 rectangle: the quadrants
// show where each UV corner went.
TEST_F(Primitives, TexturedRectangleCellsFlipsAndUvSizes)
{
    const int texture = texture_of(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    const Pixel red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white_pixel{255, 255, 255, 255};
    const struct {
        const char* name;
        int cell_x, cell_y, across, down;
        bool flip_u, flip_v;
        double u_size, v_size;
        Pixel top_left, top_right, bottom_left, bottom_right;
    } cases[] = {
        {"whole", 0, 0, 1, 1, false, false, 0, 0, red, green, blue, white_pixel},
        {"flip u", 0, 0, 1, 1, true, false, 0, 0, green, red, white_pixel, blue},
        {"flip v", 0, 0, 1, 1, false, true, 0, 0, blue, white_pixel, red, green},
        {"cell (1, 0) of 2 x 2", 1, 0, 2, 2, false, false, 0, 0, green, green, green, green},
        {"cell (0, 1) of 2 x 2", 0, 1, 2, 2, false, false, 0, 0, blue, blue, blue, blue},
        {"uv size half", 0, 0, 1, 1, false, false, 0.5, 0.5, red, red, red, red},
        {"no cells counts as one", 0, 0, 0, 0, false, false, 0, 0, red, green, blue, white_pixel},
    };
    for (const auto& c : cases) {
        clear_to(0);
        graphics->bind_texture(texture, 0);
        graphics->draw_textured_rectangle(64, 32, 32, 32, c.cell_x, c.cell_y, c.across, c.down, &white, c.flip_u,
                                          c.flip_v, c.u_size, c.v_size);
        expect_pixel(pixel(64 + 4, 32 + 4), c.top_left, 0, std::string(c.name) + ": top left");
        expect_pixel(pixel(64 + 27, 32 + 4), c.top_right, 0, std::string(c.name) + ": top right");
        expect_pixel(pixel(64 + 4, 32 + 27), c.bottom_left, 0, std::string(c.name) + ": bottom left");
        expect_pixel(pixel(64 + 27, 32 + 27), c.bottom_right, 0, std::string(c.name) + ": bottom right");
        expect_pixel(pixel(63, 32), {0, 0, 0, 255}, 0, std::string(c.name) + ": left of it");
        expect_pixel(pixel(96, 63), {0, 0, 0, 255}, 0, std::string(c.name) + ": right of it");
    }
}

// Two triangles over (0, 0)-(40, 40) with a colour a corner; the second
// corner colour multiplies by the material's diffuse colour.
TEST_F(Primitives, RenderTrisSendsColoursAndSkipsTriplesOutsideTheirArrays)
{
    cVector3D vertices[4] = {{0, 0, 0}, {40, 0, 0}, {40, 40, 0}, {0, 40, 0}};
    cVector2D<double> uvs[1] = {{0, 0}};
    cColor colors[2] = {{1, 0, 0, 1}, {0, 1, 1, 1}};
    int32_t vertex_indices[9] = {0, 1, 2, 0, 2, 3, 0, 7, 3};
    int32_t uv_indices[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    int32_t color_indices[9] = {0, 0, 0, 1, 1, 1, 1, 1, 1};
    ModelDataStruct model = {vertices, nullptr, uvs, colors, vertex_indices, nullptr, uv_indices, color_indices,
                             4, 0, 1, 2, 3};
    cMaterial material;
    material.diffuse = cColor(1, 1, 0.5f, 1);
    graphics->set_material(&material);
    graphics->render_tris(&model);
    const FrameStatistics stats = end_frame();
    EXPECT_EQ(stats.triangles, 2);
    EXPECT_EQ(stats.vertices, 6);
    // end_frame cleared the buffer it drew into; draw again to look.
    graphics->render_tris(&model);
    expect_pixel(pixel(35, 5), {255, 0, 0, 255}, 0, "first triangle, red");
    expect_pixel(pixel(5, 35), {0, 255, 128, 255}, 1, "second triangle, cyan times the material");
}

// The material belongs to the window: one opened again starts from the
// default, as the first one did, whatever the last window was given.
TEST_F(Primitives, AWindowOpenedAgainTintsWithTheDefaultMaterialAgain)
{
    cVector3D vertices[3] = {{0, 0, 0}, {40, 0, 0}, {40, 40, 0}};
    int32_t triple[3] = {0, 1, 2};
    ModelDataStruct model = {vertices, nullptr, nullptr, nullptr, triple, nullptr, nullptr, nullptr, 3, 0, 0, 0, 1};
    graphics->render_tris(&model);
    const Pixel first = pixel(35, 5);
    cMaterial green;
    green.diffuse = cColor(0, 1, 0, 1);
    graphics->set_material(&green);
    graphics->close_window();
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, shaders, vbos, display_lists));
    graphics->set_orthographic(0, 0, kWidth, kHeight);
    clear_to(0);
    graphics->render_tris(&model);
    expect_pixel(pixel(35, 5), first, 0, "the default material's diffuse, not the last window's green");
    EXPECT_NE(first.r, 0) << "the default material is not green";
}

TEST_F(Primitives, RenderTrisWithoutColoursUsesTheMaterialAndRefusesMissingArrays)
{
    cVector3D vertices[3] = {{0, 0, 0}, {40, 0, 0}, {40, 40, 0}};
    int32_t triple[3] = {0, 1, 2};
    cMaterial material;
    material.diffuse = cColor(0, 1, 0, 1);
    graphics->set_material(&material);
    ModelDataStruct model = {vertices, nullptr, nullptr, nullptr, triple, nullptr, nullptr, nullptr, 3, 0, 0, 0, 1};
    graphics->render_tris(&model);
    expect_pixel(pixel(35, 5), {0, 255, 0, 255}, 0, "material diffuse");

    ModelDataStruct no_vertices = model;
    no_vertices.vertices = nullptr;
    ModelDataStruct no_triples = model;
    no_triples.vertex_indices = nullptr;
    end_frame();
    testing::internal::CaptureStdout();
    graphics->render_tris(&no_vertices);
    graphics->render_tris(&no_triples);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error: render_tris called with null vertex list\n"
              "Error: render_tris called with null vertex tri list\n");
    EXPECT_EQ(end_frame().draw_calls, 0);
}
