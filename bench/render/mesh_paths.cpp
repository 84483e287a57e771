// One frame of 16 lit, textured meshes of 2,000 triangles each, drawn with
// the default shader set and one light (an unlit pass and a light pass per
// mesh), once with the meshes in vertex buffers and once in display lists.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "base/light.h"
#include "base/matrix.h"
#include "base/modules.h"
#include "base/plugin.h"
#include "base/strings.h"
#include "base/trigonometry.h"
#include "bench/support/timing.h"
#include "scene/mesh.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;
constexpr int kMeshes = 16;
constexpr uint32_t kRings = 25;
constexpr uint32_t kSegments = 40;  // 2 * 25 * 40 = 2,000 triangles

// A unit sphere as a mesh: every corner its own normal and UV.
std::unique_ptr<ctMesh> sphere_mesh()
{
    auto mesh = std::make_unique<ctMesh>();
    const uint32_t side = kSegments + 1, count = (kRings + 1) * side;
    mesh->allocate(count, count, count, 2 * kRings * kSegments);
    for (uint32_t i = 0; i <= kRings; ++i)
        for (uint32_t k = 0; k <= kSegments; ++k) {
            const double theta = 180.0 * i / kRings, phi = 360.0 * k / kSegments;
            const cVector3D p(cosTD(phi) * sinTD(theta), sinTD(phi) * sinTD(theta), cosTD(theta));
            mesh->vertices[i * side + k] = p;
            mesh->normals[i * side + k] = p;
            mesh->uvs[i * side + k] = cVector2D<double>(double(k) / kSegments, double(i) / kRings);
        }
    uint32_t* out[3] = {mesh->vertex_indices, mesh->normal_indices, mesh->uv_indices};
    for (uint32_t i = 0; i < kRings; ++i)
        for (uint32_t k = 0; k < kSegments; ++k) {
            const uint32_t p = i * side + k, q = p + side;
            for (uint32_t index : {p, q, p + 1, p + 1, q, q + 1})
                for (uint32_t*& list : out) *list++ = index;
        }
    return mesh;
}

int checker_texture(graphics_interface* graphics)
{
    std::vector<uint8_t> pixels(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t shade = ((x / 8 + y / 8) % 2) ? 230 : 60;
            uint8_t* p = &pixels[size_t(y * 64 + x) * 4];
            p[0] = shade;
            p[1] = shade;
            p[2] = 255;
            p[3] = 255;
        }
    uint16_t w = 64, h = 64;
    return graphics->create_texture(&w, &h, pixels.data(), true, false, false, -1, nullptr);
}

// Seconds a frame of the scene takes with the window opened this way.
double frame_seconds(bool vbos, const ctMesh* mesh, bool* path_ok)
{
    graphics_interface* graphics = __mGraphics_instance()->interface_table;
    if (!graphics->open_window(kWidth, kHeight, false, true, vbos, true)) return 0;
    DSarray<int32_t> textures;
    textures.add(checker_texture(graphics));
    cMaterial material(cColor(0.3f, 0.3f, 0.3f, 1), cColor(1, 1, 1, 1), cColor(0.5f, 0.5f, 0.5f, 1),
                       cColor(0, 0, 0, 1), 20);
    cLight light;
    light.direction = cVector3D(0.4, 0.6, 1);
    DSParray<cLight> lights(true);
    lights.insert(&light);
    ctRendererSetup setup;
    setup.shaders = get_default_shader_set();
    setup.textures = &textures;
    setup.material = &material;
    setup.lights = &lights;
    std::vector<std::unique_ptr<ctRendererMesh>> renderers;
    for (int i = 0; i < kMeshes; ++i)
        renderers.push_back(std::make_unique<ctRendererMesh>(&setup, const_cast<ctMesh*>(mesh)));
    *path_ok = vbos ? renderers[0]->vbo_id != 65535 : renderers[0]->display_list_id != 65535;

    double fov = 45, near_plane = 0.1, far_plane = 100;
    cVector3D camera(0, 0, 10);
    cMatrix3D rotation;
    cColor black(0, 0, 0, 1);
    float density = 0, start = 0, end = 1000;
    auto frame = [&] {
        graphics->set_depth_range(near_plane, far_plane);
        graphics->set_perspective(0, 0, kWidth, kHeight, &fov, &camera, &rotation);
        graphics->set_fog(&black, &density, &start, &end);
        graphics->set_depth_test(true);
        for (int i = 0; i < kMeshes; ++i) {
            cVector3D place(-3.3 + 2.2 * (i % 4), -3.3 + 2.2 * (i / 4), 0);
            graphics->push_translate(&place);
            draw_renderer(renderers[size_t(i)].get());
            graphics->pop_matrix();
        }
        glFinish();
        graphics->end_frame(nullptr, nullptr);
    };
    const double seconds = median_seconds(frame, 21);
    renderers.clear();
    const RoutedMessage close = {__mystring_hash("CloseGraphics"), 0, 0};
    __messageRouter_post_message(&__mGraphics_instance()->mailboxes, &close);
    graphics->close_window();
    return seconds;
}

}  // namespace

int main()
{
    if (chdir(ZR_GAME_DIR) != 0) return 1;
    __mCore_open();
    __init_trig_tables();
    if (!__mGraphics_instance()->interface_table) {
        printf("ERROR: %s\n", "no graphics module");
        return 1;
    }
    const std::unique_ptr<ctMesh> mesh = sphere_mesh();
    bool buffers_used = false, lists_used = false;
    const double with_buffers = frame_seconds(true, mesh.get(), &buffers_used);
    const double with_lists = frame_seconds(false, mesh.get(), &lists_used);
    if (!buffers_used || !lists_used) printf("WARNING: %s\n", "a path fell back; the figures compare less than they say");
    print_ratio("16 lit textured 2k-triangle meshes, VBOs", with_buffers, "s a frame", with_lists,
                "s with display lists");
    __clear_trig_tables();
    return 0;
}
