// Renderers drawn into a small window and read back: the shapes cover the
// same pixels on every GL path, a lit sphere is brighter toward its light, a
// texture shows, the passes follow the lights, and the primitive registry
// shares spheres and lets go of them on "CloseGraphics".
#include <memory>
#include <vector>

#include "base/light.h"
#include "base/matrix.h"
#include "base/modules.h"
#include "base/strings.h"
#include "scene/primitives.h"
#include "scene/renderer.h"
#include "scene/shader_set.h"
#include "scene/transform.h"
#include "scene/visible_object.h"
#include "tests/render/scene_window.h"

namespace {

// Measured on the full path; every other path must cover the same pixels.
constexpr int kQuadCoverage = 21025;
constexpr int kSphereCoverage = 17400;
constexpr int kCubeCoverage = 36141;

cMaterial glowing()
{
    return cMaterial(cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), cColor(1, 1, 1, 1), 0);
}

cMaterial matte()
{
    return cMaterial(cColor(0.1f, 0.1f, 0.1f, 1), cColor(1, 1, 1, 1), cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), 0);
}

cLight directional(const cVector3D& towards_light)
{
    cLight light;
    light.direction = towards_light;
    light.ambient = cColor(0, 0, 0, 1);
    light.specular = cColor(0, 0, 0, 1);
    return light;
}

// A renderer's setup with its own material and lights.
struct OwnSetup {
    ctRendererSetup setup;
    cMaterial material;
    DSParray<cLight> lights{true};

    OwnSetup(ctShaderSet* shaders, const cMaterial& material) : material(material)
    {
        setup.shaders = shaders;
        setup.material = &this->material;
        setup.lights = &lights;
    }
};

void tilt_cube_view(graphics_interface* graphics)
{
    cMatrix3D tilt(0.866, 0, 0.5, 0.25, 0.866, -0.433, -0.433, 0.5, 0.75);
    graphics->push_transform(&tilt);
}

template <class Base>
class Shapes : public Base {
protected:
    ctShaderSet* set() { return this->graphics->shaders_available() ? get_default_shader_set() : nullptr; }

    int drawn_coverage(ctRenderer* renderer, bool tilted = false)
    {
        this->clear_to(0);
        if (tilted) tilt_cube_view(this->graphics);
        draw_renderer(renderer);
        if (tilted) this->graphics->pop_matrix();
        return this->coverage();
    }

    void expect_every_shape_covers_its_pixels()
    {
        this->look_at_origin();
        OwnSetup quad_setup(set(), glowing());
        ctRendererQuad quad(&quad_setup.setup);
        EXPECT_NEAR(drawn_coverage(&quad), kQuadCoverage, kQuadCoverage / 50) << "quad";
        ctRendererSphere sphere(&quad_setup.setup, 24, 16);
        EXPECT_NEAR(drawn_coverage(&sphere), kSphereCoverage, kSphereCoverage / 50) << "sphere";
        ctRendererCube cube(&quad_setup.setup);
        EXPECT_NEAR(drawn_coverage(&cube, true), kCubeCoverage, kCubeCoverage / 50) << "cube";
        // From inside a large cube only the inverted one shows, all round.
        cVector3D large(10, 10, 10);
        this->graphics->push_scale(&large);
        EXPECT_EQ(drawn_coverage(&cube), 0) << "outward cube from inside";
        ctRendererCube inside_out(&quad_setup.setup, true);
        EXPECT_EQ(drawn_coverage(&inside_out), Base::kWidth * Base::kHeight) << "inverted cube from inside";
        this->graphics->pop_matrix();
    }

    void expect_lit_sphere_brighter_toward_its_light()
    {
        this->look_at_origin();
        OwnSetup lit(set(), matte());
        cLight light = directional(cVector3D(1, 0, 0));
        lit.lights.insert(&light);
        ctRendererSphere sphere(&lit.setup, 24, 16);
        this->clear_to(0);
        draw_renderer(&sphere);
        this->save_screenshot("lit_sphere");
        const int cx = Base::kWidth / 2, cy = Base::kHeight / 2;
        const double toward = this->brightness(cx + 45, cy), away = this->brightness(cx - 45, cy);
        EXPECT_GT(toward, 300) << "lit side";
        EXPECT_GT(toward, away + 200) << "lit side against the far side";
        EXPECT_GT(this->brightness(cx, cy), away) << "the middle faces the viewer, half lit";
    }

