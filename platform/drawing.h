// The drawing half of the graphics table: the matrix stack, render state,
// immediate-mode primitives, glyph text and triangle lists. Primitives add
// to the frame's counters that end_frame hands out.
#pragma once

#include <cstdint>

#include "base/graphics_interface.h"

namespace trellis {

// Fills the image, font and drawing slots (13-16, 18, 19, 21-30, 54-63, 69-81).
void connect_drawing_slots(graphics_interface* table);

// matrix stack: each push pairs with one pop (slot 30 is glPopMatrix)
void push_identity();
void push_translate_2d(double x, double y);
void push_translate(cVector3D* offset);
void push_scale_uniform(double scale);
void push_scale(cVector3D* scale);
void push_mirror_x();
void push_mirror_y();
void push_rotate(double degrees);
void push_transform(cMatrix3D* rotation);

// render state
void set_material(cMaterial* material);
void bind_texture(int texture, uint16_t unit);
void set_light(int16_t number, cLight* light);
void enable_alpha_blending();
void enable_inverse_multiply_blending();
void enable_additive_blending();
void disable_blending();
void set_line_width(double width);
void set_lighting(bool on);
void set_depth_test(bool on);

// 2D primitives in window pixels, 3D ones in world space
void draw_textured_triangle(int x1, int y1, double u1, double v1, int x2, int y2, double u2, double v2, int x3,
                            int y3, double u3, double v3, cColor* c1, cColor* c2, cColor* c3);
void draw_line(int x1, int y1, int x2, int y2, cColor* color);
void draw_rectangle_outline(int x, int y, int width, int height, cColor* color);
void draw_filled_circle(int x, int y, int radius_x, int radius_y, int segments, cColor* color);
void draw_circle_outline(int x, int y, int radius_x, int radius_y, int segments, cColor* color);
void draw_rotated_triangle(int x, int y, int width, int height, cColor* color, float angle);
void draw_panel(int x, int y, int width, int height, int t1, int t2, int t3, int t4, cColor* c1, cColor* c2,
                cColor* c3, cColor* c4);
void draw_textured_rectangle(int x, int y, int width, int height, int cell_x, int cell_y, int cells_across,
                             int cells_down, cColor* color, bool flip_u, bool flip_v, double u_size, double v_size);
void draw_glyph_text(int x, int y, cVector2D<int32_t>* glyph_size, cVector2D<int32_t>* advance, const char* text,
                     cColor* color, int cursor, bool centred, bool underscores_as_spaces, bool grey, bool masked);
void draw_triangles_2d(cVector2D<int32_t>* points, cVector2D<double>* uvs, cColor* colors, int16_t* indices,
                       int count, cColor* color);
void draw_lines_3d(cVector3D* a, cVector3D* b, cVector2D<double>* uv_a, cVector2D<double>* uv_b, cColor* color_a,
                   cColor* color_b);
void draw_triangles_tangent(cVector3D* p1, cVector3D* n1, cVector2D<double>* uv1, cColor* c1, cVector3D* p2,
                            cVector3D* n2, cVector2D<double>* uv2, cColor* c2, cVector3D* p3, cVector3D* n3,
                            cVector2D<double>* uv3, cColor* c3);
void render_tris(ModelDataStruct* model);

// Shared by the drawing files: one draw call of so many vertices and triangles.
void count_draw(int vertices, int triangles);

}  // namespace trellis
