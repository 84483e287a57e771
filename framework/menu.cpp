#include "framework/menu.h"

#include <cstdio>
#include <cstdlib>

#include "base/input_names.h"
#include "base/modules.h"
#include "base/strings.h"
#include "framework/screen_text.h"

static const int kNameCapacity = 31;  // a 32-byte buffer
static const int kNewServerCapacity = 63;
static const int32_t kFirstFieldY = 54;
static const int32_t kSecondFieldY = 124;
static const int32_t kDialogueFieldY = 96;
static const int32_t kDialogueButtonY = 168;
static const int32_t kRowHeight = 70;
static const int32_t kButtonSpacing = 200;

static const cColor kWhite(1, 1, 1, 1);
static const cColor kGrey(0.5f, 0.5f, 0.5f, 1);
static const cColor kDarkGrey(0.3f, 0.3f, 0.3f, 1);
static const cColor kFieldGrey(0.2f, 0.2f, 0.2f, 1);
static const cColor kLightBlue(0, 0.5f, 1, 1);
static const cColor kBlue(0, 0, 1, 1);
static const cColor kOrange(1, 0.5f, 0, 1);
static const cColor kRed(1, 0, 0, 1);

static cGraphicsText* text_accessor()
{
    return __mGraphics_instance()->text;
}

// The positions that follow from the window and the menu's contents, and
// this frame's pointer when there is input to read.
struct cVantorMenu::Layout {
    Layout(const cVantorMenu& menu, input_interface* input)
    {
        const modGraphics* graphics = __mGraphics_instance();
        cx = graphics->window_width / 2;
        height = graphics->window_height;
        rows = menu.second_field ? 3 : 2;
        const int32_t lists = int32_t(menu.button_lists.count());
        server_y = (lists + rows) * kRowHeight + 90;
        host_y = (lists + rows) * kRowHeight + 162;
        if (!input) return;
        left = input->digital_pressed(kInputLeftMouse);
        right = input->digital_pressed(kInputRightMouse);
        clicked = left || right;
        mouse_x = input->mouse_x();
        mouse_y = input->mouse_y();
    }

    int32_t list_y(uint32_t list) const { return rows * kRowHeight + kRowHeight * int32_t(list); }
    cVector2D<int32_t> option(uint32_t k, uint32_t n, int32_t y) const
    {
        return cVector2D<int32_t>(cx - ((int32_t(n) - 1) * kButtonSpacing) / 2 + kButtonSpacing * int32_t(k),
                                  y + 24);
    }
    cVector2D<int32_t> server(uint32_t k, uint32_t n) const
    {
        return cVector2D<int32_t>(cx + kButtonSpacing * int32_t(k) - (kButtonSpacing * int32_t(n)) / 2,
                                  server_y + 24);
    }
    bool hit(const cVector2D<int32_t>& centre) const
    {
        return clicked && abs(mouse_x - centre.x) < 90 && abs(mouse_y - centre.y) < 16;
    }
    bool clicked_in_band(int32_t top, int32_t bottom) const
    {
        return clicked && mouse_y >= top && mouse_y <= bottom;
    }

    int32_t cx;
    int32_t height;
    int32_t rows;
    int32_t server_y;
    int32_t host_y;
    int32_t mouse_x = 0;
    int32_t mouse_y = 0;
    bool clicked = false;
    bool left = false;
    bool right = false;
};

static void draw_text(const cVector2D<int32_t>& at, const char* text, const cColor& color)
{
    draw_screen_text(text_accessor(), at, 16, 12, text, color, -1, true, false, false);
}

static void draw_button(const cVector2D<int32_t>& at, const char* text, const cColor& outer, const cColor& inner)
{
    draw_screen_box(cVector2D<int32_t>(180, 32), text_accessor(), at, outer);
    draw_screen_box(cVector2D<int32_t>(172, 24), text_accessor(), at, inner);
    draw_text(at, text, kWhite);
}

void cVantorMenu::setup(std::string new_title, std::string new_credits, char* new_first_field,
                        char* new_second_field)
{
    title = new_title;
    credits = new_credits;
    first_field = new_first_field;
    second_field = new_second_field;
}

void cVantorMenu::add_server(std::string name)
{
    server_names.insert(new std::string(name));
    server_states.add(0);
}

void cVantorMenu::report_missing_field() const
{
    if (!first_field) printf("ERROR: %s\n", "Vantor Menu does not appear to be properly initialized");
}

uint16_t cVantorMenu::update(float dt)
{
    input_interface* input = __mInput_instance()->interface_table;
    const Layout layout(*this, input);
    if (adding_server) return update_dialogue(layout);

    blink_phase += dt;
    while (blink_phase > 1) blink_phase -= 1;
    report_missing_field();
    if (focus == 0 && first_field) input->edit_text(first_field, kNameCapacity, nullptr);
    if (focus == 1 && second_field) input->edit_text(second_field, kNameCapacity, nullptr);

    select_field(layout);
    select_options(layout);
    if (initialised && layout.hit(cVector2D<int32_t>(layout.cx, layout.host_y))) return kMenuHostGame;
    return click_servers(layout);
}

