// The game's scene resources: ambient light, the star field texture, the sun,
// the one view the frame draws, the carts, the track's assets, the planet and
// the music tracks.

#include "base/light.h"
#include "base/modules.h"
#include "base/random.h"
#include "base/value_bitmap.h"
#include "game/cart.h"
#include "game/game.h"
#include "game/music.h"
#include "game/planet.h"
#include "game/track.h"

static const int kStarFieldSize = 1024;
static const int kStarCount = 512;

static uint8_t star_channel()
{
    const float channel = float(__mRandom_rand()) / kRandomMax * 0.35f + 0.65f;
    return uint8_t(channel * 255);
}

// Stars may share a pixel. The pixel index is width * x + y, so x picks the row.
static int make_star_field(graphics_interface* graphics)
{
    cBitmap stars;
    stars.width = kStarFieldSize;
    stars.height = kStarFieldSize;
    stars.pixels = new uint8_t[size_t(kStarFieldSize) * kStarFieldSize * 4]();
    for (int i = 0; i < kStarCount; ++i) {
        const uint8_t r = star_channel();
        const uint8_t g = star_channel();
        const uint8_t b = star_channel();
        const int x = __mRandom_rand() % kStarFieldSize;
        const int y = __mRandom_rand() % kStarFieldSize;
        uint8_t* pixel = stars.pixels + (size_t(stars.width) * x + y) * 4;
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
        pixel[3] = 255;
    }
    return graphics->create_texture(&stars.width, &stars.height, stars.pixels, true, false, false, -1, nullptr);
}

static cLight* make_sun()
{
    cLight* sun = new cLight;
    sun->diffuse = cColor(1, 1, 1, 1);
    sun->specular = cColor(1, 1, 1, 1);
    sun->ambient = cColor(1, 1, 1, 1);
    sun->position = cVector3D(0, 0, 0);
    sun->direction = cVector3D(1, 1, 0).normalized();
    sun->spot_cutoff = 180;
    sun->spot_exponent = 0;
    sun->constant_attenuation = 1;
    sun->linear_attenuation = 0;
    sun->quadratic_attenuation = 0;
    sun->intensity = 1;
    return sun;
}

static cUserView* make_race_view()
{
    modGraphics* graphics = __mGraphics_instance();
    return new cUserView(cVector2D<int32_t>(0, 0), 0.15f, 3000.0f, 4000.0f, 45.0f,
                         cVector2D<int32_t>(graphics->window_width, graphics->window_height), cColor(0, 0, 0, 1),
                         cVector3D(0, 0, 0), cMatrix3D());
}

void cGame::load_game_resources()
{
    graphics_interface* graphics = __mGraphics_instance()->interface_table;
    if (graphics) {
        cColor ambient(0.1f, 0.1f, 0.1f, 1.0f);
        graphics->set_ambient_light(&ambient);
        star_texture = uint32_t(make_star_field(graphics));
    }
    lights.insert(make_sun());
    views.insert(make_race_view());
    load_carts(dont_load_textures);
    load_track_assets(dont_load_textures);
    load_planet(dont_load_textures);
    world = new czrOrbling;
    load_music_tracks(this);
}
