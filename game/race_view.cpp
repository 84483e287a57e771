// The running race as each view shows it: the sky and the sun behind
// everything, then the planet, the carts and the track, then the standings,
// our rank and lap and the respawn hint over it all.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/constants.h"
#include "base/input_names.h"
#include "base/modules.h"
#include "base/strings.h"
#include "framework/screen_text.h"
#include "game/cart.h"
#include "game/game.h"
#include "game/planet.h"
#include "game/projectile.h"
#include "game/race.h"
#include "game/race_start.h"
#include "game/race_view.h"
#include "game/track.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"
#include "scene/transform.h"

namespace {

const cColor kOwnLine(1, 1, 1, 1);
const cColor kOtherLine(0, 0.5f, 1, 1);
const cColor kHint(1, 0, 0, 1);
constexpr int32_t kCellWidth = 12;
constexpr int32_t kCellHeight = 16;
constexpr int32_t kStandingsLeft = 8;
constexpr int32_t kStandingsTop = 8;
constexpr int32_t kRankBoxInset = 128;
constexpr int32_t kRankBoxTop = 16;
constexpr int32_t kHintTop = 64;
constexpr int32_t kHintMargin = 16;
// Where the race update keeps the camera: from just above the planet's
// surface (55) out to 210 from the centre.
constexpr double kCameraBandInnerSquared = 3025;
constexpr double kCameraBandOuterSquared = 44100;

constexpr uint32_t kSunDetail = 8;
constexpr double kSunScale = 0.0033;
constexpr uint32_t kProjectileDetail = 16;

bool shaders_available()
{
    graphics_interface* table = __mGraphics_instance()->interface_table;
    return table && table->shaders_available();
}

ctShaderSet* backdrop_shader_set()
{
    ctShaderSet* set = get_plain_unlit_shader_set();
    if (!set && shaders_available()) set = get_default_shader_set();
    return set;
}

// The shared material and light of the backdrop, copied so the renderers
// may hold them as they hold any other.
cMaterial* backdrop_material()
{
    static cMaterial material = defaultMaterial;
    return &material;
}

cLight* backdrop_light()
{
    static cLight light = defaultLight;
    return &light;
}

ctRendererSetup backdrop_setup(DSarray<int32_t>* textures)
{
    ctRendererSetup setup;
    setup.shaders = backdrop_shader_set();
    setup.textures = textures;
    setup.material = backdrop_material();
    setup.shader_light = backdrop_light();
    return setup;
}

void draw_line(const std::string& line, const cVector2D<int32_t>& at, const cColor& color)
{
    draw_screen_text(__mGraphics_instance()->text, at, kCellHeight, kCellWidth, line.c_str(), color, -1, false,
                     false, false);
}

czrCar* registered_cart(const player_record* record)
{
    return record ? cartRegistry.find(record->car_sync_id) : nullptr;
}

bool cart_shown(cGame* game, const czrCar* car)
{
    if (car->owner_slot == kNoCartOwner) return true;
    const player_record* owner = game->player(car->owner_slot);
    return owner && owner->state == kSlotInUse;
}

void draw_standings(cGame* game)
{
    const std::vector<int> slots = standings_order(game);
    for (size_t k = 0; k < slots.size(); ++k) {
        const cVector2D<int32_t> at(kStandingsLeft, kStandingsTop + kCellHeight * int32_t(k));
        draw_line(standings_line(game, slots[k]), at, slots[k] == game->own_slot ? kOwnLine : kOtherLine);
    }
}

bool outside_camera_band(const czrCar* car)
{
    const double distance = car->position.length_squared();
    return distance > kCameraBandOuterSquared || distance < kCameraBandInnerSquared;
}

void draw_own_box(cGame* game, const player_record& own, const czrCar* car)
{
    const int32_t width = __mGraphics_instance()->window_width;
    draw_line(own_box_text(own), cVector2D<int32_t>(width - kRankBoxInset, kRankBoxTop), kOwnLine);
    if (!outside_camera_band(car)) return;
    const std::string hint = respawn_hint(&game->controller);
    int columns = 0, lines = 0;
    __mystring_extract_width_and_height_from_string(hint.c_str(), &columns, &lines);
    draw_line(hint, cVector2D<int32_t>(width - kCellWidth * columns - kHintMargin, kHintTop), kHint);
}

cColor white_with_alpha(float alpha)
{
    return cColor(1, 1, 1, alpha);
}

cColor scaled(const cColor& c, float s)
{
    return cColor(c.r * s, c.g * s, c.b * s, c.a);
}

cColor modulated(const cColor& a, const cColor& b)
{
    return cColor(a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a);
}

ctShaderSet* projectile_shader_set()
{
    ctShaderSet* set = cartShaderSets.get(0);
    if (!set && shaders_available()) set = get_default_shader_set();
    return set;
}

}  // namespace

