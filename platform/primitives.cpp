// Immediate-mode primitives: 2D shapes in window pixels (the orthographic
// space leaves y running down, so shapes wind clockwise on screen), 3D lines
// and triangles, and triangle lists from a model's arrays.
#include <GL/glew.h>

#include <cstdio>
#include <utility>

#include "base/color.h"
#include "base/trigonometry.h"
#include "platform/device.h"
#include "platform/drawing.h"
#include "platform/tangent.h"

namespace trellis {

namespace {

constexpr double kTwoPi = 6.283185307179586;

void apply_color(const cColor* color)
{
    if (color) glColor4f(color->r, color->g, color->b, color->a);
}

void corner(int x, int y, double u, double v)
{
    glTexCoord2d(u, v);
    glVertex2i(x, y);
}

struct RimPoint {
    double x, y, u, v;
};

RimPoint rim_point(int x, int y, int radius_x, int radius_y, int k, int segments)
{
    const double angle = k * kTwoPi / segments;
    const double c = cosTR(angle), s = sinTR(angle);
    return {x + c * radius_x, y + s * radius_y, c * 0.5 + 0.5, s * 0.5 + 0.5};
}

void rim_vertex(const RimPoint& p)
{
    glTexCoord2d(p.u, p.v);
    glVertex2d(p.x, p.y);
}

// The sub-rectangle of one cell of a sheet; a count below 1 counts as 1.
void cell_uvs(int cell, int cells, double* low, double* high)
{
    if (cells < 1) cells = 1;
    *low = double(cell) / cells;
    *high = double(cell + 1) / cells;
}

void panel_pass(const int corners[4][2], int centre_x, int centre_y, int side, const cColor& color)
{
    static const double kCornerUvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_TRIANGLES);
    for (int edge = 0; edge < 4; ++edge) {
        const float lit = edge == side ? 1.0f : 0.0f;
        for (int k = 0; k < 2; ++k) {
            const int c = (edge + k) % 4;
            glColor4f(color.r * lit, color.g * lit, color.b * lit, color.a * lit);
            corner(corners[c][0], corners[c][1], kCornerUvs[c][0], kCornerUvs[c][1]);
        }
        glColor4f(color.r * 0.25f, color.g * 0.25f, color.b * 0.25f, color.a * 0.25f);
        corner(centre_x, centre_y, 0.5, 0.5);
    }
    glEnd();
    count_draw(12, 4);
}

void vertex_3d(const cVector3D& p)
{
    glVertex3d(p.x, p.y, p.z);
}

void optional_uv(const cVector2D<double>* uv)
{
    if (uv) glTexCoord2d(uv->x, uv->y);
}

void optional_normal(const cVector3D* n)
{
    if (n) glNormal3d(n->x, n->y, n->z);
}

// What a triangle list sends besides positions.
struct ModelParts {
    bool textured;  // uv triples given: UVs, normals and colours go too
    bool colored;
    bool with_normals;
    bool tangents;
    cColor tint;  // multiplies per-corner colours without shaders
};

ModelParts parts_of(const ModelDataStruct& model)
{
    const Device& d = device();
    ModelParts parts;
    parts.textured = model.uv_indices != nullptr;
    parts.colored = parts.textured && model.colors && model.color_indices;
    parts.with_normals = parts.textured && model.normals && model.normal_indices;
    parts.tangents = d.shaders && d.tangent_location >= 0 && parts.textured && model.uvs && model.normals;
    parts.tint = d.shaders ? cColor(1, 1, 1, 1) : d.material.diffuse;
    return parts;
}

bool triple_inside(const int32_t* indices, int32_t triangle, int32_t count)
{
    for (int k = 0; k < 3; ++k) {
        const int32_t index = indices[3 * triangle + k];
        if (index < 0 || index >= count) return false;
    }
    return true;
}

bool triangle_inside(const ModelDataStruct& model, const ModelParts& parts, int32_t t)
{
    if (!triple_inside(model.vertex_indices, t, model.vertex_count)) return false;
    if (!parts.textured) return true;
    if (!triple_inside(model.uv_indices, t, model.uvs ? model.uv_count : 0)) return false;
    if (parts.colored && !triple_inside(model.color_indices, t, model.color_count)) return false;
    return !parts.with_normals || triple_inside(model.normal_indices, t, model.normal_count);
}

void send_tangent(const ModelDataStruct& model, int32_t t)
{
    const int32_t* v = &model.vertex_indices[3 * t];
    const int32_t* uv = &model.uv_indices[3 * t];
    const cVector3D tangent = triangle_tangent(model.vertices[v[0]], model.vertices[v[1]], model.vertices[v[2]],
                                               model.uvs[uv[0]], model.uvs[uv[1]], model.uvs[uv[2]]);
    glVertexAttrib3d(GLuint(device().tangent_location), tangent.x, tangent.y, tangent.z);
}

void send_model_corner(const ModelDataStruct& model, const ModelParts& parts, int32_t t, int k)
{
    if (parts.textured) {
        if (parts.colored) {
            const cColor& c = model.colors[model.color_indices[3 * t + k]];
            glColor4f(c.r * parts.tint.r, c.g * parts.tint.g, c.b * parts.tint.b, c.a * parts.tint.a);
        }
        const cVector2D<double>& uv = model.uvs[model.uv_indices[3 * t + k]];
        glTexCoord2d(uv.x, uv.y);
        if (parts.with_normals)
            optional_normal(&model.normals[model.normal_indices[3 * t + k]]);
        else
            glNormal3d(0, 0, 1);
    }
    vertex_3d(model.vertices[model.vertex_indices[3 * t + k]]);
}

bool model_drawable(const ModelDataStruct* model)
{
    if (!model) return false;
    if (!model->vertices) {
        printf("Error: render_tris called with null vertex list\n");
        return false;
    }
    if (!model->vertex_indices) {
        printf("Error: render_tris called with null vertex tri list\n");
        return false;
    }
    return model->triangle_count > 0;
}

}  // namespace

