// Shaders and programs live in two lists indexed by id; a deleted entry stays
// as an empty slot, so ids are never reused. GL never names a shader or a
// program 0, which marks the empty slots.
#include "platform/shaders.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "base/color.h"
#include "base/fileops.h"
#include "base/matrix.h"
#include "base/vector.h"
#include "platform/device.h"

namespace trellis {

namespace {

struct ProgramRecord {
    GLuint program;
    GLint tangent_location;  // of "tiv_tangent", -1 when the program has none
};

constexpr size_t kScratchElements = 16;

std::vector<GLuint> shaderList;
std::vector<ProgramRecord> programList;
int currentProgram = -1;
std::vector<GLfloat> floatScratch;
std::vector<GLint> intScratch;

bool shaders_on()
{
    return device().shaders;
}

bool in_list(int id, size_t count)
{
    return id >= 0 && size_t(id) < count;
}

bool holds_shader(int id)
{
    return in_list(id, shaderList.size()) && shaderList[size_t(id)] != 0;
}

bool holds_program(int id)
{
    return in_list(id, programList.size()) && programList[size_t(id)].program != 0;
}

// shaders and programs

void print_shader_log(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    printf("info log length: %d\n", length);
    if (length <= 0) return;
    std::vector<GLchar> log(size_t(length) + 1, 0);
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    printf("%s\n", log.data());
}

void print_program_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return;
    std::vector<GLchar> log(size_t(length) + 1, 0);
    glGetProgramInfoLog(program, length, nullptr, log.data());
    printf("%s\n", log.data());
}

// An id outside the list appends; one inside it replaces that slot's shader.
int store_shader(GLuint shader, int replace)
{
    if (!in_list(replace, shaderList.size())) {
        shaderList.push_back(shader);
        return int(shaderList.size()) - 1;
    }
    GLuint& slot = shaderList[size_t(replace)];
    if (slot != 0) glDeleteShader(slot);
    slot = shader;
    return replace;
}

int store_program(const ProgramRecord& record, int replace)
{
    if (!in_list(replace, programList.size())) {
        programList.push_back(record);
        return int(programList.size()) - 1;
    }
    ProgramRecord& slot = programList[size_t(replace)];
    if (slot.program != 0) glDeleteProgram(slot.program);
    slot = record;
    return replace;
}

int compile_shader(GLuint shader, const char* source, int replace)
{
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return store_shader(shader, replace);
    printf("Shader compile error\n");
    print_shader_log(shader);
    glDeleteShader(shader);
    return -1;
}

int create_shader(GLenum kind, const char* source, int replace)
{
    if (!shaders_on() || !source) return -1;
    const GLuint shader = glCreateShader(kind);
    if (shader == 0) return -1;
    return compile_shader(shader, source, replace);
}

int load_shader(GLenum kind, const char* file, int replace)
{
    if (!shaders_on()) return -1;
    if (!file || !__mFileOps_file_exists(file)) {
        printf("Error: file not found: %s\n", file ? file : "");
        return -1;
    }
    char* source = __mFileOps_create_string_from_file(file);
    if (!source) return -1;
    const int shader = create_shader(kind, source, replace);
    delete[] source;
    return shader;
}

int load_vertex_shader(const char* file, int replace)
{
    return load_shader(GL_VERTEX_SHADER, file, replace);
}

int load_fragment_shader(const char* file, int replace)
{
    return load_shader(GL_FRAGMENT_SHADER, file, replace);
}

int create_vertex_shader(const char* source, int replace)
{
    return create_shader(GL_VERTEX_SHADER, source, replace);
}

int create_fragment_shader(const char* source, int replace)
{
    return create_shader(GL_FRAGMENT_SHADER, source, replace);
}

// An id naming no shader fails the whole link: GL would link without it and
// report success for a program that is not the one asked for.
bool attach_shaders(GLuint program, int16_t count, const int* shaders)
{
    for (int i = 0; i < count; ++i) {
        if (!holds_shader(shaders[i])) {
            printf("Error: Attempt to link shader program with shader id: %i\n", shaders[i]);
            return false;
        }
        glAttachShader(program, shaderList[size_t(shaders[i])]);
    }
    return true;
}

int link_shader_program(int16_t count, int* shaders, int replace)
{
    if (!shaders_on() || (count > 0 && !shaders)) return -1;
    const GLuint program = glCreateProgram();
    if (program == 0) return -1;
    if (!attach_shaders(program, count, shaders)) {
        glDeleteProgram(program);
        return -1;
    }
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) return store_program({program, glGetAttribLocation(program, "tiv_tangent")}, replace);
    printf("Shader link error\n");
    print_program_log(program);
    glDeleteProgram(program);
    return -1;
}

