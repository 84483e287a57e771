// Chains: a textured strip through up to 16 points with a sprite at each
// point, narrowing over its life while its sheet animates.
#pragma once

#include "base/graphics_interface.h"
#include "effects/fx_base.h"

constexpr int kMaxChainPoints = 16;

class fxChain : public fxBase {
public:
    bool update(float dt) override;
    void draw(modGraphics& graphics) override;

    float point_x[kMaxChainPoints] = {};
    float point_y[kMaxChainPoints] = {};
    int16_t point_count = 0;
    float final_width = 0;
    float initial_width = 0;
    int strip_glow_image = 0;
    int strip_mask_image = 0;
    int node_glow_image = 0;
    int node_mask_image = 0;
    int16_t cells_across = 1;
    int16_t animation_rate = 0;
    int16_t draw_mode = 0;  // 0 the same cell, 1 one cell further a segment, 2 every other segment mirrored
    float phase = 0;

private:
    struct Corner {
        double x, y;
    };
    float width_over_life() const;
    // The strip's cross direction at point i, unit length (zero where points repeat).
    Corner cross_at(int i) const;
    void draw_piece(graphics_interface& g, int segment, float width, int cell, const cColor& colour) const;
};
