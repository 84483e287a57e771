// The network half of the lobby and of the race: the typed chat line goes
// out, the network step runs, and Escape leaves (the host's Escape in the
// race returns everyone to the lobby). In the lobby the host's start button
// starts the race; in the race the music plays and the race frame runs.
#include "base/input_names.h"
#include "base/modules.h"
#include "framework/framework_packets.h"
#include "game/game.h"
#include "game/music.h"
#include "game/lobby.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/race.h"
#include "game/race_start.h"

static bool escape_pressed()
{
    input_interface* input = __mInput_instance()->interface_table;
    return input && input->digital_pressed(kInputEscape);
}

// Stopping tells every client it is booted before the server closes.
static void update_host(cGame* game, float dt, const std::string& line)
{
    if (!line.empty()) {
        cVantorChatPacket<kPacketMagic>* chat = send_chat_line(line);
        handle_packet(game, uint16_t(game->own_slot), chat);
        chat->destroy();
    }
    if (server_network_update(game, &dt) || escape_pressed()) {
        game->stop_hosting();
        return;
    }
    if (game->program_state == kStateHostLobby && start_button_clicked()) start_race(game);
}

static void update_client(cGame* game, float dt, const std::string& line)
{
    if (!line.empty()) {
        cVantorChatPacket<kPacketMagic>* chat = send_chat_line(line);
        send_packet(kAllConnections, &game->player(0)->link, chat);
        chat->destroy();
    }
    if (client_network_update(game, &dt) || escape_pressed()) game->leave_as_client();
}

static void update_session(cGame* game, float dt, bool am_server)
{
    const std::string line = game->chat_console_input(dt);
    if (am_server)
        update_host(game, dt, line);
    else
        update_client(game, dt, line);
}

void cGame::update_lobby(float dt, bool am_server)
{
    race_time = 0;
    update_session(this, dt, am_server);
}

// The host's Escape ends the race for everyone and keeps the lobby open.
static void update_host_race(cGame* game, float dt, const std::string& line)
{
    if (!line.empty()) {
        cVantorChatPacket<kPacketMagic>* chat = send_chat_line(line);
        handle_packet(game, uint16_t(game->own_slot), chat);
        chat->destroy();
    }
    if (server_network_update(game, &dt)) {
        game->stop_hosting();
        return;
    }
    if (!escape_pressed()) return;
    czrpBare back(kPacketBackToLobby);
    send_to_all(game, &back);
    delete_track(&game->track);
    game->program_state = kStateHostLobby;
    leave_race(game);
}

void cGame::update_race(float dt, bool am_server)
{
    update_race_music(this);
    race_time += dt;
    const std::string line = chat_console_input(dt);
    if (am_server)
        update_host_race(this, dt, line);
    else
        update_client(this, dt, line);
    if (program_state == kStateHostRace || program_state == kStateClientRace) race_frame(this, dt);
}
