// The lobby screen: who hosts or was joined, the host's start button and the
// competitors with their species.
#include <string>

#include "base/input_names.h"
#include "base/modules.h"
#include "framework/screen_text.h"
#include "game/game.h"
#include "game/lobby.h"

static const cColor kWhite(1, 1, 1, 1);
static const cColor kLightBlue(0, 0.5f, 1, 1);
static const cColor kBlue(0, 0, 1, 1);
static const int32_t kStartButtonY = 74;

static int32_t half_width()
{
    return __mGraphics_instance()->window_width / 2;
}

static void draw_line(const std::string& line, const cVector2D<int32_t>& at, const cColor& color, bool centred)
{
    draw_screen_text(__mGraphics_instance()->text, at, 16, 12, line.c_str(), color, -1, centred, false, false);
}

bool start_button_clicked()
{
    input_interface* input = __mInput_instance()->interface_table;
    if (!input) return false;
    if (!input->digital_pressed(kInputLeftMouse) && !input->digital_pressed(kInputRightMouse)) return false;
    const int32_t dx = input->mouse_x() - half_width();
    const int32_t dy = input->mouse_y() - kStartButtonY;
    return dx > -128 && dx < 128 && dy > -16 && dy < 16;
}

static void draw_start_button()
{
    cGraphicsText* text = __mGraphics_instance()->text;
    const cVector2D<int32_t> centre(half_width(), kStartButtonY);
    draw_screen_box(cVector2D<int32_t>(256, 32), text, centre, kLightBlue);
    draw_screen_box(cVector2D<int32_t>(252, 28), text, centre, kBlue);
    draw_line("OMG START!", centre, kWhite, true);
}

void cGame::render_lobby_screen(cViewReference*, bool am_server)
{
    if (am_server) {
        draw_line("You are hosting at: " + get_network_name(), cVector2D<int32_t>(half_width(), 16), kWhite, true);
        draw_start_button();
    } else {
        draw_line("You have joined: " + joined_host, cVector2D<int32_t>(half_width(), 16), kWhite, true);
    }
    draw_line("CCCCCCOMPETITORS!!!!", cVector2D<int32_t>(16, 128), kWhite, false);
    int32_t listed = 0;
    for (const player_record& record : players) {
        if (record.state < 2) continue;
        const std::string species = record.species < kSpeciesCount ? speciesNames[record.species] : "";
        draw_line(std::string(record.name) + " - " + species, cVector2D<int32_t>(16, (listed + 10) * 16), kLightBlue,
                  false);
        ++listed;
    }
}
