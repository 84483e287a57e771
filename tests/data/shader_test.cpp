// The engine's four shaders compile and link on the machine's GL.
#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string shader_text(const std::string& name)
{
    std::ifstream file(std::string(ZR_GAME_DIR) + "/data/+engine/shader/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string shader_log(GLuint shader)
{
    char log[4096] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    return log;
}

GLuint compiled(GLenum kind, const std::string& name)
{
    const std::string text = shader_text(name);
    EXPECT_FALSE(text.empty()) << name;
    const char* source = text.c_str();
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    EXPECT_EQ(ok, GL_TRUE) << name << ": " << shader_log(shader);
    return shader;
}

class Shaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_OPENGL), nullptr) << SDL_GetError();
        ASSERT_EQ(glewInit(), GLenum(GLEW_OK));
        ASSERT_TRUE(glewIsSupported("GL_VERSION_2_0"));
    }
    void TearDown() override { SDL_Quit(); }
};

}  // namespace

TEST_F(Shaders, EachPairCompilesAndLinks)
{
    const char* const programs[] = {"simpleTexMap", "3dMap"};
    for (const char* name : programs) {
        const GLuint vertex = compiled(GL_VERTEX_SHADER, std::string(name) + ".vert");
        const GLuint fragment = compiled(GL_FRAGMENT_SHADER, std::string(name) + ".frag");
        const GLuint program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        char log[4096] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        EXPECT_EQ(linked, GL_TRUE) << name << ": " << log;
        EXPECT_GE(glGetUniformLocation(program, "texDiff"), 0) << name << " samples texDiff";
        glDeleteProgram(program);
        glDeleteShader(vertex);
        glDeleteShader(fragment);
    }
}
