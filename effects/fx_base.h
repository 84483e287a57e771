// What every pooled effect shares: its life, its colour keys and the rule that
// blends keys over the life, and the pools the effects live in.
#pragma once

#include <cstdint>
#include <new>

#include "base/color.h"

class modGraphics;

constexpr int kMaxKeys = 6;

// Far beyond any window, and small enough that a position plus a size of
// this much still fits an int.
constexpr int kCoordinateLimit = 1 << 29;
// A double as a window coordinate: NaN gives 0, values beyond the limit saturate.
int to_int(double value);
// A fresh draw from the engine's generator, 0 to 1.
float unit_random();
// value mod count, never negative; count must be positive.
int wrap(int value, int count);

// The blend of a key list over a life: the key index k and the weight f of key k + 1.
struct fxKeyBlend {
    int k;
    float f;
};
// count must be 1 to 6 and lifetime above 0.
fxKeyBlend blend_over_life(float life, float lifetime, int count);
// Keeps 1 to 6 keys: count clamped, and only the given entries read (the rest stay 0).
int16_t copy_float_keys(float* keys, const float* given, int16_t count);

class fxBase {
public:
    virtual ~fxBase() = default;
    virtual void deactivate() { active = false; }
    // True once the life has run out.
    virtual bool update(float dt)
    {
        life -= dt;
        return life <= 0;
    }
    virtual void draw(modGraphics& graphics) = 0;

    // The set-up of every add: false, and nothing changed, for a life of 0 or
    // less. A null key array or null keys leave those keys transparent black.
    bool set_up(float given_life, cColor* const* keys, int16_t count);
    cColor colour_over_life() const;

    bool active = false;
    float life = 0;
    float lifetime = 0;
    cColor colour_keys[kMaxKeys];
    int16_t key_count = 1;
};

// A fixed pool filled round-robin. T needs an `active` member.
template <class T>
class fxPool {
public:
    fxPool() = default;
    fxPool(const fxPool&) = delete;
    fxPool& operator=(const fxPool&) = delete;
    ~fxPool() { delete[] elements; }

    // Destroys every element and makes count fresh ones (none when count <= 0);
    // false, leaving no pool, when they cannot be had.
    bool reset(int count)
    {
        delete[] elements;
        elements = nullptr;
        size = 0;
        cursor = 0;
        if (count <= 0) return true;
        elements = new (std::nothrow) T[size_t(count)];
        if (!elements) return false;
        size = count;
        return true;
    }

    // The first inactive element from the cursor on, wrapping; null when all are active.
    T* take()
    {
        for (int i = 0; i < size; ++i) {
            const int index = (cursor + i) % size;
            if (!elements[index].active) {
                cursor = (index + 1) % size;
                return &elements[index];
            }
        }
        return nullptr;
    }

    template <class Visit>
    void for_each_active(Visit visit)
    {
        for (int i = 0; i < size; ++i)
            if (elements[i].active) visit(elements[i]);
    }

    int count() const { return size; }

private:
    T* elements = nullptr;
    int size = 0;
    int cursor = 0;
};

// Deactivates every element whose update reports its expiry.
template <class T>
void update_pool(fxPool<T>& pool, float dt)
{
    pool.for_each_active([dt](T& element) {
        if (element.update(dt)) element.deactivate();
    });
}
