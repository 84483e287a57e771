// Where the image, font and drawing slots meet the graphics table.
#include "platform/drawing.h"

#include <GL/glew.h>

#include "platform/fonts.h"
#include "platform/images.h"

namespace trellis {

void connect_drawing_slots(graphics_interface* table)
{
    // image files and fonts
    table->get_image_format_name = get_image_format_name;
    table->get_image_format_count = get_image_format_count;
    table->import_image = import_image;
    table->export_image = export_image;
    table->open_font = open_font;
    table->render_text = render_text;
    // matrix stack
    table->push_identity = push_identity;
    table->push_translate_2d = push_translate_2d;
    table->push_translate = push_translate;
    table->push_scale_uniform = push_scale_uniform;
    table->push_scale = push_scale;
    table->push_mirror_x = push_mirror_x;
    table->push_mirror_y = push_mirror_y;
    table->push_rotate = push_rotate;
    table->push_transform = push_transform;
    table->pop_matrix = glPopMatrix;
    // render state
    table->set_material = set_material;
    table->bind_texture = bind_texture;
    table->set_light = set_light;
    table->enable_alpha_blending = enable_alpha_blending;
    table->enable_inverse_multiply_blending = enable_inverse_multiply_blending;
    table->enable_additive_blending = enable_additive_blending;
    table->disable_blending = disable_blending;
    table->set_line_width = set_line_width;
    table->set_lighting = set_lighting;
    table->set_depth_test = set_depth_test;
    // immediate-mode primitives
    table->draw_textured_triangle = draw_textured_triangle;
    table->draw_line = draw_line;
    table->draw_rectangle_outline = draw_rectangle_outline;
    table->draw_filled_circle = draw_filled_circle;
    table->draw_circle_outline = draw_circle_outline;
    table->draw_rotated_triangle = draw_rotated_triangle;
    table->draw_panel = draw_panel;
    table->draw_textured_rectangle = draw_textured_rectangle;
    table->draw_glyph_text = draw_glyph_text;
    table->draw_triangles_2d = draw_triangles_2d;
    table->draw_lines_3d = draw_lines_3d;
    table->draw_triangles_tangent = draw_triangles_tangent;
    table->render_tris = render_tris;
}

}  // namespace trellis
