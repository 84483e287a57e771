// Shader sets compiled and linked on Mesa, their sampler units, their clean-up
// and what the creators answer without shaders.
#include <string>

#include "base/light.h"
#include "base/modules.h"
#include "base/router.h"
#include "base/strings.h"
#include "scene/shader_set.h"
#include "tests/render/scene_window.h"

namespace {

struct Maps {
    bool specular, normal, self_illum;
    int samplers;
};

GLuint gl_program(int program_id)
{
    // The plug-in's ids are not GL names; use the program it makes current.
    __mGraphics_instance()->interface_table->use_program(program_id);
    GLint name = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &name);
    return GLuint(name);
}

int unit_of(int program_id, const char* sampler)
{
    const GLuint program = gl_program(program_id);
    const GLint location = glGetUniformLocation(program, sampler);
    if (location < 0) return -1;
    GLint unit = -1;
    glGetUniformiv(program, location, &unit);
    return unit;
}

class ShaderSets : public FullGL {};
class ShaderSetsWithoutShaders : public FixedWithBuffers {};

}  // namespace

TEST_F(ShaderSets, EveryMaterialCombinationCompilesAndLinksQuietly)
{
    for (int bits = 0; bits < 8; ++bits) {
        const Maps maps = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, 1 + (bits & 1) + ((bits >> 1) & 1) +
                                                                                    ((bits >> 2) & 1)};
        const std::string where = "maps " + std::to_string(bits);
        ctShaderSet* set = nullptr;
        // Mesa's warnings on a good compile stay unprinted.
        EXPECT_EQ(printed([&] { set = create_material_shader_set(maps.specular, maps.normal, maps.self_illum); }), "")
            << where;
        ASSERT_NE(set, nullptr) << where;
        EXPECT_NE(set->program_ids.x, -1) << where;
        EXPECT_NE(set->program_ids.x, set->program_ids.y) << where;
        EXPECT_EQ(set->program_ids.y, set->program_ids.z) << where;
        EXPECT_EQ(set->program_ids.y, set->program_ids.w) << where;
        EXPECT_EQ(set->built, 1) << where;
        EXPECT_EQ(set->sampler_count, maps.samplers) << where;
        EXPECT_EQ(set->shader_pairs[1].first, set->shader_pairs[3].first) << where;
        delete set;
    }
}

TEST_F(ShaderSets, SamplersTakeUnitsInMaterialOrder)
{
    ctShaderSet* set = create_material_shader_set(true, false, true);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->sampler_count, 3);
    EXPECT_EQ(unit_of(set->program_ids.x, "texDiff"), 0);
    EXPECT_EQ(unit_of(set->program_ids.x, "texSi"), 2);
    EXPECT_EQ(unit_of(set->program_ids.y, "texSpec"), 1);
    // The lit text declares "texSi" but never samples it.
    EXPECT_EQ(unit_of(set->program_ids.y, "texSi"), -1);
    delete set;

    ctShaderSet* normal = create_material_shader_set(false, true, false);
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(unit_of(normal->program_ids.y, "texNorm"), 1);
    EXPECT_GE(glGetAttribLocation(gl_program(normal->program_ids.y), "tiv_tangent"), 0);
    delete normal;
}

TEST_F(ShaderSets, UnlitSetsHoldOneProgram)
{
    ctShaderSet* unlit = create_unlit_shader_set();
    ASSERT_NE(unlit, nullptr);
    EXPECT_NE(unlit->program_ids.x, -1);
    EXPECT_EQ(unlit->program_ids.y, -1);
    EXPECT_EQ(unlit->sampler_count, 1);
    EXPECT_EQ(unit_of(unlit->program_ids.x, "texDiff"), 0);
    delete unlit;

    ctShaderSet* plain = get_plain_unlit_shader_set();
    ASSERT_NE(plain, nullptr);
    EXPECT_NE(plain->program_ids.x, -1);
    EXPECT_EQ(plain->program_ids.w, -1);
    EXPECT_EQ(get_plain_unlit_shader_set(), plain);

    ctShaderSet* shared = get_default_shader_set();
    ASSERT_NE(shared, nullptr);
    EXPECT_NE(shared->program_ids.w, -1);
    EXPECT_EQ(get_default_shader_set(), shared);
}

TEST_F(ShaderSets, DestroyingASetDeletesItsProgramsAndShaders)
{
    ctShaderSet* set = create_material_shader_set(false, false, false);
    ASSERT_NE(set, nullptr);
    const GLuint unlit = gl_program(set->program_ids.x);
    const GLuint lit = gl_program(set->program_ids.y);
    const int lit_id = set->program_ids.y;
    const int vertex_id = set->shader_pairs[1].first;
    delete set;
    glUseProgram(0);
    EXPECT_FALSE(glIsProgram(unlit));
    EXPECT_FALSE(glIsProgram(lit));
    // Ids are not reused: the deleted ones answer as gone.
    EXPECT_FALSE(graphics->delete_program(lit_id));
    EXPECT_FALSE(graphics->delete_shader(vertex_id));
    EXPECT_EQ(graphics->get_uniform_location(lit_id, "texDiff"), -1);
}

