// Renderers: everything one piece of geometry needs to draw (shader set,
// textures, material, lights, blending) and the passes that draw it. Without
// shaders one pass under fixed-function lights; with shaders an unlit pass,
// then one additive pass per light with the lit program of its kind.
#pragma once

#include <cstdint>

#include "base/containers.h"

class cLight;
class cMaterial;
class ctShaderSet;

// What a caller fills to make a renderer; the renderer copies it.
struct ctRendererSetup {
    ctShaderSet* shaders = nullptr;      // may be null when there are no shaders
    DSarray<int32_t>* textures = nullptr;  // texture ids in unit order (sampler order of the set)
    cMaterial* material = nullptr;       // null = none
    DSParray<cLight>* lights = nullptr;  // null or empty = none
    cLight* shader_light = nullptr;      // the light of the single-light mode
    uint8_t use_shader_light = 0;
    uint8_t additive = 0;  // 0: the first pass alpha-blends; 1: every pass adds
};

class ctRenderer {
public:
    explicit ctRenderer(const ctRendererSetup* setup);
    ctRenderer(const ctRenderer&) = delete;
    ctRenderer& operator=(const ctRenderer&) = delete;

    // Makes the program of the light kind current (with shaders), binds the
    // textures to units 0.. and applies the material.
    virtual void bind(int* kind);
    virtual void draw_geometry() = 0;
    virtual ~ctRenderer();
    virtual ctShaderSet* get_shader_set();
    // Kinds 1-3 give the set's lit programs, any other its unlit one; -1
    // when the renderer has no set.
    virtual int get_program(int* kind);
    virtual int32_t get_texture(int16_t index);
    virtual int16_t get_texture_count();
    virtual cMaterial* get_material();

    ctShaderSet* shaders;
    int16_t texture_count;
    int32_t* texture_ids;
    cMaterial* material;
    DSParray<cLight>* lights;
    cLight* shader_light;
    uint8_t use_shader_light;
    uint8_t additive;
};

// Corners at plus and minus 1 in the xy plane, facing +z.
class ctRendererQuad : public ctRenderer {
public:
    using ctRenderer::ctRenderer;
    void draw_geometry() override;
};

// Corners at plus and minus 1; inverted winds inward (normals stay outward).
class ctRendererCube : public ctRenderer {
public:
    ctRendererCube(const ctRendererSetup* setup, bool inverted = false);
    void draw_geometry() override;
    uint8_t inverted;
};

// The unit sphere of that detail, tessellated once and shared through the
// primitive registry. A sphere needs at least one ring and one segment.
class ctRendererSphere : public ctRenderer {
public:
    ctRendererSphere(const ctRendererSetup* setup, uint32_t segments, uint32_t rings, bool inverted = false);
    void draw_geometry() override;
    uint8_t inverted;
    uint32_t segments;
    uint32_t rings;
};

// Draws one renderer with its full pass sequence.
void draw_renderer(ctRenderer* renderer);

class ctMesh;

// A mesh (not owned), uploaded once at construction: to a vertex buffer
// when there are any (an id from the pool when one is given and not empty),
// else into a display list, else drawn from its arrays every time.
class ctRendererMesh : public ctRenderer {
public:
    ctRendererMesh(const ctRendererSetup* setup, ctMesh* mesh, DSarray<int16_t>* vbo_pool = nullptr);
    // A pooled buffer goes back to the pool; others are unloaded.
    ~ctRendererMesh() override;
    void draw_geometry() override;

    ctMesh* mesh;
    uint16_t vbo_id;
    uint16_t display_list_id;
    DSarray<int16_t>* vbo_pool;

private:
    void upload_to_buffer();
    void record_display_list();
};

class ctTransform;

// Draws an outward sphere of that detail with the setup, placed by the
// object's transform.
void draw_sphere(ctTransform* object, const ctRendererSetup* setup, uint32_t segments, uint32_t rings);
