// The engine's module singletons. Five of them carry a module's interface
// table, bound by the plug-in loader; null means the module is not bound.
// Accessor objects hold the address of their module's table member, so one
// made before binding reaches the table bound later.
#pragma once

#include <cstdio>
#include <string>

#include "base/graphics_interface.h"
#include "base/input_interface.h"
#include "base/keel.h"
#include "base/network_interface.h"
#include "base/router.h"
#include "base/sound_interface.h"
#include "base/system_interface.h"

class modCore {
public:
    virtual ~modCore() = default;
};

class cGraphicsMatrices {
public:
    explicit cGraphicsMatrices(graphics_interface** table) : table(table) {}
    graphics_interface** table;
};

class cGraphicsTextures {
public:
    cGraphicsTextures(int* glyph, int* glyph_mask, graphics_interface** table)
        : glyph(glyph), glyph_mask(glyph_mask), table(table) {}
    // Reads an image file into a new texture; -1 when it cannot be read.
    int load_texture(const std::string& path, bool linear, bool mipmaps, bool clamp);
    int* glyph;
    int* glyph_mask;
    graphics_interface** table;
};

class cGraphicsShaders {
public:
    explicit cGraphicsShaders(graphics_interface** table) : table(table) {}
    int load_vertex_shader(const std::string& file, int replace) { return (*table)->load_vertex_shader(file.c_str(), replace); }
    int load_fragment_shader(const std::string& file, int replace) { return (*table)->load_fragment_shader(file.c_str(), replace); }
    int build_shader_program(int vertex, int fragment, int replace) { return (*table)->build_shader_program(vertex, fragment, replace); }
    void use_program(int program) { (*table)->use_program(program); }
    graphics_interface** table;
};

class cGraphicsText {
public:
    cGraphicsText(int* glyph, int* glyph_mask, graphics_interface** table)
        : glyph(glyph), glyph_mask(glyph_mask), table(table) {}
    int* glyph;
    int* glyph_mask;
    graphics_interface** table;
};

class cGraphicsModels {
public:
    explicit cGraphicsModels(graphics_interface** table) : table(table) {}
    graphics_interface** table;
};

class cGraphicsVbos {
public:
    explicit cGraphicsVbos(graphics_interface** table) : table(table) {}
    graphics_interface** table;
};

class cGraphicsDisplayLists {
public:
    explicit cGraphicsDisplayLists(graphics_interface** table) : table(table) {}
    graphics_interface** table;
};

class modGraphics {
public:
    modGraphics();
    virtual ~modGraphics();
    modGraphics(const modGraphics&) = delete;
    modGraphics& operator=(const modGraphics&) = delete;

    void load_image_file(const char* path, uint16_t* width, uint16_t* height, uint8_t** pixels);
    bool save_image_file(const char* path, uint16_t width, uint16_t height, uint8_t* pixels);

    graphics_interface* interface_table = nullptr;
    MessageRouter mailboxes;
    FrameStatistics frame_stats = {};
    int glyph_texture = 0;
    int glyph_mask_texture = 0;
    uint16_t window_width = 0;
    uint16_t window_height = 0;
    uint16_t view_width = 0;
    uint16_t view_height = 0;
    cGraphicsMatrices* matrices;
    cGraphicsTextures* textures;
    cGraphicsShaders* shaders;
    cGraphicsText* text;
    cGraphicsModels* models;
    cGraphicsVbos* vbos;
    cGraphicsDisplayLists* display_lists;
};

class modInput {
public:
    virtual ~modInput();
    input_interface* interface_table = nullptr;
};

class modSystem {
public:
    virtual ~modSystem();
    system_interface* interface_table = nullptr;
};

class cNetworkAccessor {
public:
    explicit cNetworkAccessor(network_interface** table) : table(table) {}
    network_interface** table;
};

class modNetwork {
public:
    modNetwork();
    virtual ~modNetwork();
    modNetwork(const modNetwork&) = delete;
    modNetwork& operator=(const modNetwork&) = delete;

    bool poll_failed = false;  // set each frame when the poll returned false
    char host_name[64] = {};
    char host_addresses[8][16] = {};
    network_interface* interface_table = nullptr;
    cNetworkAccessor* server;
    cNetworkAccessor* client;
};

class cSoundAccessor {
public:
    explicit cSoundAccessor(sound_interface** table) : table(table) {}
    sound_interface** table;
};

class modAudio {
public:
    modAudio();
    virtual ~modAudio();
    modAudio(const modAudio&) = delete;
    modAudio& operator=(const modAudio&) = delete;

    sound_interface* interface_table = nullptr;
    cSoundAccessor* sound;
    cSoundAccessor* music;
};

class modPhysics {
public:
    virtual ~modPhysics() = default;
};

// Holds the state of the program's single active file.
class modFileOperations {
public:
    virtual ~modFileOperations() = default;
    FILE* active_file = nullptr;
    bool active_writing = false;
};

KEEL_API modCore* __mCore_instance();
KEEL_API modGraphics* __mGraphics_instance();
KEEL_API modInput* __mInput_instance();
KEEL_API modSystem* __mSystem_instance();
KEEL_API modNetwork* __mNetwork_instance();
KEEL_API modAudio* __mAudio_instance();
KEEL_API modPhysics* __mPhysics_instance();

KEEL_API ModelDataStruct __mGraphics_build_model_data_struct(cVector3D* vertices, int32_t vertex_count,
                                                             cVector3D* normals, int32_t normal_count,
                                                             cVector2D<double>* uvs, int32_t uv_count,
                                                             cColor* colors, int32_t color_count,
                                                             int32_t* vertex_indices, int32_t* normal_indices,
                                                             int32_t* uv_indices, int32_t* color_indices,
                                                             int32_t triangle_count);
