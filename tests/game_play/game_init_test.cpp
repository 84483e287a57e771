// The game's start-up: menu texts and options, interval and name defaults,
// the scene resources and the music tracks.
#include <unistd.h>

#include <climits>
#include <cmath>

#include "base/modules.h"
#include "framework/menu.h"
#include "tests/game_play/game_fixture.h"
#include "tests/support/scratch.h"
#include "tests/support/size_limit.h"

namespace {

const char* const kRules =
    "Servers < 127.0.0.1 >\n"
    "Keyboard {\n TURN < + NULL Left Right 1.0 >\n ACCELERATE Up\n}\n"
    "Sounds {\n VOLUME 3\n}\n"
    "Mouse {\n TURN < + Mouse_X NULL NULL 1.0 >\n}\n";

// A game folder of its own as the current folder.
class GameInitTest : public GameFixture {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(previous_folder, sizeof previous_folder), nullptr);
        make_folder(scratch / "data");
        make_folder(scratch / "data/zorblitRally");
        write_file(scratch / "data/zorblitRally/rules.ini", kRules);
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
        GameFixture::SetUp();
        strcpy(__mNetwork_instance()->host_name, "a-host-name-that-is-longer-than-31-characters");
    }
    void TearDown() override
    {
        GameFixture::TearDown();
        memset(__mNetwork_instance()->host_name, 0, sizeof __mNetwork_instance()->host_name);
        ASSERT_EQ(chdir(previous_folder), 0);
    }

    std::vector<std::string> options(uint32_t list) const
    {
        std::vector<std::string> texts;
        const cVantorMenu::ButtonList* buttons = game->menu->button_lists.get(list);
        for (uint32_t i = 0; buttons && i < buttons->options->count(); ++i) texts.push_back(*buttons->options->get(i));
        return texts;
    }

    char previous_folder[PATH_MAX];
    ScratchFolder scratch;
};

TEST_F(GameInitTest, TheMenuGetsTitleCreditsNameAndOptions)
{
    game->game_init();
    EXPECT_EQ(game->menu->title, "Zorblit Rally - dev");
    EXPECT_EQ(game->menu->credits,
              "#C0488The Zorblit Code Crew#C5558 - code, game design\n"
              "#C0488The Zorblit Art Crew#C5558 - art, game design\n"
              "#C0488The Zorblit Sound Crew#C5558 - music");
    EXPECT_EQ(game->menu->first_field, settings_record.player_name);
    EXPECT_EQ(game->menu->second_field, nullptr);
    ASSERT_EQ(game->menu->button_lists.count(), 2u);
    EXPECT_EQ(game->menu->button_lists.get(0)->title, "Selected Control Scheme");
    EXPECT_EQ(game->menu->button_lists.get(0)->selection, &settings_record.control_scheme);
    EXPECT_EQ(options(0), (std::vector<std::string>{"Keyboard", "Mouse"}));
    EXPECT_EQ(game->menu->button_lists.get(1)->title, "Selected Species");
    EXPECT_EQ(game->menu->button_lists.get(1)->selection, &settings_record.species);
    EXPECT_EQ(options(1), (std::vector<std::string>{"Fox", "Ermine"}));
    EXPECT_FLOAT_EQ(fake_game().fps_cap, 100.0f);
    EXPECT_TRUE(game->chat.anchor_top);
    EXPECT_EQ(game->chat.lines_offset, 80);
}

TEST_F(GameInitTest, ZeroIntervalsAndAnEmptyNameGetTheirDefaults)
{
    const struct {
        const char* name;
        uint8_t roster, update;
        const char* expected_name;
        uint8_t expected_roster, expected_update;
    } cases[] = {
        {"", 0, 0, "a-host-name-that-is-longer-than", 23, 4},
        {"Zed", 9, 0, "Zed", 9, 4},
        {"Zed", 0, 7, "Zed", 23, 7},
        {"Zed", 255, 1, "Zed", 255, 1},
    };
    for (const auto& c : cases) {
        GameFixture::TearDown();
        GameFixture::SetUp();
        copy_player_name(settings_record.player_name, c.name);
        settings_record.roster_interval = c.roster;
        settings_record.update_interval = c.update;
        game->game_init();
        EXPECT_STREQ(settings_record.player_name, c.expected_name) << c.name;
        EXPECT_EQ(settings_record.roster_interval, c.expected_roster) << c.name;
        EXPECT_EQ(settings_record.update_interval, c.expected_update) << c.name;
    }
}