// 0 for an emptied slot, which is neither kind.
GLint shader_kind(int shader)
{
    GLint kind = 0;
    if (holds_shader(shader)) glGetShaderiv(shaderList[size_t(shader)], GL_SHADER_TYPE, &kind);
    return kind;
}

int build_shader_program(int vertex, int fragment, int replace)
{
    if (!shaders_on()) return -1;
    if (!in_list(vertex, shaderList.size())) {
        printf("Error: Attempt to build shader program with vertex shader id: %i\n", vertex);
        return -1;
    }
    if (!in_list(fragment, shaderList.size())) {
        printf("Error: Attempt to build shader program with fragment shader id: %i\n", fragment);
        return -1;
    }
    if (shader_kind(vertex) != GL_VERTEX_SHADER) {
        printf("Error: Specified Vertex shader id (%i) doesn't point to a vertex shader\n", vertex);
        return -1;
    }
    if (shader_kind(fragment) != GL_FRAGMENT_SHADER) {
        printf("Error: Specified Fragment shader id (%i) doesn't point to a fragment shader\n", fragment);
        return -1;
    }
    int pair[2] = {vertex, fragment};
    return link_shader_program(2, pair, replace);
}

int get_uniform_location(int program, const char* name)
{
    if (!shaders_on() || !name || !holds_program(program)) return -1;
    return glGetUniformLocation(programList[size_t(program)].program, name);
}

void use_program(int program)
{
    if (!shaders_on()) return;
    if (program == -1) {
        printf("ERROR: %s\n", "Unused shader sent to use_program function");
        return;
    }
    if (!holds_program(program)) return;
    const ProgramRecord& record = programList[size_t(program)];
    currentProgram = program;
    glUseProgram(record.program);
    device().tangent_location = record.tangent_location;
}

bool delete_shader(int shader)
{
    if (!shaders_on() || !holds_shader(shader)) return false;
    glDeleteShader(shaderList[size_t(shader)]);
    shaderList[size_t(shader)] = 0;
    return true;
}

// The current program id stays: uniforms set later still reach whatever
// program GL has bound.
bool delete_program(int program)
{
    if (!shaders_on() || !holds_program(program)) return false;
    glDeleteProgram(programList[size_t(program)].program);
    programList[size_t(program)] = {0, -1};
    return true;
}

// uniforms

bool uniform_reachable(int location)
{
    return shaders_on() && location != -1 && currentProgram != -1;
}

bool array_reachable(int location, int16_t count, const void* values)
{
    return uniform_reachable(location) && count > 0 && values;
}

// Grows to exactly the elements needed when the array is too small.
GLfloat* float_scratch(int16_t count, int components)
{
    const size_t needed = size_t(count) * size_t(components);
    if (floatScratch.size() < needed) floatScratch = std::vector<GLfloat>(needed);
    return floatScratch.data();
}

GLint* int_scratch(int16_t count, int components)
{
    const size_t needed = size_t(count) * size_t(components);
    if (intScratch.size() < needed) intScratch = std::vector<GLint>(needed);
    return intScratch.data();
}

void set_uniform_1f(int location, float value)
{
    if (uniform_reachable(location)) glUniform1f(location, value);
}

void set_uniform_2f(int location, cVector2D<double>* value)
{
    if (uniform_reachable(location) && value) glUniform2f(location, GLfloat(value->x), GLfloat(value->y));
}

void set_uniform_3f(int location, cVector3D* value)
{
    if (uniform_reachable(location) && value)
        glUniform3f(location, GLfloat(value->x), GLfloat(value->y), GLfloat(value->z));
}

void set_uniform_4f(int location, cColor* value)
{
    if (uniform_reachable(location) && value) glUniform4f(location, value->r, value->g, value->b, value->a);
}

void set_uniform_1i(int location, int value)
{
    if (uniform_reachable(location)) glUniform1i(location, value);
}

void set_uniform_2i(int location, cVector2D<int32_t>* value)
{
    if (uniform_reachable(location) && value) glUniform2i(location, value->x, value->y);
}

void set_uniform_1fv(int location, int16_t count, float* values)
{
    if (!array_reachable(location, count, values)) return;
    GLfloat* out = float_scratch(count, 1);
    for (int i = 0; i < count; ++i) out[i] = values[i];
    glUniform1fv(location, count, out);
}

