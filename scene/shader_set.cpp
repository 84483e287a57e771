// Program and shader ids are the graphics interface's, never reused after
// deletion, so deleting an id a second time finds nothing and does nothing.
#include "scene/shader_set.h"

#include <cstdio>

#include "base/light.h"
#include "base/modules.h"
#include "base/strings.h"
#include "scene/shader_text.h"

namespace {

ctShaderSet* defaultSet = nullptr;
ctShaderSet* plainUnlitSet = nullptr;
bool sharedSetsClosed = false;
// Counts the closings of the graphics module ("CloseGraphics").
uint32_t windowGeneration = 0;

// The shared sets live on after the graphics module closes, since renderers
// point at them, but their ids die with the window: "CloseGraphics" lets go
// of what they hold, and the next request builds them again.
class SharedSetCloser : public cMessageObserver {
public:
    SharedSetCloser()
    {
        __messageRouter_register_for_message(&__mGraphics_instance()->mailboxes, this, code());
    }
    ~SharedSetCloser() override { __messageRouter_unregister_all(&__mGraphics_instance()->mailboxes, this); }
    void receive_message(const RoutedMessage* message) override
    {
        if (!message || message->code != code()) return;
        for (ctShaderSet* set : {defaultSet, plainUnlitSet})
            if (set) {
                set->release();
                set->reset();
            }
        sharedSetsClosed = true;
        ++windowGeneration;
    }

private:
    static uint32_t code() { return __mystring_hash("CloseGraphics"); }
};

SharedSetCloser sharedSetCloser;

graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

cGraphicsShaders* shader_slots()
{
    return __mGraphics_instance()->shaders;
}

bool shaders_on()
{
    graphics_interface* table = graphics();
    return table && table->shaders_available();
}

void error_line(const char* message)
{
    printf("ERROR: %s\n", message);
}

// At exit the graphics module may be gone.
void delete_shader_id(int id)
{
    if (id != -1 && graphics()) (*shader_slots()->table)->delete_shader(id);
}

void delete_program_id(int id)
{
    if (id != -1 && graphics()) (*shader_slots()->table)->delete_program(id);
}

// Sets a sampler's unit in the program in use, when the program has it.
void assign_unit(int program, const char* sampler, int unit)
{
    const int location = fetch_uniform_location(shader_slots(), program, sampler);
    if (location != -1) (*shader_slots()->table)->set_uniform_1i(location, unit);
}

// The sampler list of a material: its position is the texture unit.
struct Samplers {
    DSParray<std::string> names;
    int spec = 0, norm = 0, si = 0;

    int add(const char* name)
    {
        names.insert(new std::string(name));
        return int(names.count()) - 1;
    }
};

}  // namespace

void ctShaderSet::reset()
{
    program_ids = {-1, -1, -1, -1};
    built = 0;
    for (tuple2<int32_t, int32_t>& pair : shader_pairs) pair = {-1, -1};
    sampler_count = 0;
    window_generation = windowGeneration;
}

// Closing the window deleted every shader and program it held; a set of a
// closed window (the game's own, destroyed at exit) has nothing to delete.
void ctShaderSet::release()
{
    const bool own_window = window_generation == windowGeneration;
    const int32_t programs[4] = {program_ids.x, program_ids.y, program_ids.z, program_ids.w};
    for (int i = 0; own_window && i < 4; ++i) {
        if (programs[i] != -1 && built == 1) delete_program_id(programs[i]);
        delete_shader_id(shader_pairs[i].first);
        delete_shader_id(shader_pairs[i].second);
    }
    built = 0;
}

void ctShaderSet::build(bool specularMap, bool normalMap, bool selfIllumMap)
{
    if (!shaders_on()) return;
    release();
    Samplers samplers;
    samplers.add("texDiff");
    if (specularMap) samplers.spec = samplers.add("texSpec");
    if (normalMap) samplers.norm = samplers.add("texNorm");
    if (selfIllumMap) samplers.si = samplers.add("texSi");
    const std::string declarations = write_sampler_declarations(samplers.names);
    const char* diffuse = samplers.names.get(0)->c_str();

    const std::string unlitVertex = write_unlit_vertex_text();
    const std::string unlitFragment =
        declarations + write_unlit_fragment(nullptr, selfIllumMap ? "texSi" : nullptr, diffuse, true);
    const std::string litVertex = write_lit_vertex_text(normalMap);
    const std::string litFragment =
        declarations + write_lit_fragment(diffuse, specularMap ? "texSpec" : nullptr, nullptr, nullptr, nullptr,
                                          normalMap ? "texNorm" : nullptr);

    int unlit = -1, unlitVertexShader = -1, unlitFragmentShader = -1;
    int lit = -1, litVertexShader = -1, litFragmentShader = -1;
    compile_and_link(unlitVertex.c_str(), unlitFragment.c_str(), &unlit, &unlitVertexShader, &unlitFragmentShader);
    compile_and_link(litVertex.c_str(), litFragment.c_str(), &lit, &litVertexShader, &litFragmentShader);
    if (unlit == -1) error_line("Could not link procedural unlit shader program");
    if (lit == -1) error_line("Could not link procedural li shader program");

    if (unlit == -1 || lit == -1) {
        for (int shader : {unlitVertexShader, unlitFragmentShader}) delete_shader_id(shader);
        delete_program_id(unlit);
        for (int shader : {litVertexShader, litFragmentShader}) delete_shader_id(shader);
        delete_program_id(lit);
        return;
    }
    cGraphicsShaders* slots = shader_slots();
    slots->use_program(unlit);
    assign_unit(unlit, diffuse, 0);
    assign_unit(unlit, "texPaint", 0);
    assign_unit(unlit, "texSi", samplers.si);
    slots->use_program(lit);
    assign_unit(lit, "texAmb", 0);
    assign_unit(lit, "texDiff", 0);
    assign_unit(lit, "texSpec", samplers.spec);
    assign_unit(lit, "texGloss", 0);
    assign_unit(lit, "texPaint", 0);
    assign_unit(lit, "texNorm", samplers.norm);

    program_ids = {unlit, lit, lit, lit};
    built = 1;
    window_generation = windowGeneration;
    shader_pairs[0] = {unlitVertexShader, unlitFragmentShader};
    for (int i = 1; i < 4; ++i) shader_pairs[i] = {litVertexShader, litFragmentShader};
    sampler_count = int32_t(samplers.names.count());
}

