// The host's frames in the lobby or the race over the fake network, with
// peers sending whatever they like: joins, chat, requests, forged packets,
// and peers that stop reading what the host sends them.
// Set-up bit 0 seats three honest players first, bit 1 starts the race.
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

std::string join_bytes(const char* name)
{
    czrpRequestJoin join(name, 1);
    const uint32_t size = join.get_wire_size();
    return std::string(reinterpret_cast<const char*>(join.get_wire_data()), size);
}

void seat_honest_players(cGame& game)
{
    const char* const names[] = {"Ann", "Bob", "Cy"};
    for (uint16_t id = 1; id <= 3; ++id) {
        fake_game().peers[id].active = true;
        fake_game().peers[id].pending = join_bytes(names[id - 1]);
    }
    float dt = 0.01f;
    game.update_program(&dt);
}

// No two joined slots share a transport id, and every name is terminated.
void check_slots(cGame& game)
{
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const player_record* record = game.player(slot);
        check(memchr(record->name, 0, kPlayerNameSize) != nullptr);
        check(record->species < kSpeciesCount);
        if (slot == game.own_slot || record->state != kSlotInUse) continue;
        check(record->link.connection_id < kTransportIds);
        for (int other = slot + 1; other < kPlayerSlots; ++other)
            if (game.player(other)->state == kSlotInUse && other != game.own_slot)
                check(game.player(other)->link.connection_id != record->link.connection_id);
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
    copy_player_name(settings_record.player_name, "Host");
    settings_record.roster_interval = 23;
    settings_record.update_interval = 4;
    {
        cGame game;
        fake_game().server = true;
        game.program_state = kStateHostLobby;
        game.on_host_started();
        if (setup & 1) seat_honest_players(game);
        if (setup & 2) game.program_state = kStateHostRace;
        while (!input.empty() && game.program_state != kStateMenu) {
            PlayStep step = next_step(input);
            FakePeer& peer = fake_game().peers[step.peer];
            peer.active = true;
            peer.closed = peer.closed || step.close;
            if (step.stop_reading) peer.room = 0;
            peer.pending += step.bytes;
            game.update_program(&step.dt);
            check_slots(game);
        }
        // The carts outlive this game in their registry; the local one is
        // driven through this game's controller.
        clear_carts();
    }
    uninstall_fake_game_tables();
    return 0;
}
