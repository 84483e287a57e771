// Shader sets: the generated GLSL programs a renderer draws with. Each set
// holds an unlit program (light kind 0) and, unless it is unlit-only, one lit
// program for light kinds 1 (directional), 2 (point) and 3 (spot). Samplers
// take texture units in the order "texDiff", "texSpec", "texNorm", "texSi"
// of the material's maps, so a renderer hands its textures in that order.
#pragma once

#include <cstdint>
#include <string>

#include "base/containers.h"

class cGraphicsShaders;
class cLight;

class ctShaderSet {
public:
    ctShaderSet() { reset(); }
    ctShaderSet(const ctShaderSet&) = delete;
    ctShaderSet& operator=(const ctShaderSet&) = delete;
    // Deletes the programs and shaders the set holds.
    virtual ~ctShaderSet() { release(); }

    // Every id -1, not built, no samplers, of the open window.
    void reset();
    // Generates, compiles and links both programs for a material with the
    // given maps; on failure the set holds nothing (check program_ids).
    void build(bool specularMap, bool normalMap, bool selfIllumMap);
    // The unlit program alone, sampling "texDiff" for colour and emission.
    void build_unlit(bool ambientTerm);
    // Deletes what the set holds, when its window is still open; the id
    // fields keep their values.
    void release();

    // Program id per light kind 0 (unlit), 1, 2, 3 (lit); -1 = none.
    rawVector4<int32_t> program_ids;
    uint8_t built;
    // (vertex shader, fragment shader) per entry of program_ids.
    tuple2<int32_t, int32_t> shader_pairs[4];
    // How many textures the fragment texts sample, units 0 .. n-1.
    int32_t sampler_count;
    // Which opening of the graphics module the ids belong to. The module's
    // ids start again with each window, so those of a closed one are never
    // deleted: they would name another set's programs.
    uint32_t window_generation;
};

// The shared default set (no maps), made on first use; null without shaders.
ctShaderSet* get_default_shader_set();
// The shared unlit-only set without the ambient term; null without shaders.
ctShaderSet* get_plain_unlit_shader_set();
// A new unlit-only set with the ambient term, owned by the caller; null when
// it could not be made.
ctShaderSet* create_unlit_shader_set();
// A new set for a material with these maps, owned by the caller; null when
// any of its programs could not be made.
ctShaderSet* create_material_shader_set(bool specularMap, bool normalMap, bool selfIllumMap);

// Compiles both texts and links them; ids the caller set to -1 stay -1 for
// what failed.
void compile_and_link(const char* vertexText, const char* fragmentText, int* program, int* vertexShader,
                      int* fragmentShader);
// -1 when the program has no such active uniform.
int fetch_uniform_location(cGraphicsShaders* shaders, int program, std::string name);
// 3 spot (cut-off neither 180 nor 0), else 2 point (zero direction), else 1
// directional.
int get_light_kind(const cLight* light);
