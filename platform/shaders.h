// GLSL shaders and programs, and the uniform setters. Everything here needs
// GL 2.0: without it every slot does nothing and answers -1 or false.
#pragma once

#include "base/graphics_interface.h"

namespace trellis {

// Fills the shader, program and uniform slots (31-53).
void connect_shader_slots(graphics_interface* table);
// The scratch arrays of the uniform-array setters, made as each window opens.
void make_uniform_scratch();
// Returns GL to the fixed pipeline: the end of each frame does this, so a
// program a renderer left current never outlives its frame, and each pass
// of the next frame starts from fixed function and picks its own program.
void leave_program();
// Deletes every shader and program and frees the scratch arrays, as the
// window closes.
void release_shaders();

}  // namespace trellis
