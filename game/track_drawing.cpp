// The track on screen: its shader sets, textures and models loaded once,
// the two ribbon meshes uploaded once per track, and each frame the rings in
// the hue of the race clock and the finish-line marker.
#include <cmath>
#include <cstdio>
#include <string>

#include "base/bitmap.h"
#include "base/color.h"
#include "base/constants.h"
#include "base/modules.h"
#include "game/models.h"
#include "game/ribbon_renderer.h"
#include "game/track.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"

DSParray<ctShaderSet> trackShaderSets(false);

namespace {

enum TrackTexture { kBlack, kRingTopSpecular, kRingTopSelfIllum, kRingSideSelfIllum, kFinishLine, kTrackTextureCount };

int trackTextures[kTrackTextureCount] = {};

const char* const kTexturePaths[kTrackTextureCount] = {
    nullptr,
    "data/zorblitRally/ring_top_specular.png",
    "data/zorblitRally/ring_top_selfillum.png",
    "data/zorblitRally/ring_side_selfillum.png",
    "data/zorblitRally/extraModel/finishline.png",
};

constexpr float kHueCycleSeconds = 42.0f;
constexpr double kMarkerLift = 0.5;
constexpr double kMarkerScale = 2.0;
constexpr uint16_t kBlackSize = 4;

graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

bool shaders_available()
{
    graphics_interface* table = graphics();
    return table && table->shaders_available();
}

uint16_t held_id(int id)
{
    return id < 0 || id >= 65535 ? 65535 : uint16_t(id);
}

int make_black_texture(graphics_interface* table)
{
    uint16_t width = kBlackSize, height = kBlackSize;
    uint8_t* pixels = nullptr;
    __cBitmap_init(int16_t(width), int16_t(height), &pixels);
    const int id = table->create_texture(&width, &height, pixels, false, false, false, -1, nullptr);
    delete[] pixels;
    return id;
}

// A texture that did not load is drawn as the module's white texture.
int loaded_or_white(int id)
{
    return id < 0 ? 0 : id;
}

void load_track_textures()
{
    for (int& id : trackTextures) id = 0;
    modGraphics* module = __mGraphics_instance();
    if (!module->interface_table) return;
    trackTextures[kBlack] = loaded_or_white(make_black_texture(module->interface_table));
    for (int k = kRingTopSpecular; k < kTrackTextureCount; ++k)
        trackTextures[k] = loaded_or_white(module->textures->load_texture(kTexturePaths[k], true, true, false));
}

cMaterial& ring_material()
{
    static cMaterial material(cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(1, 1, 1, 1), cColor(1, 1, 1, 1), 40);
    return material;
}

cMaterial& base_material()
{
    static cMaterial material(cColor(0.4f, 0.4f, 0.4f, 1), cColor(0.6f, 0.6f, 0.6f, 1), cColor(0.3f, 0.3f, 0.3f, 1),
                              cColor(0, 0, 0, 1), 6);
    return material;
}

cMaterial& pole_material()
{
    static cMaterial material(cColor(0.4f, 0.4f, 0.4f, 1), cColor(0.3f, 0.3f, 0.3f, 1), cColor(1, 1, 1, 1),
                              cColor(0, 0, 0, 1), 40);
    return material;
}

cLight* track_shader_light()
{
    static cLight light = defaultLight;
    return &light;
}

ctShaderSet* track_set(uint32_t index)
{
    ctShaderSet* set = trackShaderSets.get(index);
    if (!set && shaders_available()) set = get_default_shader_set();
    return set;
}

ctRendererSetup track_setup(uint32_t set, DSarray<int32_t>* textures, cMaterial* material, uint8_t additive)
{
    ctRendererSetup setup;
    setup.shaders = track_set(set);
    setup.textures = textures;
    setup.material = material;
    setup.shader_light = track_shader_light();
    setup.additive = additive;
    return setup;
}

// The fixed pipeline samples one texture only, the first: there the rings
// take their glow map alone, which is what the unlit program adds up too.
DSarray<int32_t> ring_textures(TrackTexture specular, TrackTexture self_illum)
{
    DSarray<int32_t> textures;
    if (!shaders_available()) {
        textures.add(trackTextures[self_illum]);
        return textures;
    }
    textures.add(trackTextures[kBlack]);
    if (specular != kBlack) textures.add(trackTextures[specular]);
    textures.add(trackTextures[self_illum]);
    return textures;
}

}  // namespace

void load_track_assets(bool skip_textures)
{
    trackShaderSets.insert(create_material_shader_set(true, false, true));
    trackShaderSets.insert(create_material_shader_set(false, false, true));
    trackShaderSets.insert(create_material_shader_set(false, false, false));
    if (skip_textures)
        for (int& id : trackTextures) id = 0;
    else
        load_track_textures();
    load_extra_models();
}

