// The effects drawn by the real platform plug-in: the mask pass takes away
// what is behind by the alpha, the glow pass adds the colour by the alpha.
#include "base/modules.h"
#include "effects/sparkle.h"
#include "tests/effects/effects_fixture.h"
#include "tests/support/trellis_window.h"

namespace {

class EffectsWindow : public TrellisWindow {
protected:
    void SetUp() override
    {
        TrellisWindow::SetUp();
        __mGraphics_instance()->window_width = kWidth;
        __mGraphics_instance()->window_height = kHeight;
        ASSERT_TRUE(__mFX_open());
    }
    void TearDown() override
    {
        __mFX_close();
        TrellisWindow::TearDown();
    }
};

TEST_F(EffectsWindow, ASpriteBlendsItsColourOverWhatIsBehindByItsAlpha)
{
    clear_to(0.5f);
    for (float alpha : {1.0f, 0.5f}) {
        ParticleArgs p;
        p.x = alpha == 1 ? 60 : 200;
        p.y = 100;
        p.size_x = {20};
        p.size_y = {20};
        p.keys = Keys({cColor(1, 0, 0, alpha)});
        p.image_a = p.image_b = 0;  // the plain white texture
        p.add();
    }
    double camera_x = 0, camera_y = 0;
    __mFX_particle_draw(&camera_x, &camera_y);
    expect_pixel(pixel(60, 100), {255, 0, 0, 255}, 3, "opaque red");
    // 0.5 grey times (1 - 0.5), plus red times 0.5
    expect_pixel(pixel(200, 100), {191, 64, 64, 255}, 3, "half red");
    expect_pixel(pixel(120, 100), {128, 128, 128, 255}, 3, "between");
    expect_pixel(pixel(60, 115), {128, 128, 128, 255}, 3, "below the sprite");
}

TEST_F(EffectsWindow, FogDarkensTheCellsAroundItsDensePoints)
{
    clear_to(1);
    int16_t side = 3, one = 1;
    __mFX_fog_set_grid_size(&side, &side);
    __mFX_fog_change_point(&one, &one, 0.75f);
    __mFX_fog_draw(0);
    expect_pixel(pixel(kWidth / 2, kHeight / 2), {64, 64, 64, 255}, 3, "the dense cell's point");
    expect_pixel(pixel(2, 2), {64, 64, 64, 255}, 3, "its cell reaches the corner");
}

TEST_F(EffectsWindow, ALightningLineIsDrawnInItsColour)
{
    clear_to(0);
    float x1 = 10, y1 = 50, x2 = 300, y2 = 50, life = 1;
    cColor green(0, 1, 0, 1);
    __mFX_lightning_add_line(&x1, &y1, &x2, &y2, &green, &green, &life);
    double camera_x = 0, camera_y = 0;
    __mFX_lightning_draw(&camera_x, &camera_y);
    expect_pixel(pixel(150, 50), {0, 255, 0, 255}, 3, "on the line");
    expect_pixel(pixel(150, 60), {0, 0, 0, 255}, 3, "off the line");
}

}  // namespace
