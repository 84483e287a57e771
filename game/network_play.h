// Network play: the host's and the client's step each frame, sending to every
// joined player, booting, and acting on each packet. A client talks to the
// host through the connection of record 0.
#pragma once

#include <cstdint>

class cGame;
class __cNetPacketBase;
class czrpUpdateCars;

constexpr uint16_t kFromHost = 0xFFFF;  // the sender slot of every packet a client handles
constexpr int kTransportIds = 64;
constexpr float kRosterTick = 0.25f;
constexpr float kUpdateTick = 0.0625f;
constexpr float kClientKeepAliveSeconds = 1.5f;
constexpr int16_t kMaxReposts = 5;

// The host's step: reads every peer, handles their packets, boots the silent
// and those that stopped taking what is sent to them, and sends the roster
// and keep-alives on their periods. Always false.
bool server_network_update(cGame* game, float* dt);
// The client's step; true when the client must leave the server, also when
// the server stopped taking what this client sends.
bool client_network_update(cGame* game, float* dt);
// Acts on one packet from sender_slot (kFromHost on a client); true means
// boot the sender (host) or leave (client).
bool handle_packet(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet);
void send_to_all(cGame* game, __cNetPacketBase* packet);
void send_roster_to_all(cGame* game);
// The cart update of the host race: every cart's and projectile's sync state
// in ascending sync id, then the 16 ranks. The caller destroys it.
czrpUpdateCars* build_cart_update(cGame* game);
// Tells the peer of a joined slot it is booted (unless quiet), drops it and
// frees the slot for a rejoin; any other slot is left alone.
void boot_client(cGame* game, int slot, bool quiet);
// Forgets everything an earlier server sent, before a new join request goes out.
void start_joining(cGame* game);
// The host's check of a transport id no record holds: a join request, or a peer to drop.
void check_new_connection(cGame* game, uint16_t id);