    void expect_texture_shows()
    {
        this->look_at_origin();
        cColor white(1, 1, 1, 1);
        this->graphics->set_ambient_light(&white);
        const int texture = this->texture_of(2, 2, {255, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255});
        DSarray<int32_t> textures;
        textures.add(texture);
        OwnSetup textured(set(), cMaterial());
        textured.setup.textures = &textures;
        ctRendererQuad quad(&textured.setup);
        this->clear_to(0);
        draw_renderer(&quad);
        this->save_screenshot("textured_quad");
        const Pixel left = this->pixel(Base::kWidth / 2 - 40, Base::kHeight / 2);
        const Pixel right = this->pixel(Base::kWidth / 2 + 40, Base::kHeight / 2);
        expect_pixel(left, {255, 0, 0, 255}, 12, "left half of the texture");
        expect_pixel(right, {0, 0, 255, 255}, 12, "right half of the texture");
    }
};

class FullShapes : public Shapes<FullGL> {};
class FixedShapes : public Shapes<FixedWithBuffers> {};
class ListShapes : public Shapes<ShadersWithLists> {};
class OldGLShapes : public Shapes<OldGL> {};
class GL15Shapes : public Shapes<GL15> {};

}  // namespace

TEST_F(FullShapes, EveryShapeCoversItsPixels) { expect_every_shape_covers_its_pixels(); }
TEST_F(FixedShapes, EveryShapeCoversItsPixels) { expect_every_shape_covers_its_pixels(); }
TEST_F(ListShapes, EveryShapeCoversItsPixels) { expect_every_shape_covers_its_pixels(); }
TEST_F(OldGLShapes, EveryShapeCoversItsPixels) { expect_every_shape_covers_its_pixels(); }
TEST_F(GL15Shapes, EveryShapeCoversItsPixels) { expect_every_shape_covers_its_pixels(); }

TEST_F(FullShapes, ALitSphereIsBrighterTowardItsLight) { expect_lit_sphere_brighter_toward_its_light(); }
TEST_F(FixedShapes, ALitSphereIsBrighterTowardItsLight) { expect_lit_sphere_brighter_toward_its_light(); }
TEST_F(OldGLShapes, ALitSphereIsBrighterTowardItsLight) { expect_lit_sphere_brighter_toward_its_light(); }

TEST_F(FullShapes, ATextureShows) { expect_texture_shows(); }
TEST_F(FixedShapes, ATextureShows) { expect_texture_shows(); }

TEST_F(FullShapes, EachLightIsItsOwnAdditivePass)
{
    look_at_origin();
    OwnSetup two(get_default_shader_set(), matte());
    cLight a = directional(cVector3D(1, 0, 0)), b = directional(cVector3D(-1, 0, 0));
    two.lights.insert(&a);
    two.lights.insert(&b);
    ctRendererQuad quad(&two.setup);
    end_frame();
    draw_renderer(&quad);
    EXPECT_EQ(end_frame().draw_calls, 3) << "unlit, then one pass a light";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    OwnSetup none(get_default_shader_set(), matte());
    ctRendererQuad unlit_only(&none.setup);
    draw_renderer(&unlit_only);
    EXPECT_EQ(end_frame().draw_calls, 1) << "no lights: the unlit pass alone";
}

