// The client's frames in the lobby or the race over the fake network, with
// the server sending whatever it likes and perhaps no longer reading. Set-up
// bit 0 has the server welcome us into slot 2 first, bit 1 starts in the race.
#include <cstring>

#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/race_start.h"
#include "game/settings.h"
#include "tests/fuzz/support/play_script.h"
#include "tests/game_play/fake_game_tables.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

void welcome(cGame& game)
{
    czrpWelcome packet({7, 2, 0});
    const uint32_t size = packet.get_wire_size();
    fake_game().from_server.assign(reinterpret_cast<const char*>(packet.get_wire_data()), size);
    float dt = 0.01f;
    game.update_program(&dt);
}

// Our slot and the host's are slots or none, and every roster name is terminated.
void check_state(cGame& game)
{
    check(game.own_slot >= kNoSlot && game.own_slot < kPlayerSlots);
    check(game.host_slot >= kNoSlot && game.host_slot < kPlayerSlots);
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        check(memchr(game.player(slot)->name, 0, kPlayerNameSize) != nullptr);
        check(game.player(slot)->species < kSpeciesCount);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t setup = input.byte();
    install_fake_game_tables();
    settings_record = SettingsRecord();
    copy_player_name(settings_record.player_name, "Ann");
    {
        cGame game;
        fake_game().client = true;
        game.program_state = kStateClientLobby;
        game.on_client_joined();
        game.send_join_request();
        if (setup & 1) welcome(game);
        if (setup & 2) game.program_state = kStateClientRace;
        while (!input.empty() && game.program_state != kStateMenu) {
            PlayStep step = next_step(input);
            fake_game().from_server += step.bytes;
            if (step.stop_reading) fake_game().server_room = 0;
            game.update_program(&step.dt);
            check_state(game);
        }
        // The carts outlive this game in their registry; the local one is
        // driven through this game's controller.
        clear_carts();
    }
    uninstall_fake_game_tables();
    return 0;
}