TEST_F(GameInitTest, TheStarFieldHas512StarsOfPaleColours)
{
    game->game_init();
    ASSERT_EQ(fake_game().texture_width, 1024);
    ASSERT_EQ(fake_game().texture_height, 1024);
    EXPECT_EQ(game->star_texture, 9u);
    int stars = 0;
    const std::vector<uint8_t>& pixels = fake_game().texture_pixels;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 3] == 0) {
            EXPECT_EQ(pixels[i] | pixels[i + 1] | pixels[i + 2], 0);
            continue;
        }
        ++stars;
        EXPECT_EQ(pixels[i + 3], 255);
        for (int c = 0; c < 3; ++c) EXPECT_GE(pixels[i + c], 165);
    }
    EXPECT_LE(stars, 512);
    EXPECT_GT(stars, 500);
    const std::vector<std::string>& calls = fake_game().calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "create_texture linear -1"), calls.end());
}

TEST_F(GameInitTest, TheSceneGetsAmbientLightASunAndTheRaceView)
{
    game->game_init();
    EXPECT_FLOAT_EQ(fake_game().ambient.r, 0.1f);
    EXPECT_FLOAT_EQ(fake_game().ambient.a, 1.0f);
    ASSERT_EQ(game->lights.count(), 1u);
    const cLight* sun = game->lights.get(0);
    EXPECT_NEAR(sun->direction.x, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(sun->direction.y, std::sqrt(0.5), 1e-12);
    EXPECT_EQ(sun->direction.z, 0);
    EXPECT_EQ(sun->spot_cutoff, 180);
    EXPECT_EQ(sun->ambient.r, 1);
    ASSERT_EQ(game->views.count(), 1u);
    const cUserView* view = game->views.get(0);
    EXPECT_FLOAT_EQ(view->near_plane, 0.15f);
    EXPECT_EQ(view->fog_start, 3000);
    EXPECT_EQ(view->far_plane, 4000);
    EXPECT_EQ(view->field_of_view, 45);
    EXPECT_EQ(view->size.x, 800);
    EXPECT_EQ(view->size.y, 600);
}

TEST_F(GameInitTest, TheFourTracksAreLoadedWhenThereIsSound)
{
    game->game_init();
    for (int i = 0; i < kMusicTracks; ++i) EXPECT_EQ(game->music_handles[i], 40 + i);
    const std::vector<std::string>& calls = fake_game().calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "load_music data/zorblitRally/music/Divive - D.ogg"),
              calls.end());

    GameFixture::TearDown();
    install_fake_game_tables(false);
    game = std::make_unique<cGame>();
    game->game_init();
    for (uint16_t handle : game->music_handles) EXPECT_EQ(handle, kNoMusic);
}

// The first start copies the rules into local/; a copy cut short by a full
// disk or a kill is never left there, so the next start copies them whole.
TEST_F(GameInitTest, ARulesCopyCutShortIsMadeAgainWholeOnTheNextStart)
{
    const std::string copy = scratch / "local/zorblitRally.ini";
    for (AtTheLimit at_limit : {AtTheLimit::kWriteFails, AtTheLimit::kKilled}) {
        const LimitedRun run = run_with_file_size_limit(8, at_limit, [&] { game->game_init(); });
        EXPECT_EQ(run.killed, at_limit == AtTheLimit::kKilled) << run.output;
        EXPECT_FALSE(file_exists(copy)) << run.output;
        if (at_limit == AtTheLimit::kWriteFails) {
            EXPECT_EQ(count_of(run.output, "ERROR: Couldn't write file local/zorblitRally.ini"), 1) << run.output;
        }
    }
    game->game_init();
    EXPECT_EQ(read_file(copy), kRules);
    EXPECT_EQ(options(0), (std::vector<std::string>{"Keyboard", "Mouse"}));
}

}  // namespace
