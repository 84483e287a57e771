#include "tests/shaders/shader_window.h"
#include "tests/support/printed.h"

const char* const kPlainVertex = "void main() { gl_Position = ftransform(); }\n";
const char* const kRedFragment = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";
const char* const kGreenFragment = "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";

void ShaderWindow::SetUp()
{
    TrellisWindow::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(graphics->shaders_available()) << "the GL here has no 2.0";
}

int ShaderWindow::program_of(const char* fragment)
{
    const int vertex_shader = graphics->create_vertex_shader(kPlainVertex, -1);
    const int fragment_shader = graphics->create_fragment_shader(fragment, -1);
    return graphics->build_shader_program(vertex_shader, fragment_shader, -1);
}

GLuint bound_program()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return GLuint(program);
}

std::vector<GLuint> attached_shaders(GLuint program)
{
    GLuint shaders[8] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 8, &count, shaders);
    return std::vector<GLuint>(shaders, shaders + count);
}

Pixel ShaderWindow::disc_colour()
{
    clear_to(0);
    graphics->draw_filled_circle(kWidth / 2, kHeight / 2, 30, 30, 16, &white);
    return pixel(kWidth / 2, kHeight / 2);
}