void ctShaderSet::build_unlit(bool ambientTerm)
{
    if (!shaders_on()) return;
    release();
    Samplers samplers;
    samplers.add("texDiff");
    const std::string vertex = write_unlit_vertex_text();
    const std::string fragment =
        write_sampler_declarations(samplers.names) + write_unlit_fragment(nullptr, "texDiff", "texDiff", ambientTerm);
    int program = -1, vertexShader = -1, fragmentShader = -1;
    compile_and_link(vertex.c_str(), fragment.c_str(), &program, &vertexShader, &fragmentShader);
    if (program == -1) {
        error_line("Could not link procedural unlit shader program");
        delete_shader_id(vertexShader);
        delete_shader_id(fragmentShader);
        return;
    }
    shader_slots()->use_program(program);
    assign_unit(program, "texDiff", 0);
    assign_unit(program, "texSi", 0);
    program_ids = {program, -1, -1, -1};
    built = 1;
    window_generation = windowGeneration;
    shader_pairs[0] = {vertexShader, fragmentShader};
    for (int i = 1; i < 4; ++i) shader_pairs[i] = {-1, -1};
    sampler_count = 1;
}

void compile_and_link(const char* vertexText, const char* fragmentText, int* program, int* vertexShader,
                      int* fragmentShader)
{
    graphics_interface* table = *shader_slots()->table;
    *vertexShader = table->create_vertex_shader(vertexText, -1);
    *fragmentShader = table->create_fragment_shader(fragmentText, -1);
    if (*vertexShader == -1) error_line("Could not compile procedural vert shader");
    if (*fragmentShader == -1) error_line("Could not compile procedural frag shader");
    if (*vertexShader != -1 && *fragmentShader != -1) {
        *program = table->build_shader_program(*vertexShader, *fragmentShader, -1);
        return;
    }
    delete_shader_id(*vertexShader);
    delete_shader_id(*fragmentShader);
}

int fetch_uniform_location(cGraphicsShaders* shaders, int program, std::string name)
{
    return (*shaders->table)->get_uniform_location(program, name.c_str());
}

int get_light_kind(const cLight* light)
{
    if (light->spot_cutoff != 180.0f && light->spot_cutoff != 0.0f) return 3;
    const cVector3D& d = light->direction;
    if (d.x == 0 && d.y == 0 && d.z == 0) return 2;
    return 1;
}

namespace {

// A shared set is kept even when its build failed: later calls return it
// without building again, until the graphics module closes.
ctShaderSet* shared_set(ctShaderSet** slot, bool unlitOnly)
{
    if (!shaders_on()) return nullptr;
    if (sharedSetsClosed) {
        sharedSetsClosed = false;
        if (defaultSet) defaultSet->build(false, false, false);
        if (plainUnlitSet) plainUnlitSet->build_unlit(false);
    }
    if (*slot) return *slot;
    *slot = new ctShaderSet();
    if (unlitOnly)
        (*slot)->build_unlit(false);
    else
        (*slot)->build(false, false, false);
    return *slot;
}

}  // namespace

ctShaderSet* get_default_shader_set()
{
    return shared_set(&defaultSet, false);
}

ctShaderSet* get_plain_unlit_shader_set()
{
    return shared_set(&plainUnlitSet, true);
}

ctShaderSet* create_unlit_shader_set()
{
    ctShaderSet* set = new ctShaderSet();
    set->build_unlit(true);
    if (set->program_ids.x != -1) return set;
    delete set;
    return nullptr;
}

ctShaderSet* create_material_shader_set(bool specularMap, bool normalMap, bool selfIllumMap)
{
    ctShaderSet* set = new ctShaderSet();
    set->build(specularMap, normalMap, selfIllumMap);
    const rawVector4<int32_t>& ids = set->program_ids;
    if (ids.x != -1 && ids.y != -1 && ids.z != -1 && ids.w != -1) return set;
    delete set;
    return nullptr;
}
