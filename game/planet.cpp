#include "game/planet.h"

#include "base/angles.h"
#include "base/modules.h"
#include "base/value_bitmap.h"
#include "base/bitmap.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"
#include "scene/transform.h"

DSParray<ctShaderSet> planetShaderSets(false);
int planetColorTexture = 0;
int planetNormalTexture = 0;

static const char* const kColorMapPath = "data/zorblitRally/planet_color.png";
static const char* const kBumpMapPath = "data/zorblitRally/planet_bump.png";
static const float kBumpStrength = 3.5f;
static const double kPlanetRadius = 55.0;
static const float kSpinRate = 0.025f;
static const uint32_t kPlanetDetail = 32;

cVector3D czrOrbling::get_position()
{
    return cVector3D(0, 0, 0);
}

cQuaternion czrOrbling::get_rotation()
{
    return cQuaternion(0, 0, 0, 1);
}

cQuaternion quaternion_product(const cQuaternion& a, const cQuaternion& b)
{
    cQuaternion product = a;
    __cQuaternion_multiply(&product, &b);
    return product;
}

cQuaternion quaternion_about_x(const double* angle)
{
    const double zero = 0;
    cQuaternion q;
    __cQuaternion_from_euler_components(&q, angle, &zero, &zero);
    return q;
}

cQuaternion quaternion_about_y(const double* angle)
{
    const double zero = 0;
    cQuaternion q;
    __cQuaternion_from_euler_components(&q, &zero, angle, &zero);
    return q;
}

cQuaternion planet_rotation(float race_time)
{
    const double spin = double(race_time) * double(kSpinRate);
    const double tilt = double(kHalfPi);
    return quaternion_product(quaternion_about_x(&tilt), quaternion_about_y(&spin));
}

static int load_normal_map(graphics_interface* graphics)
{
    cBitmap bump;
    if (!bump.load(kBumpMapPath)) return 0;
    __cBitmap_bump_map_to_normal_map(bump.pixels, bump.width, bump.height, kBumpStrength);
    return graphics->create_texture(&bump.width, &bump.height, bump.pixels, false, true, false, -1, nullptr);
}

void load_planet(bool dont_load_textures)
{
    planetShaderSets.insert(create_material_shader_set(false, true, false));
    planetColorTexture = 0;
    planetNormalTexture = 0;
    modGraphics* graphics = __mGraphics_instance();
    if (dont_load_textures || !graphics->interface_table) return;
    planetColorTexture = graphics->textures->load_texture(kColorMapPath, true, true, false);
    if (planetColorTexture < 0) planetColorTexture = 0;
    planetNormalTexture = load_normal_map(graphics->interface_table);
    if (planetNormalTexture < 0) planetNormalTexture = 0;
}

static ctShaderSet* planet_shader_set()
{
    ctShaderSet* set = planetShaderSets.get(0);
    graphics_interface* graphics = __mGraphics_instance()->interface_table;
    if (!set && graphics && graphics->shaders_available()) set = get_default_shader_set();
    return set;
}

void draw_planet(DSParray<cLight>* lights, cLight* shader_light, float race_time)
{
    cMaterial material(cColor(0.2f, 0.2f, 0.2f, 1), cColor(0.8f, 0.8f, 0.8f, 1), cColor(0.5f, 0.5f, 0.5f, 1),
                       cColor(0, 0, 0, 1), 50);
    DSarray<int32_t> textures;
    textures.add(planetColorTexture);
    textures.add(planetNormalTexture);
    ctScaledTransform place(cVector3D(0, 0, 0), planet_rotation(race_time),
                            cVector3D(kPlanetRadius, kPlanetRadius, kPlanetRadius));
    ctRendererSetup setup;
    setup.shaders = planet_shader_set();
    setup.textures = &textures;
    setup.material = &material;
    setup.lights = lights;
    setup.shader_light = shader_light;
    place.begin_transform();
    ctRendererSphere sphere(&setup, kPlanetDetail, kPlanetDetail, false);
    draw_renderer(&sphere);
    place.end_transform();
}
