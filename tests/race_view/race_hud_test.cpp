// What the race HUD lists and says, without drawing it: the order of the
// standings and the respawn hint's key name.
#include <gtest/gtest.h>

#include <vector>

#include "base/input_names.h"
#include "game/game.h"
#include "game/race_view.h"

namespace {

class RaceHud : public ::testing::Test {
protected:
    void join(int slot, uint8_t rank, uint16_t state = kSlotInUse)
    {
        game.players[slot].state = state;
        game.players[slot].rank = rank;
    }

    cGame game;
};

}  // namespace

TEST_F(RaceHud, StandingsRunByRankAndPlayersOfOneRankBySlot)
{
    join(7, 1);
    join(2, 0);
    join(9, 1);
    join(4, 1);
    join(5, 0, kSlotLeft);
    join(11, 2, kSlotListed);
    EXPECT_EQ(standings_order(&game), (std::vector<int>{2, 4, 7, 9, 11}))
        << "a player who left is not listed; a listed one is";
}

TEST_F(RaceHud, WithNobodyJoinedTheStandingsAreEmpty)
{
    EXPECT_TRUE(standings_order(&game).empty());
}

TEST_F(RaceHud, TheRespawnHintNamesTheBoundKeyAndNoneForAMissingOrEmptyBinding)
{
    EXPECT_EQ(respawn_hint(&game.controller), "Press [NONE] to reset") << "no binding at all";
    cVantorController unbound;
    unbound.bind_button("RESPAWN", int16_t(kNoInput));
    EXPECT_EQ(respawn_hint(&unbound), "Press [NONE] to reset");
    cVantorController bound;
    bound.bind_button("RESPAWN", int16_t(kInputFirstLetter + ('R' - 'A')));
    EXPECT_EQ(respawn_hint(&bound), "Press R to reset");
    cVantorController spaced;
    spaced.bind_button("RESPAWN", int16_t(kInputSpace));
    EXPECT_EQ(respawn_hint(&spaced), "Press Space to reset");
}
