// The matrix stack and render state: material, texture binding, lights,
// blending, line width, lighting and depth switches.
#include <GL/glew.h>

#include "base/light.h"
#include "base/matrix.h"
#include "platform/device.h"
#include "platform/drawing.h"

namespace trellis {

namespace {

// GL has the units GL_TEXTURE0 .. GL_TEXTURE31.
constexpr uint16_t kTextureUnitLimit = 32;

void set_material_color(GLenum which, const cColor& color)
{
    const GLfloat values[4] = {color.r, color.g, color.b, color.a};
    glMaterialfv(GL_FRONT_AND_BACK, which, values);
}

void set_light_color(GLenum light, GLenum which, const cColor& color, float intensity)
{
    const GLfloat values[4] = {color.r * intensity, color.g * intensity, color.b * intensity, color.a * intensity};
    glLightfv(light, which, values);
}

void set_light_vector(GLenum light, GLenum which, const cVector3D& v, float w)
{
    const GLfloat values[4] = {GLfloat(v.x), GLfloat(v.y), GLfloat(v.z), w};
    glLightfv(light, which, values);
}

// Lights are given in world space: place them under the camera alone.
void load_camera()
{
    glLoadIdentity();
    apply_camera_transform(device().camera_position, device().camera_rotation);
}

void place_light(GLenum id, const cLight& light)
{
    const bool spot = light.spot_cutoff != 180.0f && light.spot_cutoff != 0.0f;
    const bool point = light.direction.x == 0 && light.direction.y == 0 && light.direction.z == 0;
    if (spot) {
        set_light_vector(id, GL_POSITION, light.position, 1);
        set_light_vector(id, GL_SPOT_DIRECTION, light.direction, 0);
    } else if (point) {
        set_light_vector(id, GL_POSITION, light.position, 1);
    } else {
        set_light_vector(id, GL_POSITION, light.direction, 0);
    }
}

void switch_light_on(GLenum id, const cLight& light)
{
    glEnable(id);
    set_light_color(id, GL_DIFFUSE, light.diffuse, light.intensity);
    set_light_color(id, GL_SPECULAR, light.specular, light.intensity);
    set_light_color(id, GL_AMBIENT, light.ambient, light.intensity);
    place_light(id, light);
    glLightf(id, GL_SPOT_CUTOFF, light.spot_cutoff);
    glLightf(id, GL_SPOT_EXPONENT, light.spot_exponent);
    glLightf(id, GL_CONSTANT_ATTENUATION, light.constant_attenuation);
    glLightf(id, GL_LINEAR_ATTENUATION, light.linear_attenuation);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light.quadratic_attenuation);
}

void switch_light_off(GLenum id)
{
    const GLfloat black[4] = {0, 0, 0, 0};
    glDisable(id);
    glLightfv(id, GL_AMBIENT, black);
    glLightfv(id, GL_SPECULAR, black);
    glLightfv(id, GL_DIFFUSE, black);
}

void enable_blending(GLenum source, GLenum destination)
{
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
}

}  // namespace

void push_identity()
{
    glPushMatrix();
    glLoadIdentity();
}

void push_translate_2d(double x, double y)
{
    glPushMatrix();
    glTranslated(x, y, 0);
}

void push_translate(cVector3D* offset)
{
    glPushMatrix();
    if (offset) glTranslated(offset->x, offset->y, offset->z);
}

void push_scale_uniform(double scale)
{
    glPushMatrix();
    glScaled(scale, scale, scale);
}

void push_scale(cVector3D* scale)
{
    glPushMatrix();
    if (scale) glScaled(scale->x, scale->y, scale->z);
}

void push_mirror_x()
{
    glPushMatrix();
    glScaled(-1, 1, 1);
}

void push_mirror_y()
{
    glPushMatrix();
    glScaled(1, -1, 1);
}

void push_rotate(double degrees)
{
    glPushMatrix();
    glRotated(degrees, 0, 0, 1);
}

// GL's column k is the matrix's column k.
void push_transform(cMatrix3D* rotation)
{
    glPushMatrix();
    if (!rotation) return;
    const double* m = rotation->m;
    const GLdouble columns[16] = {m[0], m[3], m[6], 0, m[1], m[4], m[7], 0, m[2], m[5], m[8], 0, 0, 0, 0, 1};
    glMultMatrixd(columns);
}

void set_material(cMaterial* material)
{
    if (!material) return;
    device().material = *material;
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
    set_material_color(GL_AMBIENT, material->ambient);
    set_material_color(GL_DIFFUSE, material->diffuse);
    set_material_color(GL_SPECULAR, material->specular);
    set_material_color(GL_EMISSION, material->emission);
}

// An id that is unknown or deleted binds texture 0.
void bind_texture(int texture, uint16_t unit)
{
    Device& d = device();
    if (!d.shaders && unit != 0) return;
    if (unit >= kTextureUnitLimit) return;
    const GLuint name = texture_gl_name(texture);
    if (d.shaders) glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, name);
}

void set_light(int16_t number, cLight* light)
{
    if (number < 0 || number >= device().max_lights) return;
    const GLenum id = GL_LIGHT0 + GLenum(number);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    load_camera();
    if (light)
        switch_light_on(id, *light);
    else
        switch_light_off(id);
    glPopMatrix();
}

void enable_alpha_blending()
{
    enable_blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void enable_inverse_multiply_blending()
{
    enable_blending(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
}

void enable_additive_blending()
{
    enable_blending(GL_SRC_ALPHA, GL_ONE);
}

void disable_blending()
{
    glDisable(GL_BLEND);
}

void set_line_width(double width)
{
    glLineWidth(GLfloat(width));
}

void set_lighting(bool on)
{
    if (device().shaders) return;
    if (on)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}

void set_depth_test(bool on)
{
    if (on)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

}  // namespace trellis
