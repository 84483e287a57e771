// The start of a race: the host spawns one cart per joined player and builds
// the track from fresh words; every client rebuilds both from the host's
// racetrack-load packet.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/synced.h"
#include "game/cart.h"
#include "game/packet_records.h"

class cGame;
class czrTrack;
class czrpRacetrackLoad;

// Every cart in the race, by sync id; it owns them.
extern cVantorSyncedManager<czrCar> cartRegistry;

// Deletes every cart and forgets any removal still queued.
void clear_carts();
// Deletes the track *track points to, if any, and clears the pointer.
void delete_track(czrTrack** track);

// New track words (one generator draw for the seed before anything else),
// a cart for every joined record in rows of five, the track, and every
// joined player on the first lap.
void spawn_carts(cGame* game);
// The track words and every registered cart in ascending sync id; the cart
// of own_slot gets the user controller on the way.
czrpRacetrackLoad* build_racetrack_load(cGame* game);
// The host's start: spawn, tell every player, enter the race.
void start_race(cGame* game);
// A client's side of the packet: every joined player on the first lap, the
// carts it does not know yet, the user controller on its own, the track, and
// the race. A track the words cannot build leaves the race where it was (false).
bool load_racetrack(cGame* game, const TrackLoadRecord& words, std::vector<std::unique_ptr<czrCar>>& carts);
