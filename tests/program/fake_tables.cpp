#include "tests/program/fake_tables.h"

#include <cstring>

#include "base/graphics_interface.h"
#include "base/vector.h"
#include "base/input_interface.h"
#include "base/modules.h"
#include "base/network_interface.h"
#include "base/system_interface.h"

namespace {

FakeTables state;
graphics_interface graphics_table;
input_interface input_table;
system_interface system_table;
network_interface network_table;

void no_call() {}
void ignore_bool(bool) {}
void bind_texture(int, uint16_t) {}
void end_frame(void*, FrameStatistics*) {}
void set_clear_color(cColor*) {}
void set_fog(cColor*, float*, float*, float*) {}
void set_depth_range(double, double) {}
void set_viewport(double, double, double, double, uint16_t, uint16_t, bool) {}
void set_perspective(uint16_t, uint16_t, uint16_t, uint16_t, double*, cVector3D*, cMatrix3D*) {}
void set_orthographic(int16_t, int16_t, int16_t, int16_t) {}
bool shaders_available() { return false; }
void use_program(int) {}
void inverse_multiply() { ++state.mask_passes; }

void draw_textured_rectangle(int x, int y, int width, int height, int, int, int, int, cColor* color, bool, bool,
                             double, double)
{
    state.boxes.push_back({x, y, width, height, *color});
}

void draw_glyph_text(int x, int y, cVector2D<int32_t>* glyph, cVector2D<int32_t>* advance, const char* text,
                     cColor* color, int cursor, bool centred, bool, bool grey, bool masked)
{
    if (grey) return;
    state.texts.push_back({x, y, glyph->x, glyph->y, advance->x, advance->y, text, *color, cursor, centred, masked});
}

bool is_pressed(uint16_t index) { return state.pressed.count(index) > 0; }
bool never() { return false; }
void update_input(float*) {}
int16_t mouse_x() { return state.mouse_x; }
int16_t mouse_y() { return state.mouse_y; }

// Appends like the platform's edit_text without a cursor: below capacity - 1.
int edit_text(char* text, int capacity, int16_t*)
{
    state.edit_capacities.push_back(capacity);
    for (char c : state.typed) {
        const size_t length = strlen(text);
        if (int(length) >= capacity - 1) break;
        text[length] = c;
        text[length + 1] = 0;
    }
    return 0;
}

float tick_frame() { return 0.01f; }
const char* no_profile_error(const char*) { return nullptr; }

bool net_poll() { return true; }
bool net_is_server() { return state.server; }
bool net_is_client() { return state.client; }

uint16_t net_start_server()
{
    state.net_calls.push_back("start_server");
    state.server = state.server_result == 0;
    return state.server_result;
}

uint16_t net_stop_server()
{
    state.net_calls.push_back("stop_server");
    state.server = false;
    return 0;
}

uint16_t net_start_client(const char* host)
{
    state.net_calls.push_back(std::string("start_client ") + host);
    state.client = state.client_result == 0;
    return state.client_result;
}

uint16_t net_stop_client()
{
    state.net_calls.push_back("stop_client");
    state.client = false;
    return 0;
}

void fill_graphics(graphics_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->end_frame = end_frame;
    t->set_clear_color = set_clear_color;
    t->set_fog = set_fog;
    t->set_depth_range = set_depth_range;
    t->set_lighting = ignore_bool;
    t->set_depth_test = ignore_bool;
    t->set_viewport = set_viewport;
    t->set_perspective = set_perspective;
    t->set_orthographic = set_orthographic;
    t->shaders_available = shaders_available;
    t->use_program = use_program;
    t->bind_texture = bind_texture;
    t->enable_inverse_multiply_blending = inverse_multiply;
    t->enable_additive_blending = no_call;
    t->disable_blending = no_call;
    t->draw_textured_rectangle = draw_textured_rectangle;
    t->draw_glyph_text = draw_glyph_text;
}

void fill_input(input_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->update_input = update_input;
    t->quit_requested = never;
    t->alt_down = never;
    t->digital_pressed = is_pressed;
    t->mouse_x = mouse_x;
    t->mouse_y = mouse_y;
    t->edit_text = edit_text;
}

void fill_system(system_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->tick_frame = tick_frame;
    t->begin_profile = no_profile_error;
    t->end_profile = no_profile_error;
}

void fill_network(network_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->net_poll = net_poll;
    t->net_is_server = net_is_server;
    t->net_start_server = net_start_server;
    t->net_stop_server = net_stop_server;
    t->net_is_client = net_is_client;
    t->net_start_client = net_start_client;
    t->net_stop_client = net_stop_client;
}

}  // namespace

FakeTables& fake_tables()
{
    return state;
}

void FakeTables::next_frame()
{
    pressed.clear();
    typed.clear();
    boxes.clear();
    texts.clear();
    mask_passes = 0;
}

void FakeTables::click(int x, int y, uint16_t button)
{
    mouse_x = int16_t(x);
    mouse_y = int16_t(y);
    pressed.insert(button);
}

const FakeText* FakeTables::text(const std::string& wanted) const
{
    for (const FakeText& drawn : texts)
        if (drawn.text == wanted) return &drawn;
    return nullptr;
}

const FakeBox* FakeTables::box_centred_at(int x, int y, int width, int height) const
{
    for (const FakeBox& drawn : boxes)
        if (drawn.x == x - width / 2 && drawn.y == y - height / 2 && drawn.width == width && drawn.height == height)
            return &drawn;
    return nullptr;
}

void install_fake_tables(uint16_t window_width, uint16_t window_height)
{
    state = FakeTables();
    fill_graphics(&graphics_table);
    fill_input(&input_table);
    fill_system(&system_table);
    fill_network(&network_table);
    modGraphics* graphics = __mGraphics_instance();
    graphics->interface_table = &graphics_table;
    graphics->window_width = window_width;
    graphics->window_height = window_height;
    graphics->glyph_texture = 7;
    graphics->glyph_mask_texture = 7;
    __mInput_instance()->interface_table = &input_table;
    __mSystem_instance()->interface_table = &system_table;
    __mNetwork_instance()->interface_table = &network_table;
}

void uninstall_fake_network()
{
    __mNetwork_instance()->interface_table = nullptr;
}

void uninstall_fake_tables()
{
    __mGraphics_instance()->interface_table = nullptr;
    __mInput_instance()->interface_table = nullptr;
    __mSystem_instance()->interface_table = nullptr;
    uninstall_fake_network();
}
