// Particles drawn on the real plug-in's GL context: camera-facing quads at
// their places, of their size.
#include "base/light.h"
#include "framework/particles.h"
#include "tests/render/scene_window.h"

namespace {

template <class Window>
class ParticleDraw : public Window {
protected:
    // Two white particles left and right of the centre, one with three
    // quarters of its life left and one with half.
    void expect_fading_quads(const std::string& screenshot)
    {
        this->look_at_origin();
        cVantorParticleSystem system;
        const cColor white(1, 1, 1, 1);
        ASSERT_TRUE(system.add(cVector3D(-0.6, 0, 0), cVector3D(), white, 2.0f, 0.3f));
        ASSERT_TRUE(system.add(cVector3D(0.6, 0, 0), cVector3D(), white, 1.0f, 0.3f));
        system.update(0.5f, cVector3D(0, 0, 4), cMatrix3D());
        cLight light;
        light.direction = cVector3D(0, 0, 1);
        system.draw(cMatrix3D(), &light);
        this->save_screenshot(screenshot);
        EXPECT_GT(this->coverage(), 200);
        const double background = this->brightness(160, 20);
        EXPECT_GT(this->brightness(117, 120), background + 30);
        EXPECT_GT(this->brightness(203, 120), background + 30);
        EXPECT_LT(this->brightness(160, 120), background + 10) << "two quads, apart";
        EXPECT_LT(this->brightness(117, 70), background + 10) << "no taller than their size";
    }
};

using ParticlesWithShaders = ParticleDraw<FullGL>;
using ParticlesOnOldGL = ParticleDraw<OldGL>;

}  // namespace

TEST_F(ParticlesWithShaders, AreQuadsFadingWithTheirLife) { expect_fading_quads("particles_shaders.png"); }
TEST_F(ParticlesOnOldGL, AreQuadsFadingWithTheirLife) { expect_fading_quads("particles_old_gl.png"); }
