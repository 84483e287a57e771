// The race music through the fake sound module: the playlist, its wrap, the
// "M" switch, and no calls at all without a sound module.
#include "base/input_names.h"
#include "game/music.h"
#include "tests/game_play/game_fixture.h"

namespace {

class MusicTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        for (int i = 0; i < kMusicTracks; ++i) game->music_handles[i] = uint16_t(10 + i);
    }
    std::vector<std::string> calls_after(void (*action)(cGame*))
    {
        fake_game().calls.clear();
        action(game.get());
        return fake_game().calls;
    }
};

using Calls = std::vector<std::string>;

TEST_F(MusicTest, ARaceStartsTheFirstEntry)
{
    enter_race(game.get());
    EXPECT_EQ(fake_game().calls, Calls{"play_music 10 1 0 1"});
    EXPECT_EQ(game->music_position, 0);
    settings_record.music_off = 1;
    EXPECT_EQ(calls_after(enter_race), Calls{});
    EXPECT_EQ(game->music_position, 0);
}

TEST_F(MusicTest, EachEndedPieceAdvancesThePlaylistAndItWraps)
{
    Calls played;
    game->music_position = 0;
    for (int frame = 0; frame < kPlaylistLength; ++frame) {
        fake_game().music_is_playing = false;
        for (const std::string& call : calls_after(update_race_music)) played.push_back(call);
    }
    EXPECT_EQ(played, (Calls{"play_music 10 1 0 0", "play_music 11 1 0 0", "play_music 11 1 0 0",
                             "play_music 10 1 0 0", "play_music 12 1 0 0", "play_music 13 1 0 0",
                             "play_music 13 1 0 0", "play_music 11 1 0 0", "play_music 10 1 0 0",
                             "play_music 12 1 0 0", "play_music 13 1 0 0", "play_music 10 1 0 0"}));
    EXPECT_EQ(game->music_position, 0);
}

TEST_F(MusicTest, APlayingPieceIsLeftAlone)
{
    fake_game().music_is_playing = true;
    game->music_position = 3;
    EXPECT_EQ(calls_after(update_race_music), Calls{});
    EXPECT_EQ(game->music_position, 3);
}

TEST_F(MusicTest, MSwitchesTheMusicOffAndOnAgain)
{
    fake_game().music_is_playing = true;
    game->music_position = 5;
    fake_game().pressed.insert(kInputM);
    EXPECT_EQ(calls_after(update_race_music), Calls{"stop_music 0"});
    EXPECT_EQ(settings_record.music_off, 1);
    EXPECT_EQ(calls_after(update_race_music), Calls{"play_music 10 1 0 1"});
    EXPECT_EQ(settings_record.music_off, 0);
    EXPECT_EQ(game->music_position, 0);
}

TEST_F(MusicTest, LeavingTheRaceReleasesTheMouseAndStopsTheMusic)
{
    game->music_position = 4;
    EXPECT_EQ(calls_after(leave_race), (Calls{"release_input", "show_cursor", "stop_music 1"}));
    EXPECT_EQ(game->music_position, -1);
}

TEST_F(MusicTest, WithoutASoundModuleNothingIsCalled)
{
    uninstall_fake_game_tables();
    install_fake_game_tables(false);
    game->music_position = 0;
    EXPECT_EQ(calls_after(update_race_music), Calls{});
    EXPECT_EQ(game->music_position, 1);
    enter_race(game.get());
    EXPECT_EQ(calls_after(leave_race), (Calls{"release_input", "show_cursor"}));
}

}  // namespace
