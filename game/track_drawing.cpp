// The track on screen: its shader sets, textures and models loaded once,
// the two ribbon meshes made and uploaded once per track, and each frame the
// rings in the hue of the race clock and the finish-line marker.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "base/bitmap.h"
#include "base/color.h"
#include "base/constants.h"
#include "base/modules.h"
#include "game/models.h"
#include "scene/mesh.h"
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

// The ribbon's arrays as the one mesh record the renderers draw.
void fill_mesh(ctMesh& mesh, const czrTrackMesh& ribbon, const char* name)
{
    mesh.set_name(name);
    mesh.allocate(uint32_t(ribbon.vertices.size()), uint32_t(ribbon.normals.size()), uint32_t(ribbon.uvs.size()),
                  ribbon.triangle_count());
    std::copy(ribbon.vertices.begin(), ribbon.vertices.end(), mesh.vertices);
    std::copy(ribbon.normals.begin(), ribbon.normals.end(), mesh.normals);
    std::copy(ribbon.uvs.begin(), ribbon.uvs.end(), mesh.uvs);
    std::copy(ribbon.vertex_indices.begin(), ribbon.vertex_indices.end(), mesh.vertex_indices);
    std::copy(ribbon.normal_indices.begin(), ribbon.normal_indices.end(), mesh.normal_indices);
    std::copy(ribbon.uv_indices.begin(), ribbon.uv_indices.end(), mesh.uv_indices);
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
    ring_top.reset(new ctMesh);
    ring_side.reset(new ctMesh);
    fill_mesh(*ring_top, ring_top_mesh, "ring top");
    fill_mesh(*ring_side, ring_side_mesh, "ring side");
    ring_top_renderer.reset(new ctRendererMesh(&top, ring_top.get()));
    ring_side_renderer.reset(new ctRendererMesh(&side, ring_side.get()));
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
    for (ctRendererMesh* renderer : {ring_top_renderer.get(), ring_side_renderer.get()}) {
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
