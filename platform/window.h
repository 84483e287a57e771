// The window, its GL contexts, the texture table and the frame: the device
// half of the graphics table.
#pragma once

#include <cstdint>

#include "base/graphics_interface.h"

namespace trellis {

// window and frame
int show_splash(int texture, int width, int height);
bool shaders_available();
bool vbos_available();
bool display_lists_available();
bool get_frame_flag();
void set_frame_flag(bool flag);
bool open_window(uint16_t width, uint16_t height, bool fullscreen, bool shaders, bool vbos, bool display_lists);
void close_window();
void set_window_position(cVector2D<int32_t>* position);
void end_frame(void* ignored, FrameStatistics* stats);
void set_clear_color(cColor* color);
void set_ambient_light(cColor* color);
void set_fog(cColor* color, float* density, float* start, float* end);

// textures: id 0 is the white texture made by open_window
int create_texture(uint16_t* width, uint16_t* height, uint8_t* rgba, bool linear, bool mipmaps, bool clamp,
                   int replace, TextureDoneCallback done);
bool delete_texture(int texture);
// Hands a copy of the pixels to the loader thread and returns the new id at
// once; the id draws white until the upload is done, then the callback runs
// on the loader thread.
int queue_texture_load(uint16_t width, uint16_t height, const uint8_t* rgba, bool linear, bool mipmaps,
                       bool clamp, TextureDoneCallback done);
// True from queue_texture_load until the loader has emptied its queue.
bool texture_loads_pending();

// depth range, projections and points; window y counts from the top
void set_depth_range(double near_plane, double far_plane);
void get_depth_range(double* near_plane, double* far_plane);
void project_point(cVector2D<int32_t>* window, cVector3D* world);
int unproject_point(cVector3D* world, cVector2D<int32_t>* window);
void set_viewport(double x, double y, double width, double height, uint16_t reference_width,
                  uint16_t window_height, bool scale);
void set_perspective(uint16_t x, uint16_t y, uint16_t width, uint16_t height, double* fov_degrees,
                     cVector3D* camera_position, cMatrix3D* camera_rotation);
void set_orthographic(int16_t x, int16_t y, int16_t width, int16_t height);

}  // namespace trellis
