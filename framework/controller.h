// A controller keeps named axes and named buttons, filled from the player's
// control scheme and read by name every frame, and receives named events.
#pragma once

#include <cstdint>

#include "base/containers.h"

class cVantorController {
public:
    // An axis binding: an analog input scaled and signed, plus two keys that
    // push the value down and up. 0xFFFF is no input.
    struct _Axis {
        int16_t sign = 1;
        uint16_t axis = 0xFFFF;
        uint16_t key_minus = 0xFFFF;
        uint16_t key_plus = 0xFFFF;
        float scale = 1.0f;
    };

    virtual ~cVantorController() = default;

    // The framework's controller ignores every event.
    virtual void on_controller_event(const char* name, uint32_t value, uint16_t* data);

    // The binding under a name; null when the name is not bound.
    const _Axis* find_axis(const char* name) const;
    const int16_t* find_button(const char* name) const;
    // A name that is already bound keeps its first binding.
    void bind_axis(const char* name, const _Axis& axis);
    void bind_button(const char* name, int16_t input);
    void clear_bindings();

    DSPhashMap<_Axis> axes;
    DSPhashMap<int16_t> buttons;
};
