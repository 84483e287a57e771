// The matrix slots and lights, read back from GL's own state.
#include <GL/gl.h>

#include <functional>

#include "base/light.h"
#include "base/matrix.h"
#include "tests/support/trellis_window.h"

namespace {

std::vector<double> modelview()
{
    std::vector<double> m(16);
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

int modelview_depth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

std::vector<float> light_values(GLenum light, GLenum which)
{
    std::vector<float> values(4);
    glGetLightfv(light, which, values.data());
    return values;
}

void expect_values(const std::vector<double>& actual, const std::vector<double>& expected, const std::string& name)
{
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << name << " [" << i << "]";
}

}  // namespace

using DrawingState = TrellisWindow;

TEST_F(DrawingState, EachPushIsUndoneByOnePop)
{
    cVector3D offset(1, 2, 3), scale(2, 3, 4);
    cMatrix3D rows;
    for (int i = 0; i < 9; ++i) rows.m[i] = i + 1;
    const struct {
        const char* name;
        std::function<void()> push;
        std::vector<double> expected;  // column by column, as GL keeps it
    } cases[] = {
        {"identity", [&] { graphics->push_identity(); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"translate 2d", [&] { graphics->push_translate_2d(5, 6); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 0, 1}},
        {"translate", [&] { graphics->push_translate(&offset); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
        {"scale", [&] { graphics->push_scale_uniform(2); }, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}},
        {"scale axes", [&] { graphics->push_scale(&scale); }, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}},
        {"mirror x", [&] { graphics->push_mirror_x(); }, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"mirror y", [&] { graphics->push_mirror_y(); }, {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"rotate", [&] { graphics->push_rotate(90); }, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        // The matrix's columns become GL's columns: 1, 4, 7 first.
        {"transform", [&] { graphics->push_transform(&rows); }, {1, 4, 7, 0, 2, 5, 8, 0, 3, 6, 9, 0, 0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        graphics->push_identity();
        const int depth = modelview_depth();
        c.push();
        EXPECT_EQ(modelview_depth(), depth + 1) << c.name;
        expect_values(modelview(), c.expected, c.name);
        graphics->pop_matrix();
        EXPECT_EQ(modelview_depth(), depth) << c.name;
        graphics->pop_matrix();
    }
}

// The camera at (0, 0, 10) looking down -z: lights given in world space show
// in eye space moved by -10 in z.
TEST_F(DrawingState, LightsArePlacedThroughTheCamera)
{
    double fov = 60;
    cVector3D camera(0, 0, 10);
    cMatrix3D rotation;
    for (int i = 0; i < 9; ++i) rotation.m[i] = i % 4 == 0 ? 1 : 0;
    graphics->set_perspective(0, 0, kWidth, kHeight, &fov, &camera, &rotation);

    cLight point;
    point.position = cVector3D(1, 2, 3);
    point.direction = cVector3D(0, 0, 0);
    point.spot_cutoff = 180;
    point.diffuse = cColor(1, 0.5f, 0, 1);
    point.intensity = 0.5f;
    graphics->set_light(1, &point);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(light_values(GL_LIGHT1, GL_POSITION), std::vector<float>({1, 2, -7, 1}));
    EXPECT_EQ(light_values(GL_LIGHT1, GL_DIFFUSE), std::vector<float>({0.5f, 0.25f, 0, 0.5f}));

    cLight sun = point;
    sun.direction = cVector3D(0, 1, 0);
    graphics->set_light(2, &sun);
    EXPECT_EQ(light_values(GL_LIGHT2, GL_POSITION), std::vector<float>({0, 1, 0, 0}));

    cLight spot = sun;
    spot.spot_cutoff = 30;
    graphics->set_light(3, &spot);
    EXPECT_EQ(light_values(GL_LIGHT3, GL_POSITION), std::vector<float>({1, 2, -7, 1}));

    graphics->set_light(1, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(light_values(GL_LIGHT1, GL_DIFFUSE), std::vector<float>({0, 0, 0, 0}));

    GLint lights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    graphics->set_light(int16_t(lights), &point);
    graphics->set_light(-1, &point);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DrawingState, BindTextureKeepsUnitZeroAndFallsBackToWhite)
{
    const int texture = texture_of(1, 1, {255, 0, 0, 255});
    GLint bound = 0;
    graphics->bind_texture(0, 0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    const GLint white_name = bound;
    graphics->bind_texture(texture, 1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, white_name) << "a unit other than 0 needs shaders";
    graphics->bind_texture(texture, 0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(bound, white_name);
    const int unknown[] = {texture + 100, -5};
    for (int id : unknown) {
        graphics->bind_texture(id, 0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, white_name) << id;
    }
}
