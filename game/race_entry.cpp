#include "base/modules.h"
#include "game/game.h"
#include "game/music.h"

void enter_race(cGame* game)
{
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
