#include "base/modules.h"
#include "game/control_bindings.h"
#include "game/game.h"
#include "game/music.h"
#include "game/settings.h"

// The selected scheme's bindings; a scheme that steers with the mouse keeps
// the pointer in the window and out of sight.
static void bind_selected_scheme(cGame* game)
{
    build_bindings(&game->controller, find_control_scheme(game->rules, settings_record.control_scheme));
    input_interface* input = __mInput_instance()->interface_table;
    if (!input) return;
    if (binding_uses_input(&game->controller, "Mouse X") || binding_uses_input(&game->controller, "Mouse Y")) {
        input->grab_input();
        input->hide_cursor();
    }
}

void enter_race(cGame* game)
{
    bind_selected_scheme(game);
    start_race_music(game);
    game->add_chat_line("#C6668(Toggle Music with M)");
}

void leave_race(cGame* game)
{
    input_interface* input = __mInput_instance()->interface_table;
    if (input) {
        input->release_input();
        input->show_cursor();
    }
    stop_game_music(game);
}