TEST_F(ShaderSets, AFragmentThatFailsDeletesWhatCompiledAndSaysSo)
{
    int program = -1, vertex = -1, fragment = -1;
    const std::string out = printed([&] {
        compile_and_link("void main() { gl_Position = ftransform(); }", "void main() { this is not glsl }", &program,
                         &vertex, &fragment);
    });
    EXPECT_EQ(program, -1);
    EXPECT_EQ(fragment, -1);
    EXPECT_NE(vertex, -1);
    EXPECT_NE(out.find("Shader compile error\n"), std::string::npos);
    EXPECT_NE(out.find("ERROR: Could not compile procedural frag shader\n"), std::string::npos);
    EXPECT_EQ(out.find("vert shader"), std::string::npos);
    EXPECT_FALSE(graphics->delete_shader(vertex)) << "the vertex shader that compiled is deleted";
}

TEST_F(ShaderSets, OutOfRangeIdsAnswerNoneAndChangeNothing)
{
    ctShaderSet* set = create_material_shader_set(false, false, false);
    ASSERT_NE(set, nullptr);
    const GLuint lit = gl_program(set->program_ids.y);
    EXPECT_EQ(printed([&] { graphics->use_program(-1); }), "ERROR: Unused shader sent to use_program function\n");
    graphics->use_program(9999);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(GLuint(current), lit);
    EXPECT_FALSE(graphics->delete_program(9999));
    EXPECT_FALSE(graphics->delete_shader(-5));
    EXPECT_EQ(graphics->get_uniform_location(9999, "texDiff"), -1);
    delete set;
}

// A lit program a renderer leaves current lasts until the frame ends.
TEST_F(ShaderSets, TheEndOfAFrameReturnsToTheFixedPipeline)
{
    ctShaderSet* set = create_material_shader_set(false, false, false);
    ASSERT_NE(set, nullptr);
    EXPECT_NE(gl_program(set->program_ids.y), 0u);
    end_frame();
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    delete set;
}

// The graphics module closed and opened again, as the engine does it: the
// new window's ids start again, so a set deletes only what its own window made.
TEST_F(ShaderSets, ASetDeletesOnlyWhatItsOwnWindowMade)
{
    // The old window's second set holds the ids the new window's shared set gets.
    ctShaderSet* old_first = create_material_shader_set(false, false, false);
    ctShaderSet* old_set = create_material_shader_set(false, false, false);
    ASSERT_NE(old_first, nullptr);
    ASSERT_NE(old_set, nullptr);
    const RoutedMessage close = {__mystring_hash("CloseGraphics"), 0, 0};
    __messageRouter_post_message(&__mGraphics_instance()->mailboxes, &close);
    graphics->close_window();
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, shaders, vbos, display_lists));

    ctShaderSet* first = create_material_shader_set(false, false, false);
    ASSERT_NE(first, nullptr);
    const GLuint first_unlit = gl_program(first->program_ids.x), first_lit = gl_program(first->program_ids.y);
    delete first;
    glUseProgram(0);
    EXPECT_FALSE(glIsProgram(first_unlit)) << "a set of the window opened again deletes its programs";
    EXPECT_FALSE(glIsProgram(first_lit));

    ctShaderSet* shared = get_default_shader_set();
    ASSERT_NE(shared, nullptr);
    ASSERT_EQ(shared->program_ids.x, old_set->program_ids.x);
    const GLuint shared_unlit = gl_program(shared->program_ids.x), shared_lit = gl_program(shared->program_ids.y);
    delete old_set;
    delete old_first;
    EXPECT_TRUE(glIsProgram(shared_unlit)) << "the closed window's set deletes nothing of the new one";
    EXPECT_TRUE(glIsProgram(shared_lit));
}

TEST_F(ShaderSetsWithoutShaders, EveryCreatorAnswersNull)
{
    EXPECT_EQ(printed([&] {
                  EXPECT_EQ(get_default_shader_set(), nullptr);
                  EXPECT_EQ(get_plain_unlit_shader_set(), nullptr);
                  EXPECT_EQ(create_unlit_shader_set(), nullptr);
                  EXPECT_EQ(create_material_shader_set(true, true, true), nullptr);
              }),
              "");
}

TEST(LightKind, FollowsCutOffThenDirection)
{
    struct Case {
        float cutoff;
        cVector3D direction;
        int kind;
    };
    const Case cases[] = {
        {45, cVector3D(0, 0, 0), 3},
        {180, cVector3D(0, 0, 0), 2},
        {0, cVector3D(0, -1, 0), 1},
        {180, cVector3D(1, 0, 0), 1},
        {__builtin_nanf(""), cVector3D(0, -1, 0), 3},
    };
    for (const Case& c : cases) {
        cLight light;
        light.spot_cutoff = c.cutoff;
        light.direction = c.direction;
        EXPECT_EQ(get_light_kind(&light), c.kind) << "cut-off " << c.cutoff;
    }
}
