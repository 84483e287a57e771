// The graphics interface table: 93 plain function slots, filled by the
// platform plug-in's connect_graphics_interface. Slot order is the contract.
#pragma once

#include <cstdint>
#include "base/value_types_fwd.h"

// Counters of the last ended frame, filled by end_frame.
struct FrameStatistics {
    int32_t frames;
    int32_t draw_calls;
    int32_t vertices;
    int32_t triangles;
    int32_t vbo_draws;
    int32_t display_list_calls;
};

// One mesh's arrays and counts for slots 81-83. Index arrays hold one int32
// triple per triangle.
struct ModelDataStruct {
    cVector3D* vertices;
    cVector3D* normals;  // null gives a default normal
    cVector2D<double>* uvs;
    cColor* colors;  // null keeps the current colour
    int32_t* vertex_indices;
    int32_t* normal_indices;
    int32_t* uv_indices;
    int32_t* color_indices;
    int32_t vertex_count;
    int32_t normal_count;
    int32_t uv_count;
    int32_t color_count;
    int32_t triangle_count;
};

using TextureDoneCallback = void (*)(int32_t texture_index);

struct graphics_interface {
    // window and frame
    int (*show_splash)(int texture, int width, int height);          // 0: clear, draw texture over the window, swap
    bool (*shaders_available)();                                      // 1: shading-language programs usable
    bool (*vbos_available)();                                         // 2: vertex buffers usable
    bool (*display_lists_available)();                                // 3: display lists enabled at opening
    bool (*get_frame_flag)();                                         // 4: the flag stored by slot 5
    void (*set_frame_flag)(bool flag);                                // 5: stores a flag for the caller
    bool (*open_window)(uint16_t width, uint16_t height, bool fullscreen, bool shaders, bool vbos,
                        bool display_lists);                          // 6: window and drawing context
    void (*close_window)();                                           // 7: frees every GL object, closes
    void (*set_window_position)(cVector2D<int32_t>* position);       // 8: moves the window
    void (*end_frame)(void* ignored, FrameStatistics* stats);         // 9: fills stats, swaps, clears
    void (*set_clear_color)(cColor* color);                           // 10: alpha forced to 1
    void (*set_ambient_light)(cColor* color);                         // 11: rgb times alpha
    void (*set_fog)(cColor* color, float* density, float* start, float* end);  // 12: linear fog
    // image files and fonts
    const char* (*get_image_format_name)(int index);                  // 13: extension of format index
    int (*get_image_format_count)();                                  // 14: number of formats (7)
    void (*import_image)(const char* path, uint16_t* width, uint16_t* height, uint8_t** rgba);  // 15: new RGBA array
    bool (*export_image)(const char* path, uint16_t width, uint16_t height, uint8_t* rgba);     // 16: ".bmp" or ".png"
    // textures
    int (*create_texture)(uint16_t* width, uint16_t* height, uint8_t* rgba, bool linear, bool mipmaps, bool clamp,
                          int replace, TextureDoneCallback done); // 17: -1 appends; returns the id
    int (*open_font)(const char* file, uint16_t point_size);          // 18: font id or -1
    int (*render_text)(const char* text, int font, uint16_t* width, uint16_t* height);  // 19: texture id or -1
    bool (*delete_texture)(int texture);                              // 20: refuses 0 and below
    // matrix stack: each push pairs with one pop_matrix
    void (*push_identity)();                                          // 21
    void (*push_translate_2d)(double x, double y);                    // 22
    void (*push_translate)(cVector3D* offset);                        // 23
    void (*push_scale_uniform)(double scale);                         // 24
    void (*push_scale)(cVector3D* scale);                             // 25
    void (*push_mirror_x)();                                          // 26
    void (*push_mirror_y)();                                          // 27
    void (*push_rotate)(double degrees);                              // 28: about z
    void (*push_transform)(cMatrix3D* rotation);                      // 29
    void (*pop_matrix)();                                             // 30
    // shaders and programs
    int (*load_vertex_shader)(const char* file, int replace);         // 31: shader id or -1
    int (*load_fragment_shader)(const char* file, int replace);       // 32
    int (*create_vertex_shader)(const char* source, int replace);     // 33
    int (*create_fragment_shader)(const char* source, int replace);   // 34
    int (*link_shader_program)(int16_t count, int* shaders, int replace);  // 35: program id or -1
    int (*build_shader_program)(int vertex, int fragment, int replace);    // 36: checks ids, then slot 35
    int (*get_uniform_location)(int program, const char* name);       // 37: -1 when none
    void (*use_program)(int program);                                 // 38: -1 = fixed function
    bool (*delete_shader)(int shader);                                // 39
    bool (*delete_program)(int program);                              // 40
    void (*set_uniform_1f)(int location, float value);                // 41
    void (*set_uniform_2f)(int location, cVector2D<double>* value);   // 42
    void (*set_uniform_3f)(int location, cVector3D* value);           // 43
    void (*set_uniform_4f)(int location, cColor* value);              // 44
    void (*set_uniform_1i)(int location, int value);                  // 45
    void (*set_uniform_2i)(int location, cVector2D<int32_t>* value);  // 46
    void (*set_uniform_1fv)(int location, int16_t count, float* values);              // 47
    void (*set_uniform_2fv)(int location, int16_t count, cVector2D<double>* values);  // 48
    void (*set_uniform_3fv)(int location, int16_t count, cVector3D* values);          // 49
    void (*set_uniform_4fv)(int location, int16_t count, cColor* values);             // 50
    void (*set_uniform_1iv)(int location, int16_t count, int32_t* values);            // 51
    void (*set_uniform_2iv)(int location, int16_t count, cVector2D<int32_t>* values); // 52
    void (*set_uniform_matrix3fv)(int location, int16_t count, bool transpose, cMatrix3D* values);  // 53
    // render state
    void (*set_material)(cMaterial* material);                        // 54
    void (*bind_texture)(int texture, uint16_t unit);                 // 55
    void (*set_light)(int16_t number, cLight* light);                 // 56: null switches it off
    void (*enable_alpha_blending)();                                  // 57: src alpha, 1 - src alpha
    void (*enable_inverse_multiply_blending)();                       // 58: zero, 1 - src colour
    void (*enable_additive_blending)();                               // 59: src alpha, one
    void (*disable_blending)();                                       // 60
    void (*set_line_width)(double width);                             // 61
    void (*set_lighting)(bool on);                                    // 62
    void (*set_depth_test)(bool on);                                  // 63
    void (*set_depth_range)(double near_plane, double far_plane);     // 64: kept for slot 65
    void (*get_depth_range)(double* near_plane, double* far_plane);   // 65
    void (*project_point)(cVector2D<int32_t>* window, cVector3D* world);   // 66: y from the top
    int (*unproject_point)(cVector3D* world, cVector2D<int32_t>* window);  // 67: at the buffer's depth
    void (*set_viewport)(double x, double y, double width, double height, uint16_t reference_width,
                         uint16_t window_height, bool scale);         // 68: top-left origin
    // immediate-mode primitives
    void (*draw_textured_triangle)(int x1, int y1, double u1, double v1, int x2, int y2, double u2, double v2,
                                   int x3, int y3, double u3, double v3, cColor* c1, cColor* c2,
                                   cColor* c3);                        // 69
    void (*draw_line)(int x1, int y1, int x2, int y2, cColor* color); // 70
    void (*draw_rectangle_outline)(int x, int y, int width, int height, cColor* color);  // 71
    void (*draw_filled_circle)(int x, int y, int radius_x, int radius_y, int segments, cColor* color);   // 72
    void (*draw_circle_outline)(int x, int y, int radius_x, int radius_y, int segments, cColor* color);  // 73
    void (*draw_rotated_triangle)(int x, int y, int width, int height, cColor* color, float angle);     // 74
    void (*draw_panel)(int x, int y, int width, int height, int t1, int t2, int t3, int t4, cColor* c1,
                       cColor* c2, cColor* c3, cColor* c4);           // 75: four textured parts
    void (*draw_textured_rectangle)(int x, int y, int width, int height, int cell_x, int cell_y, int cells_across,
                                    int cells_down, cColor* color, bool flip_u, bool flip_v, double u_size,
                                    double v_size);                    // 76: one cell of a sheet
    void (*draw_glyph_text)(int x, int y, cVector2D<int32_t>* glyph_size, cVector2D<int32_t>* advance,
                            const char* text, cColor* color, int cursor, bool centred, bool underscores_as_spaces,
                            bool grey, bool masked);                   // 77: cursor -1 = none
    void (*draw_triangles_2d)(cVector2D<int32_t>* points, cVector2D<double>* uvs, cColor* colors,
                              int16_t* indices, int count, cColor* color);  // 78: uvs, colors may be null
    void (*draw_lines_3d)(cVector3D* a, cVector3D* b, cVector2D<double>* uv_a, cVector2D<double>* uv_b,
                          cColor* color_a, cColor* color_b);           // 79: each may be null
    void (*draw_triangles_tangent)(cVector3D* p1, cVector3D* n1, cVector2D<double>* uv1, cColor* c1,
                                   cVector3D* p2, cVector3D* n2, cVector2D<double>* uv2, cColor* c2,
                                   cVector3D* p3, cVector3D* n3, cVector2D<double>* uv3, cColor* c3);  // 80
    void (*render_tris)(ModelDataStruct* model);                      // 81
    // vertex buffers
    int (*create_vbo)(ModelDataStruct* model, int replace);           // 82: VBO id
    int (*update_vbo)(int vbo, ModelDataStruct* model);               // 83: triangle count must match
    int (*render_vbo)(int vbo);                                       // 84
    bool (*unload_vbo)(int vbo);                                      // 85
    // projections
    void (*set_perspective)(uint16_t x, uint16_t y, uint16_t width, uint16_t height, double* fov_degrees,
                            cVector3D* camera_position, cMatrix3D* camera_rotation);  // 86
    void (*set_orthographic)(int16_t x, int16_t y, int16_t width, int16_t height);   // 87: y runs down
    // display lists
    int (*create_display_list)();                                     // 88: -1 when lists are off
    void (*begin_display_list)(int list);                             // 89
    void (*end_display_list)();                                       // 90
    void (*delete_display_list)(int list);                            // 91
    void (*call_display_list)(uint16_t list);                         // 92
};

static_assert(sizeof(graphics_interface) == 93 * sizeof(void*), "graphics_interface has 93 slots");
