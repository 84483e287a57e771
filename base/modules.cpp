#include "base/modules.h"

#include <cstdlib>

#include "base/bitmap.h"

// Tables are allocated by the loader with malloc-style storage of slot size.
// The member is cleared, so code in a later static destructor that tests the
// table first finds the module unbound rather than freed memory. The store is
// volatile: the compiler drops a plain store to an object whose life ends.
template <class Table>
static void free_table(Table*& table)
{
    free(table);
    Table* volatile* member = &table;
    *member = nullptr;
}

modGraphics::modGraphics()
    : matrices(new cGraphicsMatrices(&interface_table)),
      textures(new cGraphicsTextures(&glyph_texture, &glyph_mask_texture, &interface_table)),
      shaders(new cGraphicsShaders(&interface_table)),
      text(new cGraphicsText(&glyph_texture, &glyph_mask_texture, &interface_table)),
      models(new cGraphicsModels(&interface_table)),
      vbos(new cGraphicsVbos(&interface_table)),
      display_lists(new cGraphicsDisplayLists(&interface_table))
{
}

modGraphics::~modGraphics()
{
    free_table(interface_table);
    delete matrices;
    delete textures;
    delete shaders;
    delete text;
    delete models;
    delete vbos;
    delete display_lists;
}

void modGraphics::load_image_file(const char* path, uint16_t* width, uint16_t* height, uint8_t** pixels)
{
    interface_table->import_image(path, width, height, pixels);
}

bool modGraphics::save_image_file(const char* path, uint16_t width, uint16_t height, uint8_t* pixels)
{
    return interface_table->export_image(path, width, height, pixels);
}

int cGraphicsTextures::load_texture(const std::string& path, bool linear, bool mipmaps, bool clamp)
{
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t* pixels = nullptr;
    __cBitmap_load(path, &width, &height, &pixels);
    if (!pixels || width == 0 || height == 0) {
        delete[] pixels;
        return -1;
    }
    const int id = (*table)->create_texture(&width, &height, pixels, linear, mipmaps, clamp, -1, nullptr);
    delete[] pixels;
    return id;
}

modInput::~modInput()
{
    free_table(interface_table);
}

modSystem::~modSystem()
{
    free_table(interface_table);
}

modNetwork::modNetwork() : server(new cNetworkAccessor(&interface_table)), client(new cNetworkAccessor(&interface_table))
{
}

modNetwork::~modNetwork()
{
    free_table(interface_table);
    delete server;
    delete client;
}

modAudio::modAudio() : sound(new cSoundAccessor(&interface_table)), music(new cSoundAccessor(&interface_table))
{
}

modAudio::~modAudio()
{
    free_table(interface_table);
    delete sound;
    delete music;
}

modCore* __mCore_instance()
{
    static modCore instance;
    return &instance;
}

modGraphics* __mGraphics_instance()
{
    static modGraphics instance;
    return &instance;
}

modInput* __mInput_instance()
{
    static modInput instance;
    return &instance;
}

modSystem* __mSystem_instance()
{
    static modSystem instance;
    return &instance;
}

modNetwork* __mNetwork_instance()
{
    static modNetwork instance;
    return &instance;
}

modAudio* __mAudio_instance()
{
    static modAudio instance;
    return &instance;
}

modPhysics* __mPhysics_instance()
{
    static modPhysics instance;
    return &instance;
}

ModelDataStruct __mGraphics_build_model_data_struct(cVector3D* vertices, int32_t vertex_count, cVector3D* normals,
                                                    int32_t normal_count, cVector2D<double>* uvs, int32_t uv_count,
                                                    cColor* colors, int32_t color_count, int32_t* vertex_indices,
                                                    int32_t* normal_indices, int32_t* uv_indices,
                                                    int32_t* color_indices, int32_t triangle_count)
{
    return ModelDataStruct{vertices,       normals,    uvs,          colors,       vertex_indices,
                           normal_indices, uv_indices, color_indices, vertex_count, normal_count,
                           uv_count,       color_count, triangle_count};
}
