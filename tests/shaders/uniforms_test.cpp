// Uniform values reach the program in use, read back from GL itself.
#include <string>
#include <utility>

#include "base/matrix.h"
#include "base/vector.h"
#include "tests/shaders/shader_window.h"

namespace {

// Every uniform is used, so none is optimised away.
const char* const kEveryKindFragment =
    "uniform float f1;\nuniform vec2 v2;\nuniform vec3 v3;\nuniform vec4 v4;\n"
    "uniform int i1;\nuniform ivec2 iv2;\n"
    "uniform float fa[3];\nuniform vec2 v2a[2];\nuniform vec3 v3a[2];\nuniform vec4 colours[20];\n"
    "uniform int ia[3];\nuniform ivec2 iva[2];\nuniform mat3 ma[2];\n"
    "void main() {\n"
    "  vec4 sum = vec4(f1) + v2.xyxy + v3.xyzx + v4 + vec4(float(i1)) + vec4(vec2(iv2), 0.0, 0.0);\n"
    "  for (int k = 0; k < 3; ++k) sum += vec4(fa[k] + float(ia[k]));\n"
    "  for (int k = 0; k < 2; ++k)\n"
    "    sum += v2a[k].xyxy + v3a[k].xyzx + vec4(vec2(iva[k]), 0.0, 0.0) + vec4(ma[k] * vec3(1.0), 0.0);\n"
    "  for (int k = 0; k < 20; ++k) sum += colours[k];\n"
    "  gl_FragColor = sum * 0.001;\n"
    "}\n";

using Reads = std::vector<std::pair<std::string, std::vector<double>>>;

class Uniforms : public ShaderWindow {
protected:
    void SetUp() override
    {
        ShaderWindow::SetUp();
        if (HasFatalFailure()) return;
        program = program_of(kEveryKindFragment);
        ASSERT_NE(program, -1);
        graphics->use_program(program);
        gl_program = bound_program();
    }

    int location(const char* name) { return graphics->get_uniform_location(program, name); }

    // The first count values GL holds for the uniform (an array element
    // such as "fa[1]" works too), as floats or as ints.
    std::vector<double> held(const std::string& name, size_t count, bool ints)
    {
        const GLint at = glGetUniformLocation(gl_program, name.c_str());
        EXPECT_NE(at, -1) << name;
        GLfloat floats[9] = {};
        GLint integers[9] = {};
        if (ints)
            glGetUniformiv(gl_program, at, integers);
        else
            glGetUniformfv(gl_program, at, floats);
        std::vector<double> values;
        for (size_t i = 0; i < count; ++i) values.push_back(ints ? integers[i] : floats[i]);
        return values;
    }

    void expect_held(const Reads& reads, bool ints)
    {
        for (const auto& read : reads) {
            const std::vector<double> values = held(read.first, read.second.size(), ints);
            for (size_t i = 0; i < values.size(); ++i)
                EXPECT_NEAR(values[i], read.second[i], 1e-6) << read.first << " value " << i;
        }
    }

    int program = -1;
    GLuint gl_program = 0;
};

}  // namespace

