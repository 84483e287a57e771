#include "tests/effects/fake_graphics.h"

#include <algorithm>
#include <cstring>

#include "base/modules.h"
#include "base/vector.h"

namespace {

FakeGraphics state;
graphics_interface table;

void log(int slot, std::vector<double> numbers, const cColor* colour = nullptr, const char* text = nullptr)
{
    state.calls.push_back({slot, std::move(numbers), colour ? *colour : cColor(), text ? text : ""});
}

}  // namespace

std::vector<int> FakeGraphics::slots() const
{
    std::vector<int> out;
    for (const GraphicsCall& call : calls) out.push_back(call.slot);
    return out;
}

std::vector<GraphicsCall> FakeGraphics::of_slot(int slot) const
{
    std::vector<GraphicsCall> out;
    for (const GraphicsCall& call : calls)
        if (call.slot == slot) out.push_back(call);
    return out;
}

int FakeGraphics::count(int slot) const
{
    return int(std::count_if(calls.begin(), calls.end(), [slot](const GraphicsCall& c) { return c.slot == slot; }));
}

FakeGraphics& fake_graphics()
{
    return state;
}

void install_fake_graphics()
{
    state = FakeGraphics();
    memset(static_cast<void*>(&table), 0, sizeof table);
    table.push_translate_2d = [](double x, double y) { log(22, {x, y}); };
    table.pop_matrix = [] { log(30, {}); };
    table.bind_texture = [](int texture, uint16_t unit) { log(55, {double(texture), double(unit)}); };
    table.enable_alpha_blending = [] { log(57, {}); };
    table.enable_inverse_multiply_blending = [] { log(58, {}); };
    table.enable_additive_blending = [] { log(59, {}); };
    table.disable_blending = [] { log(60, {}); };
    table.draw_textured_triangle = [](int x1, int y1, double u1, double v1, int x2, int y2, double u2, double v2,
                                      int x3, int y3, double u3, double v3, cColor* c1, cColor*, cColor*) {
        log(69, {double(x1), double(y1), u1, v1, double(x2), double(y2), u2, v2, double(x3), double(y3), u3, v3},
            c1);
    };
    table.draw_line = [](int x1, int y1, int x2, int y2, cColor* colour) {
        log(70, {double(x1), double(y1), double(x2), double(y2)}, colour);
    };
    table.draw_textured_rectangle = [](int x, int y, int width, int height, int cell_x, int cell_y,
                                       int cells_across, int cells_down, cColor* colour, bool, bool, double,
                                       double) {
        log(76, {double(x), double(y), double(width), double(height), double(cell_x), double(cell_y),
                 double(cells_across), double(cells_down)},
            colour);
    };
    table.draw_glyph_text = [](int x, int y, cVector2D<int32_t>* glyph, cVector2D<int32_t>* advance,
                               const char* text, cColor* colour, int, bool centred, bool, bool grey, bool) {
        log(77, {double(x), double(y), double(glyph->x), double(glyph->y), double(advance->x), double(advance->y),
                 double(centred), double(grey)},
            colour, text);
    };
    modGraphics* graphics = __mGraphics_instance();
    graphics->interface_table = &table;
    graphics->window_width = 800;
    graphics->window_height = 600;
}

void uninstall_fake_graphics()
{
    __mGraphics_instance()->interface_table = nullptr;
}
