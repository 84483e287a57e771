// One of the sixteen player slots: the roster entry every peer shares, and
// the connection to that player with its own packet factory.
#pragma once

#include <cstdint>

#include "framework/connection.h"
#include "game/packet_records.h"

// Slot states of the roster.
enum : uint16_t {
    kSlotFree = 0,
    kSlotLeft = 1,  // reusable, and kept for a rejoin under the same name
    kSlotInUse = 2,
    kSlotListed = 3,  // counts as joined everywhere; nothing sets it
};

constexpr float kConnectionTimeout = 5.0f;

struct player_record : czrRosterEntry {
    player_record();

    // State 2 on every slot but ours, or state 3 on any: the slots that get
    // what is sent to all.
    bool joined_peer(int16_t own_slot, int slot) const;
    // Every roster field but the state back to zero.
    void clear_roster(const char* new_name, uint8_t new_species);
    // Progress, laps, section and rank back to zero: the first lap, unranked.
    void clear_race();

    // Its send_id, slot_index and connection_id are the record's.
    cVantorNetConnection link;
};
