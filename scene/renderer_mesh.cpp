// Mesh renderers: the mesh goes to the GPU once and is drawn by id.
#include "base/light.h"
#include "base/modules.h"
#include "scene/mesh.h"
#include "scene/renderer.h"

namespace {

constexpr uint16_t kNone = 65535;

graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

uint16_t held_id(int id)
{
    return id < 0 || id >= kNone ? kNone : uint16_t(id);
}

}  // namespace

ctRendererMesh::ctRendererMesh(const ctRendererSetup* setup, ctMesh* mesh, DSarray<int16_t>* vbo_pool)
    : ctRenderer(setup), mesh(mesh), vbo_id(kNone), display_list_id(kNone), vbo_pool(vbo_pool)
{
    graphics_interface* table = graphics();
    if (!mesh || !table) return;
    if (table->vbos_available()) upload_to_buffer();
    // A buffer that could not be made falls back to a display list.
    if (vbo_id == kNone && table->display_lists_available()) record_display_list();
}

ctRendererMesh::~ctRendererMesh()
{
    graphics_interface* table = graphics();
    if (vbo_id != kNone) {
        if (vbo_pool)
            vbo_pool->add(int16_t(vbo_id));
        else if (table)
            table->unload_vbo(vbo_id);
    }
    if (display_list_id != kNone && table) table->delete_display_list(display_list_id);
}

// A pooled id is taken as it is, without another upload.
void ctRendererMesh::upload_to_buffer()
{
    if (vbo_pool && vbo_pool->count() > 0) {
        vbo_id = held_id(vbo_pool->get(0));
        vbo_pool->remove(0);
        return;
    }
    ModelDataStruct model;
    mesh->build_model_data(&model);
    vbo_id = held_id(graphics()->create_vbo(&model, -1));
}

// The material's colour is part of what the list records, and so are the
// tangents, which go only to a program that takes them: the lit one.
void ctRendererMesh::record_display_list()
{
    graphics_interface* table = graphics();
    cMaterial plain;
    table->set_material(material ? material : &plain);
    int lit = 1;
    if (table->shaders_available() && get_program(&lit) != -1) table->use_program(get_program(&lit));
    display_list_id = held_id(table->create_display_list());
    if (display_list_id == kNone) return;
    ModelDataStruct model;
    mesh->build_model_data(&model);
    table->begin_display_list(display_list_id);
    table->render_tris(&model);
    table->end_display_list();
}

void ctRendererMesh::draw_geometry()
{
    graphics_interface* table = graphics();
    if (!mesh || !table) return;
    if (vbo_id != kNone) {
        table->render_vbo(vbo_id);
    } else if (display_list_id != kNone) {
        table->call_display_list(display_list_id);
    } else {
        ModelDataStruct model;
        mesh->build_model_data(&model);
        table->render_tris(&model);
    }
}
