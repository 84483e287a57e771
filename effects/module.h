// The effects module's state: the graphics module it draws through, the four
// pools, the fork parameters and the fog grid.
#pragma once

#include <cstdio>

#include "effects/chains.h"
#include "effects/emitters.h"
#include "effects/fog.h"
#include "effects/lightning.h"
#include "effects/particles.h"

class modGraphics;

struct fxModule {
    modGraphics* graphics = nullptr;  // saved by __mFX_open
    fxPool<fxEmitter> emitters;
    fxPool<fxParticle> particles;
    fxPool<fxChain> chains;
    fxPool<fxLightning> bolts;
    fxForkParameters fork;
    fxFog fog;
};

fxModule& fx_module();
// The saved graphics module when its table is bound; null otherwise.
modGraphics* bound_graphics();

template <class... Pointers>
bool all_given(const Pointers*... pointers)
{
    return ((pointers != nullptr) && ...);
}

// The warning for an effect given no life to live.
void refuse_life(const char* what);

bool fill_particle_template(fxParticle& templ, float* size_keys_x, float* size_keys_y, int16_t size_key_count,
                            cColor** colour_keys, int16_t colour_key_count, float life, float ax, float ay,
                            float drag_x, float drag_y, int image_a, int image_b, int16_t cells_across,
                            int16_t frames_over_life, float current_frame);
