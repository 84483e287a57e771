#include "tests/effects/effects_fixture.h"

namespace {

using EffectsFog = EffectsTest;

void set_grid(int16_t width, int16_t height)
{
    __mFX_fog_set_grid_size(&width, &height);
}

void change(int16_t x, int16_t y, float density)
{
    __mFX_fog_change_point(&x, &y, density);
}

const FakeGraphics& draw_fog(int texture)
{
    fake_graphics().calls.clear();
    __mFX_fog_draw(texture);
    return fake_graphics();
}

TEST_F(EffectsFog, EachDenseCellDarkensARectangleAroundItsPoint)
{
    set_grid(3, 3);
    change(1, 2, 0.5f);
    change(2, 0, 0.25f);
    const FakeGraphics& log = draw_fog(12);
    EXPECT_EQ(log.slots(), (std::vector<int>{58, 55, 76, 55, 76, 60}));
    // On an 800 x 600 window the points are 400 x 300 apart, each cell twice that.
    const std::vector<GraphicsCall> cells = log.of_slot(76);
    EXPECT_EQ(cells[0].numbers, (std::vector<double>{400, -300, 800, 600, 0, 0, 1, 1}));
    expect_colour(cells[0].colour, cColor(0.25f, 0.25f, 0.25f, 1), "cell (2, 0)");
    EXPECT_EQ(cells[1].numbers, (std::vector<double>{0, 300, 800, 600, 0, 0, 1, 1}));
    EXPECT_EQ(log.of_slot(55)[0].numbers, (std::vector<double>{12, 0}));
}

TEST_F(EffectsFog, AGridNeedsBothSidesAboveOne)
{
    for (auto size : {std::pair<int16_t, int16_t>{1, 5}, {5, 1}, {0, 0}, {-4, 6}}) {
        set_grid(size.first, size.second);
        change(0, 0, 1);
        EXPECT_TRUE(draw_fog(1).calls.empty());
    }
}

TEST_F(EffectsFog, ANewSizeStartsClearAndPointsOutsideAreIgnored)
{
    set_grid(2, 2);
    change(1, 1, 1);
    set_grid(2, 2);
    for (auto point : {std::pair<int16_t, int16_t>{2, 0}, {0, 2}, {-1, 0}, {0, -1}}) change(point.first, point.second, 1);
    EXPECT_EQ(draw_fog(1).slots(), (std::vector<int>{58, 60}));
}

}  // namespace
