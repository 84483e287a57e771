#include "game/game_controller.h"

#include <cstring>

#include "game/packets.h"

void cGameController::on_controller_event(const char* name, uint32_t, uint16_t* data)
{
    if (!name || std::strcmp(name, "action") != 0) return;
    if (!host_slot || *host_slot == 0xFFFF || !host_link) return;
    uint16_t word = 0;
    uint32_t event_value = 0;
    if (data) {
        word = data[0];
        std::memcpy(&event_value, data + 2, sizeof event_value);
    }
    czrpRequestAction request(word, event_value);
    send_packet(kAllConnections, host_link, &request);
}