void count_draw(int vertices, int triangles)
{
    FrameCounters& counters = device().counters;
    counters.draw_calls += 1;
    counters.vertices += vertices;
    counters.triangles += triangles;
}

void draw_textured_triangle(int x1, int y1, double u1, double v1, int x2, int y2, double u2, double v2, int x3,
                            int y3, double u3, double v3, cColor* c1, cColor* c2, cColor* c3)
{
    glBegin(GL_TRIANGLES);
    apply_color(c1);
    corner(x1, y1, u1, v1);
    apply_color(c2);
    corner(x2, y2, u2, v2);
    apply_color(c3);
    corner(x3, y3, u3, v3);
    glEnd();
    count_draw(3, 1);
}

void draw_line(int x1, int y1, int x2, int y2, cColor* color)
{
    apply_color(color);
    glBegin(GL_LINES);
    corner(x1, y1, 0, 0);
    corner(x2, y2, 1, 1);
    glEnd();
    count_draw(2, 0);
}

void draw_rectangle_outline(int x, int y, int width, int height, cColor* color)
{
    const int corners[4][3] = {{x, y, 0}, {x + width, y, 1}, {x + width, y + height, 2}, {x, y + height, 3}};
    static const double kUvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    apply_color(color);
    glBegin(GL_LINES);
    for (int k = 0; k < 4; ++k) {
        const int* a = corners[k];
        const int* b = corners[(k + 1) % 4];
        corner(a[0], a[1], kUvs[a[2]][0], kUvs[a[2]][1]);
        corner(b[0], b[1], kUvs[b[2]][0], kUvs[b[2]][1]);
    }
    glEnd();
    count_draw(8, 0);
}

void draw_filled_circle(int x, int y, int radius_x, int radius_y, int segments, cColor* color)
{
    if (segments < 1) return;
    apply_color(color);
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2d(0.5, 0.5);
    glVertex2i(x, y);
    for (int k = 0; k <= segments; ++k) rim_vertex(rim_point(x, y, radius_x, radius_y, k, segments));
    glEnd();
    count_draw(segments + 1, segments - 1);
}

void draw_circle_outline(int x, int y, int radius_x, int radius_y, int segments, cColor* color)
{
    if (segments < 1) return;
    apply_color(color);
    glBegin(GL_LINES);
    for (int k = 0; k < segments; ++k) {
        rim_vertex(rim_point(x, y, radius_x, radius_y, k, segments));
        rim_vertex(rim_point(x, y, radius_x, radius_y, k + 1, segments));
    }
    glEnd();
    count_draw(2 * segments, 0);
}

void draw_rotated_triangle(int x, int y, int width, int height, cColor* color, float angle)
{
    const double w = width * 0.5, h = height * 0.5;
    glPushMatrix();
    glTranslated(x, y, 0);
    glRotated(angle, 0, 0, 1);
    apply_color(color);
    glBegin(GL_TRIANGLES);
    glTexCoord2d(0.5, 0);
    glVertex2d(0, h);
    glTexCoord2d(0, 1);
    glVertex2d(-w, -h);
    glTexCoord2d(1, 1);
    glVertex2d(w, -h);
    glEnd();
    glPopMatrix();
    count_draw(3, 1);
}

