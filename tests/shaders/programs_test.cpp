// Compiling shaders into ids, linking and building programs, deleting them,
// selecting the program in use, and the engine's own shader files.
#include <string>

#include "base/vector.h"
#include "tests/shaders/shader_window.h"

namespace {

const char* const kBrokenSource = "void main() { this is not a shader }\n";
// Reads a varying no vertex shader writes, which only the link finds out.
const char* const kUnlinkableFragment =
    "varying vec3 nowhere;\nvoid main() { gl_FragColor = vec4(nowhere, 1.0); }\n";
const char* const kTangentVertex =
    "attribute vec3 tiv_tangent;\nvarying vec3 tangent;\n"
    "void main() { tangent = tiv_tangent; gl_Position = ftransform(); }\n";
const char* const kTangentFragment = "varying vec3 tangent;\nvoid main() { gl_FragColor = vec4(abs(tangent), 1.0); }\n";

const Pixel kRed = {255, 0, 0, 255};
const Pixel kGreen = {0, 255, 0, 255};

using Programs = ShaderWindow;
using NoShaders = TrellisWindow;

}  // namespace

TEST_F(Programs, NewShadersAppendAndAnIdPastTheEndAppendsToo)
{
    for (int expected = 0; expected < 3; ++expected)
        EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), expected);
    EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, 7), 3);
    EXPECT_EQ(graphics->create_fragment_shader(kRedFragment, -5), 4);
}

TEST_F(Programs, RecompilingIntoAnIdKeepsItAndDeletesTheOldShader)
{
    const int vertex = graphics->create_vertex_shader(kPlainVertex, -1);
    const int fragment = graphics->create_fragment_shader(kRedFragment, -1);
    const int red = graphics->build_shader_program(vertex, fragment, -1);
    graphics->use_program(red);
    expect_pixel(disc_colour(), kRed, 2, "red program");
    const std::vector<GLuint> old_shaders = attached_shaders(bound_program());
    ASSERT_EQ(old_shaders.size(), 2u);

    EXPECT_EQ(graphics->create_fragment_shader(kGreenFragment, fragment), fragment);
    const int green = graphics->build_shader_program(vertex, fragment, -1);
    EXPECT_EQ(green, red + 1);
    graphics->use_program(green);
    expect_pixel(disc_colour(), kGreen, 2, "rebuilt from the recompiled id");
    // The red program still holds the old fragment shader, so GL only marks it.
    for (GLuint shader : old_shaders) {
        GLint kind = 0, deleted = GL_FALSE;
        glGetShaderiv(shader, GL_SHADER_TYPE, &kind);
        glGetShaderiv(shader, GL_DELETE_STATUS, &deleted);
        EXPECT_EQ(deleted, kind == GL_FRAGMENT_SHADER ? GL_TRUE : GL_FALSE) << "shader kind " << kind;
    }
}

TEST_F(Programs, ACompileErrorPrintsTheLogAndTakesNoId)
{
    using Create = int (*)(const char*, int);
    for (Create create : {graphics->create_vertex_shader, graphics->create_fragment_shader}) {
        int id = 0;
        const std::string text = printed([&] { id = create(kBrokenSource, -1); });
        EXPECT_EQ(id, -1);
        const std::string head = "Shader compile error\ninfo log length: ";
        ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
        const size_t length_end = text.find('\n', head.size());
        ASSERT_NE(length_end, std::string::npos) << text;
        EXPECT_GT(std::stoi(text.substr(head.size(), length_end - head.size())), 0) << text;
        const std::string log = text.substr(length_end + 1);
        ASSERT_NE(log.find("error"), std::string::npos) << text;
        EXPECT_EQ(log.back(), '\n') << text;
    }
    EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), 0);
}

