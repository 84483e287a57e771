// The race game's controller: its "action" event becomes a request to the host.
#pragma once

#include <cstdint>

#include "framework/connection.h"
#include "framework/controller.h"

class cGameController : public cVantorController {
public:
    // host_slot is the game's record of the host's slot (0xFFFF on the host
    // itself and before a welcome); host_link is the connection to the host.
    cGameController(const uint16_t* host_slot, cVantorNetConnection* host_link)
        : host_slot(host_slot), host_link(host_link) {}

    // data is the event's record: a u16 at byte 0 and a u32 at byte 4; null sends zeros.
    void on_controller_event(const char* name, uint32_t value, uint16_t* data) override;

private:
    const uint16_t* host_slot;
    cVantorNetConnection* host_link;
};
