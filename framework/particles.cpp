#include "framework/particles.h"

#include "base/containers.h"
#include "base/light.h"
#include "base/modules.h"
#include "base/quaternion.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"
#include "scene/transform.h"

#include <algorithm>
#include <cmath>

namespace {

bool finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite(const cColor& c)
{
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

}  // namespace

void cVantorParticle::init(const cVector3D& at, const cVector3D& speed, const cColor& tint, float seconds,
                           float edge)
{
    position = at;
    velocity = speed;
    life_initial = seconds;
    life = seconds;
    colour = tint;
    depth = 0;
    size = edge;
}

float cVantorParticle::fade() const
{
    return life_initial == 0 ? 0.0f : life / life_initial;
}

bool cVantorParticleSystem::add(const cVector3D& position, const cVector3D& velocity, const cColor& colour,
                                float life, float size)
{
    if (!finite(position) || !finite(velocity) || !finite(colour) || !std::isfinite(life) || !std::isfinite(size))
        return false;
    cVantorParticle particle;
    particle.init(position, velocity, colour, life, size);
    particles.push_back(particle);
    return true;
}

void cVantorParticleSystem::update(float dt, const cVector3D& eye, const cMatrix3D& camera)
{
    const cVector3D axis(camera.m[2], camera.m[5], camera.m[8]);
    size_t kept = 0;
    for (cVantorParticle& particle : particles) {
        particle.position = particle.position + particle.velocity * double(dt);
        particle.depth = float(dot(particle.position - eye, axis));
        particle.life -= dt;
        if (particle.life < 0 || !std::isfinite(particle.depth)) continue;
        particles[kept++] = particle;
    }
    particles.resize(kept);
    std::sort(particles.begin(), particles.end(),
              [](const cVantorParticle& a, const cVantorParticle& b) { return a.depth < b.depth; });
}

void cVantorParticleSystem::clear()
{
    particles.clear();
}

cVantorParticleSystem::~cVantorParticleSystem()
{
    delete shaders;
}

void cVantorParticleSystem::draw(const cMatrix3D& camera, cLight* light) const
{
    if (!__mGraphics_instance()->interface_table || particles.empty()) return;
    cQuaternion facing;
    __cQuaternion_from_matrix(&facing, &camera);
    DSarray<int32_t> white;
    white.add(0);
    for (const cVantorParticle& particle : particles) {
        const float fade = particle.fade();
        const cColor c = particle.colour;
        cMaterial material(cColor(c.r, c.g, c.b, fade), cColor(0, 0, 0, fade), cColor(0, 0, 0, fade),
                           cColor(0.15f, 0.15f, 0.15f, fade), 0);
        ctRendererSetup setup;
        setup.shaders = shaders ? shaders : get_default_shader_set();
        setup.textures = &white;
        setup.material = &material;
        setup.shader_light = light;
        setup.use_shader_light = 1;
        setup.additive = 0;
        ctRendererQuad quad(&setup);
        ctScaledTransform place(particle.position, facing, cVector3D(particle.size, particle.size, particle.size));
        place.begin_transform();
        draw_renderer(&quad);
        place.end_transform();
    }
}
