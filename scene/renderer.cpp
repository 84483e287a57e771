// The pass sequence and the fixed shapes. Everything reaches the GPU through
// the graphics table.
#include "scene/renderer.h"

#include <cstdio>

#include "base/light.h"
#include "base/modules.h"
#include "scene/primitives.h"
#include "scene/shader_set.h"
#include "scene/transform.h"

namespace {

constexpr uint32_t kMaxFixedLights = 8;

graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

int16_t texture_count_of(const DSarray<int32_t>* textures)
{
    if (!textures) return 0;
    return textures->count() > 32767 ? int16_t(32767) : int16_t(textures->count());
}

int32_t* copied_ids(const DSarray<int32_t>* textures, int16_t count)
{
    int32_t* ids = new int32_t[size_t(count) + 1];
    for (int16_t i = 0; i < count; ++i) ids[i] = textures->get(uint32_t(i));
    return ids;
}

uint32_t light_count(const DSParray<cLight>* lights)
{
    return lights ? lights->count() : 0;
}

// Blending of the passes: the first alpha-blends (unless the renderer adds
// throughout), every later one adds onto it.
struct PassBlending {
    bool additive_due;

    void after_pass(graphics_interface* table)
    {
        if (!additive_due) return;
        table->enable_additive_blending();
        additive_due = false;
    }
};

void draw_fixed_function(ctRenderer* renderer, graphics_interface* table)
{
    int kind = 0;
    renderer->bind(&kind);
    const uint32_t count = light_count(renderer->lights);
    if (count > 0) {
        for (uint32_t i = 0; i < count && i < kMaxFixedLights; ++i)
            table->set_light(int16_t(i), renderer->lights->get(i));
    } else if (renderer->use_shader_light) {
        table->set_light(0, renderer->shader_light);
    }
    renderer->draw_geometry();
}

void draw_light_list(ctRenderer* renderer, graphics_interface* table, PassBlending* blending)
{
    DSParray<cLight>* lights = renderer->lights;
    uint32_t per_kind[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < light_count(lights); ++i)
        if (const cLight* light = lights->get(i)) per_kind[get_light_kind(light)] += 1;
    for (int kind = 1; kind <= 3; ++kind) {
        if (per_kind[kind] == 0 || renderer->get_program(&kind) == -1) continue;
        renderer->bind(&kind);
        for (uint32_t i = 0; i < lights->count(); ++i) {
            cLight* light = lights->get(i);
            if (!light || get_light_kind(light) != kind) continue;
            table->set_light(0, light);
            renderer->draw_geometry();
            blending->after_pass(table);
        }
    }
}

// A renderer without a set still draws its base pass, with no program of its
// own and no light passes.
void draw_with_shaders(ctRenderer* renderer, graphics_interface* table, PassBlending* blending)
{
    int unlit = 0;
    if (!renderer->shaders || renderer->get_program(&unlit) != -1) {
        renderer->bind(&unlit);
        renderer->draw_geometry();
        blending->after_pass(table);
    }
    if (!renderer->shaders) return;
    if (renderer->use_shader_light && renderer->shader_light) {
        int kind = get_light_kind(renderer->shader_light);
        if (renderer->get_program(&kind) == -1) return;
        renderer->bind(&kind);
        table->set_light(0, renderer->shader_light);
        renderer->draw_geometry();
        return;
    }
    if (light_count(renderer->lights) > 0) draw_light_list(renderer, table, blending);
}

ModelDataStruct model_of(cVector3D* vertices, int32_t vertex_count, cVector3D* normals, int32_t normal_count,
                         cVector2D<double>* uvs, int32_t uv_count, int32_t* vertex_indices, int32_t* shared_indices,
                         int32_t triangles)
{
    return __mGraphics_build_model_data_struct(vertices, vertex_count, normals, normal_count, uvs, uv_count, nullptr,
                                               0, vertex_indices, shared_indices, shared_indices, nullptr,
                                               triangles);
}

// the fixed shapes

cVector3D quadVertices[4] = {{1, -1, 0}, {-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}};
cVector3D quadNormals[4] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
cVector2D<double> quadUvs[4] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
int32_t quadIndices[6] = {2, 1, 0, 2, 0, 3};

cVector3D cubeCorners[8] = {{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1},
                            {-1, -1, 1},  {1, -1, 1},  {-1, 1, 1},  {1, 1, 1}};
cVector3D cubeNormals[24] = {{-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {1, 0, 0},  {1, 0, 0},
                             {1, 0, 0},  {1, 0, 0},  {0, 1, 0},  {0, 1, 0},  {0, 1, 0},  {0, 1, 0},
                             {0, -1, 0}, {0, -1, 0}, {0, -1, 0}, {0, -1, 0}, {0, 0, 1},  {0, 0, 1},
                             {0, 0, 1},  {0, 0, 1},  {0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
cVector2D<double> cubeUvs[24] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 1},
                                 {0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 1},
                                 {0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 1}};
int32_t cubeVertexIndices[36] = {6, 2, 0, 6, 0, 4, 1, 3, 7, 7, 5, 1, 7, 3, 2, 7, 2, 6,
                                 0, 1, 5, 0, 5, 4, 7, 6, 4, 7, 4, 5, 2, 3, 1, 2, 1, 0};
int32_t cubeFaceIndices[36] = {1,  0,  2,  1,  2,  3,  7,  5,  4,  4,  6,  7,  11, 9,  8,  11, 8,  10,
                               12, 13, 15, 12, 15, 14, 17, 16, 18, 17, 18, 19, 21, 20, 22, 21, 22, 23};
int32_t invertedCubeVertexIndices[36] = {6, 0, 2, 6, 4, 0, 1, 7, 3, 7, 1, 5, 7, 2, 3, 7, 6, 2,
                                         0, 5, 1, 0, 4, 5, 7, 4, 6, 7, 5, 4, 2, 1, 3, 2, 0, 1};
int32_t invertedCubeFaceIndices[36] = {1,  2,  0,  1,  3,  2,  7,  4,  5,  4,  7,  6,  11, 8,  9,  11, 10, 8,
                                       12, 15, 13, 12, 14, 15, 17, 18, 16, 17, 19, 18, 21, 22, 20, 21, 23, 22};

}  // namespace

ctRenderer::ctRenderer(const ctRendererSetup* setup)
    : shaders(setup->shaders), texture_count(texture_count_of(setup->textures)),
      texture_ids(copied_ids(setup->textures, texture_count)), material(setup->material), lights(setup->lights),
      shader_light(setup->shader_light), use_shader_light(setup->use_shader_light), additive(setup->additive)
{
}

ctRenderer::~ctRenderer()
{
    delete[] texture_ids;
}

void ctRenderer::bind(int* kind)
{
    graphics_interface* table = graphics();
    if (table->shaders_available()) {
        const int program = get_program(kind);
        if (program != -1) __mGraphics_instance()->shaders->use_program(program);
    }
    for (int16_t i = 0; i < texture_count; ++i) table->bind_texture(texture_ids[i], uint16_t(i));
    if (cMaterial* applied = get_material()) table->set_material(applied);
}

ctShaderSet* ctRenderer::get_shader_set()
{
    return shaders;
}

int ctRenderer::get_program(int* kind)
{
    if (!shaders) return -1;
    switch (*kind) {
    case 1: return shaders->program_ids.y;
    case 2: return shaders->program_ids.z;
    case 3: return shaders->program_ids.w;
    default: return shaders->program_ids.x;
    }
}

int32_t ctRenderer::get_texture(int16_t index)
{
    return index >= 0 && index < texture_count ? texture_ids[index] : 0;
}

int16_t ctRenderer::get_texture_count()
{
    return texture_count;
}

cMaterial* ctRenderer::get_material()
{
    return material;
}

void draw_renderer(ctRenderer* renderer)
{
    graphics_interface* table = graphics();
    if (!renderer || !table) return;
    PassBlending blending = {renderer->additive == 0};
    if (renderer->additive == 0)
        table->enable_alpha_blending();
    else
        table->enable_additive_blending();
    if (!table->shaders_available())
        draw_fixed_function(renderer, table);
    else
        draw_with_shaders(renderer, table, &blending);
    table->disable_blending();
}

void ctRendererQuad::draw_geometry()
{
    ModelDataStruct model = model_of(quadVertices, 4, quadNormals, 4, quadUvs, 4, quadIndices, quadIndices, 2);
    graphics()->render_tris(&model);
}

ctRendererCube::ctRendererCube(const ctRendererSetup* setup, bool inverted) : ctRenderer(setup), inverted(inverted)
{
}

void ctRendererCube::draw_geometry()
{
    int32_t* vertex_indices = inverted ? invertedCubeVertexIndices : cubeVertexIndices;
    int32_t* face_indices = inverted ? invertedCubeFaceIndices : cubeFaceIndices;
    ModelDataStruct model = model_of(cubeCorners, 8, cubeNormals, 24, cubeUvs, 24, vertex_indices, face_indices, 12);
    graphics()->render_tris(&model);
}

ctRendererSphere::ctRendererSphere(const ctRendererSetup* setup, uint32_t segments, uint32_t rings, bool inverted)
    : ctRenderer(setup), inverted(inverted), segments(segments), rings(rings)
{
    if (segments == 0 || rings == 0) printf("ERROR: %s\n", "A sphere needs at least one ring and one segment");
}

void ctRendererSphere::draw_geometry()
{
    if (segments == 0 || rings == 0) return;
    ctSphereData* sphere = primitive_registry().sphere(rings, segments, inverted != 0);
    if (!sphere) return;
    if (sphere->vbo_id != 65535) {
        graphics()->render_vbo(sphere->vbo_id);
        return;
    }
    ModelDataStruct model = sphere->model_data();
    graphics()->render_tris(&model);
}

void draw_sphere(ctTransform* object, const ctRendererSetup* setup, uint32_t segments, uint32_t rings)
{
    if (!object || !setup) return;
    object->begin_transform();
    ctRendererSphere sphere(setup, segments, rings);
    draw_renderer(&sphere);
    object->end_transform();
}
