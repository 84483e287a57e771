// The plug-in's window with shaders on, a few small GLSL texts, and ways to
// see what the shader slots did: their printed lines and the GL objects.
#pragma once

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/trellis_window.h"
#include "tests/support/printed.h"

extern const char* const kPlainVertex;
extern const char* const kRedFragment;
extern const char* const kGreenFragment;

// The GL name of the program in use.
GLuint bound_program();
std::vector<GLuint> attached_shaders(GLuint program);

class ShaderWindow : public TrellisWindow {
protected:
    ShaderWindow() : TrellisWindow(true) {}
    void SetUp() override;

    // A program of kPlainVertex and the given fragment text; -1 when it fails.
    int program_of(const char* fragment);
    // A filled disc around the middle of the window, and its middle pixel.
    Pixel disc_colour();
};
