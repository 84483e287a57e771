// The operations behind the network table's 26 slots, one file per side:
// session (start-up, poll, errors), addresses, server and client. The local
// host look-up is in os/.
#pragma once

#include <cstdint>

namespace wirelink {

bool net_init(uint16_t port);
void net_quit();
bool net_poll();
bool net_is_server();
bool net_is_client();
const char* net_last_error();

int net_format_address(uint32_t address, char* out);
uint32_t net_parse_address(const char* text);

uint16_t net_start_server();
uint16_t net_stop_server();
bool net_drop_client(uint16_t client);
int net_server_send(uint16_t client, const void* data, int length);
int net_client_count();
uint16_t net_free_client_id();
uint16_t net_nth_client_id(int n);
bool net_is_client_active(uint16_t client);
uint32_t net_client_host(uint16_t client);
bool net_is_client_ready(uint16_t client);
int net_server_receive(uint16_t client, void* buffer, int max);
bool poll_server();

uint16_t net_start_client(const char* host);
uint16_t net_stop_client();
int net_client_send(const void* data, int length);
uint32_t net_server_host();
bool net_is_server_ready();
int net_client_receive(void* buffer, int max);
bool poll_client();

}  // namespace wirelink
