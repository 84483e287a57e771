// Particles: sprites or short texts that move, slow down, animate through a
// sheet and change colour and size over their life.
#pragma once

#include <string>

#include "effects/fx_base.h"

class fxParticle : public fxBase {
public:
    void deactivate() override;
    bool update(float dt) override;
    void draw(modGraphics& graphics) override;

    // Size over life, each side truncated to an integer.
    int width_over_life() const;
    int height_over_life() const;

    float x = 0, y = 0, vx = 0, vy = 0, ax = 0, ay = 0, drag_x = 0, drag_y = 0;
    float size_keys_x[kMaxKeys] = {};
    float size_keys_y[kMaxKeys] = {};
    int16_t size_key_count = 1;
    int image_a = 0;  // glow, drawn additively in the colour
    int image_b = 0;  // mask, drawn first with multiply blending
    int16_t cells_across = 1;
    int16_t frames_over_life = 0;
    float current_frame = 0;
    bool has_text = false;
    std::string text;

private:
    void draw_text(modGraphics& graphics, const cColor& colour, int width, int height);
};

// A copy of the template (with its life restarted) at the given position and
// velocity in the next free particle; false when the pool is full or absent.
bool add_particle(const fxParticle& templ, float x, float y, float vx, float vy);
