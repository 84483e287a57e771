#include "game/player_record.h"

#include "game/packets.h"

player_record::player_record() : link(new czrPacketFactory, kConnectionTimeout) {}

bool player_record::joined_peer(int16_t own_slot, int slot) const
{
    return (slot != own_slot && state == kSlotInUse) || state == kSlotListed;
}

void player_record::clear_roster(const char* new_name, uint8_t new_species)
{
    copy_player_name(name, new_name);
    species = checked_species(new_species);
    car_sync_id = 0;
    clear_race();
}

void player_record::clear_race()
{
    progress = 0;
    laps = 0;
    section = 0;
    rank = 0;
}