TEST_F(FullShapes, ASingleLightWithoutItsProgramLeavesTheUnlitPass)
{
    look_at_origin();
    std::unique_ptr<ctShaderSet> unlit(create_unlit_shader_set());
    ASSERT_NE(unlit, nullptr);
    OwnSetup single(unlit.get(), matte());
    cLight light = directional(cVector3D(0, 0, 1));
    single.setup.shader_light = &light;
    single.setup.use_shader_light = 1;
    ctRendererQuad quad(&single.setup);
    end_frame();
    draw_renderer(&quad);
    EXPECT_EQ(end_frame().draw_calls, 1);

    OwnSetup lit(get_default_shader_set(), matte());
    lit.setup.shader_light = &light;
    lit.setup.use_shader_light = 1;
    ctRendererQuad lit_quad(&lit.setup);
    draw_renderer(&lit_quad);
    EXPECT_EQ(end_frame().draw_calls, 2);
}

// A renderer without a set under shaders answers -1 for every program and
// still draws its base pass.
TEST_F(FullShapes, ARendererWithoutASetDrawsUnlit)
{
    look_at_origin();
    OwnSetup bare(nullptr, glowing());
    cLight light = directional(cVector3D(1, 0, 0));
    bare.lights.insert(&light);
    ctRendererQuad quad(&bare.setup);
    for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(quad.get_program(&kind), -1);
    end_frame();
    draw_renderer(&quad);
    EXPECT_EQ(end_frame().draw_calls, 1);
    clear_to(0);
    draw_renderer(&quad);
    EXPECT_GT(coverage(), kQuadCoverage / 2);
}

TEST_F(FixedShapes, AtMostEightFixedLightsInOnePass)
{
    look_at_origin();
    OwnSetup many(nullptr, matte());
    std::vector<cLight> lights(10, directional(cVector3D(0, 0, 1)));
    for (cLight& light : lights) many.lights.insert(&light);
    ctRendererQuad quad(&many.setup);
    end_frame();
    draw_renderer(&quad);
    EXPECT_EQ(end_frame().draw_calls, 1);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(glIsEnabled(GLenum(GL_LIGHT0 + i))) << "light " << i;
}

TEST_F(FullShapes, RendererCopiesItsTextures)
{
    DSarray<int32_t> textures;
    textures.add(4);
    textures.add(9);
    OwnSetup setup(nullptr, cMaterial());
    setup.setup.textures = &textures;
    ctRendererQuad quad(&setup.setup);
    textures.clear();
    EXPECT_EQ(quad.get_texture_count(), 2);
    EXPECT_EQ(quad.get_texture(1), 9);
}

TEST_F(FullShapes, SpheresOfOneDetailShareTheirData)
{
    look_at_origin();
    ctPrimitiveRegistry& registry = primitive_registry();
    ASSERT_EQ(registry.sphere_count(), 0u);
    OwnSetup setup(get_default_shader_set(), glowing());
    ctRendererSphere a(&setup.setup, 12, 8), b(&setup.setup, 12, 8), inside(&setup.setup, 12, 8, true);
    draw_renderer(&a);
    draw_renderer(&b);
    EXPECT_EQ(registry.sphere_count(), 1u);
    EXPECT_EQ(registry.sphere(8, 12, false), registry.sphere(8, 12, false));
    draw_renderer(&inside);
    EXPECT_EQ(registry.sphere_count(), 2u);
    EXPECT_NE(registry.sphere(8, 12, true), registry.sphere(8, 12, false));
    EXPECT_NE(registry.sphere(8, 12, false)->vbo_id, 65535) << "uploaded once";
    EXPECT_EQ(end_frame().vbo_draws, 3);
}

TEST_F(FullShapes, TheSmallestSphereIsFourVerticesAndTwoTriangles)
{
    ctSphereData sphere(1, 1, false);
    EXPECT_EQ(sphere.vertex_count, 4u);
    EXPECT_EQ(sphere.triangle_count, 2u);
    EXPECT_NEAR(sphere.vertices[0].z, 1, 1e-9);
    EXPECT_NEAR(sphere.vertices[3].z, -1, 1e-9);
    const std::vector<int32_t> indices(sphere.indices, sphere.indices + 6);
    EXPECT_EQ(indices, (std::vector<int32_t>{0, 2, 1, 1, 2, 3}));
    ctSphereData inverted(1, 1, true);
    EXPECT_EQ(std::vector<int32_t>(inverted.indices, inverted.indices + 6),
              (std::vector<int32_t>{0, 1, 2, 1, 3, 2}));
}