TEST_F(Uniforms, EachSetterReachesTheProgram)
{
    struct Case {
        const char* uniform;
        std::function<void(int)> set;
        Reads reads;
        bool ints;
    };
    cVector2D<double> v2(0.25, -2.5);
    cVector3D v3(1.5, 2.5, -3.5);
    cColor v4(0.1f, 0.2f, 0.3f, 0.4f);
    cVector2D<int32_t> iv2(-7, 9);
    float fa[3] = {1, 2, 3};
    cVector2D<double> v2a[2] = {{1, 2}, {3, 4}};
    cVector3D v3a[2] = {{1, 2, 3}, {4, 5, 6}};
    int32_t ia[3] = {5, -6, 7};
    cVector2D<int32_t> iva[2] = {{1, -2}, {-3, 4}};
    const Case cases[] = {
        {"f1", [&](int at) { graphics->set_uniform_1f(at, 0.75f); }, {{"f1", {0.75}}}, false},
        {"v2", [&](int at) { graphics->set_uniform_2f(at, &v2); }, {{"v2", {0.25, -2.5}}}, false},
        {"v3", [&](int at) { graphics->set_uniform_3f(at, &v3); }, {{"v3", {1.5, 2.5, -3.5}}}, false},
        {"v4", [&](int at) { graphics->set_uniform_4f(at, &v4); }, {{"v4", {0.1f, 0.2f, 0.3f, 0.4f}}}, false},
        {"i1", [&](int at) { graphics->set_uniform_1i(at, -12); }, {{"i1", {-12}}}, true},
        {"iv2", [&](int at) { graphics->set_uniform_2i(at, &iv2); }, {{"iv2", {-7, 9}}}, true},
        {"fa", [&](int at) { graphics->set_uniform_1fv(at, 3, fa); }, {{"fa[0]", {1}}, {"fa[2]", {3}}}, false},
        {"v2a", [&](int at) { graphics->set_uniform_2fv(at, 2, v2a); }, {{"v2a[0]", {1, 2}}, {"v2a[1]", {3, 4}}},
         false},
        {"v3a", [&](int at) { graphics->set_uniform_3fv(at, 2, v3a); },
         {{"v3a[0]", {1, 2, 3}}, {"v3a[1]", {4, 5, 6}}}, false},
        {"ia", [&](int at) { graphics->set_uniform_1iv(at, 3, ia); }, {{"ia[0]", {5}}, {"ia[1]", {-6}}, {"ia[2]", {7}}},
         true},
        {"iva", [&](int at) { graphics->set_uniform_2iv(at, 2, iva); }, {{"iva[0]", {1, -2}}, {"iva[1]", {-3, 4}}},
         true},
    };
    for (const Case& c : cases) {
        const int at = location(c.uniform);
        ASSERT_NE(at, -1) << c.uniform;
        c.set(at);
        expect_held(c.reads, c.ints);
    }
}

TEST_F(Uniforms, TwentyColoursGoUpInOneCall)
{
    cColor colours[20];
    for (int k = 0; k < 20; ++k) colours[k] = cColor(k / 20.0f, 1 - k / 20.0f, k * 0.01f, 0.5f);
    graphics->set_uniform_4fv(location("colours"), 20, colours);
    Reads reads;
    for (int k = 0; k < 20; ++k)
        reads.push_back({"colours[" + std::to_string(k) + "]",
                         {colours[k].r, colours[k].g, colours[k].b, colours[k].a}});
    expect_held(reads, false);

    float fa[3] = {4, 5, 6};
    graphics->set_uniform_1fv(location("fa"), 3, fa);
    expect_held({{"fa[0]", {4}}, {"fa[1]", {5}}, {"fa[2]", {6}}}, false);
}

// GL reads a mat3 column by column; each matrix's columns go up in that order
// unless the caller asks GL to transpose.
TEST_F(Uniforms, MatricesGoUpColumnByColumn)
{
    cMatrix3D matrices[2] = {cMatrix3D(1, 2, 3, 4, 5, 6, 7, 8, 9), cMatrix3D(10, 11, 12, 13, 14, 15, 16, 17, 18)};
    graphics->set_uniform_matrix3fv(location("ma"), 2, false, matrices);
    expect_held({{"ma[0]", {1, 4, 7, 2, 5, 8, 3, 6, 9}}, {"ma[1]", {10, 13, 16, 11, 14, 17, 12, 15, 18}}}, false);
    graphics->set_uniform_matrix3fv(location("ma"), 1, true, matrices);
    expect_held({{"ma[0]", {1, 2, 3, 4, 5, 6, 7, 8, 9}}}, false);
}

// A window opened again has no program in use until one is chosen.
TEST_F(Uniforms, NothingIsSetBeforeAProgramIsInUse)
{
    graphics->close_window();
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, true, false, false));
    program = program_of(kEveryKindFragment);
    ASSERT_NE(program, -1);
    graphics->set_uniform_1f(location("f1"), 0.5f);
    graphics->use_program(program);
    gl_program = bound_program();
    expect_held({{"f1", {0}}}, false);
    graphics->set_uniform_1f(location("f1"), 0.5f);
    expect_held({{"f1", {0.5}}}, false);
}

// Deleting the program in use keeps its id current, and GL keeps the
// program alive while it is bound, so values still reach it.
TEST_F(Uniforms, DeletingTheProgramInUseStillLetsValuesThrough)
{
    const int at = location("f1");
    EXPECT_TRUE(graphics->delete_program(program));
    graphics->set_uniform_1f(at, 0.125f);
    expect_held({{"f1", {0.125}}}, false);
}