czrRibbonRenderer::czrRibbonRenderer(const ctRendererSetup* setup, const czrTrackMesh& ribbon)
    : ctRenderer(setup), ribbon(ribbon)
{
    graphics_interface* table = graphics();
    if (!table || ribbon.triangle_count() == 0) return;
    ModelDataStruct model = model_data();
    if (table->vbos_available()) vbo_id = held_id(table->create_vbo(&model, -1));
    if (vbo_id != kNoId || !table->display_lists_available()) return;
    table->set_material(material);
    display_list_id = held_id(table->create_display_list());
    if (display_list_id == kNoId) return;
    table->begin_display_list(display_list_id);
    table->render_tris(&model);
    table->end_display_list();
}

czrRibbonRenderer::~czrRibbonRenderer()
{
    graphics_interface* table = graphics();
    if (!table) return;
    if (vbo_id != kNoId) table->unload_vbo(vbo_id);
    if (display_list_id != kNoId) table->delete_display_list(display_list_id);
}

// The corner indices are the track's unsigned ones, read as the signed ints
// the module takes (the counts stay far below 2^31).
ModelDataStruct czrRibbonRenderer::model_data() const
{
    czrTrackMesh& arrays = const_cast<czrTrackMesh&>(ribbon);
    return __mGraphics_build_model_data_struct(
        arrays.vertices.data(), int32_t(arrays.vertices.size()), arrays.normals.data(), int32_t(arrays.normals.size()),
        arrays.uvs.data(), int32_t(arrays.uvs.size()), nullptr, 0,
        reinterpret_cast<int32_t*>(arrays.vertex_indices.data()), reinterpret_cast<int32_t*>(arrays.normal_indices.data()),
        reinterpret_cast<int32_t*>(arrays.uv_indices.data()), nullptr, int32_t(arrays.triangle_count()));
}

void czrRibbonRenderer::draw_geometry()
{
    graphics_interface* table = graphics();
    if (!table || ribbon.triangle_count() == 0) return;
    if (vbo_id != kNoId) {
        table->render_vbo(vbo_id);
    } else if (display_list_id != kNoId) {
        table->call_display_list(display_list_id);
    } else {
        ModelDataStruct model = model_data();
        table->render_tris(&model);
    }
}

czrTrack::~czrTrack() = default;

void czrTrack::build_renderers()
{
    DSarray<int32_t> top_textures = ring_textures(kRingTopSpecular, kRingTopSelfIllum);
    DSarray<int32_t> side_textures = ring_textures(kBlack, kRingSideSelfIllum);
    DSarray<int32_t> finish_textures;
    finish_textures.add(trackTextures[kFinishLine]);
    const ctRendererSetup top = track_setup(0, &top_textures, &ring_material(), 1);
    const ctRendererSetup side = track_setup(1, &side_textures, &ring_material(), 1);
    const ctRendererSetup base = track_setup(2, &finish_textures, &base_material(), 0);
    const ctRendererSetup pole = track_setup(2, &finish_textures, &pole_material(), 0);
    ring_top_renderer.reset(new czrRibbonRenderer(&top, ring_top_mesh));
    ring_side_renderer.reset(new czrRibbonRenderer(&side, ring_side_mesh));
    base_renderer.reset(new ctRendererMesh(&base, finishLineMeshSet.find_mesh("base")));
    pole_renderer.reset(new ctRendererMesh(&pole, finishLineMeshSet.find_mesh("pole")));
}

void czrTrack::draw(float race_time, DSParray<cLight>* lights)
{
    graphics_interface* table = graphics();
    if (!table) return;
    float whole = 0;
    const float hue = std::modf(race_time / kHueCycleSeconds, &whole);
    const float saturation = 1.0f;
    cColor glow;
    __nsColor_hue_function(&glow, &hue, &saturation);
    cMaterial ring(cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(1, 1, 1, 1), glow, 40);
    for (czrRibbonRenderer* renderer : {ring_top_renderer.get(), ring_side_renderer.get()}) {
        renderer->material = &ring;
        renderer->lights = lights;
        draw_renderer(renderer);
        renderer->material = &ring_material();
    }
    cVector3D marker = node(0).position + cVector3D(0, kMarkerLift, 0);
    table->push_translate(&marker);
    table->push_scale_uniform(kMarkerScale);
    for (ctRendererMesh* renderer : {base_renderer.get(), pole_renderer.get()}) {
        renderer->lights = lights;
        draw_renderer(renderer);
    }
    table->pop_matrix();
    table->pop_matrix();
}