// There is no cancel: the dialogue stays until a name, even an empty one, is confirmed.
uint16_t cVantorMenu::update_dialogue(const Layout& layout)
{
    input_interface* input = __mInput_instance()->interface_table;
    input->edit_text(new_server_name, kNewServerCapacity, nullptr);
    if (layout.hit(cVector2D<int32_t>(layout.cx, kDialogueButtonY)) || input->digital_pressed(kInputEnter)) {
        add_server(new_server_name);
        adding_server = false;
        new_server_name[0] = 0;
    }
    return kMenuNothing;
}

// Each band runs from the centre line of its field's box to 24 pixels below the box.
void cVantorMenu::select_field(const Layout& layout)
{
    if (layout.clicked_in_band(70, 102)) focus = 0;
    if (second_field && layout.clicked_in_band(140, 172)) focus = 1;
}

void cVantorMenu::select_options(const Layout& layout)
{
    if (!layout.clicked) return;
    for (uint32_t i = 0; i < button_lists.count(); ++i) {
        ButtonList* list = button_lists.get(i);
        const uint32_t n = list->options ? list->options->count() : 0;
        for (uint32_t k = 0; k < n; ++k)
            if (layout.hit(layout.option(k, n, layout.list_y(i))) && list->selection) *list->selection = uint16_t(k);
    }
}

uint16_t cVantorMenu::click_servers(const Layout& layout)
{
    if (!layout.clicked) return kMenuNothing;
    const uint32_t n = server_names.count();
    for (uint32_t k = 0; k <= n; ++k) {
        if (!layout.hit(layout.server(k, n))) continue;
        if (k < n && layout.right) {
            server_names.erase(k);
            server_states.remove(k);
            return kMenuNothing;
        }
        if (k < n) return uint16_t(k);
        if (layout.left) {
            adding_server = true;
            new_server_name[0] = 0;
        }
    }
    return kMenuNothing;
}

void cVantorMenu::draw()
{
    const Layout layout(*this, nullptr);
    report_missing_field();
    int width = 0;
    int lines = 0;
    __mystring_extract_width_and_height_from_string(credits.c_str(), &width, &lines);
    draw_text(cVector2D<int32_t>(layout.cx, layout.height - 8 * lines), credits.c_str(), kWhite);
    draw_screen_text(text_accessor(), cVector2D<int32_t>(layout.cx, 16), 32, 24, title.c_str(), kWhite, -1, true,
                     false, false);
    if (adding_server) {
        draw_edit_field(layout, kDialogueFieldY, "New Server Name", new_server_name, true, false);
        draw_button(cVector2D<int32_t>(layout.cx, kDialogueButtonY), "Add Server", kLightBlue, kBlue);
        return;
    }
    draw_edit_field(layout, kFirstFieldY, "User Name", first_field ? first_field : "", focus == 0, false);
    if (second_field) draw_edit_field(layout, kSecondFieldY, "Password", second_field, focus == 1, true);
    draw_option_lists(layout);
    draw_server_list(layout);
    if (initialised) draw_button(cVector2D<int32_t>(layout.cx, layout.host_y), "Host Game", kLightBlue, kBlue);
}

// The cursor blinks in the first field's place; a blank keeps the centred text still.
void cVantorMenu::draw_edit_field(const Layout& layout, int32_t y, const char* label, const char* text,
                                  bool focused, bool masked) const
{
    const cVector2D<int32_t> text_at(layout.cx, y + 16);
    draw_screen_box(cVector2D<int32_t>(256, 16), text_accessor(), text_at, kFieldGrey);
    draw_text(cVector2D<int32_t>(layout.cx, y), (std::string(label) + (focused ? " [type to change]" : "")).c_str(),
              kGrey);
    if (masked) {
        draw_screen_text(text_accessor(), text_at, 16, 12, text, kWhite, -1, true, false, true);
        return;
    }
    const bool cursor = blink_phase < 0.5f && focus == 0;
    draw_text(text_at, (std::string(text) + (cursor ? "#C5558_" : " ")).c_str(), kWhite);
}

void cVantorMenu::draw_option_lists(const Layout& layout) const
{
    for (uint32_t i = 0; i < button_lists.count(); ++i) {
        const ButtonList* list = button_lists.get(i);
        const int32_t y = layout.list_y(i);
        draw_text(cVector2D<int32_t>(layout.cx, y), list->title.c_str(), kGrey);
        const uint32_t n = list->options ? list->options->count() : 0;
        for (uint32_t k = 0; k < n; ++k) {
            const cVector2D<int32_t> at = layout.option(k, n, y);
            const bool chosen = list->selection && *list->selection == k;
            draw_screen_box(cVector2D<int32_t>(180, 32), text_accessor(), at, chosen ? kGrey : kDarkGrey);
            draw_text(at, list->options->get(k)->c_str(), kWhite);
        }
    }
}

void cVantorMenu::draw_server_list(const Layout& layout) const
{
    draw_text(cVector2D<int32_t>(layout.cx, layout.server_y), "Click Server to Join...", kGrey);
    const uint32_t n = server_names.count();
    for (uint32_t k = 0; k <= n; ++k) {
        const bool failed = k < n && server_states.get(k) != 0;
        draw_button(layout.server(k, n), k < n ? server_names.get(k)->c_str() : "Add Server",
                    failed ? kOrange : kLightBlue, failed ? kRed : kBlue);
    }
}
