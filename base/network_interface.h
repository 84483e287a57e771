// The network interface table: 26 plain function slots, filled by the network
// plug-in's connect_network_interface. Client id 0xFFFF addresses every client.
#pragma once

#include <cstdint>

struct network_interface {
    int (*net_local_host_info)(char name[64], char addresses[8][16]);  // 0: host name, up to eight addresses
    bool (*net_init)(uint16_t port);                        // 1
    void (*net_quit)();                                     // 2
    bool (*net_poll)();                                     // 3: accepts clients, refreshes readiness
    int (*net_format_address)(uint32_t address, char* out); // 4: dotted text
    uint32_t (*net_parse_address)(const char* text);        // 5
    bool (*net_is_server)();                                // 6
    uint16_t (*net_start_server)();                         // 7: 0 success, 1-4 failure kinds
    uint16_t (*net_stop_server)();                          // 8
    bool (*net_drop_client)(uint16_t client);               // 9
    int (*net_server_send)(uint16_t client, const void* data, int length);  // 10: -1 = text with its NUL
    int (*net_client_count)();                              // 11
    uint16_t (*net_free_client_id)();                       // 12
    uint16_t (*net_nth_client_id)(int n);                   // 13: id of the n-th active client
    bool (*net_is_client_active)(uint16_t client);          // 14
    uint32_t (*net_client_host)(uint16_t client);           // 15: peer address
    bool (*net_is_client_ready)(uint16_t client);           // 16: data waiting
    int (*net_server_receive)(uint16_t client, void* buffer, int max);  // 17: bytes read
    bool (*net_is_client)();                                // 18
    uint16_t (*net_start_client)(const char* host);         // 19: 0 success, 1-4 failure kinds
    uint16_t (*net_stop_client)();                          // 20
    int (*net_client_send)(const void* data, int length);   // 21: -1 = text with its NUL
    uint32_t (*net_server_host)();                          // 22: server address
    bool (*net_is_server_ready)();                          // 23: data waiting
    int (*net_client_receive)(void* buffer, int max);       // 24: bytes read
    const char* (*net_last_error)();                        // 25
};

static_assert(sizeof(network_interface) == 26 * sizeof(void*), "network_interface has 26 slots");
