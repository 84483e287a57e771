// The fog grid: densities at evenly spaced points over the window, each
// darkening a textured cell around its point.
#pragma once

#include <cstdint>

class modGraphics;

class fxFog {
public:
    fxFog() = default;
    fxFog(const fxFog&) = delete;
    fxFog& operator=(const fxFog&) = delete;
    ~fxFog() { release(); }

    // Frees the old grid; a new zeroed one when both sides exceed 1. A grid
    // that cannot be had leaves none, with an error line.
    void set_size(int16_t new_width, int16_t new_height);
    // Ignored without a grid or outside it.
    void change_point(int16_t x, int16_t y, float density);
    void draw(modGraphics& graphics, int texture) const;
    void release();

    bool has_grid() const { return density != nullptr; }

private:
    int width = 0;
    int height = 0;
    float* density = nullptr;  // row-major: x + width * y
};
