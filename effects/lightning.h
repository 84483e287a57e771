// Lightning bolts: jagged segments along given points, with forks that
// branch and shrink level by level.
#pragma once

#include <vector>

#include "base/vector.h"
#include "effects/fx_base.h"

// Forks deeper than this would double the segments at every level.
constexpr int kMaxForkDepth = 8;
// No bolt holds more segments than this, however many points and segments it is given.
constexpr size_t kMaxBoltSegments = 8192;

struct fxForkParameters {
    float factor = 0.125f;     // sideways spread of a branch, as a share of its length
    float falloff = 0.65f;     // each level's length against the one before
    float randomness = 0.2f;   // how much that length varies
};

class fxLightning : public fxBase {
public:
    void deactivate() override;
    void draw(modGraphics& graphics) override;

    // Cuts the legs between the points into segments; see __mFX_lightning_add.
    void build(const float* xs, const float* ys, int count, float jitter, int segments, float fork_chance,
               int fork_depth, const fxForkParameters& fork);
    void add_segment(const cVector2D<double>& from, const cVector2D<double>& to);

    // Consecutive pairs are the segments.
    std::vector<cVector2D<double>> points;

private:
    void fork_from(const cVector2D<double>& start, const cVector2D<double>& vector, float chance, int depth,
                   const fxForkParameters& fork);
    bool full() const { return points.size() >= 2 * kMaxBoltSegments; }
};
