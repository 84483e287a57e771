#include "effects/lightning.h"

#include <cmath>

#include "base/modules.h"
#include "effects/module.h"
#include "effects/sparkle.h"

namespace {

using Point = cVector2D<double>;

Point plus(const Point& a, const Point& b)
{
    return Point(a.x + b.x, a.y + b.y);
}

Point times(const Point& a, double k)
{
    return Point(a.x * k, a.y * k);
}

double length_of(const Point& a)
{
    return std::sqrt(a.x * a.x + a.y * a.y);
}

// a at the given length; a zero or non-finite vector stays as the fallback's direction.
Point scaled_to(const Point& a, double length, const Point& fallback)
{
    const double current = length_of(a);
    if (!(current > 0) || !std::isfinite(current)) return times(fallback, length);
    return times(a, length / current);
}

// The points a bolt can run through: finite, each differing from the one
// before, so that every leg has a direction.
std::vector<Point> usable_points(const float* xs, const float* ys, int count)
{
    std::vector<Point> usable;
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) continue;
        const Point p(xs[i], ys[i]);
        if (!usable.empty()) {
            const double leg = length_of(p - usable.back());
            if (!(leg > 0) || !std::isfinite(leg)) continue;
        }
        usable.push_back(p);
    }
    return usable;
}

}  // namespace

void fxLightning::deactivate()
{
    fxBase::deactivate();
    points.clear();
}

void fxLightning::add_segment(const Point& from, const Point& to)
{
    if (full()) return;
    points.push_back(from);
    points.push_back(to);
}

void fxLightning::fork_from(const Point& start, const Point& vector, float chance, int depth,
                            const fxForkParameters& fork)
{
    const double len = length_of(vector);
    if (!(len > 0) || !std::isfinite(len) || full()) return;
    const Point u = times(vector, 1 / len);
    const Point n(u.y, -u.x);
    const double k = (unit_random() * fork.randomness * 2 + 1 - fork.randomness) * len * fork.falloff;
    const Point branches[2] = {plus(times(u, k), times(n, k * fork.factor)),
                               plus(times(u, k), times(n, -k * fork.factor))};
    for (const Point& branch : branches) add_segment(start, plus(start, branch));
    for (const Point& branch : branches)
        if (depth > 0 && chance > unit_random()) fork_from(plus(start, branch), branch, chance, depth - 1, fork);
}

void fxLightning::build(const float* xs, const float* ys, int count, float jitter, int segments, float fork_chance,
                        int fork_depth, const fxForkParameters& fork)
{
    const std::vector<Point> given = usable_points(xs, ys, count);
    if (given.size() < 2) return;
    Point running = given[0];
    for (size_t i = 0; i + 1 < given.size() && !full(); ++i) {
        const Point d = given[i + 1] - given[i];
        const double L = length_of(d);
        const Point u = times(d, 1 / L);
        const Point n(u.y, -u.x);
        const double step = L / segments;
        for (int k = 1; k <= segments && !full(); ++k) {
            Point next = plus(plus(given[i], times(u, k * step)), times(n, jitter * (unit_random() * 2 - 1)));
            if (k == segments && i + 2 == given.size()) next = given[i + 1];
            add_segment(running, next);
            if (fork_chance > unit_random() && fork_depth > 0) {
                const Point s = scaled_to(next - running, 1, u);
                const Point vector = scaled_to(plus(u, times(s - u, 2)), step, u);
                const Point end = plus(running, vector);
                add_segment(running, end);
                if (fork_depth > 1 && fork_chance > unit_random()) {
                    const double scale = (unit_random() * fork.randomness * 2 + 1 - fork.randomness) * step;
                    fork_from(end, scaled_to(vector, scale, u), fork_chance, fork_depth - 2, fork);
                }
            }
            running = next;
        }
    }
}

void fxLightning::draw(modGraphics& graphics)
{
    graphics_interface& g = *graphics.interface_table;
    cColor colour = colour_over_life();
    g.enable_alpha_blending();
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        g.bind_texture(0, 0);
        g.draw_line(to_int(points[i].x), to_int(points[i].y), to_int(points[i + 1].x), to_int(points[i + 1].y),
                    &colour);
    }
    g.disable_blending();
}

void __mFX_lightning_add(float* xs, float* ys, int16_t* point_count, cColor** colour_keys,
                         int16_t* colour_key_count, float* life, float* jitter, int16_t* segments,
                         float* fork_chance, int16_t* fork_depth)
{
    if (!all_given(xs, ys, point_count, colour_key_count, life, jitter, segments, fork_chance, fork_depth)) return;
    if (!(*life > 0)) {
        refuse_life("a lightning bolt");
        return;
    }
    if (*segments <= 0) {
        printf("WARNING: Refused a lightning bolt: it needs at least one segment a leg\n");
        return;
    }
    if (*point_count < 2) return;
    fxLightning* bolt = fx_module().bolts.take();
    if (!bolt) return;
    bolt->set_up(*life, colour_keys, *colour_key_count);
    bolt->points.clear();
    const int depth = *fork_depth > kMaxForkDepth ? kMaxForkDepth : *fork_depth;
    bolt->build(xs, ys, *point_count, *jitter, *segments, *fork_chance, depth, fx_module().fork);
}

void __mFX_lightning_add_line(float* x1, float* y1, float* x2, float* y2, cColor* colour_a, cColor* colour_b,
                              float* life)
{
    if (!all_given(x1, y1, x2, y2, colour_a, colour_b, life)) return;
    if (!(*life > 0)) {
        refuse_life("a lightning line");
        return;
    }
    fxLightning* bolt = fx_module().bolts.take();
    if (!bolt) return;
    cColor* keys[2] = {colour_a, colour_b};
    bolt->set_up(*life, keys, 2);
    bolt->points.clear();
    bolt->add_segment(Point(*x1, *y1), Point(*x2, *y2));
}

static void set_fork_parameter(float* target, const float* value)
{
    if (value && std::isfinite(*value)) *target = *value;
}

void __mFX_lightning_set_fork_factor(float* factor)
{
    set_fork_parameter(&fx_module().fork.factor, factor);
}

void __mFX_lightning_set_fork_falloff(float* falloff)
{
    set_fork_parameter(&fx_module().fork.falloff, falloff);
}

void __mFX_lightning_set_fork_randomness(float* randomness)
{
    set_fork_parameter(&fx_module().fork.randomness, randomness);
}
