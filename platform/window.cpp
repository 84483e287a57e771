// Opening and closing the window, the end of a frame, the splash, the clear
// colour, ambient light and fog, the viewport, both projections and point
// projection. Window y counts from the top; GL's from the bottom.
#include "platform/window.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/angles.h"
#include "base/color.h"
#include "platform/buffers.h"
#include "platform/device.h"
#include "platform/drawing.h"
#include "platform/fonts.h"
#include "platform/shaders.h"
#include "platform/x11.h"

namespace trellis {

namespace {

Device theDevice;

void warn(const std::string& text)
{
    printf("WARNING: %s\n", text.c_str());
}

int32_t clamped_int32(double value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return int32_t(value);
}

void set_gl_attributes()
{
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

bool detect_capability(bool wanted, const char* version, const char* missing_message)
{
    if (!wanted) return false;
    if (glewIsSupported(version)) return true;
    warn(missing_message);
    return false;
}

void set_up_pipeline()
{
    if (!theDevice.shaders) {
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_NORMALIZE);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glClearColor(0, 0, 0, 1);
    const GLfloat white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Undoes whatever a failed open_window made, so nothing is left half made.
bool abandon_open_quietly()
{
    theDevice.window_open = false;
    if (theDevice.ttf_started) TTF_Quit();
    theDevice.ttf_started = false;
    x11_forget_window();
    return false;
}

// The usual first-start trouble: no display at all, or one that is not running.
bool abandon_without_video()
{
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (!driver || strcmp(driver, "x11") == 0)
        printf("ERROR: %s\n", x11_no_display_message().c_str());
    else
        printf("ERROR: The video driver \"%s\" could not start: %s\n", driver, SDL_GetError());
    return abandon_open_quietly();
}

bool abandon_open(const std::string& message)
{
    warn(message);
    return abandon_open_quietly();
}

void pop_projection_matrix()
{
    if (!theDevice.projection_pushed) return;
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    theDevice.projection_pushed = false;
}

// Viewport y of a rectangle given from the top-left.
GLint gl_row(int y, int height)
{
    return GLint(theDevice.height) - y - height;
}

void draw_splash_rectangle(int width, int height)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, theDevice.width, theDevice.height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    cColor white(1, 1, 1, 1);
    draw_textured_rectangle(0, 0, width, height, 0, 0, 1, 1, &white, false, false, 1, 1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void read_matrices(GLdouble modelview[16], GLdouble projection[16], GLint viewport[4])
{
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
}

int clamped(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

Device& device()
{
    return theDevice;
}

void apply_camera_transform(const cVector3D& position, const cMatrix3D& rotation)
{
    const double* m = rotation.m;
    const GLdouble columns[16] = {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, 0, 0, 0, 1};
    glMultMatrixd(columns);
    glTranslated(-position.x, -position.y, -position.z);
}

int show_splash(int texture, int width, int height)
{
    if (!theDevice.window_open) return 0;
    glClear(GL_COLOR_BUFFER_BIT);
    if (theDevice.shaders) glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture_gl_name(texture));
    draw_splash_rectangle(width, height);
    glFlush();
    SDL_GL_SwapBuffers();
    return 0;
}

bool shaders_available()
{
    return theDevice.shaders;
}

bool vbos_available()
{
    return theDevice.vbos;
}

bool display_lists_available()
{
    return theDevice.display_lists;
}

bool get_frame_flag()
{
    return theDevice.frame_flag;
}

void set_frame_flag(bool flag)
{
    theDevice.frame_flag = flag;
}

bool open_window(uint16_t width, uint16_t height, bool fullscreen, bool shaders, bool vbos, bool display_lists)
{
    if (theDevice.window_open) close_window();
    make_uniform_scratch();
    // SDL's GL attributes need its video up; without a display it never comes.
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) return abandon_without_video();
    set_gl_attributes();
    theDevice.width = width;
    theDevice.height = height;
    // The material tints what the window draws: a new window starts from the
    // default one, as the first did.
    theDevice.material = cMaterial();
    if (!SDL_SetVideoMode(width, height, 32, SDL_OPENGL | (fullscreen ? SDL_FULLSCREEN : 0)))
        return abandon_open("Could not set video mode");

    GLint max_lights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &max_lights);
    theDevice.max_lights = max_lights;
    glewInit();
    theDevice.display_lists = display_lists;
    theDevice.shaders = detect_capability(shaders, "GL_VERSION_2_0", "OpenGL 2.0 not supported - shaders disabled");
    theDevice.vbos = detect_capability(vbos, "GL_VERSION_1_5", "OpenGL 1.5 not supported - VBOs disabled");

    if (TTF_Init() < 0) return abandon_open(std::string("TTF_Init: ") + SDL_GetError());
    theDevice.ttf_started = true;
    if (!x11_bind_window()) return abandon_open("could not get wmInfo");
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    x11_accept_dropped_files();
    if (!start_texture_loader()) return abandon_open("Could not start the texture loader");

    set_up_pipeline();
    if (make_white_texture() != 0) warn("Texture zero has non-zero value");
    return true;
}

// The loader goes first: it must not upload into a table being released,
// and its context must be gone before any later SDL_SetVideoMode.
void close_window()
{
    if (!theDevice.window_open) return;
    stop_texture_loader();
    pop_projection_matrix();
    close_fonts();
    if (theDevice.ttf_started) TTF_Quit();
    theDevice.ttf_started = false;
    release_textures();
    release_shaders();
    release_vbos();
    x11_forget_window();
}

void set_window_position(cVector2D<int32_t>* position)
{
    if (position) x11_move_window(position->x, position->y);
}

void end_frame(void*, FrameStatistics* stats)
{
    if (stats) {
        stats->frames += 1;
        stats->draw_calls = theDevice.counters.draw_calls;
        stats->vertices = theDevice.counters.vertices;
        stats->triangles = theDevice.counters.triangles;
        stats->vbo_draws = theDevice.counters.vbo_draws;
        stats->display_list_calls = theDevice.counters.display_list_calls;
    }
    theDevice.counters = FrameCounters();
    if (!theDevice.window_open) return;
    leave_program();
    if (!theDevice.skip_next_swap) {
        glFlush();
        SDL_GL_SwapBuffers();
    }
    theDevice.skip_next_swap = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void set_clear_color(cColor* color)
{
    if (color) glClearColor(color->r, color->g, color->b, 1);
}

void set_ambient_light(cColor* color)
{
    if (!color) return;
    const GLfloat ambient[4] = {color->r * color->a, color->g * color->a, color->b * color->a, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

void set_fog(cColor* color, float* density, float* start, float* end)
{
    if (!color || !density || !start || !end) return;
    const GLfloat fog_color[4] = {color->r * color->a, color->g * color->a, color->b * color->a, 1};
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fog_color);
    glFogf(GL_FOG_DENSITY, *density);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, *start);
    glFogf(GL_FOG_END, *end);
}

void set_depth_range(double near_plane, double far_plane)
{
    theDevice.near_plane = near_plane;
    theDevice.far_plane = far_plane;
    glDepthRange(near_plane, far_plane);
}

void get_depth_range(double* near_plane, double* far_plane)
{
    if (near_plane) *near_plane = theDevice.near_plane;
    if (far_plane) *far_plane = theDevice.far_plane;
}

void project_point(cVector2D<int32_t>* window, cVector3D* world)
{
    if (!window || !world) return;
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    read_matrices(modelview, projection, viewport);
    GLdouble x = 0, y = 0, z = 0;
    if (gluProject(world->x, world->y, world->z, modelview, projection, viewport, &x, &y, &z) != GL_TRUE) return;
    window->x = clamped_int32(x);
    window->y = clamped_int32(double(theDevice.height) - y);
}

// The depth comes from the pixel row under the point (clamped to the
// window); where nothing can be read it stays at the far value 1.
int unproject_point(cVector3D* world, cVector2D<int32_t>* window)
{
    if (!world || !window) return GL_FALSE;
    GLfloat depth = 1.0f;
    if (theDevice.window_open && theDevice.width > 0 && theDevice.height > 0) {
        const int column = clamped(window->x, 0, theDevice.width - 1);
        const int row = clamped(int(theDevice.height) - 1 - window->y, 0, theDevice.height - 1);
        glReadPixels(column, row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    }
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    read_matrices(modelview, projection, viewport);
    GLdouble x = 0, y = 0, z = 0;
    const int result = gluUnProject(window->x, double(theDevice.height) - window->y, depth, modelview, projection,
                                    viewport, &x, &y, &z);
    if (result == GL_TRUE) *world = cVector3D(x, y, z);
    return result;
}

void set_viewport(double x, double y, double width, double height, uint16_t reference_width,
                  uint16_t window_height, bool scale)
{
    glViewport(clamped_int32(x), clamped_int32(window_height - (y + height)), clamped_int32(width),
               clamped_int32(height));
    if (scale && width != 0 && height != 0) glScaled(reference_width / width, window_height / height, 1);
}

void set_perspective(uint16_t x, uint16_t y, uint16_t width, uint16_t height, double* fov_degrees,
                     cVector3D* camera_position, cMatrix3D* camera_rotation)
{
    if (!fov_degrees || !camera_position || !camera_rotation) return;
    pop_projection_matrix();
    glViewport(x, gl_row(y, height), width, height);

    const double aspect = height ? double(width) / height : 1.0;
    const double h = tan(*fov_degrees / 360.0 * kPi);
    const double near_plane = theDevice.near_plane;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-h * near_plane * aspect, h * near_plane * aspect, -h * near_plane, h * near_plane, near_plane,
              theDevice.far_plane);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    apply_camera_transform(*camera_position, *camera_rotation);
    theDevice.camera_position = *camera_position;
    theDevice.camera_rotation = *camera_rotation;

    glFrontFace(GL_CCW);
    theDevice.projection_pushed = true;
}

void set_orthographic(int16_t x, int16_t y, int16_t width, int16_t height)
{
    pop_projection_matrix();
    glViewport(x, gl_row(y, height), width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(0, height, 0);
    glScaled(1, -1, 1);
    glFrontFace(GL_CW);
    theDevice.projection_pushed = true;
}

}  // namespace trellis
