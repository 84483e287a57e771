// The script the host and client targets read: a set-up byte, then steps of
// a control byte, a length byte and that many bytes a peer sends, each
// followed by one frame of the program. The control byte's bits 0-3 name the
// transport id (the host's peers), bit 4 closes that peer, bits 5-6 pick the
// frame's length, and bit 7 makes the peer (on a client, the server) stop
// reading: its socket takes nothing more from then on.
#pragma once

#include <cstdint>
#include <string>

#include "tests/fuzz/support/fuzz_support.h"

struct PlayStep {
    uint16_t peer;
    bool close;
    float dt;
    bool stop_reading;
    std::string bytes;
};

inline PlayStep next_step(FuzzInput& input)
{
    static const float kFrames[4] = {0.01f, 0.1f, 1.0f, 6.0f};
    const uint8_t control = input.byte();
    const size_t length = input.byte();
    return {uint16_t(control & 0x0F), (control & 0x10) != 0, kFrames[(control >> 5) & 3], (control & 0x80) != 0,
            input.bytes(length)};
}
