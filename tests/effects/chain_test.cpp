#include "tests/effects/effects_fixture.h"

namespace {

struct ChainArgs {
    std::vector<float> xs{0, 100}, ys{0, 0};
    int16_t count = 2;
    Keys keys{{cColor(1, 1, 1, 0.5f)}};
    int16_t key_count = 1;
    float life = 2, final_width = 10, initial_width = 10;
    int strip_glow = 3, strip_mask = 4, node_glow = 5, node_mask = 6;
    int16_t cells = 1, rate = 0;
    float phase = 0;
    int16_t mode = 0;

    void add()
    {
        __mFX_chain_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &final_width, &initial_width,
                        &strip_glow, &strip_mask, &node_glow, &node_mask, &cells, &rate, &phase, &mode);
    }
};

using EffectsChains = EffectsTest;

const std::vector<int> kPiece = {58, 55, 69, 55, 69, 59, 55, 69, 55, 69, 60};
const std::vector<int> kNode = {58, 55, 76, 59, 55, 76, 60};

std::vector<int> joined(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> out;
    for (const std::vector<int>& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST_F(EffectsChains, TwoPointsDrawOneMaskedPieceAndTwoNodeSprites)
{
    ChainArgs c;
    c.add();
    const FakeGraphics& log = draw_chains();
    EXPECT_EQ(log.slots(), joined({{22}, kPiece, kNode, kNode, {60, 30}}));

    // The strip runs along y = 0, 10 wide, mask first in the grey, glow second.
    const std::vector<GraphicsCall> triangles = log.of_slot(69);
    EXPECT_EQ(triangles[0].numbers, (std::vector<double>{0, -5, 0, 0, 100, -5, 1, 0, 100, 5, 1, 1}));
    EXPECT_EQ(triangles[1].numbers, (std::vector<double>{0, -5, 0, 0, 100, 5, 1, 1, 0, 5, 0, 1}));
    expect_colour(triangles[0].colour, cColor(0.5f, 0.5f, 0.5f, 1), "strip mask pass");
    expect_colour(triangles[2].colour, cColor(1, 1, 1, 0.5f), "strip glow pass");
    const std::vector<GraphicsCall> binds = log.of_slot(55);
    EXPECT_EQ(binds[0].numbers[0], 4);
    EXPECT_EQ(binds[2].numbers[0], 3);
    EXPECT_EQ(binds[4].numbers[0], 6);
    EXPECT_EQ(binds[5].numbers[0], 5);
    // Node sprites of the strip's width centred on the points.
    EXPECT_EQ(log.of_slot(76)[0].numbers[0], -5);
    EXPECT_EQ(log.of_slot(76)[2].numbers[0], 95);
}

TEST_F(EffectsChains, NoStripMaskSwitchesOnAlphaBlendingInsteadOfTheMaskPass)
{
    ChainArgs c;
    c.strip_mask = -1;
    c.add();
    EXPECT_EQ(draw_chains().slots(), joined({{22, 57, 59, 55, 69, 55, 69, 60}, kNode, kNode, {60, 30}}));
}

TEST_F(EffectsChains, TheWidthFollowsTheLifeAndTheSheetFollowsThePhase)
{
    ChainArgs c;
    c.initial_width = 10;
    c.final_width = 2;
    c.cells = 4;
    c.rate = 2;
    c.add();
    update(0.5f);  // a quarter of the life: width 8; phase 2 * 4 / 2 * 0.5 = 2
    const FakeGraphics& log = draw_chains();
    EXPECT_EQ(log.of_slot(76)[0].numbers[2], 8);
    EXPECT_EQ(log.of_slot(76)[0].numbers[4], 2);
    EXPECT_EQ(log.of_slot(69)[0].numbers[2], 0.5);
    EXPECT_EQ(log.of_slot(69)[0].numbers[6], 0.75);
}

TEST_F(EffectsChains, DrawModesPlaceTheSheetCellPerSegment)
{
    struct Case {
        int16_t mode;
        double second_near, second_far;  // the second segment's u ends
    };
    for (const Case& m : {Case{0, 0.25, 0.5}, Case{1, 0, 0.25}, Case{2, 0.5, 0.25}}) {
        SCOPED_TRACE(m.mode);
        ChainArgs c;
        c.xs = {0, 50, 100};
        c.ys = {0, 0, 0};
        c.count = 3;
        c.cells = 4;
        c.phase = 1;
        c.mode = m.mode;
        c.add();
        const std::vector<GraphicsCall> triangles = draw_chains().of_slot(69);
        ASSERT_EQ(triangles.size(), 8u);
        EXPECT_EQ(triangles[0].numbers[2], 0.25);  // the first segment always shows cell 1
        EXPECT_EQ(triangles[0].numbers[6], 0.5);
        EXPECT_EQ(triangles[4].numbers[2], m.second_near);
        EXPECT_EQ(triangles[4].numbers[6], m.second_far);
        __mFX_close();
        ASSERT_TRUE(__mFX_open());
    }
}

TEST_F(EffectsChains, TheCrossDirectionAtABendIsTheMeanOfBothSides)
{
    ChainArgs c;
    c.xs = {0, 100, 100};
    c.ys = {0, 0, 100};
    c.count = 3;
    c.initial_width = c.final_width = 20;
    c.add();
    const std::vector<GraphicsCall> triangles = draw_chains().of_slot(69);
    // At the corner the mean of east and south is south-east; its cross
    // direction (y, -x) points north-east, 10 / sqrt 2 each way.
    EXPECT_EQ(triangles[0].numbers[4], 107);
    EXPECT_EQ(triangles[0].numbers[5], -7);
}

TEST_F(EffectsChains, OnePointDrawsItsNodeAndNoneDrawsNothing)
{
    ChainArgs c;
    c.count = 1;
    c.add();
    EXPECT_EQ(draw_chains().slots(), joined({{22}, kNode, {60, 30}}));
    __mFX_close();
    ASSERT_TRUE(__mFX_open());
    c.count = 0;
    c.add();
    EXPECT_EQ(draw_chains().slots(), (std::vector<int>{22, 60, 30}));
}

}  // namespace
