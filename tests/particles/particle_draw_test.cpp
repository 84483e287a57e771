// Particles drawn on the real plug-in's GL context: camera-facing quads at
// their places, of their size.
#include <unistd.h>

#include <climits>

#include "base/light.h"
#include "framework/particles.h"
#include "scene/shader_set.h"
#include "tests/program/test_program.h"
#include "tests/render/scene_window.h"
#include "tests/support/scratch.h"

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

// The program's own particles, as its start-up sets them up: the unlit-only
// set draws each one in a single pass, with no lit pass over it.
TEST_F(ParticlesWithShaders, OfTheProgramDrawInOneUnlitPass)
{
    char previous_folder[PATH_MAX];
    ASSERT_NE(getcwd(previous_folder, sizeof previous_folder), nullptr);
    ScratchFolder scratch;
    make_folder(scratch / "data");
    make_folder(scratch / "data/zorblitRally");
    write_file(scratch / "data/zorblitRally/rules.ini", "Servers < a >\n");
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    TestProgram program;
    program.program_startup("zorblitRally.ini", "data/zorblitRally/rules.ini", "zorblitRally.servers");
    ASSERT_EQ(chdir(previous_folder), 0);

    const ctShaderSet* set = program.particles.shaders;
    ASSERT_NE(set, nullptr) << "start-up gives the particles a set of their own";
    EXPECT_NE(set->program_ids.x, -1);
    EXPECT_EQ(set->program_ids.y, -1) << "no lit program";
    look_at_origin();
    ASSERT_TRUE(program.particles.add(cVector3D(0, 0, 0), cVector3D(), cColor(1, 1, 1, 1), 1.0f, 0.3f));
    program.particles.update(0, cVector3D(0, 0, 4), cMatrix3D());
    end_frame();
    cLight light;
    light.direction = cVector3D(0, 0, 1);
    program.particles.draw(cMatrix3D(), &light);
    save_screenshot("particles_unlit.png");
    EXPECT_GT(brightness(160, 120), brightness(160, 20) + 30) << "the particle shows";
    EXPECT_EQ(end_frame().draw_calls, 1) << "one pass";
}