void set_uniform_2fv(int location, int16_t count, cVector2D<double>* values)
{
    if (!array_reachable(location, count, values)) return;
    GLfloat* out = float_scratch(count, 2);
    for (int i = 0; i < count; ++i) {
        out[2 * i] = GLfloat(values[i].x);
        out[2 * i + 1] = GLfloat(values[i].y);
    }
    glUniform2fv(location, count, out);
}

void set_uniform_3fv(int location, int16_t count, cVector3D* values)
{
    if (!array_reachable(location, count, values)) return;
    GLfloat* out = float_scratch(count, 3);
    for (int i = 0; i < count; ++i) {
        out[3 * i] = GLfloat(values[i].x);
        out[3 * i + 1] = GLfloat(values[i].y);
        out[3 * i + 2] = GLfloat(values[i].z);
    }
    glUniform3fv(location, count, out);
}

void set_uniform_4fv(int location, int16_t count, cColor* values)
{
    if (!array_reachable(location, count, values)) return;
    GLfloat* out = float_scratch(count, 4);
    for (int i = 0; i < count; ++i) {
        out[4 * i] = values[i].r;
        out[4 * i + 1] = values[i].g;
        out[4 * i + 2] = values[i].b;
        out[4 * i + 3] = values[i].a;
    }
    glUniform4fv(location, count, out);
}

void set_uniform_1iv(int location, int16_t count, int32_t* values)
{
    if (!array_reachable(location, count, values)) return;
    GLint* out = int_scratch(count, 1);
    for (int i = 0; i < count; ++i) out[i] = values[i];
    glUniform1iv(location, count, out);
}

void set_uniform_2iv(int location, int16_t count, cVector2D<int32_t>* values)
{
    if (!array_reachable(location, count, values)) return;
    GLint* out = int_scratch(count, 2);
    for (int i = 0; i < count; ++i) {
        out[2 * i] = values[i].x;
        out[2 * i + 1] = values[i].y;
    }
    glUniform2iv(location, count, out);
}

// Each matrix goes column by column, which is GL's own order; the caller's
// transpose flag is passed on as it is.
void set_uniform_matrix3fv(int location, int16_t count, bool transpose, cMatrix3D* values)
{
    if (!array_reachable(location, count, values)) return;
    GLfloat* out = float_scratch(count, 9);
    for (int i = 0; i < count; ++i)
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 3; ++row) out[9 * i + 3 * column + row] = GLfloat(values[i].m[3 * row + column]);
    glUniformMatrix3fv(location, count, transpose ? GL_TRUE : GL_FALSE, out);
}

}  // namespace

void connect_shader_slots(graphics_interface* table)
{
    // shaders and programs
    table->load_vertex_shader = load_vertex_shader;
    table->load_fragment_shader = load_fragment_shader;
    table->create_vertex_shader = create_vertex_shader;
    table->create_fragment_shader = create_fragment_shader;
    table->link_shader_program = link_shader_program;
    table->build_shader_program = build_shader_program;
    table->get_uniform_location = get_uniform_location;
    table->use_program = use_program;
    table->delete_shader = delete_shader;
    table->delete_program = delete_program;
    // uniforms
    table->set_uniform_1f = set_uniform_1f;
    table->set_uniform_2f = set_uniform_2f;
    table->set_uniform_3f = set_uniform_3f;
    table->set_uniform_4f = set_uniform_4f;
    table->set_uniform_1i = set_uniform_1i;
    table->set_uniform_2i = set_uniform_2i;
    table->set_uniform_1fv = set_uniform_1fv;
    table->set_uniform_2fv = set_uniform_2fv;
    table->set_uniform_3fv = set_uniform_3fv;
    table->set_uniform_4fv = set_uniform_4fv;
    table->set_uniform_1iv = set_uniform_1iv;
    table->set_uniform_2iv = set_uniform_2iv;
    table->set_uniform_matrix3fv = set_uniform_matrix3fv;
}

void make_uniform_scratch()
{
    floatScratch.assign(kScratchElements, 0);
    intScratch.assign(kScratchElements, 0);
}

void leave_program()
{
    if (!shaders_on() || currentProgram == -1) return;
    glUseProgram(0);
    currentProgram = -1;
    device().tangent_location = -1;
}

// The program in use is let go first, so GL really frees it.
void release_shaders()
{
    if (currentProgram != -1) glUseProgram(0);
    for (GLuint shader : shaderList)
        if (shader != 0) glDeleteShader(shader);
    for (const ProgramRecord& record : programList)
        if (record.program != 0) glDeleteProgram(record.program);
    shaderList.clear();
    programList.clear();
    currentProgram = -1;
    device().tangent_location = -1;
    std::vector<GLfloat>().swap(floatScratch);
    std::vector<GLint>().swap(intScratch);
}

}  // namespace trellis
