// The race game's program object: the one instance that main drives. It fills
// in the program's hooks and owns the sixteen player records, the music state
// and the track words.
#pragma once

#include <cstdint>
#include <string>

#include "framework/program.h"
#include "game/game_controller.h"
#include "game/packet_records.h"
#include "game/player_record.h"

constexpr int16_t kNoSlot = -1;
constexpr int kMusicTracks = 4;
constexpr uint16_t kNoMusic = 0xFFFF;

extern const std::string build_tag;
extern const std::string speciesNames[kSpeciesCount];
extern const std::string musicTracks[kMusicTracks];

class czrOrbling;
class czrTrack;

class cGame : public cVantorProgramP2P {
public:
    cGame();
    ~cGame() override;

    void add_menu_options() override;
    void load_game_resources() override;
    void on_client_joined() override;
    void on_client_leave() override;
    void on_host_started() override;
    void on_host_stop() override;
    void update_lobby(float dt, bool am_server) override;
    void update_race(float dt, bool am_server) override;
    // The sky and the sun, with the camera at the origin.
    void render_race_scene() override;
    // The planet, the carts of the joined players and the track.
    void render_race_effects(cViewReference* view, bool am_server) override;
    // The standings; on the host or a welcomed client our rank, lap and,
    // away from the track, how to respawn.
    void render_race_hud(cViewReference* view, bool am_server) override;
    void render_lobby_screen(cViewReference*, bool am_server) override;
    void send_join_request() override;
    virtual void game_init();
    virtual void game_shutdown();

    // The record of a slot from the wire or a file; null outside 0..15.
    player_record* player(int slot);

    uint32_t star_texture = 0;
    player_record players[kPlayerSlots];
    int16_t own_slot = kNoSlot;
    int16_t host_slot = kNoSlot;  // as the welcome told it; -1 when hosting
    // Sends its action requests to the host; it reads the host's slot as the
    // 16 bits it is. Declared after what it points at, which is built first.
    cGameController controller{reinterpret_cast<const uint16_t*>(&host_slot), &players[0].link};
    float race_time = 0;
    uint16_t music_handles[kMusicTracks] = {kNoMusic, kNoMusic, kNoMusic, kNoMusic};
    int16_t music_position = -1;  // index into the playlist; -1 = no music
    TrackLoadRecord track_params;
    czrTrack* track = nullptr;  // owned; the race's track, built from track_params
    czrOrbling* world = nullptr;  // owned; the planet
    uint32_t next_car_sync_id = 1;

    // The host's and the client's network timers.
    float roster_timer = 0;
    float update_timer = 0;
    float client_keepalive_timer = 0;
    int16_t repost_count = 0;
};

// The credits the menu shows: three lines of name and role.
std::string credits_text();
// The names of the rules file's control schemes: every child with a "TURN" value.
DSParray<std::string>* control_scheme_names(const cArbData* rules);
// Bindings of the selected scheme (capturing the mouse when it steers),
// music and the chat hint when a race begins.
void enter_race(cGame* game);
// Releases the mouse and stops the music.
void leave_race(cGame* game);
