// What the race view draws beyond the game's hooks: projectiles, and the
// HUD's standings order, own box and respawn hint.
#pragma once

#include <string>
#include <vector>

class cGame;
class cVantorController;
class czrProjectile;
struct player_record;

// A projectile of a sphere-drawn type as a small glowing sphere; other
// types, and kinds without a type, are not drawn.
void draw_projectile(const czrProjectile& projectile);

// The slots of the joined players in the order the standings list them:
// by rank (rank_less), and players of equal rank by slot.
std::vector<int> standings_order(cGame* game);
// A player's line in the standings: his rank from 1, ": " and his name.
std::string standings_line(const cGame* game, int slot);
// The own player's box: "Rank: " and "Lap:  " on two lines, both from 1.
std::string own_box_text(const player_record& own);
// "Press " + the name of the key bound to "RESPAWN" + " to reset"; "[NONE]"
// names a binding that is missing.
std::string respawn_hint(const cVantorController* controller);
