// The 3D half of the engine: the engine shader programs, the views and the
// frame that updates the program, renders every view and draws the overlay.
#include "base/modules.h"
#include "framework/engine.h"

cUserView::cUserView(const cVector2D<int32_t>& origin, const float& near_plane, const float& fog_start,
                     const float& far_plane, const float& field_of_view, cVector2D<int32_t> size, cColor fog_color,
                     cVector3D camera_position, cMatrix3D camera_rotation)
    : near_plane(near_plane), fog_start(fog_start), far_plane(far_plane), field_of_view(field_of_view),
      fog_color(fog_color), fog_density(0.35f), origin(origin), size(size), camera_position(camera_position),
      camera_rotation(camera_rotation)
{
}

cEngineProc3dMulti::~cEngineProc3dMulti()
{
    delete_default_view();
}

void cEngineProc3dMulti::delete_default_view()
{
    delete default_view;
    default_view = nullptr;
}

void cEngineProc3dMulti::load_engine_shaders()
{
    cGraphicsShaders* shaders = __mGraphics_instance()->shaders;
    const std::string folder = base_path + "/data/+engine/shader/";
    const int simple_vertex = shaders->load_vertex_shader(folder + "simpleTexMap.vert", -1);
    const int simple_fragment = shaders->load_fragment_shader(folder + "simpleTexMap.frag", -1);
    const int map_vertex = shaders->load_vertex_shader(folder + "3dMap.vert", -1);
    const int map_fragment = shaders->load_fragment_shader(folder + "3dMap.frag", -1);
    simple_tex_map_program = -1;
    map_3d_program = -1;
    if (simple_vertex != -1 && simple_fragment != -1)
        simple_tex_map_program = shaders->build_shader_program(simple_vertex, simple_fragment, -1);
    if (map_vertex != -1 && map_fragment != -1)
        map_3d_program = shaders->build_shader_program(map_vertex, map_fragment, -1);
}

bool cEngineProc3dMulti::open_modules(int argc, char** argv)
{
    if (!cEngine::open_modules(argc, argv)) return false;
    load_engine_shaders();
    modGraphics* graphics = __mGraphics_instance();
    const float near_plane = 0.02f;
    const float fog_start = 900;
    const float far_plane = 1000;
    const float field_of_view = 45;
    default_view = new cUserView(cVector2D<int32_t>(0, 0), near_plane, fog_start, far_plane, field_of_view,
                                 cVector2D<int32_t>(graphics->window_width, graphics->window_height),
                                 cColor(0, 0, 0, 1), cVector3D(0, 0, 0), cMatrix3D());
    return true;
}

void cEngineProc3dMulti::close_modules()
{
    delete_default_view();
    cEngine::close_modules();
}

bool cEngineProc3dMulti::run_frame()
{
    float dt = frame_time();
    if (!quit) {
        begin_stage("Game Update");
        update_program(&dt);
        end_stage("Game Update");
    }
    if (!quit) {
        begin_stage("Game Render");
        if (views.count() == 0) {
            cViewReference reference = {-1, default_view};
            render_view(&reference);
        }
        for (uint32_t i = 0; i < views.count(); ++i) {
            cViewReference reference = {int32_t(i), views.get(i)};
            render_view(&reference);
        }
        end_stage("Game Render");
    }
    begin_stage("Game Overlay");
    modGraphics* graphics = __mGraphics_instance();
    graphics->view_width = graphics->window_width;
    graphics->view_height = graphics->window_height;
    graphics->interface_table->set_orthographic(0, 0, int16_t(graphics->window_width),
                                                int16_t(graphics->window_height));
    render_extra_overlay();
    end_stage("Game Overlay");
    return !quit;
}

void cEngineProc3dMulti::render_view(cViewReference* reference)
{
    graphics_interface* graphics = __mGraphics_instance()->interface_table;
    cUserView* view = reference->view;
    if (!view) return;
    if (graphics->shaders_available() && map_3d_program != -1) graphics->use_program(map_3d_program);
    setup_view_3d(view, false);
    graphics->set_depth_test(false);
    graphics->set_lighting(false);
    render_view_scene();
    setup_view_3d(view, true);
    graphics->set_lighting(true);
    graphics->set_depth_test(true);
    render_view_effects(reference);
    graphics->set_lighting(false);
    graphics->set_depth_test(false);
    setup_view_2d(view);
    if (graphics->shaders_available() && simple_tex_map_program != -1) graphics->use_program(simple_tex_map_program);
    render_overlay(reference);
}

void cEngineProc3dMulti::setup_view_3d(cUserView* view, bool use_camera)
{
    static cVector3D origin(0, 0, 0);
    modGraphics* module = __mGraphics_instance();
    graphics_interface* graphics = module->interface_table;
    graphics->set_depth_range(view->near_plane, view->far_plane);
    module->view_width = uint16_t(view->size.x);
    module->view_height = uint16_t(view->size.y);
    double field_of_view = view->field_of_view;
    graphics->set_perspective(uint16_t(view->origin.x), uint16_t(view->origin.y), uint16_t(view->size.x),
                              uint16_t(view->size.y), &field_of_view, use_camera ? &view->camera_position : &origin,
                              &view->camera_rotation);
    graphics->set_viewport(view->origin.x, view->origin.y, view->size.x, view->size.y, module->window_width,
                           module->window_height, false);
    graphics->set_clear_color(&view->fog_color);
    graphics->set_fog(&view->fog_color, &view->fog_density, &view->fog_start, &view->far_plane);
}

void cEngineProc3dMulti::setup_view_2d(cUserView* view)
{
    modGraphics* module = __mGraphics_instance();
    graphics_interface* graphics = module->interface_table;
    module->view_width = uint16_t(view->size.x);
    module->view_height = uint16_t(view->size.y);
    graphics->set_orthographic(int16_t(view->origin.x), int16_t(view->origin.y), int16_t(view->size.x),
                               int16_t(view->size.y));
    graphics->set_viewport(view->origin.x, view->origin.y, view->size.x, view->size.y, module->window_width,
                           module->window_height, false);
}