// One pass a side, each with its own texture: the pass's side is lit in its
// colour, the other edges fade to black, the centre holds a quarter of it.
void draw_panel(int x, int y, int width, int height, int t1, int t2, int t3, int t4, cColor* c1, cColor* c2,
                cColor* c3, cColor* c4)
{
    const int corners[4][2] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    const int textures[4] = {t1, t2, t3, t4};
    const cColor* colors[4] = {c1, c2, c3, c4};
    const cColor white(1, 1, 1, 1);
    for (int side = 0; side < 4; ++side) {
        bind_texture(textures[side], 0);
        panel_pass(corners, x + width / 2, y + height / 2, side, colors[side] ? *colors[side] : white);
    }
}

void draw_textured_rectangle(int x, int y, int width, int height, int cell_x, int cell_y, int cells_across,
                             int cells_down, cColor* color, bool flip_u, bool flip_v, double u_size, double v_size)
{
    double u0 = 0, u1 = u_size, v0 = 0, v1 = v_size;
    if (u_size == 0 || v_size == 0) {
        cell_uvs(cell_x, cells_across, &u0, &u1);
        cell_uvs(cell_y, cells_down, &v0, &v1);
    }
    if (flip_u) std::swap(u0, u1);
    if (flip_v) std::swap(v0, v1);
    apply_color(color);
    glBegin(GL_QUADS);
    corner(x, y, u0, v0);
    corner(x + width, y, u1, v0);
    corner(x + width, y + height, u1, v1);
    corner(x, y + height, u0, v1);
    glEnd();
    count_draw(4, 2);
}

// Triples holding a negative index are skipped.
void draw_triangles_2d(cVector2D<int32_t>* points, cVector2D<double>* uvs, cColor* colors, int16_t* indices,
                       int count, cColor* color)
{
    if (!points || !indices || count <= 0) return;
    apply_color(color);
    int drawn = 0;
    glBegin(GL_TRIANGLES);
    for (int t = 0; t < count; ++t) {
        const int16_t* triple = &indices[3 * t];
        if (triple[0] < 0 || triple[1] < 0 || triple[2] < 0) continue;
        for (int k = 0; k < 3; ++k) {
            if (colors) apply_color(&colors[triple[k]]);
            if (uvs) glTexCoord2d(uvs[triple[k]].x, uvs[triple[k]].y);
            glVertex2i(points[triple[k]].x, points[triple[k]].y);
        }
        ++drawn;
    }
    glEnd();
    count_draw(3 * drawn, 0);
}

void draw_lines_3d(cVector3D* a, cVector3D* b, cVector2D<double>* uv_a, cVector2D<double>* uv_b, cColor* color_a,
                   cColor* color_b)
{
    if (!a || !b) return;
    glBegin(GL_LINES);
    glNormal3d(0, 0, 0);
    apply_color(color_a);
    optional_uv(uv_a);
    vertex_3d(*a);
    apply_color(color_b);
    optional_uv(uv_b);
    vertex_3d(*b);
    glEnd();
    count_draw(2, 0);
}

void draw_triangles_tangent(cVector3D* p1, cVector3D* n1, cVector2D<double>* uv1, cColor* c1, cVector3D* p2,
                            cVector3D* n2, cVector2D<double>* uv2, cColor* c2, cVector3D* p3, cVector3D* n3,
                            cVector2D<double>* uv3, cColor* c3)
{
    if (!p1 || !p2 || !p3) return;
    const Device& d = device();
    glBegin(GL_TRIANGLES);
    if (d.shaders && d.tangent_location >= 0 && uv1 && uv2 && uv3) {
        const cVector3D tangent = triangle_tangent(*p1, *p2, *p3, *uv1, *uv2, *uv3);
        glVertexAttrib3d(GLuint(d.tangent_location), tangent.x, tangent.y, tangent.z);
    }
    cVector3D* points[3] = {p1, p2, p3};
    cVector3D* normals[3] = {n1, n2, n3};
    cVector2D<double>* uvs[3] = {uv1, uv2, uv3};
    cColor* colors[3] = {c1, c2, c3};
    for (int k = 0; k < 3; ++k) {
        apply_color(colors[k]);
        optional_uv(uvs[k]);
        optional_normal(normals[k]);
        vertex_3d(*points[k]);
    }
    glEnd();
    count_draw(3, 1);
}

void render_tris(ModelDataStruct* model)
{
    if (!model_drawable(model)) return;
    const ModelParts parts = parts_of(*model);
    if (!parts.colored) apply_color(&parts.tint);
    int32_t drawn = 0;
    glBegin(GL_TRIANGLES);
    for (int32_t t = 0; t < model->triangle_count; ++t) {
        if (!triangle_inside(*model, parts, t)) continue;
        if (parts.tangents) send_tangent(*model, t);
        for (int k = 0; k < 3; ++k) send_model_corner(*model, parts, t, k);
        ++drawn;
    }
    glEnd();
    count_draw(3 * drawn, drawn);
}

}  // namespace trellis