TEST_F(FullShapes, ASphereWithoutRingsOrSegmentsIsRefused)
{
    OwnSetup setup(get_default_shader_set(), glowing());
    std::unique_ptr<ctRendererSphere> flat;
    EXPECT_EQ(printed([&] { flat.reset(new ctRendererSphere(&setup.setup, 8, 0)); }),
              "ERROR: A sphere needs at least one ring and one segment\n");
    end_frame();
    flat->draw_geometry();
    EXPECT_EQ(end_frame().draw_calls, 0);
    EXPECT_EQ(primitive_registry().sphere(0, 8, false), nullptr);
}

TEST_F(FullShapes, CloseGraphicsEmptiesTheRegistry)
{
    look_at_origin();
    OwnSetup setup(get_default_shader_set(), glowing());
    ctRendererSphere sphere(&setup.setup, 12, 8);
    draw_renderer(&sphere);
    const int vbo = primitive_registry().sphere(8, 12, false)->vbo_id;
    const RoutedMessage close = {__mystring_hash("CloseGraphics"), 0, 0};
    __messageRouter_post_message(&__mGraphics_instance()->mailboxes, &close);
    EXPECT_FALSE(primitive_registry().holds_sets());
    EXPECT_EQ(primitive_registry().sphere_count(), 0u);
    EXPECT_FALSE(graphics->unload_vbo(vbo)) << "the sphere's buffer went with it";
    end_frame();
    clear_to(0);
    draw_renderer(&sphere);
    EXPECT_EQ(coverage(), 0);
    EXPECT_EQ(end_frame().vbo_draws, 0);
}

namespace {

// An object at (-1.5, 0, 0) holding a small quad to its right and a larger
// one where it stands.
class Placed : public _ctVisibleObjectBase {
public:
    cVector3D get_position() override { return cVector3D(-1.5, 0, 0); }
    cQuaternion get_rotation() override { return cQuaternion(); }
};

}  // namespace

TEST_F(FullShapes, AVisibleObjectDrawsEachInstanceInItsPlace)
{
    look_at_origin();
    OwnSetup setup(get_default_shader_set(), glowing());
    ctRendererQuad quad(&setup.setup);
    Placed object;
    auto* right = new _ctVisibleObjectBase::RendererInstance(&quad, cVector3D(0.25, 0.25, 0.25));
    right->position = cVector3D(3, 0, 0);
    object.instances.insert(right);
    object.instances.insert(new _ctVisibleObjectBase::RendererInstance(&quad, cVector3D(0.5, 0.5, 0.5)));
    GLint depth_before = 0, depth_after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
    clear_to(0);
    object.draw();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    EXPECT_EQ(depth_after, depth_before);
    save_screenshot("visible_object");
    // 72 pixels a unit at the origin's depth.
    const int cx = kWidth / 2, cy = kHeight / 2;
    EXPECT_GT(brightness(cx - 108, cy), 600) << "the larger quad where the object stands";
    EXPECT_GT(brightness(cx + 108, cy), 600) << "the small quad to its right";
    EXPECT_LT(brightness(cx, cy), 10) << "nothing between them";
    EXPECT_LT(brightness(cx + 108 + 30, cy), 10) << "the small quad is small";
    EXPECT_NEAR(coverage(), kQuadCoverage / 16 + kQuadCoverage / 4, kQuadCoverage / 40);
}

TEST_F(FullShapes, DrawSpherePlacesATemporarySphere)
{
    look_at_origin();
    OwnSetup setup(get_default_shader_set(), glowing());
    ctTransform place(cVector3D(1.5, 0, 0), cQuaternion());
    clear_to(0);
    draw_sphere(&place, &setup.setup, 16, 12);
    EXPECT_GT(brightness(kWidth / 2 + 108, kHeight / 2), 600);
    EXPECT_LT(brightness(kWidth / 2 - 108, kHeight / 2), 10);
}