TEST_F(Programs, ALinkErrorPrintsTheLogAndGivesMinusOne)
{
    int shaders[2] = {graphics->create_vertex_shader(kPlainVertex, -1),
                      graphics->create_fragment_shader(kUnlinkableFragment, -1)};
    ASSERT_EQ(shaders[1], 1);
    int program = 0;
    const std::string text = printed([&] { program = graphics->link_shader_program(2, shaders, -1); });
    EXPECT_EQ(program, -1);
    const std::string head = "Shader link error\n";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    EXPECT_NE(text.find("nowhere", head.size()), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n') << text;
    EXPECT_EQ(program_of(kRedFragment), 0) << "the failed link took no id";
}

TEST_F(Programs, LinkingIntoAnIdReplacesItsProgram)
{
    int red_pair[2] = {graphics->create_vertex_shader(kPlainVertex, -1),
                       graphics->create_fragment_shader(kRedFragment, -1)};
    int green_pair[2] = {red_pair[0], graphics->create_fragment_shader(kGreenFragment, -1)};
    const int program = graphics->link_shader_program(2, red_pair, -1);
    ASSERT_EQ(program, 0);
    graphics->use_program(program);
    const GLuint old_program = bound_program();
    EXPECT_EQ(graphics->link_shader_program(2, green_pair, program), program);
    graphics->use_program(program);
    EXPECT_NE(bound_program(), old_program);
    EXPECT_FALSE(glIsProgram(old_program));
    expect_pixel(disc_colour(), kGreen, 2, "replaced program");
}

TEST_F(Programs, LinkingRefusesAnIdThatNamesNoShader)
{
    int shaders[2] = {graphics->create_vertex_shader(kPlainVertex, -1), 6};
    int program = 0;
    const std::string text = printed([&] { program = graphics->link_shader_program(2, shaders, -1); });
    EXPECT_EQ(program, -1);
    EXPECT_EQ(text, "Error: Attempt to link shader program with shader id: 6\n");
}

TEST_F(Programs, BuildingChecksTheIdsInOrder)
{
    ASSERT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), 0);
    ASSERT_EQ(graphics->create_fragment_shader(kRedFragment, -1), 1);
    struct Case {
        int vertex, fragment;
        const char* line;
    };
    const Case cases[] = {
        {2, 1, "Error: Attempt to build shader program with vertex shader id: 2\n"},
        {-1, 9, "Error: Attempt to build shader program with vertex shader id: -1\n"},
        {0, 9, "Error: Attempt to build shader program with fragment shader id: 9\n"},
        {1, 0, "Error: Specified Vertex shader id (1) doesn't point to a vertex shader\n"},
        {0, 0, "Error: Specified Fragment shader id (0) doesn't point to a fragment shader\n"},
    };
    for (const Case& c : cases) {
        int program = 0;
        EXPECT_EQ(printed([&] { program = graphics->build_shader_program(c.vertex, c.fragment, -1); }), c.line);
        EXPECT_EQ(program, -1) << c.line;
    }
    EXPECT_EQ(graphics->build_shader_program(0, 1, -1), 0);
}

TEST_F(Programs, ADeletedProgramLeavesAnEmptySlot)
{
    for (int expected = 0; expected < 3; ++expected) EXPECT_EQ(program_of(kRedFragment), expected);
    graphics->use_program(1);
    const GLuint in_use = bound_program();
    EXPECT_TRUE(graphics->delete_program(2));
    EXPECT_FALSE(graphics->delete_program(2));
    EXPECT_FALSE(graphics->delete_program(3));
    EXPECT_EQ(graphics->get_uniform_location(2, "anything"), -1);
    graphics->use_program(2);
    EXPECT_EQ(bound_program(), in_use);
    EXPECT_EQ(program_of(kRedFragment), 3) << "ids are not reused";
}

TEST_F(Programs, ADeletedShaderCannotBeBuiltAgain)
{
    const int vertex = graphics->create_vertex_shader(kPlainVertex, -1);
    const int fragment = graphics->create_fragment_shader(kRedFragment, -1);
    EXPECT_TRUE(graphics->delete_shader(vertex));
    EXPECT_FALSE(graphics->delete_shader(vertex));
    EXPECT_FALSE(graphics->delete_shader(fragment + 1));
    EXPECT_FALSE(graphics->delete_shader(-1));
    EXPECT_EQ(printed([&] { graphics->build_shader_program(vertex, fragment, -1); }),
              "Error: Specified Vertex shader id (0) doesn't point to a vertex shader\n");
    EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), 2);
}

TEST_F(Programs, UseProgramMinusOneIsAnErrorAndChangesNothing)
{
    graphics->use_program(program_of(kRedFragment));
    const GLuint in_use = bound_program();
    EXPECT_EQ(printed([&] { graphics->use_program(-1); }), "ERROR: Unused shader sent to use_program function\n");
    EXPECT_EQ(bound_program(), in_use);
    expect_pixel(disc_colour(), kRed, 2, "still the red program");
}

