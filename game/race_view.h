// What the race's HUD shows, as the drawing code computes it.
#pragma once

#include <string>
#include <vector>

class cGame;
class cVantorController;

// The slots of the joined players in the order the standings list them: by
// rank, and players of equal rank by slot.
std::vector<int> standings_order(cGame* game);
// "Press " + the name of the key bound to "RESPAWN" + " to reset"; "[NONE]"
// names a binding that is missing.
std::string respawn_hint(const cVantorController* controller);