void draw_projectile(const czrProjectile& projectile)
{
    const czrProjectileType* type = projectile_type(projectile);
    if (!type || type->draw_kind != 0) return;
    const cColor base(1, 1, 1, 1);
    cMaterial material(modulated(white_with_alpha(0.1f), scaled(base, 0.1f)),
                       modulated(white_with_alpha(0.3f), scaled(base, 0.3f)), modulated(base, white_with_alpha(0.5f)),
                       base, 15);
    const double size = double(type->radius) * 3;
    ctScaledTransform place(projectile.position, projectile.rotation, cVector3D(size, size, size));
    DSarray<int32_t> white;
    white.add(0);
    ctRendererSetup setup;
    setup.shaders = projectile_shader_set();
    setup.textures = &white;
    setup.material = &material;
    setup.shader_light = backdrop_light();
    setup.use_shader_light = 1;
    draw_sphere(&place, &setup, kProjectileDetail, kProjectileDetail);
}

std::vector<int> standings_order(cGame* game)
{
    std::vector<int> slots;
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        if (game->players[slot].state >= kSlotInUse) slots.push_back(slot);
    std::stable_sort(slots.begin(), slots.end(), [game](int a, int b) { return rank_less(game, a, b); });
    return slots;
}

std::string standings_line(const cGame* game, int slot)
{
    const player_record& record = game->players[slot];
    return std::to_string(int(record.rank) + 1) + ": " + record.name;
}

std::string own_box_text(const player_record& own)
{
    return "Rank: " + std::to_string(int(own.rank) + 1) + "\nLap:  " + std::to_string(int(own.laps) + 1);
}

std::string respawn_hint(const cVantorController* controller)
{
    const int16_t* button = controller->find_button("RESPAWN");
    const uint16_t input = button ? uint16_t(*button) : kNoInput;
    return "Press " + digital_input_name(input) + " to reset";
}

void cGame::render_race_scene()
{
    static DSarray<int32_t>* star_list = nullptr;
    static DSarray<int32_t> white_list;
    if (!star_list) {
        star_list = new DSarray<int32_t>;
        star_list->add(int32_t(star_texture));
        white_list.add(0);
    }
    ctRendererSetup sky_setup = backdrop_setup(star_list);
    ctRendererCube sky(&sky_setup, true);
    ctScaledTransform around_camera(cVector3D(0, 0, 0), cQuaternion(0, 0, 0, 1), cVector3D(1, 1, 1));
    around_camera.begin_transform();
    draw_renderer(&sky);
    around_camera.end_transform();

    ctRendererSetup sun_setup = backdrop_setup(&white_list);
    ctRendererSphere sun(&sun_setup, kSunDetail, kSunDetail, false);
    ctScaledTransform sun_place(cVector3D(0.5, 0.5, 0), cQuaternion(0, 0, 0, 1),
                                cVector3D(kSunScale, kSunScale, kSunScale));
    sun_place.begin_transform();
    draw_renderer(&sun);
    sun_place.end_transform();
}

void cGame::render_race_effects(cViewReference*, bool)
{
    if (!track) std::printf("ERROR: %s\n", "No active track!");
    if (world) draw_planet(&lights, lights.get(0), race_time);
    for (const auto& entry : cartRegistry.objects.walk()) {
        czrCar* car = entry.second;
        if (!cart_shown(this, car)) continue;
        for (uint32_t i = 0; i < car->instances.count(); ++i) {
            _ctVisibleObjectBase::RendererInstance* instance = car->instances.get(i);
            if (instance->renderer) instance->renderer->lights = &lights;
        }
        car->draw();
    }
    for (const auto& entry : projectileRegistry.objects.walk()) draw_projectile(*entry.second);
    if (track) track->draw(race_time, &lights);
}

void cGame::render_race_hud(cViewReference*, bool am_server)
{
    draw_standings(this);
    if (!am_server && join_phase != 1) return;
    const player_record* own = player(own_slot);
    const czrCar* car = registered_cart(own);
    if (car) draw_own_box(this, *own, car);
}
