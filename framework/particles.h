// The program's 3D particles: short-lived coloured quads that face the camera
// and fade out over their life. The race adds them (bursts, trails); the
// program moves and depth-sorts them once a frame.
#pragma once

#include <cstdint>
#include <vector>

#include "base/color.h"
#include "base/matrix.h"
#include "base/vector.h"

class cLight;
class ctShaderSet;

class cVantorParticle {
public:
    void init(const cVector3D& position, const cVector3D& velocity, const cColor& colour, float life, float size);
    // life / life_initial; 0 for a particle made with no life.
    float fade() const;

    cVector3D position;
    cVector3D velocity;  // units per second
    float life_initial = 0;
    float life = 0;  // seconds left
    cColor colour;
    float depth = 0;  // along the camera's third axis, as of the last update
    float size = 0;   // edge scale of the quad
};

class cVantorParticleSystem {
public:
    cVantorParticleSystem() = default;
    cVantorParticleSystem(const cVantorParticleSystem&) = delete;
    cVantorParticleSystem& operator=(const cVantorParticleSystem&) = delete;
    // Deletes its shader set.
    virtual ~cVantorParticleSystem();

    // False, adding nothing, for a number that is not finite: the depth sort
    // cannot order such a particle.
    bool add(const cVector3D& position, const cVector3D& velocity, const cColor& colour, float life, float size);
    // Moves every particle, measures its depth from the eye along the camera's
    // third column, removes those whose life has run below 0 (or whose depth
    // is no longer finite) and sorts the rest by depth, smallest first. The
    // camera looks down minus its third column, so that is farthest first,
    // the order alpha blending needs.
    void update(float dt, const cVector3D& eye, const cMatrix3D& camera);
    void clear();
    // Every particle in its order as a quad facing the camera, alpha-blended
    // by its fade, lit by light in the single-light mode. Nothing is drawn
    // while no graphics module is bound.
    void draw(const cMatrix3D& camera, cLight* light) const;

    uint32_t count() const { return uint32_t(particles.size()); }
    // In drawing order; null past the end.
    const cVantorParticle* get(uint32_t index) const { return index < particles.size() ? &particles[index] : nullptr; }

    // Owned; null draws with the default set (when there are shaders).
    ctShaderSet* shaders = nullptr;

private:
    std::vector<cVantorParticle> particles;
};
