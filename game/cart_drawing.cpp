// How carts look: four textured parts of their species, each with its own
// material, drawn through the carts' shader set.
#include <cstdio>
#include <string>

#include "base/constants.h"
#include "base/fileops.h"
#include "base/modules.h"
#include "base/value_bitmap.h"
#include "game/cart.h"
#include "game/game.h"
#include "game/models.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"

uint32_t cartTextures[kSpeciesCount][kCartPartCount] = {};
DSParray<cMaterial> cartMaterials(false);
DSParray<ctShaderSet> cartShaderSets(false);

namespace {

const std::string kCartFolder = "data/zorblitRally/carts/";
constexpr double kPartScale = 0.15;

cMaterial* part_material(float diffuse, float specular, float shininess)
{
    return new cMaterial(cColor(0.1f, 0.1f, 0.1f, 1), cColor(diffuse, diffuse, diffuse, 1),
                         cColor(specular, specular, specular, 1), cColor(0, 0, 0, 1), shininess);
}

void build_materials()
{
    cartMaterials.clear();
    cartMaterials.insert(part_material(0.8f, 0, 0));
    cartMaterials.insert(part_material(0.8f, 0, 0));
    cartMaterials.insert(part_material(0.6f, 0.5f, 60));
    cartMaterials.insert(part_material(0.3f, 1.0f, 100));
}

uint32_t load_part_texture(const std::string& path)
{
    if (!__mFileOps_file_exists(path.c_str())) return 0;
    modGraphics* graphics = __mGraphics_instance();
    cBitmap image;
    if (!graphics->interface_table || !image.load(path)) return 0;
    const int id = graphics->interface_table->create_texture(&image.width, &image.height, image.pixels, true, true,
                                                             false, -1, nullptr);
    return id < 0 ? 0 : uint32_t(id);
}

void load_textures()
{
    for (int s = 0; s < kSpeciesCount; ++s)
        for (int k = 0; k < kCartPartCount; ++k)
            cartTextures[s][k] = load_part_texture(kCartFolder + speciesNames[s] + "cart-" + cartPartNames[k] + ".png");
}

ctShaderSet* cart_shader_set()
{
    ctShaderSet* set = cartShaderSets.get(0);
    graphics_interface* table = __mGraphics_instance()->interface_table;
    if (!set && table && table->shaders_available()) set = get_default_shader_set();
    return set;
}

cLight* cart_shader_light()
{
    static cLight light = defaultLight;
    return &light;
}

cMaterial* shared_default_material()
{
    static cMaterial material = defaultMaterial;
    return &material;
}

}  // namespace

void load_carts(bool dont_load_textures)
{
    build_materials();
    cartShaderSets.insert(create_material_shader_set(false, false, false));
    for (auto& species : cartTextures)
        for (uint32_t& id : species) id = 0;
    if (!dont_load_textures) load_textures();
    load_species_meshes();
}

void build_cart_renderers(czrCar* car)
{
    car->instances.clear();
    car->part_renderers.clear();
    const uint8_t species = car->species < kSpeciesCount ? car->species : 0;
    for (int k = 0; k < kCartPartCount; ++k) {
        DSarray<int32_t> textures;
        textures.add(int32_t(cartTextures[species][k]));
        ctRendererSetup setup;
        setup.shaders = cart_shader_set();
        setup.textures = &textures;
        cMaterial* material = cartMaterials.get(uint32_t(k));
        setup.material = material ? material : shared_default_material();
        setup.shader_light = cart_shader_light();
        // A species whose model did not load said so at start-up; only a
        // model that lacks a part is worth a line for every cart.
        const ctMeshSet& set = speciesMeshSets[species];
        ctMesh* mesh = set.find_mesh(cartPartNames[k]);
        if (!mesh && set.meshes.count() > 0)
            std::printf("ERROR: Could not find mesh %s in species %s\n", cartPartNames[k].c_str(),
                        speciesNames[species].c_str());
        ctRenderer* renderer = new ctRendererMesh(&setup, mesh);
        car->part_renderers.emplace_back(renderer);
        car->instances.insert(
            new _ctVisibleObjectBase::RendererInstance(renderer, cVector3D(kPartScale, kPartScale, kPartScale)));
    }
}
