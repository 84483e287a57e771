// sparkle: pooled 2D screen effects (particles, emitters, chains, lightning
// bolts and a fog grid) drawn through the graphics module. Every argument is
// passed by pointer so that scripting hosts can call these. A null argument
// makes the call do nothing (a null key array only leaves those keys zero), as
// does a call on a pool that does not exist or a draw while no graphics module
// is bound.
#pragma once

#include <cstdint>

class cColor;

#define SPARKLE_API extern "C" __attribute__((visibility("default")))

class modFX {
public:
    virtual ~modFX() = default;
};

SPARKLE_API modFX* __mFX_instance();
// Saves the graphics module and makes the pools: 128 emitters, 8192
// particles, 512 chains, 128 bolts. False when a pool cannot be had.
SPARKLE_API bool __mFX_open();
// Destroys every element, the pools and the fog grid.
SPARKLE_API void __mFX_close();
// Moves every live effect on by dt seconds; expired ones leave their pool.
SPARKLE_API void __mFX_update(float* dt);

// Each destroys its pool's live elements and makes a pool of count (none when count <= 0).
SPARKLE_API void __mFX_particle_set_max(int* count);
SPARKLE_API void __mFX_particle_set_emitter_max(int* count);
SPARKLE_API void __mFX_chain_set_max(int* count);
SPARKLE_API void __mFX_lightning_set_max(int* count);

// Key arrays hold key count entries (1 to 6 are kept). Image a is the glow
// image drawn additively in the colour, image b the mask drawn first with
// multiply blending. A particle with text (may be null) draws it with the
// glyph sheet instead of a sprite. A life of 0 or less is refused.
SPARKLE_API void __mFX_particle_add(float* x, float* y, float* size_keys_x, float* size_keys_y,
                                    int16_t* size_key_count, cColor** colour_keys, int16_t* colour_key_count,
                                    float* life, float* vx, float* vy, float* ax, float* ay, float* drag_x,
                                    float* drag_y, int* image_a, int* image_b, int16_t* cells_across,
                                    int16_t* frames_over_life, float* current_frame, const char* text);
// An emitter sheds rate particles a second from a ring of the given radii
// around (x, y) at up to speed, for emitter life seconds.
SPARKLE_API void __mFX_particle_add_emitter(double* x, double* y, double* radius_x, double* radius_y,
                                            float* emitter_life, float* rate, float* size_keys_x,
                                            float* size_keys_y, int16_t* size_key_count, cColor** colour_keys,
                                            int16_t* colour_key_count, float* particle_life, float* speed,
                                            float* ax, float* ay, float* drag_x, float* drag_y, int* image_a,
                                            int* image_b, int16_t* cells_across, int16_t* frames_over_life,
                                            float* current_frame);

// Each draws its pool's live elements shifted by minus the camera.
SPARKLE_API void __mFX_particle_draw(double* camera_x, double* camera_y);
SPARKLE_API void __mFX_chain_draw(double* camera_x, double* camera_y);
SPARKLE_API void __mFX_lightning_draw(double* camera_x, double* camera_y);

// A textured strip through up to 16 points, narrowing from initial width to
// final width over its life. Draw mode 0 repeats the sheet cell on every
// segment, 1 moves it one cell a segment, 2 mirrors every other segment. A
// mask image of -1 draws the strip with its glow image only.
SPARKLE_API void __mFX_chain_add(float* xs, float* ys, int16_t* point_count, cColor** colour_keys,
                                 int16_t* colour_key_count, float* life, float* final_width, float* initial_width,
                                 int* strip_glow_image, int* strip_mask_image, int* node_glow_image,
                                 int* node_mask_image, int16_t* cells_across, int16_t* animation_rate,
                                 float* phase, int16_t* draw_mode);

// A jagged bolt along the given points (at least 2): each leg is cut into
// segments pieces pushed sideways by up to jitter, forking with the given
// chance up to fork depth (at most 8) levels.
SPARKLE_API void __mFX_lightning_add(float* xs, float* ys, int16_t* point_count, cColor** colour_keys,
                                     int16_t* colour_key_count, float* life, float* jitter, int16_t* segments,
                                     float* fork_chance, int16_t* fork_depth);
// One straight segment fading from colour a to colour b.
SPARKLE_API void __mFX_lightning_add_line(float* x1, float* y1, float* x2, float* y2, cColor* colour_a,
                                          cColor* colour_b, float* life);
// How far a fork spreads sideways (0.125), how much shorter each fork level
// is (0.65) and how much that varies (0.2).
SPARKLE_API void __mFX_lightning_set_fork_factor(float* factor);
SPARKLE_API void __mFX_lightning_set_fork_falloff(float* falloff);
SPARKLE_API void __mFX_lightning_set_fork_randomness(float* randomness);

// A grid of densities over the window; none unless both sides exceed 1.
SPARKLE_API void __mFX_fog_set_grid_size(int16_t* width, int16_t* height);
SPARKLE_API void __mFX_fog_change_point(int16_t* x, int16_t* y, float density);
SPARKLE_API void __mFX_fog_draw(int texture);
