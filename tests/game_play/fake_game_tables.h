// In-memory tables for the game's tests: a network with one byte queue per
// transport id and one from the server, active and ready flags and a log of
// every send and drop; input keys; a sound module that logs its calls; and the
// few graphics and system slots the game's start-up uses.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/color.h"

constexpr int kFakeIds = 64;

struct FakePeer {
    bool active = false;
    bool closed = false;  // ready, but its receive answers 0
    std::string pending;  // bytes the peer sent that the socket holds
    long room = -1;  // bytes its socket still takes from the host; -1 without end
};

struct FakeSend {
    uint16_t id;  // 0xFFFF for a client's send to its server
    std::string bytes;
    uint16_t type() const;
};

struct FakeGameTables {
    // network
    bool server = false;
    bool client = false;
    FakePeer peers[kFakeIds];
    std::string from_server;  // bytes the server sent this client
    long server_room = -1;  // bytes the socket to the server still takes; -1 without end
    std::vector<FakeSend> sends;  // what the sockets took, one entry per send that took any
    std::vector<uint16_t> dropped;
    // input
    std::set<uint16_t> pressed;
    std::set<uint16_t> held;
    std::map<uint16_t, float> analog;
    // sound, input grabs and the start-up's graphics and system calls, in order
    std::vector<std::string> calls;
    bool music_is_playing = false;
    uint16_t next_music_handle = 40;
    // graphics
    // The first texture created (the star field comes first).
    std::vector<uint8_t> texture_pixels;
    uint16_t texture_width = 0;
    uint16_t texture_height = 0;
    cColor ambient;
    float fps_cap = 0;

    // The types sent to id, in order.
    std::vector<uint16_t> types_sent_to(uint16_t id) const;
    int count_sent(uint16_t id, uint16_t type) const;
};

FakeGameTables& fake_game();
// Installs every table (an 800 x 600 window, no sound when with_sound is
// false); uninstall before the test ends.
void install_fake_game_tables(bool with_sound = true);
void uninstall_fake_game_tables();