// The drawing slots feed the triangle's tangent to the program's
// "tiv_tangent"; this one paints it, so u running along x paints red.
TEST_F(Programs, TheProgramInUseReceivesTheTangent)
{
    const int vertex = graphics->create_vertex_shader(kTangentVertex, -1);
    const int fragment = graphics->create_fragment_shader(kTangentFragment, -1);
    graphics->use_program(graphics->build_shader_program(vertex, fragment, -1));
    glDisable(GL_CULL_FACE);
    cVector3D corners[3] = {{100, 60, 0}, {220, 60, 0}, {100, 180, 0}};
    cVector2D<double> uvs[3] = {{0, 0}, {1, 0}, {0, 1}};
    cVector3D normal(0, 0, 1);
    graphics->draw_triangles_tangent(&corners[0], &normal, &uvs[0], &white, &corners[1], &normal, &uvs[1], &white,
                                     &corners[2], &normal, &uvs[2], &white);
    expect_pixel(pixel(120, 80), kRed, 2, "tangent along x");
}

TEST_F(Programs, ClosingTheWindowDeletesEverythingAndStartsTheIdsAgain)
{
    graphics->use_program(program_of(kRedFragment));
    const GLuint program = bound_program();
    const std::vector<GLuint> shaders = attached_shaders(program);
    graphics->close_window();
    EXPECT_FALSE(glIsProgram(program));
    for (GLuint shader : shaders) EXPECT_FALSE(glIsShader(shader));
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, true, false, false));
    graphics->set_orthographic(0, 0, kWidth, kHeight);
    EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), 0);
    EXPECT_EQ(program_of(kRedFragment), 0);
}

TEST_F(Programs, TheEngineShadersLoadFromTheirFiles)
{
    const std::string folder = std::string(ZR_GAME_DIR) + "/data/+engine/shader/";
    for (const char* name : {"simpleTexMap", "3dMap"}) {
        int program = 0;
        const std::string text = printed([&] {
            const int vertex = graphics->load_vertex_shader((folder + name + ".vert").c_str(), -1);
            const int fragment = graphics->load_fragment_shader((folder + name + ".frag").c_str(), -1);
            program = graphics->build_shader_program(vertex, fragment, -1);
        });
        EXPECT_EQ(text, "") << name;
        ASSERT_NE(program, -1) << name;
        EXPECT_GE(graphics->get_uniform_location(program, "texDiff"), 0) << name;
    }
}

TEST_F(Programs, AMissingShaderFileIsNamed)
{
    const std::string missing = scratch / "nowhere.vert";
    int shader = 0;
    EXPECT_EQ(printed([&] { shader = graphics->load_vertex_shader(missing.c_str(), -1); }),
              "Error: file not found: " + missing + "\n");
    EXPECT_EQ(shader, -1);
}

TEST_F(NoShaders, EveryShaderSlotDoesNothing)
{
    ASSERT_FALSE(graphics->shaders_available());
    const std::string missing = scratch / "nowhere.vert";
    int shaders[2] = {0, 1};
    cColor colour(1, 1, 1, 1);
    const std::string text = printed([&] {
        EXPECT_EQ(graphics->load_vertex_shader(missing.c_str(), -1), -1);
        EXPECT_EQ(graphics->load_fragment_shader(missing.c_str(), -1), -1);
        EXPECT_EQ(graphics->create_vertex_shader(kPlainVertex, -1), -1);
        EXPECT_EQ(graphics->create_fragment_shader(kRedFragment, -1), -1);
        EXPECT_EQ(graphics->link_shader_program(2, shaders, -1), -1);
        EXPECT_EQ(graphics->build_shader_program(0, 1, -1), -1);
        EXPECT_EQ(graphics->get_uniform_location(0, "tint"), -1);
        EXPECT_FALSE(graphics->delete_shader(0));
        EXPECT_FALSE(graphics->delete_program(0));
        graphics->use_program(-1);
        graphics->use_program(0);
        graphics->set_uniform_4f(0, &colour);
        graphics->set_uniform_4fv(0, 1, &colour);
    });
    EXPECT_EQ(text, "");
    EXPECT_EQ(bound_program(), 0u);
}
